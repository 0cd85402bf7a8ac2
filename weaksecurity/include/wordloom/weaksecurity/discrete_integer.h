// Modular exponentiation keyed by a byte string: TDiscreteInteger turns the bytes
// of a string into the function x -> g^x mod P, where P is the prime 2^32 - 209
// and the base g is derived from the string. The weak cipher holds two of them.
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>
#include <memory>
#include <string_view>

#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/object.h"

namespace wordloom {

// The error of this module: a weak key string or a missing password.
WORDLOOM_EXCEPTION(EDiscrInteger, Exception);

// The modulus of every multiplication, 2^32 - 209 (hexadecimal FFFFFF2F).
inline constexpr std::uint32_t kDiscrP = 4294967087u;
// The modulus for reducing the key string, (P - 1) / 2 (hexadecimal 7FFFFF97).
// P = 2Q + 1 with Q prime, so every square other than 1 has order Q.
inline constexpr std::uint32_t kDiscrQ = 2147483543u;

// The message of a weak key string. It names no byte of the string: the string
// is half of a password, and messages end up on screens and in logs.
inline constexpr const char* kWeakKeyMessage = "Weak key password: choose another password";

// Sets R := A * B mod P for any uint32 A and B. R may be the same variable as A
// or B: both factors are read before R is written.
//   std::uint32_t x = 4294967295u;
//   DiscrMultiply(x, x, x);  // x == 43264
void DiscrMultiply(std::uint32_t A, std::uint32_t B, std::uint32_t& R);

// The function x -> Base^x mod P for a Base derived from a string. Base is
// 2^(2r) mod P where r is the string, read as a little-endian number, mod Q.
// Every intermediate value is wiped, and so are Base, Modulo and the table when
// the object goes away.
class TDiscreteInteger : public TObject {
 public:
  WORDLOOM_OBJECT(TDiscreteInteger)

  // Builds the function from the bytes of S (the first byte is the least
  // significant). Throws EIntOverflow for an empty S and EDiscrInteger
  // (kWeakKeyMessage) when the number is a multiple of Q.
  explicit TDiscreteInteger(std::string_view S);
  ~TDiscreteInteger() override;

  // X := Base^X mod P. All 32 bits of X count. At most 32 multiplications and
  // no allocation.
  void DiscrPower(std::uint32_t& X) const;

  // The base whose powers the function computes; in 2 .. P - 1.
  std::uint32_t Base() const { return FBase; }
  // Twice the residue of the key string modulo Q.
  std::uint32_t Modulo() const { return FModulo; }
  // Bytes allocated for the number or the power table; a multiple of 4.
  std::uint32_t Capacity() const { return FCapacity; }
  // Bytes of the number in use.
  std::uint32_t ByteCount() const { return FByteCount; }

 protected:
  // The steps of construction. They are not public because after construction
  // the buffer holds the power table, which DiscrPower reads in full: loading a
  // new number would leave it reading a shorter buffer.

  // Loads the bytes of S as the number, padded with zeros to the capacity.
  // Throws EIntOverflow for an empty S.
  void SetString(std::string_view S);
  // Makes the buffer hold N rounded up to a multiple of 4 bytes (at least 4),
  // keeping its content; ByteCount is cut to the new capacity. Throws
  // EIntOverflow for N = 0 or when the rounded size does not fit 32 bits.
  void SetCapacity(std::uint32_t N);
  // Modulo := 2 * (number mod Q).
  void InitModulo();
  // Replaces the buffer by the 32 powers Base^(2^i) mod P, i = 0 .. 31.
  void CalcDiscrPowers();

  // The 32-bit word I of the buffer, little-endian.
  std::uint32_t Word(std::uint32_t I) const;
  // The number's bytes (or the table's), FCapacity of them.
  const std::uint8_t* Digits() const { return FDigits.get(); }

 private:
  void SetWord(std::uint32_t I, std::uint32_t Value);
  // Builds FWindows from the power table.
  void CalcWindows();
  // Overwrites Base, Modulo and the whole buffer.
  void WipeState();

  std::uint32_t FCapacity = 0;
  std::unique_ptr<std::uint8_t[]> FDigits;
  std::uint32_t FBase = 0;
  std::uint32_t FModulo = 0;
  std::uint32_t FByteCount = 0;
  // Base^(v * 256^k) mod P at [k * 256 + v], for the four bytes k of an
  // exponent: DiscrPower then multiplies four entries instead of up to 32
  // powers of two (the result is the same product). 4 KiB, wiped like the table.
  std::unique_ptr<std::uint32_t[]> FWindows;
};

}  // namespace wordloom

#pragma GCC visibility pop
