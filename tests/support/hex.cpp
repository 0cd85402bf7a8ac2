#include "support/hex.h"

#include <stdexcept>

namespace wordloom::testing_support {

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  throw std::invalid_argument("not a hex digit: " + std::string(1, c));
}

}  // namespace

std::string ToHex(std::string_view Bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char c : Bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[c >> 4];
    text += kDigits[c & 15];
  }
  return text;
}

std::string FromHex(std::string_view Text) {
  std::string bytes;
  for (std::size_t i = 0; i < Text.size(); i += 3) {
    if (i + 2 > Text.size() || (i + 2 < Text.size() && Text[i + 2] != ' ')) {
      throw std::invalid_argument("hex pairs must be separated by one space: " + std::string(Text));
    }
    bytes += static_cast<char>(DigitValue(Text[i]) * 16 + DigitValue(Text[i + 1]));
  }
  return bytes;
}

}  // namespace wordloom::testing_support
