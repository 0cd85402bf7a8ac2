// Sets of enumerators and of byte values, with the storage layout the files use:
// enumerator (or byte value) n is bit n mod 8 of byte n div 8.
#pragma once

#pragma GCC visibility push(default)

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace wordloom {

// A set of the enumerators of E, whose ordinals are 0 .. Count-1. Sets of up to
// eight enumerators fit one byte, as the option sets are stored.
//   TWLSpellFileOptions o{wlsPromptOnReplace};
//   o.Include(wlsHardCoded); o.Contains(wlsHardCoded) == true
template <typename E, unsigned Count>
class EnumSet {
  static_assert(Count > 0 && Count <= 32, "EnumSet holds up to 32 enumerators");

 public:
  using Bits = std::conditional_t<(Count <= 8), std::uint8_t,
               std::conditional_t<(Count <= 16), std::uint16_t, std::uint32_t>>;
  static constexpr unsigned kCount = Count;

  constexpr EnumSet() = default;
  constexpr EnumSet(std::initializer_list<E> items) {
    for (E e : items) Include(e);
  }

  // The set whose bit pattern is `bits`; bits above Count are dropped.
  static constexpr EnumSet FromBits(std::uint32_t bits) {
    EnumSet s;
    s.FBits = static_cast<Bits>(bits & kMask);
    return s;
  }
  constexpr Bits ToBits() const { return FBits; }

  constexpr bool Contains(E e) const { return Valid(e) && (FBits >> Ordinal(e)) & 1u; }
  constexpr EnumSet& Include(E e) {
    if (Valid(e)) FBits = static_cast<Bits>(FBits | (Bits{1} << Ordinal(e)));
    return *this;
  }
  constexpr EnumSet& Exclude(E e) {
    if (Valid(e)) FBits = static_cast<Bits>(FBits & ~(Bits{1} << Ordinal(e)));
    return *this;
  }
  constexpr bool Empty() const { return FBits == 0; }

  friend constexpr bool operator==(EnumSet a, EnumSet b) { return a.FBits == b.FBits; }

 private:
  static constexpr std::uint32_t kMask =
      Count == 32 ? 0xFFFFFFFFu : ((std::uint32_t{1} << Count) - 1);
  static constexpr unsigned Ordinal(E e) { return static_cast<unsigned>(e); }
  static constexpr bool Valid(E e) { return Ordinal(e) < Count; }

  Bits FBits = 0;
};

// The set of the 256 byte values, 32 bytes: value n is bit n mod 8 of byte n div 8.
class TCharSet {
 public:
  using Bytes = std::array<std::uint8_t, 32>;

  constexpr TCharSet() = default;
  constexpr TCharSet(std::initializer_list<std::uint8_t> values) {
    for (std::uint8_t v : values) Include(v);
  }
  static constexpr TCharSet FromBytes(const Bytes& bytes) {
    TCharSet s;
    s.FBytes = bytes;
    return s;
  }
  // The values lo .. hi, both included; empty when lo > hi.
  static constexpr TCharSet Range(std::uint8_t lo, std::uint8_t hi) {
    TCharSet s;
    s.IncludeRange(lo, hi);
    return s;
  }

  constexpr const Bytes& ToBytes() const { return FBytes; }

  constexpr bool Contains(std::uint8_t v) const { return (FBytes[v >> 3] >> (v & 7)) & 1u; }
  constexpr bool Contains(char c) const { return Contains(static_cast<std::uint8_t>(c)); }
  constexpr TCharSet& Include(std::uint8_t v) {
    FBytes[v >> 3] = static_cast<std::uint8_t>(FBytes[v >> 3] | (1u << (v & 7)));
    return *this;
  }
  constexpr TCharSet& Exclude(std::uint8_t v) {
    FBytes[v >> 3] = static_cast<std::uint8_t>(FBytes[v >> 3] & ~(1u << (v & 7)));
    return *this;
  }
  constexpr TCharSet& IncludeRange(std::uint8_t lo, std::uint8_t hi) {
    for (unsigned v = lo; v <= hi; ++v) Include(static_cast<std::uint8_t>(v));
    return *this;
  }
  // Number of values in the set.
  constexpr unsigned Count() const {
    unsigned n = 0;
    for (unsigned v = 0; v < 256; ++v) n += Contains(static_cast<std::uint8_t>(v));
    return n;
  }

  friend constexpr bool operator==(const TCharSet& a, const TCharSet& b) {
    return a.FBytes == b.FBytes;
  }

 private:
  Bytes FBytes{};
};

}  // namespace wordloom

#pragma GCC visibility pop
