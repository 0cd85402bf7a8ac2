// Little-endian fixed-width fields: every format of the system (spell files,
// the cipher's register, encoded streams, byte strings) packs and unpacks its
// unsigned fields of 1 to 4 bytes here, least significant byte first.
//
//   std::uint8_t field[3];
//   EncodeFixed(field, 0x0A0B0C, 3);  // 0C 0B 0A
//   DecodeFixed(field, 3);            // 0x0A0B0C
#pragma once

#pragma GCC visibility push(default)

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

namespace wordloom {

// The largest value a field of Width bytes holds: 0 for 0 bytes, 255 for 1,
// ..., 4294967295 for 4 and more.
constexpr std::uint32_t WidthMax(std::uint8_t Width) {
  return Width >= 4 ? UINT32_MAX : (std::uint32_t{1} << (8 * Width)) - 1;
}

// Writes Value at Dest as four bytes, least significant first. Spelled out
// byte by byte, so that the compiler makes one store of it.
inline void EncodeFixed32(std::uint8_t* Dest, std::uint32_t Value) {
  Dest[0] = static_cast<std::uint8_t>(Value);
  Dest[1] = static_cast<std::uint8_t>(Value >> 8);
  Dest[2] = static_cast<std::uint8_t>(Value >> 16);
  Dest[3] = static_cast<std::uint8_t>(Value >> 24);
}

// The value of the four bytes at Src, least significant first (one load).
inline std::uint32_t DecodeFixed32(const std::uint8_t* Src) {
  return static_cast<std::uint32_t>(Src[0]) | static_cast<std::uint32_t>(Src[1]) << 8 |
         static_cast<std::uint32_t>(Src[2]) << 16 | static_cast<std::uint32_t>(Src[3]) << 24;
}

// The same for eight bytes.
inline void EncodeFixed64(std::uint8_t* Dest, std::uint64_t Value) {
  EncodeFixed32(Dest, static_cast<std::uint32_t>(Value));
  EncodeFixed32(Dest + 4, static_cast<std::uint32_t>(Value >> 32));
}
inline std::uint64_t DecodeFixed64(const std::uint8_t* Src) {
  return DecodeFixed32(Src) | std::uint64_t{DecodeFixed32(Src + 4)} << 32;
}

// Writes the low Width bytes of Value at Dest, least significant first.
// REQUIRES: Width <= 4, Width writable bytes at Dest.
inline void EncodeFixed(std::uint8_t* Dest, std::uint32_t Value, std::uint8_t Width) {
  if (Width == 4) return EncodeFixed32(Dest, Value);
  for (std::uint8_t i = 0; i < Width; ++i) Dest[i] = static_cast<std::uint8_t>(Value >> (8 * i));
}

// Appends the low Width bytes of Value to Dest, least significant first.
// REQUIRES: Width <= 4.
inline void PutFixed(std::string& Dest, std::uint32_t Value, std::uint8_t Width) {
  for (std::uint8_t i = 0; i < Width; ++i) Dest.push_back(static_cast<char>(Value >> (8 * i)));
}

// The value of the Width bytes at Src, least significant first.
// REQUIRES: Width <= 4, Width readable bytes at Src.
inline std::uint32_t DecodeFixed(const std::uint8_t* Src, std::uint8_t Width) {
  if (Width == 4) return DecodeFixed32(Src);
  std::uint32_t value = 0;
  for (std::uint8_t i = 0; i < Width; ++i) value |= static_cast<std::uint32_t>(Src[i]) << (8 * i);
  return value;
}

// The fast form of DecodeFixed for hot readers: loads four bytes in one go and
// keeps the bits of Mask (WidthMax of the field's width).
// REQUIRES: four readable bytes at Src, even for a narrower field.
inline std::uint32_t DecodeFixedMasked(const std::uint8_t* Src, std::uint32_t Mask) {
  static_assert(std::endian::native == std::endian::little,
                "fields are loaded directly: the formats and the machines are little-endian");
  std::uint32_t value;
  std::memcpy(&value, Src, sizeof value);
  return value & Mask;
}

}  // namespace wordloom

#pragma GCC visibility pop
