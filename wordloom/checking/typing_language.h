// What the likelihood ranking knows of the language a dictionary is written
// in: which keyboard its writers type on (so which keys are neighbours),
// which letters are vowels, which letters are the same letter with an accent
// left off, and whether English sound-alike keys fit its spelling. Also the
// UTF-8 decoding the ranking's edit costs share, so that a letter of two or
// more bytes counts as one letter everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace wordloom::detail {

// The usual keyboard of a language's writers.
enum class KeyboardLayout : std::uint8_t {
  kQwerty,         // English, Dutch, Italian, Portuguese, ...
  kSpanishQwerty,  // QWERTY with ñ after l
  kQwertz,         // German: z and y swapped, ü ö ä at the right
  kAzerty,         // French: a/q and z/w swapped, m on the middle row
  kJcuken,         // Russian
};

struct TypingLanguage {
  // The language part of the tag ("en", "de", ...); empty for English as the default.
  std::string_view Code;
  KeyboardLayout Layout = KeyboardLayout::kQwerty;
  // Whether the sound-alike keys (English spelling by ear) apply.
  bool SoundAlike = true;
};

// The traits of the language of Tag: "de", "de_DE", "de-AT" and "DE" alike
// give German. An empty tag is English; a language this knows nothing
// particular of gets QWERTY and no sound-alike keys.
const TypingLanguage& TypingLanguageFor(std::string_view Tag);

// A byte that does not start or finish a valid UTF-8 sequence stands for a
// letter of its own: this plus the byte (above every Unicode code point).
inline constexpr char32_t kRawByte = 0x110000;

// The letter of Text at I (UTF-8), moving I past it: a sequence cut short
// (a lead byte without all its continuation bytes) counts as one letter,
// kRawByte + its lead byte, with the continuation bytes it has; a lone
// continuation or invalid byte is kRawByte + that byte.
// REQUIRES: I < Text.size().
char32_t NextLetter(std::string_view Text, std::size_t& I);

// The lower-case form of a letter (Unicode's simple mapping); raw bytes stay.
char32_t LowerOtherLetter(char32_t C);
inline char32_t LowerLetter(char32_t C) {
  if (C < 128) return C >= 'A' && C <= 'Z' ? C + 32 : C;
  return LowerOtherLetter(C);
}
// Whether C is a capital (upper- or title-case) letter.
bool IsOtherCapitalLetter(char32_t C);
inline bool IsCapitalLetter(char32_t C) {
  if (C < 128) return C >= 'A' && C <= 'Z';
  return IsOtherCapitalLetter(C);
}
// The letter without its accents: é, è, ê -> e; ü -> u; ё -> е; й -> и;
// ß -> s. Letters without one (and raw bytes) stay as they are.
char32_t WithoutAccent(char32_t C);
// Whether the (lower-case) letter is a vowel: a e i o u y with or without
// accents, æ œ ø, and the Cyrillic vowels.
bool IsVowelLetter(char32_t C);

// Where a (lower-case) letter lies on a layout: row and column; Row < 0 when
// the layout has no key for it.
struct KeyPosition {
  int Row = -1;
  int Column = 0;
};
KeyPosition KeyOf(KeyboardLayout Layout, char32_t C);
// Whether two keys touch: next to each other in a row, or diagonally in the
// rows above and below (rows are offset by about half a key, so a key
// touches the key below it and the one to that key's left).
inline bool KeysTouch(KeyPosition A, KeyPosition B) {
  if (A.Row < 0 || B.Row < 0) return false;
  const int columns = A.Column - B.Column;
  if (A.Row == B.Row) return columns == 1 || columns == -1;
  if (B.Row == A.Row + 1) return columns == 0 || columns == 1;
  if (A.Row == B.Row + 1) return columns == 0 || columns == -1;
  return false;
}

// What the typo model asks of a (lower-case) letter, worked out once: its
// letter without accents, whether it is a vowel, its key on a layout.
struct LetterTraits {
  char32_t Base = 0;
  bool Vowel = false;
  KeyPosition Key;
};
LetterTraits TraitsOf(KeyboardLayout Layout, char32_t C);

}  // namespace wordloom::detail
