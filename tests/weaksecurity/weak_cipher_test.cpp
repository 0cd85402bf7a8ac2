#include "wordloom/weaksecurity/weak_cipher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace wordloom {
namespace {

using ::testing::StrEq;
using ::testing::ThrowsMessage;
using Bytes = std::vector<std::uint8_t>;

// Passes Bytes through a fresh cipher from Password, started with InitVector.
Bytes Through(const std::string& password, Bytes bytes, bool encrypt) {
  TWeakCipher cipher(password);
  cipher.InitVector();
  for (auto& b : bytes) encrypt ? cipher.Encrypt(b) : cipher.Decrypt(b);
  return bytes;
}

TEST(WeakCipherTest, GoldenStreamAndRoundTrips) {
  // Computed with an independent big-integer model of the cipher.
  const Bytes plain = {'P', 'R', 'O', 'T', ' ', 'w', 'o', 'r', 'd', 'l', 'o', 'o', 'm'};
  const Bytes golden = {0x02, 0x16, 0x62, 0xFA, 0x24, 0x31, 0xA9,
                        0x4C, 0x05, 0x91, 0x8C, 0x5A, 0xFF};
  EXPECT_EQ(Through("secret", plain, true), golden);
  EXPECT_EQ(Through("secret", golden, false), plain);
  EXPECT_EQ(Through("secret", {0, 0, 0}, true), (Bytes{0x52, 0x44, 0x4F}));
  EXPECT_EQ(Through("secret", {0x52, 0x44, 0x4F}, false), (Bytes{0, 0, 0}));

  std::mt19937 rng(42);
  std::string long_password(301, '\0');
  for (char& c : long_password) c = static_cast<char>(rng() % 255 + 1);
  Bytes random(4096);
  for (auto& b : random) b = static_cast<std::uint8_t>(rng());
  for (const std::string& password : {std::string("ab"), long_password}) {
    const Bytes enciphered = Through(password, random, true);
    EXPECT_NE(enciphered, random);
    EXPECT_EQ(Through(password, enciphered, false), random);
  }
  // "ab" and "ba" build their first key from different halves.
  EXPECT_NE(Through("ab", random, true), Through("ba", random, true));
  EXPECT_NE(Through("ba", Through("ab", random, true), false), random);
}

TEST(WeakCipherTest, ZeroRegisterGivesKeystreamByteOne) {
  for (const char* password : {"ab", "secret"}) {
    TWeakCipher cipher(password);
    std::uint8_t b = 0x5A;
    cipher.Encrypt(b);
    EXPECT_EQ(b, 0x5B) << password;
    // Both states became Base^0 = 1; the register moved down one byte and took
    // the ciphertext byte at the end.
    EXPECT_EQ(cipher.Vector(), (std::array<std::uint8_t, 8>{0, 0, 0, 1, 0, 0, 0, 0x5B}));
  }
}

TEST(WeakCipherTest, BadPasswordsAreRefused) {
  EXPECT_THAT([] { TWeakCipher c(""); }, ThrowsMessage<EDiscrInteger>(StrEq("No password")));
  EXPECT_THAT([] { TWeakCipher c("x"); },
              ThrowsMessage<EIntOverflow>(StrEq("A password needs at least two characters")));
  // A weak half (the bytes of Q, little-endian) is refused whether it sits at
  // the odd or the even positions, and the message quotes none of it.
  const auto weak = ThrowsMessage<EDiscrInteger>(StrEq(kWeakKeyMessage));
  EXPECT_THAT(
      [] {
        TWeakCipher c(
            "\x97"
            "a\xFF"
            "b\xFF"
            "c\x7F"
            "d");
      },
      weak);
  EXPECT_THAT([] { TWeakCipher c("w\x97x\xFFy\xFFz\x7F"); }, weak);
  EXPECT_NO_THROW(TWeakCipher c("wxyzabcd"));
}

}  // namespace
}  // namespace wordloom
