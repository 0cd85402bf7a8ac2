// TByteString: the growable byte buffer used wherever text is handled as raw
// bytes (words, node records, tokens, encoded blocks). Positions are 0-based; a
// byte string may hold any byte, 0 included.
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "wordloom/platform/persistent.h"

namespace wordloom {

class TByteString : public TPersistent {
 public:
  WORDLOOM_OBJECT(TByteString)

  // The highest index the buffer may have, and so the largest size + 1.
  static constexpr std::uint32_t kMaxIndex = 2147483646;

  // Size 0, capacity 16, the buffer zeroed.
  TByteString();
  // A byte string holding the bytes of S.
  explicit TByteString(std::string_view S);
  ~TByteString() override = default;

  // The buffer, Capacity() bytes; bytes from Size() on are 0.
  std::uint8_t* Data() { return FData.get(); }
  const std::uint8_t* Data() const { return FData.get(); }
  std::uint32_t Size() const { return FSize; }
  std::uint32_t Capacity() const { return FCapacity; }
  // The bytes in use, valid until the next change.
  std::string_view View() const {
    return {reinterpret_cast<const char*>(FData.get()), FSize};
  }
  // The byte at Index; a byte behind the end (below Capacity) reads 0.
  // Raises ERangeError for an index at or above Capacity.
  std::uint8_t At(std::uint32_t Index) const;

  // Resizes. Capacity grows to the next multiple of 16 strictly above NewSize when
  // NewSize exceeds it, and never shrinks; bytes behind the new end become 0.
  // Raises ERangeError when NewSize - 1 would exceed kMaxIndex.
  void SetSize(std::uint32_t NewSize) {
    // The common cases inline: emptying and shrinking clear what is given up.
    if (NewSize <= FSize) {
      // Words are short: a loop clears them faster than a call.
      for (std::uint32_t i = NewSize; i < FSize; ++i) FData[i] = 0;
      FSize = NewSize;
      return;
    }
    Grow(NewSize);
  }
  // Copies Size() bytes from Source into the buffer (call SetSize first).
  void SetData(const void* Source);
  void SetString(std::string_view S);
  std::string GetString() const { return std::string(View()); }

  void AppendChar(std::uint8_t C) {
    // The common case, room behind the end: the byte there is 0 and becomes C.
    if (FSize < FCapacity) {
      FData[FSize++] = C;
      return;
    }
    AppendCharGrowing(C);
  }
  // Inserts C in front of the existing bytes.
  void AddPrefix(std::uint8_t C);
  // Appends the bytes of Other (its size before the call, so appending a byte
  // string to itself doubles it).
  void Append(const TByteString& Other);
  // Appends the Width low-order bytes of Value, least significant first.
  // REQUIRES: Width <= 4 (ERangeError otherwise). 258 with width 2 appends 02 01.
  void AppendLongWord(std::uint32_t Value, std::uint8_t Width);
  // Removes the first Width bytes and returns them read little-endian.
  // REQUIRES: Width <= 4 (ERangeError) and Width <= Size() (EIntOverflow; the
  // byte string is then unchanged).
  std::uint32_t WithDrawLongWord(std::uint8_t Width);
  // The 0-based position of the first occurrence of Pattern, or -1. An empty
  // pattern is found at 0.
  std::int32_t Pos(const TByteString& Pattern) const;
  // Replaces Count bytes from Position by the bytes of R. Raises EListError
  // "No room for replacement" when Position + Count > Size(); nothing changes then.
  void Replace(const TByteString& R, std::uint32_t Position, std::uint32_t Count);

  // A TByteString destination receives a copy of the size and bytes; any other
  // destination is left alone and nothing is raised.
  void AssignTo(TPersistent* Dest) override;

 private:
  void AppendCharGrowing(std::uint8_t C);
  // SetSize to a larger size.
  void Grow(std::uint32_t NewSize);

  std::unique_ptr<std::uint8_t[]> FData;
  std::uint32_t FSize = 0;
  std::uint32_t FCapacity = 0;
};

}  // namespace wordloom

#pragma GCC visibility pop
