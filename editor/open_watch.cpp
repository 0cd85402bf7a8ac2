#include "open_watch.h"

namespace wordloom::editor {

std::string OpenWatch::Messages() const {
  std::string all;
  for (const std::string& m : FHeld) {
    if (!all.empty()) all += '\n';
    all += m;
  }
  return all;
}

}  // namespace wordloom::editor
