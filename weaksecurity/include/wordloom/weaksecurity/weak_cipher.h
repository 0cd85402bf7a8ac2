// A byte-at-a-time stream cipher with ciphertext feedback, keyed by a password,
// for protected spell files. Two exponentiation functions, built from the two
// halves of the password, stir an 8-byte register before every byte; the
// keystream byte is the register's first byte, and each ciphertext byte is fed
// back into the register's last byte.
#pragma once

#pragma GCC visibility push(default)

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "wordloom/platform/object.h"
#include "wordloom/weaksecurity/discrete_integer.h"

namespace wordloom {

// The message of a one-character password, which makes no key (it names no
// byte of it).
inline constexpr const char* kShortPasswordMessage = "A password needs at least two characters";

// One cipher serves one direction of one file: it cannot be rewound. A reader
// built from the same password, after the same InitVector, deciphers byte for
// byte what a writer enciphered.
//   TWeakCipher writer("secret");
//   writer.InitVector();
//   writer.Encrypt(b);
class TWeakCipher : public TObject {
 public:
  WORDLOOM_OBJECT(TWeakCipher)

  // Builds the keys from the characters at odd (1st, 3rd, ...) and even (2nd,
  // 4th, ...) positions of Password; the register starts at 8 zero bytes.
  // Throws EDiscrInteger("No password") for an empty password, EIntOverflow
  // (kShortPasswordMessage) for a one-character one (its even half would be
  // empty) and EDiscrInteger (kWeakKeyMessage) for a weak half.
  explicit TWeakCipher(std::string_view Password);
  ~TWeakCipher() override;

  // Sets every byte of the register to 0xD3, the agreed starting state of a
  // protected file's stream.
  void InitVector();
  // Enciphers B in place and advances the register.
  void Encrypt(std::uint8_t& B);
  // Deciphers B in place and advances the register.
  void Decrypt(std::uint8_t& B);

  // The feedback register: bytes 0-3 and 4-7 are the two little-endian states.
  const std::array<std::uint8_t, 8>& Vector() const { return FVector; }

 private:
  // Advances both states through their keys and returns the keystream byte.
  std::uint8_t Step();
  // Moves the register one byte toward byte 0 and puts Cipher in byte 7.
  void Feed(std::uint8_t Cipher);

  std::array<std::uint8_t, 8> FVector{};
  std::unique_ptr<TDiscreteInteger> FKey1;
  std::unique_ptr<TDiscreteInteger> FKey2;
};

}  // namespace wordloom

#pragma GCC visibility pop
