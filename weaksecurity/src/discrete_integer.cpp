#include "wordloom/weaksecurity/discrete_integer.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "wordloom/platform/coding.h"
#include "wordloom/platform/wipe.h"

namespace wordloom {

namespace {

// The power table: Base^(2^i) for each of the 32 bits of an exponent.
constexpr std::uint32_t kTableWords = 32;
constexpr std::uint32_t kTableBytes = kTableWords * 4;

}  // namespace

namespace {

// Entries of the exponent windows: four bytes of 256 values.
constexpr std::size_t kWindowEntries = 4 * 256;

}  // namespace

void DiscrMultiply(std::uint32_t A, std::uint32_t B, std::uint32_t& R) {
  // Everything derived from the factors lives here, so one wipe clears it.
  struct {
    std::uint64_t a_lo, a_hi, b_lo, b_hi;
    std::uint64_t product;
    std::int64_t r;
  } t;
  // Four 16-bit partial products, combined exactly: A * B < 2^64.
  t.a_lo = A & 0xFFFFu;
  t.a_hi = A >> 16;
  t.b_lo = B & 0xFFFFu;
  t.b_hi = B >> 16;
  t.product =
      ((t.a_hi * t.b_hi) << 32) + ((t.a_hi * t.b_lo + t.a_lo * t.b_hi) << 16) + t.a_lo * t.b_lo;
  // Reduce 16 bits at a time from the top. r < P < 2^32, so r * 65536 + limb
  // stays below 2^48 and fits a signed 64-bit value.
  t.r = 0;
  for (int shift = 48; shift >= 0; shift -= 16) {
    t.r = (t.r * 65536 + static_cast<std::int64_t>((t.product >> shift) & 0xFFFFu)) % kDiscrP;
  }
  R = static_cast<std::uint32_t>(t.r);
  Wipe(&t, sizeof t);
}

TDiscreteInteger::TDiscreteInteger(std::string_view S) {
  try {
    SetString(S);
    InitModulo();
    // The table of the powers of 2 turns Modulo into 2^Modulo mod P.
    FBase = 2;
    CalcDiscrPowers();
    FBase = FModulo;
    DiscrPower(FBase);
    // 2 is a square modulo P (P mod 8 = 7), so its order is Q and 2^(2r) = 1
    // exactly when r = 0: the number is a multiple of Q.
    // The message never quotes S: it is half of a password.
    if (FBase == 1) throw EDiscrInteger(kWeakKeyMessage);
    CalcDiscrPowers();
  } catch (...) {
    // The destructor does not run for a half-built object.
    WipeState();
    throw;
  }
}

TDiscreteInteger::~TDiscreteInteger() { WipeState(); }

void TDiscreteInteger::WipeState() {
  Wipe(&FBase, sizeof FBase);
  Wipe(&FModulo, sizeof FModulo);
  Wipe(FDigits.get(), FCapacity);
  if (FWindows) Wipe(FWindows.get(), kWindowEntries * sizeof(std::uint32_t));
}

void TDiscreteInteger::SetString(std::string_view S) {
  if (S.size() > UINT32_MAX) throw EIntOverflow(kIntOverflowMessage);
  SetCapacity(static_cast<std::uint32_t>(S.size()));
  std::memset(FDigits.get(), 0, FCapacity);
  std::memcpy(FDigits.get(), S.data(), S.size());
  FByteCount = FCapacity;
}

void TDiscreteInteger::SetCapacity(std::uint32_t N) {
  // The rounding ((N - 1) div 4) * 4 + 4 overflows 32 bits at both ends.
  if (N == 0 || N > UINT32_MAX - 3) throw EIntOverflow(kIntOverflowMessage);
  const std::uint32_t capacity = ((N - 1) / 4) * 4 + 4;
  if (capacity == FCapacity) return;
  auto digits = std::make_unique<std::uint8_t[]>(capacity);
  if (FCapacity > 0) std::memcpy(digits.get(), FDigits.get(), std::min(capacity, FCapacity));
  // The old buffer may hold key bytes or powers.
  Wipe(FDigits.get(), FCapacity);
  FDigits = std::move(digits);
  FCapacity = capacity;
  FByteCount = std::min(FByteCount, FCapacity);
}

void TDiscreteInteger::InitModulo() {
  struct {
    std::int64_t r;
    std::int64_t word;
  } t;
  // Horner's rule over the words, most significant first. r < Q < 2^31, so
  // r * 2^32 + word < 2^63.
  t.r = 0;
  for (std::uint32_t i = (FByteCount + 3) / 4; i-- > 0;) {
    t.word = Word(i);
    t.r = ((t.r << 32) + t.word) % kDiscrQ;
  }
  FModulo = static_cast<std::uint32_t>(2 * t.r);
  Wipe(&t, sizeof t);
}

void TDiscreteInteger::CalcDiscrPowers() {
  SetCapacity(kTableBytes);
  std::uint32_t v = FBase;
  for (std::uint32_t i = 0; i < kTableWords; ++i) {
    SetWord(i, v);
    DiscrMultiply(v, v, v);
  }
  Wipe(&v, sizeof v);
  CalcWindows();
}

void TDiscreteInteger::CalcWindows() {
  if (!FWindows) FWindows.reset(new std::uint32_t[kWindowEntries]);
  for (std::uint32_t k = 0; k < 4; ++k) {
    std::uint32_t* w = FWindows.get() + 256 * k;
    const std::uint32_t step = Word(8 * k);  // Base^(256^k)
    w[0] = 1;
    for (std::uint32_t v = 1; v < 256; ++v) DiscrMultiply(w[v - 1], step, w[v]);
  }
}

void TDiscreteInteger::DiscrPower(std::uint32_t& X) const {
  // The product of the table entries of X's set bits, taken a byte at a time.
  const std::uint32_t* w = FWindows.get();
  std::uint32_t result = w[X & 0xFF];
  DiscrMultiply(result, w[256 + ((X >> 8) & 0xFF)], result);
  DiscrMultiply(result, w[512 + ((X >> 16) & 0xFF)], result);
  DiscrMultiply(result, w[768 + (X >> 24)], result);
  X = result;
  Wipe(&result, sizeof result);
}

std::uint32_t TDiscreteInteger::Word(std::uint32_t I) const {
  return DecodeFixed(FDigits.get() + 4 * static_cast<std::size_t>(I), 4);
}

void TDiscreteInteger::SetWord(std::uint32_t I, std::uint32_t Value) {
  EncodeFixed(FDigits.get() + 4 * static_cast<std::size_t>(I), Value, 4);
}

}  // namespace wordloom
