// The spell file format, as pieces the dictionary's file operations put
// together. Layout (docs/spell-file-format.md has it in full):
//
//   marker    4 bytes   "PROT" or "PUBL"                      never enciphered
//   password  L bytes   the password, enciphered               protected files only
//   header    32 bytes  delimiter set, 8 little-endian words
//             1 byte    options: bit 0 DelimiterOption, bits 1-3 EncodedBlockSize,
//                       bits 4-6 UnencodedBlockSize, bit 7 TypeOfInput
//             1 byte    token; 4 bytes R; R bytes replacement
//   body      4 bytes N (words), 4 bytes M (nodes), M node records, N word
//             entries (storage/spell_body.h)
//
// All integers little-endian.
#pragma once

#include <cstdint>
#include <string>

#include "wordloom/dictionary/options.h"
#include "wordloom/platform/enum_set.h"

namespace wordloom::detail {

inline constexpr char kProtectedMarker[4] = {'P', 'R', 'O', 'T'};
inline constexpr char kPublicMarker[4] = {'P', 'U', 'B', 'L'};

// The settings a header carries.
struct SpellHeader {
  TCharSet Delimiters;
  TWLDelimiterOptions DelimiterOption = wldInclFirstSucc;
  std::uint8_t EncodedBlockSize = 0;
  std::uint8_t UnencodedBlockSize = 0;  // 0: keep the current value
  TWLInputOptions TypeOfInput = wliTextInput;
  std::uint8_t Token = 0;
  std::string Replacement;
};

// The option byte of the settings; raises ERangeError when they do not fit
// (EncodedBlockSize above 4, UnencodedBlockSize above 7).
std::uint8_t EncodeOptionByte(TWLDelimiterOptions DelimiterOption, std::uint8_t EncodedBlockSize,
                              std::uint32_t UnencodedBlockSize, TWLInputOptions TypeOfInput);
// Fills the option fields of Header; raises EReadError for an EncodedBlockSize above 4.
void DecodeOptionByte(std::uint8_t Byte, SpellHeader& Header);

// Raises EReadError("spell file: " + What).
[[noreturn]] void FailSpellFile(const std::string& What);

}  // namespace wordloom::detail
