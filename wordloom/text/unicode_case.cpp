// Case mappings of UTF-8 words (utf8proc): see unicode_case.h.
#include "wordloom/text/unicode_case.h"

#include <utf8proc.h>

#include <algorithm>

#include "wordloom/text/unicode_words.h"

namespace wordloom {

namespace {

void Append(std::string& out, utf8proc_int32_t code) {
  utf8proc_uint8_t bytes[4];
  const utf8proc_ssize_t n = utf8proc_encode_char(code, bytes);
  out.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(n));
}

// Word with Map applied to each character; invalid bytes as they are.
template <typename MapFn>
std::string MapChars(std::string_view word, MapFn map) {
  std::string out;
  out.reserve(word.size());
  for (std::size_t at = 0; at < word.size();) {
    utf8proc_int32_t code = 0;
    const std::size_t n = Utf8CharAt(word, at, code);
    if (code < 0) {
      out += word[at];
    } else {
      Append(out, map(code, at == 0));
    }
    at += n;
  }
  return out;
}

bool IsCapital(utf8proc_int32_t code) {
  if (code < 0) return false;
  const utf8proc_category_t c = utf8proc_category(code);
  return c == UTF8PROC_CATEGORY_LU || c == UTF8PROC_CATEGORY_LT;
}

// A small letter; "ß" counts as neither, since writers keep it in words
// written in capitals ("STRAßE").
bool IsSmall(utf8proc_int32_t code) {
  constexpr utf8proc_int32_t kSharpS = 0xDF;
  return code >= 0 && code != kSharpS && utf8proc_category(code) == UTF8PROC_CATEGORY_LL;
}

}  // namespace

std::string LowerCase(std::string_view Word) {
  // Plain ASCII, the common case, needs no decoding.
  if (std::all_of(Word.begin(), Word.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    std::string out(Word);
    for (char& c : out) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    return out;
  }
  return MapChars(Word, [](utf8proc_int32_t c, bool) { return utf8proc_tolower(c); });
}

std::string UpperCase(std::string_view Word) {
  return MapChars(Word, [](utf8proc_int32_t c, bool) { return utf8proc_toupper(c); });
}

std::string Capitalised(std::string_view Word) {
  return MapChars(Word, [](utf8proc_int32_t c, bool first) {
    return first ? utf8proc_totitle(c) : utf8proc_tolower(c);
  });
}

bool StartsWithCapital(std::string_view Word) {
  if (Word.empty()) return false;
  utf8proc_int32_t code = 0;
  Utf8CharAt(Word, 0, code);
  return IsCapital(code);
}

bool IsAllCapitals(std::string_view Word) {
  if (!StartsWithCapital(Word)) return false;
  std::size_t chars = 0;
  for (std::size_t at = 0; at < Word.size(); ++chars) {
    utf8proc_int32_t code = 0;
    at += Utf8CharAt(Word, at, code);
    if (IsSmall(code)) return false;
  }
  return chars >= 2;
}

std::string InWritersCase(std::string Suggestion, std::string_view Typed) {
  if (IsAllCapitals(Typed)) return UpperCase(Suggestion);
  if (!StartsWithCapital(Typed) || Suggestion.empty()) return Suggestion;
  utf8proc_int32_t code = 0;
  const std::size_t n = Utf8CharAt(Suggestion, 0, code);
  if (!IsSmall(code)) return Suggestion;
  std::string out;
  Append(out, utf8proc_totitle(code));
  out.append(Suggestion, n, std::string::npos);
  return out;
}

std::vector<std::string_view> CamelHumps(std::string_view Word) {
  std::vector<std::string_view> humps;
  std::size_t start = 0;
  // The characters before the one at `at`: the previous one and the one before it.
  utf8proc_int32_t before_previous = -1, previous = -1;
  std::size_t previous_at = 0;
  for (std::size_t at = 0; at < Word.size();) {
    utf8proc_int32_t code = 0;
    const std::size_t n = Utf8CharAt(Word, at, code);
    if (IsCapital(code) && IsSmall(previous) && at > start) {
      humps.push_back(Word.substr(start, at - start));  // "data|Layer"
      start = at;
    } else if (IsSmall(code) && IsCapital(previous) && IsCapital(before_previous) &&
               previous_at > start) {
      humps.push_back(Word.substr(start, previous_at - start));  // "DOM|Content"
      start = previous_at;
    }
    before_previous = previous;
    previous = code;
    previous_at = at;
    at += n;
  }
  humps.push_back(Word.substr(start));
  return humps;
}

}  // namespace wordloom
