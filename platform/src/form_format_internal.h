// Pieces of the form file syntax that the writer and the reader share.
// The format is described in docs/form-files.md.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace wordloom::detail {

// Bytes of binary data per line of hex digits.
inline constexpr std::size_t kFormBinaryBytesPerLine = 32;
// Spaces per level of nesting.
inline constexpr int kFormIndent = 2;

inline constexpr std::string_view kKeywordObject = "object";
inline constexpr std::string_view kKeywordEnd = "end";
inline constexpr std::string_view kKeywordTrue = "true";
inline constexpr std::string_view kKeywordFalse = "false";
inline constexpr std::string_view kKeywordNil = "nil";

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// The value of a hex digit, or -1.
inline int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace wordloom::detail
