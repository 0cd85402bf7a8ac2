// Feeds arbitrary bytes to the stream decoder. The first byte chooses the
// settings: bits 0..2 the code width (mod 5), bit 3 the delimiter option,
// bits 4..5 the token, bit 6 decoding or a round trip, bit 7 fixed blocks of
// three bytes (round trip only). The dictionary is fixed: some short words and
// 300 generated ones, so that codes of one and two bytes name words.
//
// Decoding: with a handler that marks every report handled the decoder must
// not raise; without one it may raise only EConvertError, and what it wrote
// before must be what the handled run wrote up to that point.
// Round trip: the rest is text; decoding its encoding gives it back unless it
// holds the replacement bytes, or the token when there is no replacement.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "wordloom/wordloom.h"

namespace {

using namespace wordloom;

constexpr std::uint8_t kTokens[] = {0, '\\', '*', 0xFF};

void Fill(TVelkWordloom& dict) {
  dict.InitFirstSpellNode();
  for (const char* w : {"the", "the ", "a", "a ", "to", "to ", "be", "be ", "and", "and ", "cat",
                        "cat.", "x", "\xE9t\xE9"}) {
    dict.AddToSpell(w);
  }
  for (int i = 0; i < 300; ++i) {
    dict.AddToSpell(std::string{'w', static_cast<char>('a' + i / 26), static_cast<char>('a' + i % 26)});
  }
}

std::string Decode(TVelkWordloom& dict, const std::string& bytes) {
  TMemoryStream in(bytes);
  TMemoryStream out;
  try {
    dict.DecodeStream(in, out);
  } catch (const EConvertError&) {
    // Reported codes end the pass; what was written before stays.
  }
  return out.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 16384) return 0;
  const std::uint8_t choice = data[0];
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  TVelkWordloom dict(nullptr);
  dict.FormatChar()->SetToken(kTokens[(choice >> 4) & 3]);
  dict.SetDelimiterOption((choice & 8) != 0 ? wldInclFirstSucc : wldExclFirstSucc);
  Fill(dict);
  // Set after filling, so that the dictionary keeps more words than a width
  // of one byte numbers, as a reduction that keeps words can leave it.
  dict.SetOnDeleteWord([](const std::string&, bool& Keep) { Keep = true; });
  dict.SetEncodedBlockSize(static_cast<TEncBlockSizeInterval>((choice & 7) % 5));

  if ((choice & 0x40) == 0) {
    const std::string unhandled = Decode(dict, bytes);
    dict.SetOnException([](TObject*, ErrorClass, const std::string&, bool& Handled) {
      Handled = true;
    });
    TMemoryStream in(bytes);
    TMemoryStream out;
    dict.DecodeStream(in, out);  // must not raise
    if (out.Bytes().compare(0, unhandled.size(), unhandled) != 0) std::abort();
    return 0;
  }

  if ((choice & 0x80) != 0) {
    dict.SetTypeOfInput(wliFixedBlockSize);
    dict.SetUnencodedBlockSize(3);
  }
  const std::string replacement = dict.FormatChar()->GetReplBStr().GetString();
  const char token = static_cast<char>(dict.FormatChar()->GetToken());
  const bool exact = replacement.empty() ? bytes.find(token) == std::string::npos
                                         : bytes.find(replacement) == std::string::npos;
  TMemoryStream in(bytes);
  TMemoryStream encoded;
  try {
    dict.EncodeStream(in, encoded);
  } catch (const EConvertError&) {
    // Fixed blocks holding a token without a replacement are refused.
    if (!(replacement.empty() && dict.TypeOfInput() == wliFixedBlockSize)) std::abort();
    return 0;
  }
  encoded.SetPosition(0);
  TMemoryStream decoded;
  dict.DecodeStream(encoded, decoded);
  if (exact && decoded.Bytes() != bytes) std::abort();
  return 0;
}
