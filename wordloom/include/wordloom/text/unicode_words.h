// The words of UTF-8 prose, found by Unicode character properties: what the
// front ends check. Letters and combining marks make words; punctuation,
// symbols, spaces of every kind, emoji and a byte-order mark part them; an
// apostrophe (' or U+2019) or a hyphen between two letters stays inside, and
// so do invisible format characters (soft hyphen, joiners); a U+2019 before a
// word that follows no letter is an elision ("’tis").
// What is not prose is left out: URLs, e-mail addresses, every word that
// holds a digit (numbers, "1st", "10km", "mp3"), and names joined by dots or
// underscores (file names, domains, identifiers: "README.md", "snake_case").
//
//   for (const UnicodeWord& w : FindUnicodeWords("It\xE2\x80\x99s 5\xE2\x82\xAC.")) {
//     // "It’s" at Offset 0, Length 6, Lookup "It's"; "5" and "€" are no words
//   }
//
// The dictionary's byte tokenizer (tokenizer.h, WordsOfText) stays the cut of
// learning and of CheckMemo; this one serves text shown to people.
#pragma once

#pragma GCC visibility push(default)

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wordloom {

// One word of a UTF-8 text.
struct UnicodeWord {
  // Where the word stands in the text, in bytes: what a front end replaces.
  std::size_t Offset = 0;
  std::size_t Length = 0;
  // The word as a dictionary spells it: in NFC, U+2019 folded to ' and the
  // hyphen U+2010 to -, format characters dropped. A correction replaces the
  // text's bytes, so the writer's apostrophe is the caller's to keep.
  std::string Lookup;
};

// The words of Text, in order. Bytes that are not valid UTF-8 part words like
// punctuation does; no input makes it fail.
std::vector<UnicodeWord> FindUnicodeWords(std::string_view Text);

// The number of characters in Text as FindUnicodeWords reads it: each valid
// UTF-8 sequence is one, each byte of an invalid one is one. For columns and
// ispell offsets, which count characters.
std::size_t CharacterCount(std::string_view Text);

// The character of Text at At: its length in bytes, with its code point in
// Code; 1, with Code -1, for a byte that starts no valid UTF-8 sequence
// (overlong forms, surrogates, code points above U+10FFFF and sequences cut
// short are not valid). REQUIRES: At < Text.size().
std::size_t Utf8CharAt(std::string_view Text, std::size_t At, std::int32_t& Code);
// Whether all of Text is valid UTF-8.
bool IsValidUtf8(std::string_view Text);

// Word in Unicode normalisation form C with U+2019 folded to ' and U+2010
// to -, and without format characters: the lookup form of one word. Invalid
// UTF-8 comes back unchanged but for the folding.
std::string LookupForm(std::string_view Word);

}  // namespace wordloom

#pragma GCC visibility pop
