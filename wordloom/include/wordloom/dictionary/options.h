// The option types of the dictionary component and the default delimiter set.
// Every enumerator's ordinal is its position; sets are stored in one byte.
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>
#include <functional>
#include <string>

#include "wordloom/platform/enum_set.h"

namespace wordloom {

enum TWLSpellFileOption : std::uint8_t { wlsHardCoded, wlsPromptOnReplace, wlsPromptOnModified };
using TWLSpellFileOptions = EnumSet<TWLSpellFileOption, 3>;

// Whether the first delimiter after a word is left out of the word or belongs to it.
enum TWLDelimiterOptions : std::uint8_t { wldExclFirstSucc, wldInclFirstSucc };

enum TWLFormatCharOption : std::uint8_t { wlcAlwaysPrefix, wlcCondSuffix };
using TWLFormatCharOptions = EnumSet<TWLFormatCharOption, 2>;

// Text cut into words, or into blocks of UnencodedBlockSize bytes (an
// enumeration, not a set, despite its plural name).
enum TWLInputOptions : std::uint8_t { wliTextInput, wliFixedBlockSize };

// Bytes per code in an encoded stream: 0 (variable length) to 4.
using TEncBlockSizeInterval = std::uint8_t;
inline constexpr TEncBlockSizeInterval kMaxEncodedBlockSize = 4;

// Filters one word; Keep arrives preset to the default action.
using TKeepWordEvent = std::function<void(const std::string& Word, bool& Keep)>;

// The default delimiters, which a dictionary copies when it is created: the
// byte values 0..37, 40..64, 91..93, 95, 123..153, 155, 157, 158, 160..191, 215
// and 247 (135 values). Digits, blanks, control characters and most punctuation
// cut words; the apostrophe and the ampersand stay inside them. The host may
// change it; dictionaries created later start from the changed set.
extern TCharSet DefDelimiters;

// The value DefDelimiters starts with.
TCharSet InitialDefDelimiters();

// Delimiters for UTF-8 text: the ASCII delimiters of the default set, while
// every byte from 128 up is a word character, so that a multi-byte character
// never cuts a word. Apply it with dict.SetDelimiters(Utf8Delimiters()), or
// make it the default with DefDelimiters = Utf8Delimiters().
TCharSet Utf8Delimiters();

}  // namespace wordloom

#pragma GCC visibility pop
