// Letter case of UTF-8 words by Unicode's case mappings (utf8proc): the one
// home of case for the word rules, so that "ÉCOLE" and "École" are case forms
// of "école" as "PARIS" is of "Paris". Each character maps to one character
// (Unicode's simple mappings: "ß" becomes "ẞ" in capitals, though a word in
// capitals may keep its "ß"). Bytes that are not
// valid UTF-8 pass through unchanged and count as neither capital nor small.
#pragma once

#pragma GCC visibility push(default)

#include <string>
#include <string_view>
#include <vector>

namespace wordloom {

// Word with every letter in small letters, or in capitals.
std::string LowerCase(std::string_view Word);
std::string UpperCase(std::string_view Word);
// Word in small letters with its first character in title case: "Paris" for
// "PARIS", "École" for "ÉCOLE".
std::string Capitalised(std::string_view Word);
// Whether the first character of Word is a capital (or title-case) letter.
bool StartsWithCapital(std::string_view Word);
// Whether the writer wrote Word in capitals: at least two characters, a
// capital first, no small letter anywhere ("NASA", "O'NEIL", "ÉCOLE"; not
// "I", not "1ST").
bool IsAllCapitals(std::string_view Word);
// Suggestion in the writer's case for Typed: all in capitals when Typed is
// (IsAllCapitals), else with a capital first letter when Typed has one;
// otherwise as it is. A capital the suggestion has of its own stays.
std::string InWritersCase(std::string Suggestion, std::string_view Typed);
// The humps of an identifier written in camel case: Word cut before a
// capital that follows a small letter ("dataLayer": "data", "Layer"), and
// before the last capital of a run that a small letter follows ("DOMContent":
// "DOM", "Content"). One part, Word itself, when it has no such hump.
std::vector<std::string_view> CamelHumps(std::string_view Word);

}  // namespace wordloom

#pragma GCC visibility pop
