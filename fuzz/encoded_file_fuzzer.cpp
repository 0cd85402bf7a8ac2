// Feeds arbitrary bytes to the reader of encoded files (header and stream)
// and checks the writer's round trip. The first byte chooses: bits 0..2 the
// code width (mod 5), bit 3 the delimiter option, bits 4..5 the dictionary's
// token, bit 6 reading or a round trip, bit 7 (reading) a header sealed with
// the right checksums and fingerprint around fuzzed fields and payload, so
// that the stream behind it is decoded too, or (round trip) fixed blocks.
//
// Reading may fail only with a wordloom exception. A round trip must give
// back every text byte for byte and never fail.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include <zlib.h>

#include "wordloom/wordloom.h"

namespace {

using namespace wordloom;

constexpr std::uint8_t kTokens[] = {0, '\\', '*', 0xFF};

void Fill(TVelkWordloom& dict) {
  dict.InitFirstSpellNode();
  for (const char* w : {"the", "the ", "a", "a ", "to", "to ", "be", "be ", "and", "cat.", "x"}) {
    dict.AddToSpell(w);
  }
  // Few words, so that a run is fast: the stream's codes of every width are
  // the decoder fuzzer's; this one is about the header and the token.
  for (int i = 0; i < 60; ++i) {
    dict.AddToSpell(std::string{'w', static_cast<char>('a' + i / 26), static_cast<char>('a' + i % 26)});
  }
}

// A file around Bytes: token, replacement length (up to 8) and replacement
// from its front, the rest the payload; fingerprint, lengths and checksums
// made to pass the checks before decoding.
std::string Sealed(TVelkWordloom& dict, const std::string& bytes) {
  EncodedFileHeader h;
  std::size_t at = 0;
  if (bytes.size() >= 2) {
    h.Token = static_cast<std::uint8_t>(bytes[0]);
    const std::size_t n = static_cast<std::uint8_t>(bytes[1]) % 9;
    at = 2;
    for (std::size_t i = 0; i < n && at < bytes.size(); ++i, ++at) {
      if (bytes[at] != static_cast<char>(h.Token)) h.Replacement.push_back(bytes[at]);
    }
  }
  const std::string payload = bytes.substr(at);
  h.EncodedBlockSize = dict.EncodedBlockSize();
  h.DelimiterOption = dict.DelimiterOption();
  DictionaryFingerprint(dict, h.WordCount, h.WordsChecksum);
  h.PayloadLength = payload.size();
  h.PayloadChecksum = static_cast<std::uint32_t>(crc32(
      0, reinterpret_cast<const Bytef*>(payload.data()), static_cast<uInt>(payload.size())));
  return EncodeEncodedFileHeader(h) + payload;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 16384) return 0;
  const std::uint8_t choice = data[0];
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  // One dictionary per combination of settings, built on first use: the
  // passes below leave a dictionary as they found it (its format character is
  // put back), and building one per run would cost more than the run.
  static std::unique_ptr<TVelkWordloom> dicts[4][2][5];
  auto& slot = dicts[(choice >> 4) & 3][(choice >> 3) & 1][(choice & 7) % 5];
  if (!slot) {
    slot = std::make_unique<TVelkWordloom>(nullptr);
    slot->FormatChar()->SetToken(kTokens[(choice >> 4) & 3]);
    slot->SetDelimiterOption((choice & 8) != 0 ? wldInclFirstSucc : wldExclFirstSucc);
    Fill(*slot);
    slot->SetEncodedBlockSize(static_cast<TEncBlockSizeInterval>((choice & 7) % 5));
  }
  TVelkWordloom& dict = *slot;
  dict.SetTypeOfInput(wliTextInput);

  if ((choice & 0x40) == 0) {
    TMemoryStream in((choice & 0x80) != 0 ? Sealed(dict, bytes) : bytes);
    TMemoryStream out;
    try {
      ReadEncodedFile(dict, in, out);
    } catch (const Exception&) {
      // A clean refusal.
    }
    return 0;
  }

  if ((choice & 0x80) != 0) {
    dict.SetTypeOfInput(wliFixedBlockSize);
    dict.SetUnencodedBlockSize(3);
  }
  TMemoryStream text(bytes);
  TMemoryStream encoded;
  WriteEncodedFile(dict, text, encoded);
  encoded.SetPosition(0);
  TMemoryStream decoded;
  ReadEncodedFile(dict, encoded, decoded);
  if (decoded.Bytes() != bytes) std::abort();
  return 0;
}
