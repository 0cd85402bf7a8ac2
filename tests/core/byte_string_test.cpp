#include "wordloom/dictionary/byte_string.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "wordloom/platform/exceptions.h"

namespace wordloom {
namespace {

using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

std::string Bytes(const TByteString& b) { return b.GetString(); }

// Every byte from Size to Capacity-1 must read 0.
void ExpectZeroTail(const TByteString& b) {
  for (std::uint32_t i = b.Size(); i < b.Capacity(); ++i) {
    ASSERT_EQ(b.At(i), 0) << "byte " << i << " behind the end";
  }
}

TEST(ByteStringTest, CapacityGrowsToNextMultipleOf16StrictlyAbove) {
  TByteString b;
  EXPECT_EQ(b.Size(), 0u);
  EXPECT_EQ(b.Capacity(), 16u);
  b.SetSize(16);
  EXPECT_EQ(b.Capacity(), 16u);
  b.SetSize(17);
  EXPECT_EQ(b.Capacity(), 32u);
  b.SetSize(32);
  EXPECT_EQ(b.Capacity(), 32u);
  b.SetSize(33);
  EXPECT_EQ(b.Capacity(), 48u);
  b.SetSize(0);
  EXPECT_EQ(b.Capacity(), 48u) << "capacity never shrinks";

  TByteString c;
  c.SetSize(32);  // from 16: 32 div 16 + 1 = 3 steps
  EXPECT_EQ(c.Capacity(), 48u);
}

TEST(ByteStringTest, ShrinkingThenGrowingExposesZerosNotOldBytes) {
  TByteString b = TByteString("abcdefghijklmnopqrst");  // 20 bytes, capacity 32
  ExpectZeroTail(b);
  b.SetSize(3);
  ExpectZeroTail(b);
  b.SetSize(10);
  EXPECT_EQ(Bytes(b), std::string("abc") + std::string(7, '\0'));
  b.SetSize(40);  // reallocation keeps the zeros
  EXPECT_EQ(Bytes(b), std::string("abc") + std::string(37, '\0'));
  ExpectZeroTail(b);
}

TEST(ByteStringTest, AppendLongWordIsLittleEndianLowBytesOnly) {
  TByteString b;
  b.AppendLongWord(258, 2);
  EXPECT_EQ(Bytes(b), std::string("\x02\x01", 2));
  b.SetSize(0);
  b.AppendLongWord(258, 3);
  EXPECT_EQ(Bytes(b), std::string("\x02\x01\x00", 3));
  b.SetSize(0);
  b.AppendLongWord(300, 1);
  EXPECT_EQ(Bytes(b), std::string("\x2C", 1)) << "only the low byte 44";
  b.SetSize(0);
  b.AppendLongWord(0xDEADBEEF, 0);
  EXPECT_EQ(b.Size(), 0u);
  b.AppendLongWord(0x04030201, 4);
  EXPECT_EQ(Bytes(b), "\x01\x02\x03\x04");
}

TEST(ByteStringTest, WithDrawLongWordInvertsAppend) {
  for (std::uint32_t v : {0u, 1u, 255u, 256u, 65535u, 0x01020304u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(v);
    TByteString b;
    b.AppendLongWord(v, 4);
    EXPECT_EQ(b.WithDrawLongWord(4), v);
    EXPECT_EQ(b.Size(), 0u);
  }
  TByteString b = TByteString("\x01\x02\x03");
  EXPECT_EQ(b.WithDrawLongWord(2), 513u);
  EXPECT_EQ(Bytes(b), "\x03");
  ExpectZeroTail(b);

  // Fields appended in order are withdrawn in the same order.
  TByteString record;
  record.AppendLongWord(7, 1);
  record.AppendLongWord(70000, 3);
  record.AppendLongWord(123456789, 4);
  EXPECT_EQ(record.WithDrawLongWord(1), 7u);
  EXPECT_EQ(record.WithDrawLongWord(3), 70000u);
  EXPECT_EQ(record.WithDrawLongWord(4), 123456789u);
  EXPECT_EQ(record.WithDrawLongWord(0), 0u);
}

TEST(ByteStringTest, BadWidthsAreRefusedAndChangeNothing) {
  TByteString b = TByteString("\x01\x02");
  EXPECT_THROW(b.WithDrawLongWord(3), EIntOverflow);
  EXPECT_EQ(Bytes(b), "\x01\x02");
  EXPECT_THROW(b.WithDrawLongWord(5), ERangeError);
  EXPECT_THROW(b.AppendLongWord(1, 5), ERangeError);
  EXPECT_EQ(Bytes(b), "\x01\x02");
}

TEST(ByteStringTest, SizeAboveTheIndexRangeIsARangeError) {
  TByteString b;
  EXPECT_THAT([&] { b.SetSize(TByteString::kMaxIndex + 2); },
              ThrowsMessage<ERangeError>("Range check error"));
  EXPECT_THROW(b.SetSize(0xFFFFFFFFu), ERangeError);
  EXPECT_EQ(b.Size(), 0u);
  EXPECT_THROW(b.At(16), ERangeError);
  EXPECT_EQ(b.At(15), 0);
}

TEST(ByteStringTest, AppendAndPrefix) {
  TByteString b = TByteString("bc");
  b.AddPrefix('a');
  b.AppendChar('d');
  EXPECT_EQ(Bytes(b), "abcd");
  b.Append(b);  // its size before the call
  EXPECT_EQ(Bytes(b), "abcdabcd");
  TByteString empty;
  b.Append(empty);
  EXPECT_EQ(Bytes(b), "abcdabcd");

  // Appending across a capacity step keeps everything.
  TByteString big;
  std::string expected;
  for (int i = 0; i < 100; ++i) {
    big.AppendChar(static_cast<std::uint8_t>(i));
    expected += static_cast<char>(i);
  }
  EXPECT_EQ(Bytes(big), expected);
  big.AddPrefix(0);
  EXPECT_EQ(Bytes(big), std::string(1, '\0') + expected);
}

TEST(ByteStringTest, PosFindsTheFirstOccurrence) {
  const TByteString subject = TByteString(std::string("xabyab\0z", 8));
  const struct {
    std::string pattern;
    std::int32_t pos;
  } kCases[] = {
      {"", 0}, {"ab", 1}, {"yab", 3}, {std::string("\0z", 2), 6},
      {"abc", -1}, {std::string("xabyab\0zz", 9), -1}, {"z", 7},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(subject.Pos(TByteString(c.pattern)), c.pos);
  }
  EXPECT_EQ(TByteString().Pos(TByteString()), 0) << "empty in empty is found at 0";
  EXPECT_EQ(TByteString().Pos(TByteString("a")), -1);
}

TEST(ByteStringTest, ReplaceGrowsShrinksOrOverwritesInPlace) {
  TByteString b = TByteString("0123456789");
  b.Replace(TByteString("abcde"), 3, 2);  // 2 bytes by 5: tail 3 places further up
  EXPECT_EQ(Bytes(b), "012abcde56789");
  EXPECT_EQ(b.Size(), 13u);

  b.Replace(TByteString("X"), 3, 5);
  EXPECT_EQ(Bytes(b), "012X56789");
  ExpectZeroTail(b);

  b.Replace(TByteString("YZ"), 7, 2);  // up to the very end is allowed
  EXPECT_EQ(Bytes(b), "012X567YZ");

  b.Replace(TByteString(), 0, 4);
  EXPECT_EQ(Bytes(b), "567YZ");

  b.Replace(b, 0, 1);  // the replacement may be the byte string itself
  EXPECT_EQ(Bytes(b), "567YZ67YZ");
}

TEST(ByteStringTest, ReplaceBeyondTheEndIsRefused) {
  TByteString b = TByteString("abcdef");
  EXPECT_THAT([&] { b.Replace(TByteString("x"), 5, 2); },
              ThrowsMessage<EListError>("No room for replacement"));
  EXPECT_THROW(b.Replace(TByteString("x"), 0xFFFFFFFFu, 2), EListError);
  EXPECT_EQ(Bytes(b), "abcdef");
  EXPECT_NO_THROW(b.Replace(TByteString("x"), 6, 0));
  EXPECT_EQ(Bytes(b), "abcdefx");
}

TEST(ByteStringTest, StringsAndData) {
  TByteString b;
  EXPECT_EQ(b.GetString(), "");
  b.SetString(std::string("a\0b", 3));
  EXPECT_EQ(b.Size(), 3u);
  EXPECT_EQ(b.GetString(), std::string("a\0b", 3));
  b.SetString("");
  EXPECT_EQ(b.Size(), 0u);
  ExpectZeroTail(b);

  b.SetSize(4);
  b.SetData("wxyz!");
  EXPECT_EQ(b.GetString(), "wxyz") << "SetData copies Size bytes";
}

TEST(ByteStringTest, AssignCopiesOnlyIntoByteStrings) {
  TByteString source = TByteString("hello");
  TByteString dest = TByteString("a much longer old content");
  dest.Assign(&source);
  EXPECT_EQ(Bytes(dest), "hello");
  ExpectZeroTail(dest);

  TPersistent other;
  EXPECT_NO_THROW(source.AssignTo(&other));
  EXPECT_NO_THROW(source.AssignTo(nullptr));
  EXPECT_EQ(Bytes(source), "hello");
  EXPECT_THROW(dest.Assign(nullptr), EConvertError);
}

}  // namespace
}  // namespace wordloom
