#include "wordloom/platform/memo.h"

#include <algorithm>

namespace wordloom {

void TStringMemo::SetText(const std::string& Value) {
  FText = Value;
  FSelStart = 0;
  FSelLength = 0;
}

void TStringMemo::SetSelStart(int Value) {
  FSelStart = std::clamp(Value, 0, static_cast<int>(FText.size()));
  FSelLength = 0;
}

void TStringMemo::SetSelLength(int Value) {
  FSelLength = std::clamp(Value, 0, static_cast<int>(FText.size()) - FSelStart);
}

void TStringMemo::SetSelText(const std::string& Value) {
  FText.replace(static_cast<std::size_t>(FSelStart), static_cast<std::size_t>(FSelLength), Value);
  FSelStart += static_cast<int>(Value.size());
  FSelLength = 0;
}

}  // namespace wordloom
