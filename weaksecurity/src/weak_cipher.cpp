#include "wordloom/weaksecurity/weak_cipher.h"

#include <string>

#include "wordloom/platform/coding.h"
#include "wordloom/platform/wipe.h"

namespace wordloom {

namespace {

// Wipes the password halves however construction ends.
struct HalvesWiper {
  std::string& odd;
  std::string& even;
  ~HalvesWiper() {
    Wipe(odd);
    Wipe(even);
  }
};

// The starting register of a protected stream.
constexpr std::uint8_t kInitialVectorByte = 0xD3;

}  // namespace

TWeakCipher::TWeakCipher(std::string_view Password) {
  if (Password.empty()) throw EDiscrInteger("No password");
  // Its even half would be empty, which the key cannot take; the class stays
  // the one the key would raise, the message says what is wrong.
  if (Password.size() == 1) throw EIntOverflow(kShortPasswordMessage);
  // Reserved up front so that no copy of the characters is left behind in a
  // buffer given up by growth.
  std::string odd, even;
  HalvesWiper wiper{odd, even};
  odd.reserve((Password.size() + 1) / 2);
  even.reserve(Password.size() / 2);
  for (std::size_t i = 0; i < Password.size(); ++i) {
    (i % 2 == 0 ? odd : even).push_back(Password[i]);
  }
  // If the second key fails, the first is released with the cipher's members.
  FKey1 = std::make_unique<TDiscreteInteger>(odd);
  FKey2 = std::make_unique<TDiscreteInteger>(even);
}

TWeakCipher::~TWeakCipher() {
  FKey2.reset();
  FKey1.reset();
}

void TWeakCipher::InitVector() { FVector.fill(kInitialVectorByte); }

std::uint8_t TWeakCipher::Step() {
  // The register's halves are two little-endian 32-bit values, one per key.
  std::uint32_t s0 = DecodeFixed(&FVector[0], 4);
  FKey1->DiscrPower(s0);
  EncodeFixed(&FVector[0], s0, 4);
  std::uint32_t s1 = DecodeFixed(&FVector[4], 4);
  FKey2->DiscrPower(s1);
  EncodeFixed(&FVector[4], s1, 4);
  Wipe(&s0, sizeof s0);
  Wipe(&s1, sizeof s1);
  return FVector[0];
}

void TWeakCipher::Feed(std::uint8_t Cipher) {
  for (std::size_t i = 0; i + 1 < FVector.size(); ++i) FVector[i] = FVector[i + 1];
  FVector[7] = Cipher;
}

void TWeakCipher::Encrypt(std::uint8_t& B) {
  B ^= Step();
  Feed(B);
}

void TWeakCipher::Decrypt(std::uint8_t& B) {
  const std::uint8_t c = B;
  B = c ^ Step();
  Feed(c);
}

}  // namespace wordloom
