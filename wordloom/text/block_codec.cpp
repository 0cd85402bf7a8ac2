// The block codec: a word becomes its 32-bit code value and back.
//
// Plain form: the code value is the word number. Base-255 form (when the
// format character options lack wlcAlwaysPrefix): the word number as four
// base-255 digits, least significant first, each digit d written as the byte
// d below the token's code T and d + 1 from T on, so that no code byte is T.
#include <cstdio>

#include "text/block_codec.h"
#include "wordloom/dictionary/velk_wordloom.h"
#include "dictionary/word_trie.h"
#include "wordloom/platform/coding.h"
#include "wordloom/platform/exceptions.h"

namespace wordloom {

namespace detail {

std::uint32_t Base255Code(std::uint32_t N, std::uint8_t T) {
  std::uint8_t digits[4];
  for (std::uint8_t& digit : digits) {
    std::uint32_t d = N % 255;
    N /= 255;
    if (d >= T) ++d;
    digit = static_cast<std::uint8_t>(d);
  }
  return DecodeFixed(digits, 4);
}

std::uint64_t Base255Number(std::uint32_t Code, std::uint8_t T) {
  std::uint8_t digits[4];
  EncodeFixed(digits, Code, 4);
  std::uint64_t n = 0;
  for (int i = 3; i >= 0; --i) {
    std::uint32_t b = digits[i];
    if (b > T) --b;
    n = n * 255 + b;
  }
  return n;
}

std::uint32_t CodeLimitFor(std::uint8_t Width, bool Plain) {
  // 255^n - 1; a plain code of 4 bytes numbers every word there can be.
  static constexpr std::uint32_t kBase255[] = {0, 254, 65024, 16581374, 4228250624u};
  if (Width == 0 || Width > 4) return 0;
  if (Plain) return Width == 4 ? 0 : WidthMax(Width);
  return kBase255[Width];
}

}  // namespace detail

std::uint32_t TVelkWordloom::CodeLimit() const {
  return detail::CodeLimitFor(FEncodedBlockSize, GetFormatCharOptions().Contains(wlcAlwaysPrefix));
}

std::uint32_t TVelkWordloom::EncodeBlock(const TByteString& Block) {
  if (Block.Size() == 0) {
    DoError(ErrorClass::Of<EConvertError>(), "Cannot encode an empty string.");
    return kNoCode;
  }
  // Walk from the root; the cursor stays on the last node reached.
  std::uint32_t node = 0;
  FCurrentNode = 0;
  bool found = true;
  for (std::uint32_t i = 0; i < Block.Size(); ++i) {
    const std::int32_t child = FNodeList->FindChild(node, Block.Data()[i]);
    if (child < 0) {
      found = false;
      break;
    }
    node = static_cast<std::uint32_t>(child);
    FCurrentNode = child;
  }
  const std::uint32_t n = found ? FNodeList->WordNumber(node) : 0;
  if (n == 0) {
    DoError(ErrorClass::Of<EConvertError>(),
            "Misspelled or missing word: \"" + Block.GetString() + "\"");
    return kNoCode;
  }
  if (GetFormatCharOptions().Contains(wlcAlwaysPrefix)) return n;
  return detail::Base255Code(n, FFormatChar.GetToken());
}

void TVelkWordloom::DecodeBlockBStr(std::uint32_t Code, TByteString& Block) {
  const std::uint64_t n = GetFormatCharOptions().Contains(wlcAlwaysPrefix)
                              ? Code
                              : detail::Base255Number(Code, FFormatChar.GetToken());
  if (n == 0 || n > FNodeList->WordCount()) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "%08llX", static_cast<unsigned long long>(n));
    DoError(ErrorClass::Of<EConvertError>(), std::string("Cannot decode $") + hex + ".");
    Block.SetSize(0);
    return;
  }
  ExtractSpellBStr(static_cast<std::uint32_t>(FNodeList->Entry(static_cast<std::uint32_t>(n - 1)).Node),
                   Block);
}

std::string TVelkWordloom::DecodeBlock(std::uint32_t Code) {
  TByteString word;
  DecodeBlockBStr(Code, word);
  return word.GetString();
}

}  // namespace wordloom
