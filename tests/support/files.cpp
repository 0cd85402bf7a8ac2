#include "support/files.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace wordloom::testing_support {

std::string ReadFile(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + Path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& Path, const std::string& Bytes) {
  std::ofstream out(Path, std::ios::binary | std::ios::trunc);
  out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + Path);
}

}  // namespace wordloom::testing_support
