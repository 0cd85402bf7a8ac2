// Encoded files: the worked bytes of docs/encoded-format.md, round trips of
// texts the plain stream loses (NUL bytes, every byte value, the replacement's
// own bytes), and files that are damaged, truncated or of another dictionary.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/dictionary.h"
#include "support/hex.h"
#include "wordloom/platform/scripted_services.h"
#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using testing_support::FromHex;
using testing_support::ToHex;

std::unique_ptr<TVelkWordloom> MakeDict(TEncBlockSizeInterval Width, TWLDelimiterOptions Option,
                                        std::uint8_t Token, const std::vector<std::string>& Words,
                                        bool Fixed = false) {
  auto dict = std::make_unique<TVelkWordloom>(nullptr);
  dict->FormatChar()->SetToken(Token);
  dict->SetDelimiterOption(Option);
  if (Fixed) {
    dict->SetTypeOfInput(wliFixedBlockSize);
    dict->SetUnencodedBlockSize(2);
  }
  testing_support::AddWords(*dict, Words);
  dict->SetEncodedBlockSize(Width);
  return dict;
}

std::string EncodeFile(TVelkWordloom& d, const std::string& text) {
  TMemoryStream in(text);
  TMemoryStream out;
  WriteEncodedFile(d, in, out);
  return out.Bytes();
}

std::string DecodeFile(TVelkWordloom& d, const std::string& bytes) {
  TMemoryStream in(bytes);
  TMemoryStream out;
  ReadEncodedFile(d, in, out);
  return out.Bytes();
}

// A stream that takes writes but cannot seek, like a pipe.
class PipeLike : public TStream {
 public:
  std::size_t Read(void*, std::size_t) override { return 0; }
  std::size_t Write(const void* b, std::size_t n) override {
    FBytes.append(static_cast<const char*>(b), n);
    return n;
  }
  std::int64_t Seek(std::int64_t, TSeekOrigin) override { throw EStreamError("no seek"); }
  void SetSize(std::int64_t) override { throw EStreamError("no seek"); }
  std::string FBytes;
};

std::string EveryByteValue() {
  std::string s;
  for (int i = 0; i < 256; ++i) s.push_back(static_cast<char>(i));
  return s;
}

TEST(EncodedFileTest, WorkedExampleOfTheFormatDocument) {
  // docs/encoded-format.md, "Encoded files": form A, token 5C, "to " and "be".
  auto d = MakeDict(0, wldInclFirstSucc, 0x5C, {"to ", "be"});
  const std::string file = EncodeFile(*d, "to be");
  EXPECT_EQ(ToHex(file),
            "89 57 4C 45 0D 0A 1A 0A 01 00 34 00 "
            "5C 00 00 01 02 00 00 00 E9 9A 7D 08 "
            "05 00 00 00 00 00 00 00 55 8C 6B FB "
            "04 00 00 00 00 00 00 00 45 76 5D 59 "
            "A5 BA CF 3A "
            "5C 01 5C 02");
  EXPECT_EQ(DecodeFile(*d, file), "to be");
}

TEST(EncodedFileTest, TextsThePlainStreamLosesRoundTripInEveryForm) {
  const struct {
    const char* name;
    TEncBlockSizeInterval width;
    TWLDelimiterOptions option;
    bool fixed;
  } kForms[] = {
      {"A text", 0, wldExclFirstSucc, false}, {"A incl", 0, wldInclFirstSucc, false},
      {"B text", 2, wldExclFirstSucc, false}, {"C text", 1, wldInclFirstSucc, false},
      {"A fixed", 0, wldExclFirstSucc, true},  {"C fixed", 2, wldInclFirstSucc, true},
  };
  const std::string all = EveryByteValue();
  const std::vector<std::string> texts = {
      std::string("to\0be\0\0or not", 14),           // NUL, the default token
      "a\\b Backslash Backslash\\ to be",            // the token and its name
      all + "to be" + all + "bebe to" + all,          // every byte value
      std::string(3, '\0') + "be",                   // tokens only, then a word
      "",
  };
  for (const auto& form : kForms) {
    for (std::uint8_t token : {0x00, 0x5C}) {
      auto d = MakeDict(form.width, form.option, token, {"to", "be", "to ", "be ", "or", "bebe"},
                        form.fixed);
      for (const std::string& text : texts) {
        SCOPED_TRACE(std::string(form.name) + " token " + std::to_string(token) + " text " +
                     ToHex(text.substr(0, 16)));
        const std::string file = EncodeFile(*d, text);
        EXPECT_EQ(DecodeFile(*d, file), text);
        // The dictionary's own format character is back.
        EXPECT_EQ(d->FormatChar()->GetToken(), token);
        EXPECT_EQ(d->FormatChar()->GetReplBStr().GetString(),
                  TFormatChar::DefaultReplacement(token));
      }
    }
  }
}

TEST(EncodedFileTest, TheTokenIsOneTheTextLacks) {
  {
    TMemoryStream text(std::string("a\0b", 3));
    const TokenChoice c = ChooseToken(text, 0);
    EXPECT_EQ(c.Token, 1);  // the lowest byte the text lacks
    EXPECT_EQ(c.Replacement, "");
    EXPECT_EQ(text.Position(), 0);
  }
  {
    TMemoryStream text("Backslash");
    EXPECT_EQ(ChooseToken(text, 0x5C).Token, 0x5C);  // the dictionary's, when free
    EXPECT_EQ(ChooseToken(text, 0x5C).Replacement, "");
  }
  {
    // Every byte occurs, 'q' least: it stands for the token, with a
    // replacement the text does not hold.
    std::string s = EveryByteValue() + EveryByteValue();
    s.erase(s.find('q'), 1);
    TMemoryStream text(s);
    const TokenChoice c = ChooseToken(text, 0);
    EXPECT_EQ(c.Token, 'q');
    EXPECT_EQ(c.Replacement.size(), 8u);
    EXPECT_EQ(c.Replacement.find('q'), std::string::npos);
    EXPECT_EQ(s.find(c.Replacement), std::string::npos);
  }
}

TEST(EncodedFileTest, ThePlainStreamIsTrustedOnlyWhereItGivesTheTextBack) {
  TFormatChar nul;  // token 0, no replacement
  TFormatChar backslash;
  backslash.SetToken('\\');  // replacement "Backslash"
  TFormatChar overlapping;
  overlapping.SetToken('\\');
  overlapping.SetReplacement("aXa");
  const struct {
    const char* name;
    const TFormatChar& format;
    std::string text;
    bool trips;
  } kCases[] = {
      {"no token", nul, "to be", true},
      {"NUL without replacement", nul, std::string("to\0be", 5), false},
      {"token, replacement absent", backslash, "a\\b", true},
      {"token and its replacement", backslash, "a\\b Backslash", false},
      {"a replacement that overlaps itself", overlapping, "a\\b", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    TMemoryStream text(c.text);
    EXPECT_EQ(PlainStreamRoundTrips(text, c.format), c.trips);
    EXPECT_EQ(text.Position(), 0);
  }
}

TEST(EncodedFileTest, RandomDictionariesAndTextsRoundTrip) {
  std::mt19937 rng(20261208);
  // Few letters, so that words recur and the token and delimiters are common.
  const std::string alphabet = std::string("ab \\\0\xFF", 6);
  auto random_text = [&](std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s.push_back(alphabet[rng() % alphabet.size()]);
    return s;
  };
  for (int round = 0; round < 200; ++round) {
    const auto width = static_cast<TEncBlockSizeInterval>(rng() % 3);
    const auto option = rng() % 2 == 0 ? wldExclFirstSucc : wldInclFirstSucc;
    const bool fixed = rng() % 4 == 0;
    // The dictionary's token; its words never hold it.
    const char token = alphabet[rng() % alphabet.size()];
    std::vector<std::string> words;
    for (int i = 0; i < 2 + static_cast<int>(rng() % 30); ++i) {
      std::string w = random_text(1 + rng() % 4);
      std::replace(w.begin(), w.end(), token, 'a' == token ? 'b' : 'a');
      words.push_back(w);
    }
    auto d = MakeDict(width, option, static_cast<std::uint8_t>(token), words, fixed);
    if (d->WordCount() < 2) continue;
    std::string text = random_text(rng() % 200);
    if (round % 5 == 0) text += EveryByteValue();
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ(DecodeFile(*d, EncodeFile(*d, text)), text);
  }
}

TEST(EncodedFileTest, AnOutputThatCannotSeekGetsTheSameBytes) {
  auto d = MakeDict(0, wldExclFirstSucc, 0, {"to", "be"});
  const std::string text = std::string("to be\0 or not to be", 19);
  TMemoryStream in(text);
  PipeLike pipe;
  WriteEncodedFile(*d, in, pipe);
  EXPECT_EQ(pipe.FBytes, EncodeFile(*d, text));
}

TEST(EncodedFileTest, EveryFlippedByteAndEveryTruncationIsRefused) {
  auto d = MakeDict(0, wldExclFirstSucc, 0, {"to", "be", "or", "not"});
  const std::string file = EncodeFile(*d, "to be or not to be, that is the question");
  for (std::size_t i = 0; i < file.size(); ++i) {
    for (int bit : {0, 7}) {
      SCOPED_TRACE("byte " + std::to_string(i) + " bit " + std::to_string(bit));
      std::string bad = file;
      bad[i] = static_cast<char>(bad[i] ^ (1 << bit));
      EXPECT_THROW(DecodeFile(*d, bad), Exception);
    }
  }
  for (std::size_t n = 0; n < file.size(); ++n) {
    SCOPED_TRACE("truncated to " + std::to_string(n));
    EXPECT_THROW(DecodeFile(*d, file.substr(0, n)), EReadError);
  }
  EXPECT_THAT([&] { DecodeFile(*d, file + "x"); },
              ThrowsMessage<EReadError>(HasSubstr("1 bytes more than the header announces")));
  EXPECT_THAT([&] { DecodeFile(*d, file.substr(0, file.size() - 3)); },
              ThrowsMessage<EReadError>(HasSubstr("damaged: truncated")));
  EXPECT_THAT([&] { DecodeFile(*d, "to be"); },
              ThrowsMessage<EReadError>(HasSubstr("not an encoded file")));
}

TEST(EncodedFileTest, AForgedHeaderNeverGetsMoreTextThanItAnnounces) {
  // A header sealed anew (its checksum matches) that announces less text than
  // the stream gives: decoding stops at the announced length, whatever the
  // stream would go on to give.
  auto d = MakeDict(0, wldExclFirstSucc, 0, {"to", "be"});
  const std::string text(200000, 'x');
  const std::string file = EncodeFile(*d, "to be " + text);
  std::size_t size = 0;
  for (const std::uint64_t announced : {std::uint64_t{0}, std::uint64_t{2}, std::uint64_t{70000}}) {
    SCOPED_TRACE(announced);
    EncodedFileHeader h = DecodeEncodedFileHeader(file, size);
    h.TextLength = announced;
    TMemoryStream in(EncodeEncodedFileHeader(h) + file.substr(size));
    TMemoryStream out;
    EXPECT_THAT([&] { ReadEncodedFile(*d, in, out); },
                ThrowsMessage<EReadError>(HasSubstr(
                    "longer than the " + std::to_string(announced) + " bytes encoded")));
    EXPECT_LE(static_cast<std::uint64_t>(out.Size()), announced);
  }
}

TEST(EncodedFileTest, AnotherDictionaryOrOtherSettingsAreRefusedBeforeAnyText) {
  auto d = MakeDict(0, wldExclFirstSucc, 0, {"to", "be"});
  const std::string file = EncodeFile(*d, "to be");
  const struct {
    const char* name;
    std::unique_ptr<TVelkWordloom> dict;
    const char* message;
  } kCases[] = {
      {"more words", MakeDict(0, wldExclFirstSucc, 0, {"to", "be", "or"}),
       "it had 2 words, this one has 3"},
      {"other words", MakeDict(0, wldExclFirstSucc, 0, {"to", "bee"}), "not the same words"},
      {"other numbers", MakeDict(0, wldExclFirstSucc, 0, {"be", "to"}), "not the same words"},
      {"other width", MakeDict(2, wldExclFirstSucc, 0, {"to", "be"}), "other settings"},
      {"other delimiter", MakeDict(0, wldInclFirstSucc, 0, {"to", "be"}), "other settings"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    TMemoryStream in(file);
    TMemoryStream out;
    EXPECT_THAT([&] { ReadEncodedFile(*c.dict, in, out); },
                ThrowsMessage<EConvertError>(HasSubstr(c.message)));
    EXPECT_EQ(out.Size(), 0);
  }
  // The token of a dictionary plays no part: it is the file's that counts.
  auto other_token = MakeDict(0, wldExclFirstSucc, 0x5C, {"to", "be"});
  EXPECT_EQ(DecodeFile(*other_token, file), "to be");
}

TEST(EncodedFileTest, HeadersOfOtherVersionsAndFlagsAreRefusedAndLaterFieldsSkipped) {
  EncodedFileHeader h;
  h.Token = 7;
  h.Replacement = "xy";
  h.WordCount = 3;
  h.TextLength = 1ull << 40;
  std::string bytes = EncodeEncodedFileHeader(h);
  std::size_t size = 0;
  const EncodedFileHeader back = DecodeEncodedFileHeader(bytes, size);
  EXPECT_EQ(size, bytes.size());
  EXPECT_EQ(back.Token, 7);
  EXPECT_EQ(back.Replacement, "xy");
  EXPECT_EQ(back.TextLength, 1ull << 40);

  h.Version = 2;
  EXPECT_THAT([&] { DecodeEncodedFileHeader(EncodeEncodedFileHeader(h), size); },
              ThrowsMessage<EReadError>(HasSubstr("format version 2")));
  h.Version = kEncodedFileVersion;
  h.Flags = kEncodedFileCompressed;
  EXPECT_THAT([&] { DecodeEncodedFileHeader(EncodeEncodedFileHeader(h), size); },
              ThrowsMessage<EReadError>(HasSubstr("a feature this wordloom lacks")));
  h.Flags = 0;
  h.Replacement = std::string(1, 7);
  EXPECT_THAT([&] { DecodeEncodedFileHeader(EncodeEncodedFileHeader(h), size); },
              ThrowsMessage<EReadError>(HasSubstr("the replacement holds the token")));
}

TEST(EncodedFileTest, ALongerHeaderOfALaterRevisionIsRead) {
  auto d = MakeDict(0, wldExclFirstSucc, 0, {"to", "be"});
  const std::string file = EncodeFile(*d, "to be");
  std::size_t size = 0;
  DecodeEncodedFileHeader(file, size);
  // Four more bytes before the header's checksum; the size and checksum
  // made to match, as a later writer of version 1 would.
  std::string header = file.substr(0, size - 4) + "MORE";
  header[10] = static_cast<char>(size + 4);
  const auto crc = static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(header.data()), static_cast<uInt>(header.size())));
  for (int i = 0; i < 4; ++i) header.push_back(static_cast<char>(crc >> (8 * i)));
  EXPECT_EQ(DecodeFile(*d, header + file.substr(size)), "to be");
}

}  // namespace
}  // namespace wordloom
