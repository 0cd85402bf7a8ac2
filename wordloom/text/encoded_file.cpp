// Encoded files (docs/encoded-format.md, "Encoded files"): a header, then the
// encoded stream of stream_codec.cpp unchanged. All fields little-endian:
//   magic byte[8], version u8, flags u8, header size u16,
//   token u8, replacement length u8, replacement byte[R],
//   encoded block size u8, delimiter option u8,
//   word count u32, words CRC-32 u32,
//   text length u64, text CRC-32 u32,
//   payload length u64, payload CRC-32 u32,
//   header CRC-32 u32 (of every header byte before it).
// Checksums are zlib's CRC-32, the one of gzip and PNG.
#include "wordloom/text/encoded_file.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>

#include "wordloom/platform/coding.h"
#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/scratch_file.h"

namespace wordloom {

namespace {

// Bytes read or copied at a time by the passes over a text.
constexpr std::size_t kChunk = 64 * 1024;
// The largest header a reader takes: the base, a replacement of 255 bytes,
// and room for fields a later revision of version 1 may append.
constexpr std::size_t kMaxHeaderSize = 4096;
// Length of a replacement made up for a text that holds every byte value.
constexpr std::size_t kMadeReplacementLength = 8;
constexpr int kReplacementCandidates = 8;

// The CRC-32 of Size bytes at Data, continuing from Seed (0 to start).
std::uint32_t Crc(std::uint32_t Seed, const void* Data, std::size_t Size) {
  const auto* p = static_cast<const Bytef*>(Data);
  // zlib takes lengths as uInt; a chunk never exceeds it, but be exact.
  while (Size > 0) {
    const auto n = static_cast<uInt>(std::min<std::size_t>(Size, 1u << 30));
    Seed = static_cast<std::uint32_t>(crc32(Seed, p, n));
    p += n;
    Size -= n;
  }
  return Seed;
}

void PutU16(std::string& Out, std::uint16_t V) { PutFixed(Out, V, 2); }
void PutU32(std::string& Out, std::uint32_t V) { PutFixed(Out, V, 4); }
void PutU64(std::string& Out, std::uint64_t V) {
  std::uint8_t bytes[8];
  EncodeFixed64(bytes, V);
  Out.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// Reads fields from the front of a header, every read checked against what
// is left.
class FieldReader {
 public:
  explicit FieldReader(std::string_view Bytes) : FBytes(Bytes) {}
  std::uint8_t U8(const char* Field) { return Take(1, Field)[0]; }
  std::uint16_t U16(const char* Field) {
    return static_cast<std::uint16_t>(DecodeFixed(Take(2, Field), 2));
  }
  std::uint32_t U32(const char* Field) { return DecodeFixed(Take(4, Field), 4); }
  std::uint64_t U64(const char* Field) {
    return DecodeFixed64(Take(8, Field));
  }
  std::string_view Bytes(std::size_t N, const char* Field) {
    return {reinterpret_cast<const char*>(Take(N, Field)), N};
  }
  std::size_t Offset() const { return FOffset; }

 private:
  const std::uint8_t* Take(std::size_t N, const char* Field) {
    if (FBytes.size() - FOffset < N) {
      throw EReadError(std::string("damaged: the header ends inside its ") + Field);
    }
    const auto* p = reinterpret_cast<const std::uint8_t*>(FBytes.data() + FOffset);
    FOffset += N;
    return p;
  }
  std::string_view FBytes;
  std::size_t FOffset = 0;
};

// Passes over a stream from its position to its end, a chunk at a time.
void ForEachChunk(TStream& Stream, const std::function<void(const std::uint8_t*, std::size_t)>& Use) {
  const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(kChunk);
  for (;;) {
    const std::size_t n = Stream.Read(buffer.get(), kChunk);
    if (n == 0) break;
    Use(buffer.get(), n);
  }
}

// Whether Needle occurs in Stream from its position to its end.
bool Occurs(TStream& Stream, std::string_view Needle) {
  // The last Needle.size() - 1 bytes of a chunk stay for the next, so that
  // an occurrence across two chunks is found.
  std::string window;
  bool found = false;
  ForEachChunk(Stream, [&](const std::uint8_t* p, std::size_t n) {
    if (found) return;
    window.append(reinterpret_cast<const char*>(p), n);
    if (window.find(Needle) != std::string::npos) found = true;
    const std::size_t keep = std::min(window.size(), Needle.size() - 1);
    window.erase(0, window.size() - keep);
  });
  return found;
}

// A stream that passes every byte written on to Dest and keeps the count and
// CRC-32 of what went through. It cannot be read; its position is the count.
// With a Limit, a write that would pass it raises EReadError and writes
// nothing: a decoded text stops at the length its header announces.
class ChecksumWriter : public TStream {
 public:
  explicit ChecksumWriter(TStream& Dest, std::uint64_t Limit = UINT64_MAX)
      : FDest(Dest), FLimit(Limit) {}
  std::size_t Read(void*, std::size_t) override { throw EReadError("Stream read error"); }
  std::size_t Write(const void* Buffer, std::size_t Count) override {
    if (Count > FLimit - FCount) {
      throw EReadError("the decoded text is longer than the " + std::to_string(FLimit) +
                       " bytes encoded");
    }
    FDest.WriteBuffer(Buffer, Count);
    FCrc = Crc(FCrc, Buffer, Count);
    FCount += Count;
    return Count;
  }
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override {
    if (Offset != 0 || Origin == soBeginning) throw EStreamError("Cannot seek while writing");
    return static_cast<std::int64_t>(FCount);
  }
  void SetSize(std::int64_t) override { throw EStreamError("Cannot resize while writing"); }
  std::uint64_t Count() const { return FCount; }
  std::uint32_t Checksum() const { return FCrc; }

 private:
  TStream& FDest;
  std::uint64_t FLimit;
  std::uint64_t FCount = 0;
  std::uint32_t FCrc = 0;
};

// Length bytes of Source from Start, seen as a stream of their own.
class SliceReader : public TStream {
 public:
  SliceReader(TStream& Source, std::int64_t Start, std::int64_t Length)
      : FSource(Source), FStart(Start), FLength(Length) {
    FSource.SetPosition(FStart);
  }
  std::size_t Read(void* Buffer, std::size_t Count) override {
    const auto left = static_cast<std::size_t>(FLength - FPosition);
    const std::size_t n = FSource.Read(Buffer, std::min(Count, left));
    FPosition += static_cast<std::int64_t>(n);
    return n;
  }
  std::size_t Write(const void*, std::size_t) override { throw EWriteError("Stream write error"); }
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override {
    const std::int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : FLength;
    const std::int64_t pos = base + Offset;
    if (pos < 0 || pos > FLength) throw EStreamError("Seek outside the encoded text");
    FSource.SetPosition(FStart + pos);
    FPosition = pos;
    return pos;
  }
  void SetSize(std::int64_t) override { throw EStreamError("Cannot resize a slice"); }

 private:
  TStream& FSource;
  std::int64_t FStart;
  std::int64_t FLength;
  std::int64_t FPosition = 0;
};

// The dictionary's format character for the length of a pass, put back as it
// was (token, replacement text and NoReplacement) however the pass ends.
class FormatCharScope {
 public:
  FormatCharScope(TVelkWordloom& Dictionary, std::uint8_t Token, const std::string& Replacement)
      : FChar(*Dictionary.FormatChar()), FNoReplacement(FChar.NoReplacement()) {
    FSaved.SetNoReplacement(FNoReplacement);
    FChar.AssignTo(&FSaved);
    // Without a replacement first, so that SetToken's check cannot refuse;
    // then the replacement's bytes exactly.
    FChar.SetNoReplacement(true);
    FChar.SetToken(Token);
    if (!Replacement.empty()) {
      FChar.SetNoReplacement(false);
      TByteString bytes;
      bytes.SetString(Replacement);
      FChar.SetReplBStr(bytes);
    }
  }
  ~FormatCharScope() {
    FChar.SetNoReplacement(FNoReplacement);
    FSaved.AssignTo(&FChar);
  }
  FormatCharScope(const FormatCharScope&) = delete;
  FormatCharScope& operator=(const FormatCharScope&) = delete;

 private:
  TFormatChar& FChar;
  TFormatChar FSaved;
  bool FNoReplacement;
};

// Whether the stream can go back, as a header written before its payload needs.
bool CanSeek(TStream& Stream) {
  try {
    Stream.Seek(0, soCurrent);
    return true;
  } catch (const EStreamError&) {
    return false;
  }
}

std::string Hex32(std::uint32_t V) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out(8, '0');
  for (int i = 7; i >= 0; --i, V >>= 4) out[static_cast<std::size_t>(i)] = kHex[V & 15];
  return out;
}

}  // namespace

std::string EncodeEncodedFileHeader(const EncodedFileHeader& Header) {
  if (Header.Replacement.size() > 255) {
    throw EConvertError("An encoded file's replacement may hold at most 255 bytes");
  }
  std::string out(kEncodedFileMagic);
  out.push_back(static_cast<char>(Header.Version));
  out.push_back(static_cast<char>(Header.Flags));
  PutU16(out, static_cast<std::uint16_t>(kEncodedFileHeaderBase + Header.Replacement.size()));
  out.push_back(static_cast<char>(Header.Token));
  out.push_back(static_cast<char>(Header.Replacement.size()));
  out += Header.Replacement;
  out.push_back(static_cast<char>(Header.EncodedBlockSize));
  out.push_back(static_cast<char>(Header.DelimiterOption));
  PutU32(out, Header.WordCount);
  PutU32(out, Header.WordsChecksum);
  PutU64(out, Header.TextLength);
  PutU32(out, Header.TextChecksum);
  PutU64(out, Header.PayloadLength);
  PutU32(out, Header.PayloadChecksum);
  PutU32(out, Crc(0, out.data(), out.size()));
  return out;
}

EncodedFileHeader DecodeEncodedFileHeader(std::string_view Bytes, std::size_t& Size) {
  if (Bytes.size() < kEncodedFileMagic.size() ||
      Bytes.substr(0, kEncodedFileMagic.size()) != kEncodedFileMagic) {
    throw EReadError("not an encoded file (no wordloom header)");
  }
  FieldReader head(Bytes.substr(kEncodedFileMagic.size()));
  EncodedFileHeader h;
  h.Version = head.U8("version");
  if (h.Version != kEncodedFileVersion) {
    throw EReadError("encoded file format version " + std::to_string(h.Version) +
                     "; this wordloom reads version " + std::to_string(kEncodedFileVersion));
  }
  h.Flags = head.U8("flags");
  if ((h.Flags & ~kEncodedFileKnownFlags) != 0) {
    throw EReadError("the file uses a feature this wordloom lacks (flags " +
                     std::to_string(h.Flags) + ")");
  }
  const std::size_t size = head.U16("header size");
  if (size < kEncodedFileHeaderBase || size > kMaxHeaderSize) {
    throw EReadError("damaged: a header size of " + std::to_string(size) + " bytes");
  }
  if (Bytes.size() < size) throw EReadError("damaged: the file ends inside its header");
  const std::uint32_t stored = DecodeFixed(reinterpret_cast<const std::uint8_t*>(Bytes.data()) + size - 4, 4);
  if (Crc(0, Bytes.data(), size - 4) != stored) {
    throw EReadError("damaged: the header's checksum does not match");
  }
  // The fields after the size, up to the checksum.
  FieldReader f(Bytes.substr(kEncodedFileMagic.size() + 4, size - kEncodedFileMagic.size() - 8));
  h.Token = f.U8("token");
  const std::size_t repl_length = f.U8("replacement length");
  h.Replacement = std::string(f.Bytes(repl_length, "replacement"));
  if (h.Replacement.find(static_cast<char>(h.Token)) != std::string::npos) {
    throw EReadError("damaged: the replacement holds the token");
  }
  h.EncodedBlockSize = f.U8("encoded block size");
  h.DelimiterOption = f.U8("delimiter option");
  if (h.EncodedBlockSize > 4 || h.DelimiterOption > wldInclFirstSucc) {
    throw EReadError("damaged: coding settings out of range");
  }
  h.WordCount = f.U32("word count");
  h.WordsChecksum = f.U32("words checksum");
  h.TextLength = f.U64("text length");
  h.TextChecksum = f.U32("text checksum");
  h.PayloadLength = f.U64("payload length");
  h.PayloadChecksum = f.U32("payload checksum");
  // Bytes between the last field and the checksum belong to a later revision
  // of this version and are skipped.
  Size = size;
  return h;
}

void DictionaryFingerprint(const TVelkWordloom& Dictionary, std::uint32_t& WordCount,
                           std::uint32_t& WordsChecksum) {
  WordCount = Dictionary.WordCount();
  std::uint32_t crc = 0;
  TByteString word;
  std::string fields;
  for (std::uint32_t i = 0; i < WordCount; ++i) {
    // Word number i + 1, its length and its bytes; a table entry without a
    // word (node 0, the root) counts as an empty word.
    const std::int32_t node = Dictionary.WordTableEntry(i).Node;
    word.SetSize(0);
    if (node > 0) Dictionary.ExtractSpellBStr(static_cast<std::uint32_t>(node), word);
    fields.clear();
    PutU32(fields, i + 1);
    PutU32(fields, static_cast<std::uint32_t>(word.Size()));
    crc = Crc(crc, fields.data(), fields.size());
    crc = Crc(crc, word.Data(), word.Size());
  }
  WordsChecksum = crc;
}

TokenChoice ChooseToken(TStream& Text, std::uint8_t PreferredToken) {
  const std::int64_t start = Text.Position();
  std::array<std::uint64_t, 256> counts{};
  ForEachChunk(Text, [&counts](const std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) ++counts[p[i]];
  });
  Text.SetPosition(start);
  TokenChoice choice;
  // A token the text lacks needs no replacement: nothing stands for it.
  if (counts[PreferredToken] == 0) {
    choice.Token = PreferredToken;
    return choice;
  }
  for (int b = 0; b < 256; ++b) {
    if (counts[static_cast<std::size_t>(b)] == 0) {
      choice.Token = static_cast<std::uint8_t>(b);
      return choice;
    }
  }
  // Every byte occurs: the rarest stands for the token, and a replacement
  // the text does not contain stands for it in the stream. Its first byte
  // occurs nowhere else in it, so it cannot overlap itself or be formed by
  // its end and the text after it, and the decoder finds exactly the ones
  // the encoder wrote.
  choice.Token = static_cast<std::uint8_t>(
      std::min_element(counts.begin(), counts.end()) - counts.begin());
  std::uint32_t seed = 0x9E3779B9u;
  for (int attempt = 0; attempt < kReplacementCandidates; ++attempt) {
    std::string candidate;
    const auto lead = static_cast<std::uint8_t>(choice.Token ^ (0x80 + attempt));
    candidate.push_back(static_cast<char>(lead));
    while (candidate.size() < kMadeReplacementLength) {
      seed = seed * 1664525u + 1013904223u;  // Numerical Recipes' LCG
      const auto b = static_cast<std::uint8_t>(seed >> 24);
      if (b != lead && b != choice.Token) candidate.push_back(static_cast<char>(b));
    }
    const bool taken = Occurs(Text, candidate);
    Text.SetPosition(start);
    if (!taken) {
      choice.Replacement = candidate;
      return choice;
    }
  }
  throw EConvertError("Cannot encode this text: no byte sequence is free to stand for the token");
}

bool PlainStreamRoundTrips(TStream& Text, const TFormatChar& Format) {
  const std::uint8_t token = Format.GetToken();
  if (ChooseToken(Text, token).Token == token) return true;  // the text lacks it
  const std::string_view replacement = Format.GetReplBStr().View();
  if (replacement.empty()) return false;  // the token would be dropped
  // A replacement whose start is also its end could be formed across a
  // replacement and the text beside it, and decode to a token that was not there.
  for (std::size_t k = 1; k < replacement.size(); ++k) {
    if (replacement.substr(0, k) == replacement.substr(replacement.size() - k)) return false;
  }
  const std::int64_t start = Text.Position();
  const bool taken = Occurs(Text, replacement);
  Text.SetPosition(start);
  return !taken;
}

void WriteEncodedFile(TVelkWordloom& Dictionary, TStream& Text, TStream& Dest) {
  EncodedFileHeader h;
  const std::int64_t start = Text.Position();
  std::uint32_t text_crc = 0;
  std::uint64_t text_length = 0;
  ForEachChunk(Text, [&](const std::uint8_t* p, std::size_t n) {
    text_crc = Crc(text_crc, p, n);
    text_length += n;
  });
  Text.SetPosition(start);
  if (text_length > UINT32_MAX) {
    throw ERangeError("A stream to encode may hold at most 4294967295 bytes");
  }
  const TokenChoice choice = ChooseToken(Text, Dictionary.FormatChar()->GetToken());
  h.Token = choice.Token;
  h.Replacement = choice.Replacement;
  h.EncodedBlockSize = Dictionary.EncodedBlockSize();
  h.DelimiterOption = Dictionary.DelimiterOption();
  DictionaryFingerprint(Dictionary, h.WordCount, h.WordsChecksum);
  h.TextLength = text_length;
  h.TextChecksum = text_crc;

  const auto encode = [&](TStream& payload) {
    ChecksumWriter counted(payload);
    FormatCharScope scope(Dictionary, choice.Token, choice.Replacement);
    Dictionary.EncodeStream(Text, counted);
    h.PayloadLength = counted.Count();
    h.PayloadChecksum = counted.Checksum();
  };
  if (CanSeek(Dest)) {
    // A header of the final size first; the payload's length and checksum
    // are filled in when it is written.
    const std::int64_t header_at = Dest.Position();
    const std::string placeholder = EncodeEncodedFileHeader(h);
    Dest.WriteBuffer(placeholder.data(), placeholder.size());
    encode(Dest);
    const std::int64_t end = Dest.Position();
    const std::string header = EncodeEncodedFileHeader(h);
    Dest.SetPosition(header_at);
    Dest.WriteBuffer(header.data(), header.size());
    Dest.SetPosition(end);
    return;
  }
  ScratchFile payload;
  encode(payload);
  const std::string header = EncodeEncodedFileHeader(h);
  Dest.WriteBuffer(header.data(), header.size());
  payload.SetPosition(0);
  ForEachChunk(payload, [&Dest](const std::uint8_t* p, std::size_t n) { Dest.WriteBuffer(p, n); });
}

void ReadEncodedFile(TVelkWordloom& Dictionary, TStream& Source, TStream& Dest) {
  const std::int64_t start = Source.Position();
  const std::int64_t available = Source.Size() - start;
  std::string head(static_cast<std::size_t>(std::min<std::int64_t>(available, kMaxHeaderSize)), '\0');
  Source.ReadBuffer(head.data(), head.size());
  std::size_t header_size = 0;
  const EncodedFileHeader h = DecodeEncodedFileHeader(head, header_size);

  // 1. The dictionary and its settings.
  std::uint32_t words = 0, words_crc = 0;
  DictionaryFingerprint(Dictionary, words, words_crc);
  if (h.WordCount != words) {
    throw EConvertError("encoded with another dictionary: it had " + std::to_string(h.WordCount) +
                        " words, this one has " + std::to_string(words));
  }
  if (h.WordsChecksum != words_crc) {
    throw EConvertError("encoded with another dictionary: the same number of words (" +
                        std::to_string(words) + "), but not the same words (fingerprint " +
                        Hex32(h.WordsChecksum) + ", this one " + Hex32(words_crc) + ")");
  }
  if (h.EncodedBlockSize != Dictionary.EncodedBlockSize() ||
      h.DelimiterOption != Dictionary.DelimiterOption()) {
    throw EConvertError("encoded with other settings of this dictionary: encoded block size " +
                        std::to_string(h.EncodedBlockSize) + " and delimiter option " +
                        std::to_string(h.DelimiterOption) + ", the dictionary has " +
                        std::to_string(Dictionary.EncodedBlockSize()) + " and " +
                        std::to_string(Dictionary.DelimiterOption()));
  }

  // 2. The payload: all there, and unchanged.
  const auto payload_size = static_cast<std::uint64_t>(available) - header_size;
  if (payload_size < h.PayloadLength) {
    throw EReadError("damaged: truncated: " + std::to_string(h.PayloadLength) +
                     " encoded bytes expected, " + std::to_string(payload_size) + " found");
  }
  if (payload_size > h.PayloadLength) {
    throw EReadError("damaged: " + std::to_string(payload_size - h.PayloadLength) +
                     " bytes more than the header announces");
  }
  SliceReader payload(Source, start + static_cast<std::int64_t>(header_size),
                      static_cast<std::int64_t>(h.PayloadLength));
  std::uint32_t crc = 0;
  ForEachChunk(payload, [&crc](const std::uint8_t* p, std::size_t n) { crc = Crc(crc, p, n); });
  if (crc != h.PayloadChecksum) throw EReadError("damaged: the encoded text's checksum does not match");
  payload.SetPosition(0);

  // 3. The text, checked as it is written; it never grows beyond the length
  // the header announces, however much a forged stream would give.
  ChecksumWriter text(Dest, h.TextLength);
  {
    FormatCharScope scope(Dictionary, h.Token, h.Replacement);
    Dictionary.DecodeStream(payload, text);
  }
  if (text.Count() != h.TextLength || text.Checksum() != h.TextChecksum) {
    throw EReadError("the decoded text differs from the one encoded (" +
                     std::to_string(text.Count()) + " bytes, " + std::to_string(h.TextLength) +
                     " expected)");
  }
}

}  // namespace wordloom
