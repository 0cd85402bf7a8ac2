// Encoded files: the encoded stream of a text (EncodeStream) behind a small
// header that names what decoding needs and checks what it gives back
// (docs/encoded-format.md, "Encoded files"). The stream itself is unchanged;
// the header only wraps it.
//
//   WriteEncodedFile(dict, text, out);   // text: a seekable stream
//   ReadEncodedFile(dict, encoded, out); // EConvertError: another dictionary,
//                                        // EReadError: a damaged file
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>
#include <string>
#include <string_view>

#include "wordloom/dictionary/velk_wordloom.h"
#include "wordloom/platform/stream.h"

namespace wordloom {

// The first eight bytes of every encoded file: a byte above 127, the letters
// "WLE", then CR LF, SUB and LF, so that a transfer in text mode (which
// changes line ends or drops the top bit) shows as a wrong signature.
inline constexpr std::string_view kEncodedFileMagic{"\x89WLE\r\n\x1a\n", 8};
// The header layout this version writes and reads.
inline constexpr std::uint8_t kEncodedFileVersion = 1;
// Flag bit 0, reserved: the payload is compressed (by a layer not built yet).
// A reader refuses every flag it does not know.
inline constexpr std::uint8_t kEncodedFileCompressed = 0x01;
inline constexpr std::uint8_t kEncodedFileKnownFlags = 0;
// The bytes of a header with an empty replacement; the replacement adds its length.
inline constexpr std::size_t kEncodedFileHeaderBase = 52;

// The fields of the header, in file order (docs/encoded-format.md).
struct EncodedFileHeader {
  std::uint8_t Version = kEncodedFileVersion;
  std::uint8_t Flags = 0;
  // The format character the stream was written with.
  std::uint8_t Token = 0;
  std::string Replacement;  // at most 255 bytes, never holding Token
  // The dictionary's coding settings.
  std::uint8_t EncodedBlockSize = 0;
  std::uint8_t DelimiterOption = 0;  // a TWLDelimiterOptions
  // The fingerprint of the dictionary: its word count and the CRC-32 of its
  // words in word-number order (DictionaryFingerprint).
  std::uint32_t WordCount = 0;
  std::uint32_t WordsChecksum = 0;
  // The text: its length and CRC-32.
  std::uint64_t TextLength = 0;
  std::uint32_t TextChecksum = 0;
  // The encoded stream after the header: its length and CRC-32.
  std::uint64_t PayloadLength = 0;
  std::uint32_t PayloadChecksum = 0;
};

// The header's bytes, its own checksum last.
std::string EncodeEncodedFileHeader(const EncodedFileHeader& Header);
// Parses a header from the front of Bytes and returns it; Size receives its
// length. EReadError naming what is wrong ("not an encoded file", a version or
// flag this reader does not know, a truncated or damaged header).
EncodedFileHeader DecodeEncodedFileHeader(std::string_view Bytes, std::size_t& Size);

// The word count and the CRC-32 of every word with its number, as the header
// keeps them: two dictionaries with the same fingerprint decode alike.
void DictionaryFingerprint(const TVelkWordloom& Dictionary, std::uint32_t& WordCount,
                           std::uint32_t& WordsChecksum);

// The format character a text is encoded with, so that it decodes to itself
// byte for byte: the dictionary's token when the text lacks that byte, else
// the lowest byte the text lacks, both without replacement; a text holding
// all 256 byte values gets its rarest byte with a replacement the text does
// not contain.
struct TokenChoice {
  std::uint8_t Token = 0;
  std::string Replacement;
};
// Chooses from Text, read from its position to its end; the position is left
// where it was. EConvertError when no replacement is free (never seen in
// practice: eight candidates of eight bytes each must all occur).
// REQUIRES: Text can seek.
TokenChoice ChooseToken(TStream& Text, std::uint8_t PreferredToken);

// Whether the plain stream (EncodeStream with Format, no header) gives Text
// (its position to its end) back byte for byte: the text lacks the token, or
// holds it and a replacement that the text lacks and that cannot overlap
// itself. The position is kept.
// REQUIRES: Text can seek.
bool PlainStreamRoundTrips(TStream& Text, const TFormatChar& Format);

// Writes an encoded file of Text (from its position to its end) to Dest:
// the header, then the encoded stream. The dictionary's format character is
// replaced by ChooseToken's for the pass and restored afterwards. A Dest that
// cannot seek gets the stream by way of a ScratchFile. Raises what
// EncodeStream raises, and ERangeError for a text above 4 GiB.
// REQUIRES: Text can seek.
void WriteEncodedFile(TVelkWordloom& Dictionary, TStream& Text, TStream& Dest);

// Reads an encoded file from Source (its position to its end) and writes the
// text to Dest. Before a byte is written: EReadError for a damaged or
// truncated file, EConvertError for a file of another dictionary or other
// coding settings. While decoding, EReadError as soon as the text would grow
// beyond the header's length (Dest holds at most that many bytes); after the
// text, when its length or checksum differ from the header's (Dest then holds
// what was decoded).
// REQUIRES: Source can seek.
void ReadEncodedFile(TVelkWordloom& Dictionary, TStream& Source, TStream& Dest);

}  // namespace wordloom

#pragma GCC visibility pop
