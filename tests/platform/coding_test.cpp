#include "wordloom/platform/coding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace wordloom {
namespace {

std::string Bytes(const std::uint8_t* p, std::size_t n) {
  return std::string(reinterpret_cast<const char*>(p), n);
}

TEST(CodingTest, WidthMaxIsTheLargestValueOfEachWidth) {
  EXPECT_EQ(WidthMax(0), 0u);
  EXPECT_EQ(WidthMax(1), 255u);
  EXPECT_EQ(WidthMax(2), 65535u);
  EXPECT_EQ(WidthMax(3), 16777215u);
  EXPECT_EQ(WidthMax(4), 4294967295u);
  EXPECT_EQ(WidthMax(5), 4294967295u) << "no width reaches past 32 bits";
}

TEST(CodingTest, FieldsAreLittleEndianLowBytesOnly) {
  const struct {
    std::uint32_t value;
    std::uint8_t width;
    std::string bytes;
  } kCases[] = {
      {0x2C, 1, std::string("\x2C", 1)},
      {0x12C, 1, std::string("\x2C", 1)},  // 300: only the low byte
      {0x0102, 2, std::string("\x02\x01", 2)},
      {0x0A0B0C, 3, std::string("\x0C\x0B\x0A", 3)},
      {0x0102, 3, std::string("\x02\x01\x00", 3)},
      {0x04030201, 4, std::string("\x01\x02\x03\x04", 4)},
      {0xFFFFFFFF, 4, std::string("\xFF\xFF\xFF\xFF", 4)},
      {0xDEADBEEF, 0, std::string()},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.value);
    SCOPED_TRACE(static_cast<int>(c.width));
    std::uint8_t field[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    EncodeFixed(field, c.value, c.width);
    EXPECT_EQ(Bytes(field, c.width), c.bytes);
    for (std::uint8_t k = c.width; k < 4; ++k) EXPECT_EQ(field[k], 0xEE) << "wrote past the field";

    std::string appended = "x";
    PutFixed(appended, c.value, c.width);
    EXPECT_EQ(appended, "x" + c.bytes);

    EXPECT_EQ(DecodeFixed(field, c.width), c.value & WidthMax(c.width));
  }
}

TEST(CodingTest, EveryWidthRoundTripsAndTheMaskedLoadAgrees) {
  for (std::uint8_t width = 1; width <= 4; ++width) {
    SCOPED_TRACE(static_cast<int>(width));
    for (std::uint32_t v : {0u, 1u, 0x80u, 0xFFu, 0x100u, 0xFFFFu, 0x10000u, 0xFFFFFFu, 0x1000000u,
                            0x89ABCDEFu, 0xFFFFFFFFu}) {
      if (v > WidthMax(width)) continue;
      SCOPED_TRACE(v);
      // The field, then bytes that belong to the next field: the masked load
      // reads them and must drop them.
      std::uint8_t buffer[8] = {0, 0, 0, 0, 0xA5, 0xA5, 0xA5, 0xA5};
      EncodeFixed(buffer, v, width);
      for (std::uint8_t k = width; k < 4; ++k) buffer[k] = 0xA5;
      EXPECT_EQ(DecodeFixed(buffer, width), v);
      EXPECT_EQ(DecodeFixedMasked(buffer, WidthMax(width)), v);
    }
  }
}

}  // namespace
}  // namespace wordloom
