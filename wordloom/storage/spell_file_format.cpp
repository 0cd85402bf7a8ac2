// The spell file format: the option byte of the header, and the error of a
// malformed file. See docs/spell-file-format.md; the body is spell_body.cpp.
#include "storage/spell_file_format.h"

#include <string>

#include "wordloom/platform/exceptions.h"

namespace wordloom::detail {

void FailSpellFile(const std::string& What) { throw EReadError("spell file: " + What); }

std::uint8_t EncodeOptionByte(TWLDelimiterOptions DelimiterOption, std::uint8_t EncodedBlockSize,
                              std::uint32_t UnencodedBlockSize, TWLInputOptions TypeOfInput) {
  // UnencodedBlockSize has three bits: 8 and more would reach into TypeOfInput.
  if (EncodedBlockSize > 4 || UnencodedBlockSize > 7) throw ERangeError(kRangeErrorMessage);
  std::uint32_t byte = DelimiterOption == wldInclFirstSucc ? 1u : 0u;
  byte |= std::uint32_t{EncodedBlockSize} * 2;
  byte |= UnencodedBlockSize * 16;
  if (TypeOfInput == wliFixedBlockSize) byte |= 0x80;
  return static_cast<std::uint8_t>(byte);
}

void DecodeOptionByte(std::uint8_t Byte, SpellHeader& Header) {
  Header.DelimiterOption = (Byte & 1) != 0 ? wldInclFirstSucc : wldExclFirstSucc;
  Header.EncodedBlockSize = (Byte >> 1) & 7;
  if (Header.EncodedBlockSize > 4) {
    FailSpellFile("encoded block size " + std::to_string(Header.EncodedBlockSize) + " above 4");
  }
  Header.UnencodedBlockSize = (Byte >> 4) & 7;
  Header.TypeOfInput = (Byte & 0x80) != 0 ? wliFixedBlockSize : wliTextInput;
}

}  // namespace wordloom::detail
