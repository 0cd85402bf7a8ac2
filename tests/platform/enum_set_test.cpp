#include "wordloom/platform/enum_set.h"

#include <cstdint>

#include <gtest/gtest.h>

namespace wordloom {
namespace {

enum Colour : std::uint8_t { clRed, clGreen, clBlue, clBlack, clWhite };
using ColourSet = EnumSet<Colour, 5>;

enum Wide : std::uint8_t { w0, w1, w2, w3, w4, w5, w6, w7, w8, w9, w10 };
using WideSet = EnumSet<Wide, 11>;

TEST(EnumSetTest, IncludeExcludeAndContains) {
  ColourSet s;
  EXPECT_TRUE(s.Empty());
  s.Include(clGreen).Include(clWhite).Include(clGreen);
  EXPECT_TRUE(s.Contains(clGreen));
  EXPECT_TRUE(s.Contains(clWhite));
  EXPECT_FALSE(s.Contains(clRed));
  EXPECT_EQ(s.ToBits(), 0b10010);

  s.Exclude(clGreen).Exclude(clBlue);  // excluding an absent member changes nothing
  EXPECT_EQ(s.ToBits(), 0b10000);
  s.Exclude(clWhite);
  EXPECT_TRUE(s.Empty());

  const ColourSet listed{clRed, clBlue, clWhite};
  EXPECT_EQ(listed.ToBits(), 0b10101);
  EXPECT_EQ(listed, ColourSet::FromBits(0b10101));
  EXPECT_FALSE(listed == ColourSet{clRed});
}

TEST(EnumSetTest, FromBitsDropsBitsAboveCount) {
  const ColourSet s = ColourSet::FromBits(0xFFFFFFFFu);
  EXPECT_EQ(s.ToBits(), 0x1F);
  EXPECT_TRUE(ColourSet::FromBits(0xE0).Empty());

  // Eleven members take two bytes, the eleventh at bit 10.
  static_assert(sizeof(WideSet::Bits) == 2);
  EXPECT_EQ((WideSet{w0, w10}).ToBits(), 0x0401);
  EXPECT_EQ(WideSet::FromBits(0xFFFF).ToBits(), 0x07FF);
}

TEST(TCharSetTest, ValueNIsBitNMod8OfByteNDiv8) {
  TCharSet::Bytes expected{};
  expected[1] = 0x02;
  EXPECT_EQ(TCharSet{9}.ToBytes(), expected);

  const TCharSet t{0, 7, 8, 'A', 255};
  expected = {};
  expected[0] = 0x81;
  expected[1] = 0x01;
  expected[8] = 0x02;  // 'A' is 65
  expected[31] = 0x80;
  EXPECT_EQ(t.ToBytes(), expected);
  EXPECT_EQ(TCharSet::FromBytes(expected), t);
}

TEST(TCharSetTest, ContainsIncludeExcludeAndSignedChars) {
  TCharSet s;
  EXPECT_EQ(s.Count(), 0u);
  s.Include(0xE9).Include(std::uint8_t{'z'});
  // A char holding a byte above 127 is negative on most machines; it must still
  // name the byte value.
  EXPECT_TRUE(s.Contains(static_cast<char>(0xE9)));
  EXPECT_TRUE(s.Contains('z'));
  EXPECT_FALSE(s.Contains('y'));
  EXPECT_FALSE(s.Contains(static_cast<char>(0xE8)));
  s.Exclude(0xE9);
  EXPECT_FALSE(s.Contains(std::uint8_t{0xE9}));
  EXPECT_EQ(s.Count(), 1u);
}

TEST(TCharSetTest, RangeIncludesBothEndsAndIsEmptyWhenReversed) {
  const TCharSet digits = TCharSet::Range('0', '9');
  EXPECT_EQ(digits.Count(), 10u);
  EXPECT_TRUE(digits.Contains('0'));
  EXPECT_TRUE(digits.Contains('9'));
  EXPECT_FALSE(digits.Contains('/'));
  EXPECT_FALSE(digits.Contains(':'));
  EXPECT_EQ(TCharSet::Range('9', '0').Count(), 0u);
  EXPECT_EQ(TCharSet::Range(200, 200).Count(), 1u);

  // The full range must end: a loop counter of the byte type would never pass 255.
  EXPECT_EQ(TCharSet::Range(0, 255).Count(), 256u);
  const TCharSet upper = TCharSet::Range(128, 255);
  EXPECT_EQ(upper.Count(), 128u);
  EXPECT_EQ(upper.ToBytes()[15], 0x00);
  EXPECT_EQ(upper.ToBytes()[16], 0xFF);
}

}  // namespace
}  // namespace wordloom
