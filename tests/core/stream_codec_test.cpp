// Encoding and decoding streams and files: the worked bytes of
// docs/encoded-format.md, the cases the format leaves open, corrupt input, and
// round trips over random dictionaries and texts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/dictionary.h"
#include "support/files.h"
#include "support/hex.h"
#include "support/temp_dir.h"
#include "wordloom/platform/scripted_services.h"
#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using testing_support::FromHex;
using testing_support::ReadFile;
using testing_support::ToHex;
using testing_support::WriteFile;

// A dictionary with the given settings whose word number i + 1 is Words[i].
std::unique_ptr<TVelkWordloom> MakeDict(TEncBlockSizeInterval Width, TWLDelimiterOptions Option,
                                        std::uint8_t Token, const std::vector<std::string>& Words) {
  auto dict = std::make_unique<TVelkWordloom>(nullptr);
  dict->FormatChar()->SetToken(Token);
  dict->SetDelimiterOption(Option);
  dict->SetEncodedBlockSize(Width);
  testing_support::AddWords(*dict, Words);
  return dict;
}

std::string Encode(TVelkWordloom& d, const std::string& text) {
  TMemoryStream in(text);
  TMemoryStream out;
  d.EncodeStream(in, out);
  return out.Bytes();
}

std::string Decode(TVelkWordloom& d, const std::string& bytes) {
  TMemoryStream in(bytes);
  TMemoryStream out;
  d.DecodeStream(in, out);
  return out.Bytes();
}

// N different words of letters, none the beginning of another.
std::vector<std::string> ManyWords(int n) {
  std::vector<std::string> words;
  for (int i = 0; i < n; ++i) {
    words.push_back("w" + testing_support::ThreeLetterWord(i));
  }
  return words;
}

// Marks every reported error handled and keeps the messages.
struct HandleAll {
  std::vector<std::string> messages;
  void Install(TVelkWordloom& d) {
    d.SetOnException([this](TObject*, ErrorClass, const std::string& msg, bool& handled) {
      messages.push_back(msg);
      handled = true;
    });
  }
};

TEST(StreamCodecTest, WorkedBytesOfTheThreeForms) {
  const struct {
    const char* name;
    TEncBlockSizeInterval width;
    TWLDelimiterOptions option;
    std::uint8_t token;
    std::vector<std::string> words;
    std::string text;
    std::string encoded;
  } kCases[] = {
      {"A", 0, wldInclFirstSucc, 0x5C, {"to ", "be"}, "to  be", "5C 01 5C 5C 20 5C 02"},
      {"A literal", 0, wldInclFirstSucc, 0x5C, {"to ", "be"}, "to  xyz",
       "5C 01 5C 5C 20 78 79 7A"},
      {"C", 1, wldInclFirstSucc, 0x5C, {"to ", "be"}, "to be", "5C 01 02"},
      {"C literal", 1, wldInclFirstSucc, 0x5C, {"to ", "be"}, "to  xyz",
       "5C 01 5C 20 78 79 7A"},
      {"B", 2, wldExclFirstSucc, 0x5C, {"to", "be"}, "to be", "5C 01 00 20 5C 02 00"},
      {"B token 0", 2, wldExclFirstSucc, 0x00, {"to", "be"}, "to be", "00 01 00 20 00 02 00"},
      // The token in the text travels as its replacement.
      {"A token", 0, wldInclFirstSucc, 0x5C, {"to ", "be"}, "a\\b",
       "61 42 61 63 6B 73 6C 61 73 68 62"},
      // A succeeding delimiter after a code is a literal of its own in form A.
      {"A excl", 0, wldExclFirstSucc, 0x5C, {"to", "be"}, "to be.",
       "5C 01 5C 5C 20 5C 02 5C 5C 2E"},
      {"A excl literal", 0, wldExclFirstSucc, 0x5C, {"to", "be"}, "xy to",
       "78 79 20 5C 01"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    auto dict = MakeDict(c.width, c.option, c.token, c.words);
    ASSERT_EQ(dict->WordCount(), 2u);
    EXPECT_EQ(ToHex(Encode(*dict, c.text)), c.encoded);
    EXPECT_EQ(Decode(*dict, FromHex(c.encoded)), c.text);
  }
}

TEST(StreamCodecTest, ReplacementBytesInTheTextDecodeAsTheToken) {
  // Kept as the format has it: the replacement is not escaped.
  auto dict = MakeDict(0, wldInclFirstSucc, 0x5C, {"to ", "be"});
  EXPECT_EQ(Decode(*dict, Encode(*dict, "aBackslashb")), "a\\b");
  // Without a replacement the token is dropped and nothing is restored.
  dict->FormatChar()->SetNoReplacement(true);
  dict->FormatChar()->SetToken(0x5C);
  EXPECT_EQ(ToHex(Encode(*dict, "a\\b to ")), "61 62 20 5C 01");
  EXPECT_EQ(Decode(*dict, "aBackslashb"), "aBackslashb");
}

TEST(StreamCodecTest, WordsBeyondTheCodeWidthAreWrittenAsLetters) {
  // AddToSpell does not cut the dictionary to the width, as a reduction that
  // keeps words may not either.
  for (TWLDelimiterOptions option : {wldExclFirstSucc, wldInclFirstSucc}) {
    SCOPED_TRACE(option == wldExclFirstSucc ? "form B" : "form C");
    // With the first succeeding delimiter included, words end in a blank.
    std::vector<std::string> words = ManyWords(300);
    if (option == wldInclFirstSucc) {
      for (std::string& w : words) w += ' ';
    }
    auto dict = MakeDict(1, option, 0x5C, words);
    ASSERT_EQ(dict->WordCount(), 300u);
    const std::uint32_t limit = dict->CodeLimit();
    ASSERT_EQ(limit, option == wldExclFirstSucc ? 255u : 254u);
    // The last word that fits is a code (255 plain, 254 as base-255 digit 254
    // written one higher); the next one, and word 300, are not.
    const std::string& fits = words[limit - 1];
    const std::string& beyond = words[limit];
    const std::string& last = words[299];
    EXPECT_EQ(ToHex(Encode(*dict, fits)), "5C FF");
    EXPECT_EQ(Encode(*dict, beyond), beyond);
    EXPECT_EQ(Encode(*dict, last), last);
    const std::string sep = option == wldExclFirstSucc ? " " : "";
    const std::string text = fits + sep + beyond + sep + last + sep + fits;
    EXPECT_EQ(Decode(*dict, Encode(*dict, text)), text);
  }
}

TEST(StreamCodecTest, FormACodeHoldingTheTokenIsWrittenAsLetters) {
  // Token 0: word 256 would be 00 01, and its 00 would end the code.
  const std::vector<std::string> words = ManyWords(300);
  auto dict = MakeDict(0, wldExclFirstSucc, 0x00, words);
  EXPECT_EQ(ToHex(Encode(*dict, words[254])), "00 FF");
  EXPECT_EQ(Encode(*dict, words[255]), words[255]);
  EXPECT_EQ(ToHex(Encode(*dict, words[256])), "00 01 01") << "word 257";
  const std::string text = words[255] + " " + words[256] + " " + words[255];
  EXPECT_EQ(Decode(*dict, Encode(*dict, text)), text);
}

TEST(StreamCodecTest, FixedBlocksWithTheTokenDecodeToThemselves) {
  auto dict = MakeDict(0, wldInclFirstSucc, 0x5C, {"abcd", "efgh"});
  dict->SetTypeOfInput(wliFixedBlockSize);
  dict->SetUnencodedBlockSize(4);
  const std::string text = "ab\\dabcd\\";
  const std::string encoded = Encode(*dict, text);
  EXPECT_EQ(encoded, "abBackslashd\\\x01\\\\Backslash");
  EXPECT_EQ(Decode(*dict, encoded), text);

  // Without a replacement the block cannot be written so that it decodes to itself.
  dict->FormatChar()->SetNoReplacement(true);
  dict->FormatChar()->SetToken(0x5C);
  EXPECT_THAT([&] { Encode(*dict, text); },
              ThrowsMessage<EConvertError>(HasSubstr("format character")));
  HandleAll handler;
  handler.Install(*dict);
  EXPECT_EQ(Encode(*dict, text), "abd\\\x01\\\\") << "handled: the token is dropped";
  EXPECT_EQ(std::count_if(handler.messages.begin(), handler.messages.end(),
                          [](const std::string& m) { return m.find("no replacement") != m.npos; }),
            2);
}

TEST(StreamCodecTest, FixedBlocksOfASource) {
  // 10 bytes in blocks of 4: abcd, efgh and the short block ij.
  auto dict = MakeDict(0, wldInclFirstSucc, 0x5C, {});
  dict->SetTypeOfInput(wliFixedBlockSize);
  dict->SetUnencodedBlockSize(4);
  TMemoryStream learn("abcdefghij");
  dict->AddStreamToSpell(learn);
  ASSERT_EQ(dict->WordCount(), 3u);
  auto number = [&](const char* w) { return dict->EncodeBlock(TByteString(w)); };
  const std::string expected = {'\\', static_cast<char>(number("abcd")), '\\',
                                static_cast<char>(number("efgh")), '\\',
                                static_cast<char>(number("ij"))};
  EXPECT_EQ(Encode(*dict, "abcdefghij"), expected);
  EXPECT_EQ(Decode(*dict, expected), "abcdefghij");
  dict->DeleteFromSpell("ij");
  EXPECT_EQ(Encode(*dict, "abcdefghij").substr(4), "\\\\ij") << "the short block as a literal";
}

TEST(StreamCodecTest, StreamsAreCodedFromTheirPositionOn) {
  auto dict = MakeDict(0, wldInclFirstSucc, 0x5C, {"to ", "be"});
  for (bool encode : {true, false}) {
    TMemoryStream in("to be");
    in.SetPosition(in.Size());
    TMemoryStream out("kept");
    out.SetPosition(4);
    if (encode) {
      dict->EncodeStream(in, out);
    } else {
      dict->DecodeStream(in, out);
    }
    EXPECT_EQ(out.Bytes(), "kept") << "a source at its end writes nothing";
  }
  TMemoryStream in("xxto be");
  in.SetPosition(2);
  TMemoryStream out("kept");
  out.SetPosition(2);
  dict->EncodeStream(in, out);
  EXPECT_EQ(out.Bytes(), "ke\\\x01\\\x02");
  EXPECT_EQ(out.Position(), 6);
}

TEST(StreamCodecTest, NeedsTwoWords) {
  auto dict = MakeDict(0, wldInclFirstSucc, 0x5C, {"one"});
  TMemoryStream in("one");
  TMemoryStream out;
  EXPECT_THAT([&] { dict->EncodeStream(in, out); },
              ThrowsMessage<EConvertError>("Cannot use empty spell file for encoding"));
  EXPECT_THAT([&] { dict->DecodeStream(in, out); },
              ThrowsMessage<EConvertError>("Cannot use empty spell file for decoding"));
  HandleAll handler;
  handler.Install(*dict);
  dict->EncodeStream(in, out);
  dict->DecodeStream(in, out);
  EXPECT_EQ(handler.messages.size(), 2u);
  EXPECT_EQ(in.Position(), 0) << "nothing read";
  EXPECT_EQ(out.Size(), 0) << "nothing written";
}

TEST(StreamCodecTest, CorruptCodesAreReported) {
  auto dict = MakeDict(0, wldInclFirstSucc, 0x5C, {"to ", "be"});
  // Form A: a code of five bytes, a code that names no word.
  EXPECT_THAT([&] { Decode(*dict, FromHex("5C 01 02 03 04 05")); },
              ThrowsMessage<EConvertError>(HasSubstr("longer than four bytes")));
  EXPECT_THAT([&] { Decode(*dict, FromHex("5C FF")); },
              ThrowsMessage<EConvertError>("Cannot decode $000000FF."));
  EXPECT_THAT([&] { Decode(*dict, FromHex("5C 00 00 00 00")); },
              ThrowsMessage<EConvertError>("Cannot decode $00000000."));
  {
    // What was decoded before the error stays in the destination.
    TMemoryStream in(FromHex("5C 01 5C 5C 78 5C 09"));
    TMemoryStream out;
    EXPECT_THROW(dict->DecodeStream(in, out), EConvertError);
    EXPECT_EQ(out.Bytes(), "to x");
  }
  HandleAll handler;
  handler.Install(*dict);
  EXPECT_EQ(Decode(*dict, FromHex("5C 01 02 03 04 05 06 5C 02 5C 09 5C 5C 78")), "bex");
  EXPECT_EQ(handler.messages.size(), 2u) << "one report per bad code";

  // Form C (base-255, token 5C): the value in the message is the word number.
  auto form_c = MakeDict(1, wldInclFirstSucc, 0x5C, {"to ", "be"});
  EXPECT_THAT([&] { Decode(*form_c, FromHex("5C 04")); },
              ThrowsMessage<EConvertError>("Cannot decode $00000004."));
  // A T inside a form-B code is a code byte.
  auto form_b = MakeDict(2, wldExclFirstSucc, 0x5C, {"to", "be"});
  EXPECT_THAT([&] { Decode(*form_b, FromHex("5C 5C 00")); },
              ThrowsMessage<EConvertError>("Cannot decode $0000005C."));
  EXPECT_EQ(Decode(*form_b, FromHex("5C 02 00 78 5C 01")), "bex\x01")
      << "an incomplete code at the end is written as its bytes";
}

TEST(StreamCodecTest, RandomBytesNeverHangOrCrashTheDecoder) {
  std::mt19937 rng(7);
  for (TEncBlockSizeInterval width = 0; width <= 4; ++width) {
    for (TWLDelimiterOptions option : {wldExclFirstSucc, wldInclFirstSucc}) {
      for (std::uint8_t token : {std::uint8_t{0x00}, std::uint8_t{0x5C}, std::uint8_t{0xFF}}) {
        auto dict = MakeDict(width, option, token, ManyWords(20));
        HandleAll handler;
        handler.Install(*dict);
        for (int i = 0; i < 40; ++i) {
          std::string bytes(rng() % 64, '\0');
          for (char& b : bytes) b = static_cast<char>(rng() % 4 == 0 ? token : rng() % 256);
          EXPECT_NO_THROW(Decode(*dict, bytes)) << int(width) << " " << ToHex(bytes);
        }
      }
    }
  }
}

TEST(StreamCodecTest, ProgressIsHiddenAfterAnError) {
  TScriptedServices services;
  ScopedApplicationServices scope(services);
  auto dict = MakeDict(0, wldInclFirstSucc, 0x5C, {"to ", "be"});
  dict->SetShowProgress(true);
  ASSERT_EQ(services.Progress().size(), 1u);
  const auto& log = *services.Progress()[0];

  EXPECT_THROW(Decode(*dict, FromHex("5C 09")), EConvertError);
  EXPECT_EQ(log.Shows, 1);
  EXPECT_FALSE(log.Visible);

  dict->SetTypeOfInput(wliFixedBlockSize);
  dict->FormatChar()->SetNoReplacement(true);
  dict->FormatChar()->SetToken(0x5C);
  EXPECT_THROW(Encode(*dict, "a\\bc"), EConvertError);
  EXPECT_EQ(log.Shows, 2);
  EXPECT_FALSE(log.Visible);

  EXPECT_EQ(Encode(*dict, "abcdefgh"), "abcdefgh");
  EXPECT_EQ(log.Max, 8);
  EXPECT_EQ(log.Position, 8);
  EXPECT_FALSE(log.Visible);
}

class StreamCodecFileTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return FDir.File(name); }
  testing_support::TempDir FDir;
};

TEST_F(StreamCodecFileTest, DestinationHoldsExactlyTheBytesWritten) {
  auto dict = MakeDict(0, wldInclFirstSucc, 0x5C, {"to ", "be"});
  const std::string text = "to be or not to be";
  const std::string plain = Path("plain");
  const std::string coded = Path("coded");
  const std::string back = Path("back");
  WriteFile(plain, text);
  WriteFile(coded, std::string(10000, 'x'));
  WriteFile(back, std::string(10000, 'y'));

  dict->EncodeFile(plain, coded);
  EXPECT_EQ(ReadFile(coded), Encode(*dict, text));
  dict->DecodeFile(coded, back);
  EXPECT_EQ(ReadFile(back), text);

  // Writing a file onto itself would truncate the source first.
  EXPECT_THROW(dict->EncodeFile(plain, plain), EFCreateError);
  EXPECT_EQ(ReadFile(plain), text);
  // A missing source creates no destination.
  const std::string missing = Path("missing");
  const std::string none = Path("none");
  EXPECT_THROW(dict->EncodeFile(missing, none), EFOpenError);
  EXPECT_FALSE(FileExists(none));
  // An unusable dictionary leaves an existing destination alone.
  auto empty = MakeDict(0, wldInclFirstSucc, 0x5C, {"to "});
  EXPECT_THROW(empty->DecodeFile(coded, back), EConvertError);
  EXPECT_EQ(ReadFile(back), text);
}

// Text pieces that stress the format: dictionary words, runs of delimiters,
// bytes above 127, the token, control bytes.
std::string RandomText(std::mt19937& rng, const std::vector<std::string>& vocabulary,
                       std::uint8_t token) {
  static const std::string kDelimiters = std::string(" .,\n\t0123456789", 15) + '\0' + "\xA0\xB5";
  std::string text;
  const int pieces = static_cast<int>(rng() % 40);
  for (int i = 0; i < pieces; ++i) {
    switch (rng() % 6) {
      case 0:
      case 1:
        text += vocabulary[rng() % vocabulary.size()];
        if (rng() % 4 != 0) text += ' ';
        break;
      case 2:
        for (int n = 1 + static_cast<int>(rng() % 4); n > 0; --n) {
          text += kDelimiters[rng() % kDelimiters.size()];
        }
        break;
      case 3:
        text += static_cast<char>(token);
        break;
      case 4:
        text += static_cast<char>(rng() % 256);
        break;
      default:
        text += static_cast<char>(0xC0 + rng() % 64);
        break;
    }
  }
  return text;
}

TEST(StreamCodecTest, DecodingReversesEncoding) {
  std::mt19937 rng(2024);
  const std::vector<std::string> vocabulary = {"the",  "cat",   "sat", "on",  "mat", "\xE9t\xE9",
                                               "na\xEFve", "don't", "AT&T", "a", "ab", "abc"};
  // Tokens with a replacement, a delimiter among them; token 0 with one of our own.
  const struct {
    std::uint8_t token;
    const char* replacement;
  } kTokens[] = {{0x5C, ""}, {'*', ""}, {'_', ""}, {0xA3, ""}, {0x00, "<NUL>"}};
  int runs = 0;
  int coded = 0;  // texts in which the dictionary found words
  for (TEncBlockSizeInterval width = 0; width <= 4; ++width) {
    for (TWLDelimiterOptions option : {wldExclFirstSucc, wldInclFirstSucc}) {
      for (TWLInputOptions input : {wliTextInput, wliFixedBlockSize}) {
        for (int round = 0; round < 12; ++round) {
          const auto& t = kTokens[rng() % std::size(kTokens)];
          TVelkWordloom dict(nullptr);
          dict.FormatChar()->SetToken(t.token);
          if (*t.replacement) dict.FormatChar()->SetReplacement(t.replacement);
          const std::string repl = dict.FormatChar()->GetReplBStr().GetString();
          dict.SetDelimiterOption(option);
          dict.SetEncodedBlockSize(width);
          dict.SetTypeOfInput(input);
          dict.SetUnencodedBlockSize(1 + rng() % 5);
          // Fixed blocks may hold the token; such words are taken as they are.
          HandleAll learning;
          learning.Install(dict);
          TMemoryStream sample(RandomText(rng, vocabulary, t.token) +
                               RandomText(rng, vocabulary, t.token));
          dict.AddStreamToSpell(sample);
          dict.SetOnException(nullptr);
          if (dict.WordCount() < 2) continue;
          for (int k = 0; k < 10; ++k) {
            const std::string text = RandomText(rng, vocabulary, t.token);
            if (repl.empty() || text.find(repl) != std::string::npos) continue;
            SCOPED_TRACE(testing::Message() << "width " << int(width) << " option " << option
                                            << " input " << input << " token " << int(t.token)
                                            << " text " << ToHex(text));
            const std::string encoded = Encode(dict, text);
            ASSERT_EQ(Decode(dict, encoded), text) << ToHex(encoded);
            ++runs;
            // Literals never hold the token: a token in the output marks a code.
            if (encoded.find(static_cast<char>(t.token)) != std::string::npos) ++coded;
          }
        }
      }
    }
  }
  EXPECT_GT(runs, 1000);
  EXPECT_GT(coded, runs / 2);
}

}  // namespace
}  // namespace wordloom
