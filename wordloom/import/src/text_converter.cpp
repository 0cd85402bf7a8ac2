// SET encodings to UTF-8 through glibc's iconv (no library of our own).
#include "text_converter.h"

#include <cerrno>
#include <iconv.h>

#include "wordloom/import/hunspell_import.h"
#include "wordloom/text/unicode_words.h"

namespace wordloom::detail {

namespace {

// The iconv name of a SET value. Hunspell's names mostly are glibc's; these
// two are not ("microsoft-cp1251", "TIS620-2533" in its documentation).
std::string IconvName(const std::string& encoding) {
  std::string upper;
  for (char c : encoding) upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  if (upper == "MICROSOFT-CP1251") return "CP1251";
  if (upper == "TIS620-2533") return "TIS-620";
  if (upper.rfind("ISO8859-", 0) == 0) return "ISO-8859-" + upper.substr(8);
  return upper;
}

}  // namespace

TextConverter::TextConverter(const std::string& Encoding) {
  const std::string name = IconvName(Encoding);
  if (name == "UTF-8" || name == "UTF8") return;
  iconv_t handle = iconv_open("UTF-8", name.c_str());
  if (handle == reinterpret_cast<iconv_t>(-1)) {
    throw EImportError("unknown encoding SET " + Encoding);
  }
  FHandle = handle;
}

TextConverter::~TextConverter() {
  if (FHandle != nullptr) iconv_close(static_cast<iconv_t>(FHandle));
}

bool TextConverter::ToUtf8(std::string_view Text, std::string& Out) {
  if (FHandle == nullptr) {
    if (!IsValidUtf8(Text)) return false;
    Out.assign(Text);
    return true;
  }
  auto handle = static_cast<iconv_t>(FHandle);
  iconv(handle, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  // A character of any SET encoding is at most 4 bytes of UTF-8; some
  // encodings (ISCII) make up to 3 characters of one byte.
  Out.resize(Text.size() * 12 + 4);
  char* in = const_cast<char*>(Text.data());
  std::size_t in_left = Text.size();
  char* out = Out.data();
  std::size_t out_left = Out.size();
  if (iconv(handle, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1) ||
      iconv(handle, nullptr, nullptr, &out, &out_left) == static_cast<std::size_t>(-1)) {
    Out.clear();
    return false;
  }
  Out.resize(Out.size() - out_left);
  // glibc's iconv lets some sequences past that are no UTF-8 (code points
  // beyond U+10FFFF, when the SET names UTF-8 in a spelling of its own).
  if (!IsValidUtf8(Out)) {
    Out.clear();
    return false;
  }
  return true;
}

char32_t NextCodePoint(std::string_view Text, std::size_t& Pos) {
  const auto c = static_cast<unsigned char>(Text[Pos++]);
  if (c < 0x80) return c;
  int extra = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : 1;
  char32_t cp = c & (0x3f >> extra);
  while (extra-- > 0 && Pos < Text.size()) {
    cp = (cp << 6) | (static_cast<unsigned char>(Text[Pos++]) & 0x3f);
  }
  return cp;
}

}  // namespace wordloom::detail
