#include "checking/typing_language.h"

#include <utf8proc.h>

#include <array>
#include <cctype>
#include <cstdlib>
#include <utility>
#include <vector>

namespace wordloom::detail {

namespace {

// The three rows of letters of each layout, top row first, as UTF-8.
struct LayoutRows {
  KeyboardLayout Layout;
  std::array<const char*, 3> Rows;
};
constexpr LayoutRows kLayouts[] = {
    {KeyboardLayout::kQwerty, {"qwertyuiop", "asdfghjkl", "zxcvbnm"}},
    {KeyboardLayout::kSpanishQwerty, {"qwertyuiop", "asdfghjklñ", "zxcvbnm"}},
    {KeyboardLayout::kQwertz, {"qwertzuiopü", "asdfghjklöä", "yxcvbnm"}},
    {KeyboardLayout::kAzerty, {"azertyuiop", "qsdfghjklm", "wxcvbn"}},
    {KeyboardLayout::kJcuken, {"йцукенгшщзхъ", "фывапролджэ", "ячсмитьбю"}},
};
constexpr std::size_t kLayoutCount = std::size(kLayouts);

// Every key of a layout with its position: ASCII letters in a table, the
// others in a short list.
struct KeyTable {
  std::array<KeyPosition, 128> Ascii{};
  std::vector<std::pair<char32_t, KeyPosition>> Others;
};

const KeyTable& KeysOf(KeyboardLayout Layout) {
  static const std::array<KeyTable, kLayoutCount> kTables = [] {
    std::array<KeyTable, kLayoutCount> tables;
    for (const LayoutRows& l : kLayouts) {
      KeyTable& t = tables[static_cast<std::size_t>(l.Layout)];
      for (int r = 0; r < 3; ++r) {
        const std::string_view row = l.Rows[static_cast<std::size_t>(r)];
        int column = 0;
        for (std::size_t i = 0; i < row.size(); ++column) {
          const char32_t c = NextLetter(row, i);
          const KeyPosition p{r, column};
          if (c < 128) {
            t.Ascii[c] = p;
          } else {
            t.Others.emplace_back(c, p);
          }
        }
      }
    }
    return tables;
  }();
  return kTables[static_cast<std::size_t>(Layout)];
}

// The languages with traits of their own; any other gets kOther.
constexpr TypingLanguage kEnglish{"en", KeyboardLayout::kQwerty, true};
constexpr TypingLanguage kKnown[] = {
    kEnglish,
    {"de", KeyboardLayout::kQwertz, false},
    {"fr", KeyboardLayout::kAzerty, false},
    {"es", KeyboardLayout::kSpanishQwerty, false},
    {"ru", KeyboardLayout::kJcuken, false},
};
constexpr TypingLanguage kOther{"", KeyboardLayout::kQwerty, false};

}  // namespace

const TypingLanguage& TypingLanguageFor(std::string_view Tag) {
  if (Tag.empty()) return kEnglish;
  // The language part: the letters before '_', '-' or '.', in small letters.
  std::string code;
  for (char c : Tag) {
    if (c == '_' || c == '-' || c == '.' || c == '@') break;
    code.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  for (const TypingLanguage& l : kKnown) {
    if (l.Code == code) return l;
  }
  return kOther;
}

char32_t NextLetter(std::string_view Text, std::size_t& I) {
  const auto lead = static_cast<std::uint8_t>(Text[I++]);
  if (lead < 0x80) return lead;
  std::size_t need = 0;
  char32_t c = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 1;
    c = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 2;
    c = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 3;
    c = lead & 0x07u;
  } else {
    return kRawByte + lead;
  }
  for (; need > 0; --need) {
    if (I >= Text.size() || (static_cast<std::uint8_t>(Text[I]) & 0xC0) != 0x80) return kRawByte + lead;
    c = c << 6 | (static_cast<std::uint8_t>(Text[I++]) & 0x3Fu);
  }
  return c;
}

char32_t LowerOtherLetter(char32_t C) {
  if (C >= kRawByte) return C;
  return static_cast<char32_t>(utf8proc_tolower(static_cast<utf8proc_int32_t>(C)));
}

bool IsOtherCapitalLetter(char32_t C) {
  if (C >= kRawByte) return false;
  const auto c = static_cast<utf8proc_int32_t>(C);
  return utf8proc_tolower(c) != c;
}

char32_t WithoutAccent(char32_t C) {
  if (C < 128 || C >= kRawByte) return C;
  if (C == U'ß') return U's';
  // The canonical decomposition: a base letter and its combining marks.
  utf8proc_int32_t parts[8];
  int boundclass = 0;
  const utf8proc_ssize_t n = utf8proc_decompose_char(static_cast<utf8proc_int32_t>(C), parts, 8,
                                                     UTF8PROC_DECOMPOSE, &boundclass);
  if (n < 2 || n > 8) return C;
  for (utf8proc_ssize_t i = 1; i < n; ++i) {
    const utf8proc_category_t category = utf8proc_category(parts[i]);
    if (category != UTF8PROC_CATEGORY_MN && category != UTF8PROC_CATEGORY_MC) return C;
  }
  return static_cast<char32_t>(parts[0]);
}

bool IsVowelLetter(char32_t C) {
  const char32_t base = WithoutAccent(C);
  switch (base) {
    case U'a': case U'e': case U'i': case U'o': case U'u': case U'y':
    case U'æ': case U'œ': case U'ø':
    case U'а': case U'е': case U'ё': case U'и': case U'о': case U'у': case U'ы':
    case U'э': case U'ю': case U'я':
      return true;
    default:
      return false;
  }
}

KeyPosition KeyOf(KeyboardLayout Layout, char32_t C) {
  const KeyTable& t = KeysOf(Layout);
  if (C < 128) return t.Ascii[C];
  for (const auto& [letter, position] : t.Others) {
    if (letter == C) return position;
  }
  return {};
}

LetterTraits TraitsOf(KeyboardLayout Layout, char32_t C) {
  // The ASCII letters of each layout, worked out once.
  static const std::array<std::array<LetterTraits, 128>, kLayoutCount> kAscii = [] {
    std::array<std::array<LetterTraits, 128>, kLayoutCount> tables;
    for (const LayoutRows& l : kLayouts) {
      for (char32_t c = 0; c < 128; ++c) {
        tables[static_cast<std::size_t>(l.Layout)][c] = {c, IsVowelLetter(c), KeyOf(l.Layout, c)};
      }
    }
    return tables;
  }();
  if (C < 128) return kAscii[static_cast<std::size_t>(Layout)][C];
  return {WithoutAccent(C), IsVowelLetter(C), KeyOf(Layout, C)};
}

}  // namespace wordloom::detail
