// Text of a Hunspell dictionary in its SET encoding, turned into UTF-8 with
// glibc's iconv. UTF-8 itself is only checked.
#pragma once

#include <string>
#include <string_view>

namespace wordloom::detail {

class TextConverter {
 public:
  // Encoding: a SET value ("UTF-8", "ISO8859-1", "KOI8-R",
  // "microsoft-cp1251", ...). EImportError for one iconv does not know.
  explicit TextConverter(const std::string& Encoding);
  ~TextConverter();
  TextConverter(const TextConverter&) = delete;
  TextConverter& operator=(const TextConverter&) = delete;

  // Text in UTF-8 into Out; false when Text holds a byte sequence that is no
  // character of the encoding.
  bool ToUtf8(std::string_view Text, std::string& Out);
  bool IsUtf8() const { return FHandle == nullptr; }

 private:
  void* FHandle = nullptr;  // iconv_t; null for UTF-8
};

// The code point starting at Text[Pos]; advances Pos past it. REQUIRES: valid
// UTF-8 at Pos.
char32_t NextCodePoint(std::string_view Text, std::size_t& Pos);

}  // namespace wordloom::detail
