#include "wordloom/weaksecurity/discrete_integer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <random>
#include <string>

namespace wordloom {
namespace {

using ::testing::StrEq;
using ::testing::ThrowsMessage;

constexpr std::uint32_t P = kDiscrP, Q = kDiscrQ;

// Reference arithmetic on plain 64-bit products, independent of the limb code.
std::uint32_t RefMul(std::uint32_t a, std::uint32_t b) {
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(a) * b % P);
}
std::uint32_t RefPow(std::uint32_t base, std::uint32_t exp) {
  std::uint32_t result = 1;
  for (std::uint32_t sq = base % P; exp != 0; exp >>= 1, sq = RefMul(sq, sq)) {
    if (exp & 1u) result = RefMul(result, sq);
  }
  return result;
}
// The string as a little-endian number, modulo Q.
std::uint32_t RefResidue(const std::string& s) {
  std::uint64_t r = 0;
  for (auto it = s.rbegin(); it != s.rend(); ++it)
    r = (r * 256 + static_cast<std::uint8_t>(*it)) % Q;
  return static_cast<std::uint32_t>(r);
}

// Opens the construction steps to the tests.
class Probe : public TDiscreteInteger {
 public:
  using TDiscreteInteger::InitModulo;
  using TDiscreteInteger::SetCapacity;
  using TDiscreteInteger::SetString;
  using TDiscreteInteger::TDiscreteInteger;
  using TDiscreteInteger::Word;
};

TEST(DiscreteIntegerTest, DiscrMultiplyMatchesWideProduct) {
  std::uint32_t r = 0;
  DiscrMultiply(4294967295u, 4294967295u, r);
  EXPECT_EQ(r, 43264u);
  DiscrMultiply(P - 1, P - 1, r);
  EXPECT_EQ(r, 1u);
  std::uint32_t a = 0x12345678, b = P - 2;
  DiscrMultiply(a, b, a);  // the result may be a factor
  EXPECT_EQ(a, RefMul(0x12345678, P - 2));
  DiscrMultiply(b, b, b);
  EXPECT_EQ(b, 4u);

  const std::uint32_t edges[] = {0, 1, 0xFFFF, 0x10000, Q, P - 1, P, P + 1, 0xFFFFFFFF};
  for (std::uint32_t x : edges) {
    for (std::uint32_t y : edges) {
      DiscrMultiply(x, y, r);
      EXPECT_EQ(r, RefMul(x, y)) << x << " * " << y;
    }
  }
  std::mt19937 rng(20240611);
  for (int i = 0; i < 200000; ++i) {
    const std::uint32_t x = rng(), y = rng();
    DiscrMultiply(x, y, r);
    ASSERT_EQ(r, RefMul(x, y)) << x << " * " << y;
  }
}

TEST(DiscreteIntegerTest, DiscrPowerMatchesSquareAndMultiply) {
  TDiscreteInteger a("A");
  EXPECT_EQ(a.Modulo(), 130u);
  EXPECT_EQ(a.Base(), 3337151957u);

  std::mt19937 rng(7);
  std::string long_key(1001, '\0');
  for (char& c : long_key) c = static_cast<char>(rng());
  for (const std::string& s : {std::string("A"), std::string("\xFF\xFF\xFF\xFF\xFF"), long_key}) {
    SCOPED_TRACE(s.size());
    TDiscreteInteger key(s);
    EXPECT_EQ(key.Base(), RefPow(2, 2 * RefResidue(s)));
    EXPECT_EQ(key.Capacity(), 128u) << "the power table has a fixed size";
    for (std::uint32_t x : {0u, 1u, Q, 0xFFFFFFFFu}) {
      std::uint32_t y = x;
      key.DiscrPower(y);
      EXPECT_EQ(y, RefPow(key.Base(), x)) << "x = " << x;
    }
    for (int i = 0; i < 2000; ++i) {
      const std::uint32_t x = rng();
      std::uint32_t y = x;
      key.DiscrPower(y);
      ASSERT_EQ(y, RefPow(key.Base(), x)) << "x = " << x;
    }
  }
}

TEST(DiscreteIntegerTest, NumberLayoutAndCapacity) {
  Probe key("A");
  for (auto [n, capacity] : {std::pair{1u, 4u}, {3u, 4u}, {4u, 4u}, {5u, 8u}, {128u, 128u}}) {
    key.SetCapacity(n);
    EXPECT_EQ(key.Capacity(), capacity) << "N = " << n;
  }
  key.SetString("ABCDE");
  EXPECT_EQ(key.ByteCount(), 8u);
  EXPECT_EQ(key.Word(0), 0x44434241u);
  EXPECT_EQ(key.Word(1), 0x45u) << "the second word holds only the fifth byte";
  key.InitModulo();
  EXPECT_EQ(key.Modulo(), 2 * static_cast<std::uint32_t>(0x4544434241ull % Q));

  key.SetCapacity(3);
  EXPECT_EQ(key.ByteCount(), 4u) << "cut to the new capacity";
  key.SetCapacity(12);
  EXPECT_EQ(key.ByteCount(), 4u);
  EXPECT_EQ(key.Word(0), 0x44434241u) << "content kept across reallocation";
  key.SetString("Z");
  EXPECT_EQ(key.Word(0), 0x5Au) << "old bytes cleared";

  for (std::uint32_t n : {0u, 0xFFFFFFFFu}) {
    EXPECT_THAT([&] { key.SetCapacity(n); },
                ThrowsMessage<EIntOverflow>(StrEq("Integer overflow")));
  }
  EXPECT_THAT([] { TDiscreteInteger k(""); },
              ThrowsMessage<EIntOverflow>(StrEq("Integer overflow")));
}

TEST(DiscreteIntegerTest, MultiplesOfQAreWeak) {
  const std::string q_bytes("\x97\xFF\xFF\x7F", 4);
  EXPECT_THAT([&] { TDiscreteInteger k(q_bytes); },
              ThrowsMessage<EDiscrInteger>(StrEq(kWeakKeyMessage)));
  // 0, 2Q and Q * 2^32 too; the message never quotes the string, which is
  // half of a password.
  for (const std::string& s :
       {std::string(5, '\0'), std::string("\x2E\xFF\xFF\xFF"), std::string(4, '\0') + q_bytes}) {
    try {
      TDiscreteInteger k(s);
      ADD_FAILURE() << "accepted a weak string of " << s.size() << " bytes";
    } catch (const EDiscrInteger& e) {
      EXPECT_EQ(e.Message(), kWeakKeyMessage);
    }
  }
  EXPECT_NO_THROW(TDiscreteInteger k("\x96\xFF\xFF\x7F"));
  EXPECT_NO_THROW(TDiscreteInteger k("\x98\xFF\xFF\x7F"));
}

TEST(DiscreteIntegerTest, DestructorWipesBaseAndModulo) {
  alignas(TDiscreteInteger) unsigned char storage[sizeof(TDiscreteInteger)];
  auto* key = new (storage) TDiscreteInteger("A");
  auto holds = [&](std::uint32_t v) {
    for (std::size_t i = 0; i + 4 <= sizeof storage; ++i) {
      if (std::memcmp(storage + i, &v, 4) == 0) return true;
    }
    return false;
  };
  ASSERT_TRUE(holds(3337151957u) && holds(130u));
  key->~TDiscreteInteger();
  EXPECT_FALSE(holds(3337151957u));
  EXPECT_FALSE(holds(130u));
}

}  // namespace
}  // namespace wordloom
