// Code values of words: the plain and the base-255 form, the code widths and
// the errors of encoding and decoding.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/dictionary.h"
#include "text/block_codec.h"
#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

using ::testing::ThrowsMessage;

using testing_support::ThreeLetterWord;

// A dictionary of N words, word number i + 1 being ThreeLetterWord(i).
void Fill(TVelkWordloom& d, int n) {
  d.InitFirstSpellNode();
  for (int i = 0; i < n; ++i) d.AddToSpell(ThreeLetterWord(i));
}

std::uint32_t Encode(TVelkWordloom& d, const std::string& word) {
  return d.EncodeBlock(TByteString(word));
}

TEST(BlockCodecTest, Base255Form) {
  TVelkWordloom dict(nullptr);
  Fill(dict, 300);
  dict.SetEncodedBlockSize(4);  // wldInclFirstSucc: base-255
  ASSERT_FALSE(dict.FormatCharOptions().Contains(wlcAlwaysPrefix));
  ASSERT_EQ(dict.WordCount(), 300u);

  // Token 0: every digit is written one higher.
  EXPECT_EQ(Encode(dict, ThreeLetterWord(0)), 0x01010102u);
  EXPECT_EQ(dict.DecodeBlock(0x01010102u), ThreeLetterWord(0));
  EXPECT_EQ(dict.DecodeBlock(0x00000102u), ThreeLetterWord(0))
      << "missing high bytes read as digit 0";
  EXPECT_EQ(Encode(dict, ThreeLetterWord(254)), 0x01010201u) << "255 = 0 + 1 * 255";
  EXPECT_EQ(dict.CurrentNode(), static_cast<std::int32_t>(dict.WordTableEntry(254).Node));

  // Token 92: digits from 92 on move up by one.
  EXPECT_EQ(detail::Base255Code(91, 92), 0x0000005Bu);
  EXPECT_EQ(detail::Base255Code(92, 92), 0x0000005Du);
  EXPECT_EQ(detail::Base255Code(254, 92), 0x000000FFu);
  dict.FormatChar()->SetToken(92);
  for (int i = 0; i < 300; ++i) {
    const std::uint32_t code = Encode(dict, ThreeLetterWord(i));
    for (int b = 0; b < 4; ++b) ASSERT_NE((code >> (8 * b)) & 0xFF, 92u) << i;
    ASSERT_EQ(dict.DecodeBlock(code), ThreeLetterWord(i));
  }
  EXPECT_EQ(Encode(dict, ThreeLetterWord(91)), 0x0000005Du)
      << "word 92; digit 0 stays below the token";
}

TEST(BlockCodecTest, Base255CodesNeverHoldTheTokenAndDecodeBack) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<std::uint32_t> number(0, 4228250624u);  // 255^4 - 1
  for (int i = 0; i < 20000; ++i) {
    const std::uint32_t n = i < 256 ? static_cast<std::uint32_t>(i) : number(rng);
    const auto t = static_cast<std::uint8_t>(rng());
    const std::uint32_t code = detail::Base255Code(n, t);
    for (int b = 0; b < 4; ++b) ASSERT_NE((code >> (8 * b)) & 0xFF, t) << n << " " << int{t};
    ASSERT_EQ(detail::Base255Number(code, t), n) << n << " " << int{t};
  }
  // A corrupt code with token 255 exceeds 32 bits without wrapping.
  EXPECT_EQ(detail::Base255Number(0xFEFEFEFEu, 255), 4228250624u);
  EXPECT_EQ(detail::Base255Number(0xFFFFFFFFu, 254), 4228250624u);
}

TEST(BlockCodecTest, PlainForm) {
  TVelkWordloom dict(nullptr);
  Fill(dict, 300);
  ASSERT_TRUE(dict.FormatCharOptions().Contains(wlcAlwaysPrefix));
  EXPECT_EQ(Encode(dict, ThreeLetterWord(255)), 0x00000100u);
  EXPECT_EQ(dict.DecodeBlock(0x00000100u), ThreeLetterWord(255));
  dict.FormatChar()->SetToken(1);
  EXPECT_EQ(Encode(dict, ThreeLetterWord(0)), 1u) << "the token does not shape plain codes";
  TByteString block("junk");
  dict.DecodeBlockBStr(300, block);
  EXPECT_EQ(block.GetString(), ThreeLetterWord(299));
}

TEST(BlockCodecTest, ReportsMissingWordsAndBadCodes) {
  TVelkWordloom dict(nullptr);
  dict.InitFirstSpellNode();
  dict.AddToSpell("cats");
  dict.AddToSpell("dog");
  EXPECT_THAT([&] { Encode(dict, "cat"); },
              ThrowsMessage<EConvertError>("Misspelled or missing word: \"cat\""));
  EXPECT_THAT([&] { Encode(dict, "catsup"); },
              ThrowsMessage<EConvertError>("Misspelled or missing word: \"catsup\""));
  EXPECT_THAT([&] { Encode(dict, ""); },
              ThrowsMessage<EConvertError>("Cannot encode an empty string."));
  EXPECT_THAT([&] { dict.DecodeBlock(0); },
              ThrowsMessage<EConvertError>("Cannot decode $00000000."));
  EXPECT_THAT([&] { dict.DecodeBlock(dict.WordCount() + 1); },
              ThrowsMessage<EConvertError>("Cannot decode $00000003."));
  EXPECT_THAT([&] { dict.DecodeBlock(300); },
              ThrowsMessage<EConvertError>("Cannot decode $0000012C."));
  EXPECT_THAT([&] { dict.DecodeBlock(0xABCDEF12u); },
              ThrowsMessage<EConvertError>("Cannot decode $ABCDEF12."));
  // The base-255 form reports the word number, not the code.
  dict.SetEncodedBlockSize(2);
  EXPECT_THAT([&] { dict.DecodeBlock(detail::Base255Code(300, 0)); },
              ThrowsMessage<EConvertError>("Cannot decode $0000012C."));

  std::vector<std::string> reports;
  dict.SetOnException([&](TObject*, ErrorClass ex, const std::string& msg, bool& handled) {
    EXPECT_TRUE(ex == ErrorClass::Of<EConvertError>());
    reports.push_back(msg);
    handled = true;
  });
  EXPECT_EQ(Encode(dict, "cat"), kNoCode);
  EXPECT_EQ(Encode(dict, ""), kNoCode);
  EXPECT_EQ(dict.DecodeBlock(0), "");
  TByteString block("junk");
  dict.DecodeBlockBStr(detail::Base255Code(3, 0), block);
  EXPECT_EQ(block.Size(), 0u);
  EXPECT_EQ(reports.size(), 4u);
  EXPECT_EQ(dict.WordCount(), 2u) << "coding never changes the dictionary";
}

TEST(BlockCodecTest, CodeWidthLimitsTheWords) {
  const std::uint32_t plain[] = {0, 255, 65535, 16777215, 0};
  const std::uint32_t base255[] = {0, 254, 65024, 16581374, 4228250624u};
  for (std::uint8_t w = 0; w <= 4; ++w) {
    EXPECT_EQ(detail::CodeLimitFor(w, true), plain[w]) << int{w};
    EXPECT_EQ(detail::CodeLimitFor(w, false), base255[w]) << int{w};
  }

  TVelkWordloom excl(nullptr);
  excl.SetDelimiterOption(wldExclFirstSucc);
  Fill(excl, 300);
  excl.SetEncodedBlockSize(0);
  excl.SetEncodedBlockSize(4);
  EXPECT_EQ(excl.WordCount(), 300u) << "no limit: no word removed";
  EXPECT_EQ(excl.CodeLimit(), 0u);
  excl.SetEncodedBlockSize(1);
  EXPECT_EQ(excl.WordCount(), 255u);
  EXPECT_EQ(excl.CodeLimit(), 255u);
  excl.SetEncodedBlockSize(2);
  EXPECT_EQ(excl.WordCount(), 255u) << "raising the width adds no word";

  TVelkWordloom incl(nullptr);
  Fill(incl, 300);
  incl.SetEncodedBlockSize(1);
  EXPECT_EQ(incl.WordCount(), 254u);
  EXPECT_EQ(incl.CodeLimit(), 254u);

  incl.SetUnencodedBlockSize(7);
  incl.SetUnencodedBlockSize(0);
  EXPECT_EQ(incl.UnencodedBlockSize(), 7u);
}

}  // namespace
}  // namespace wordloom
