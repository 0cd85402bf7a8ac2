#include "wordloom/dictionary/byte_string.h"

#include <cstring>

#include "wordloom/platform/coding.h"
#include "wordloom/platform/exceptions.h"

namespace wordloom {

namespace {

// Capacity grows in steps of 16 bytes, so that repeated appends and reuse of a
// scratch byte string rarely allocate.
constexpr std::uint32_t kCapacityStep = 16;

void CheckWidth(std::uint8_t width) {
  if (width > 4) throw ERangeError(kRangeErrorMessage);
}

// a + b, or EIntOverflow when it leaves the unsigned 32-bit range.
std::uint32_t CheckedAdd(std::uint32_t a, std::uint32_t b) {
  if (b > UINT32_MAX - a) throw EIntOverflow(kIntOverflowMessage);
  return a + b;
}

}  // namespace

TByteString::TByteString()
    : FData(new std::uint8_t[kCapacityStep]()), FSize(0), FCapacity(kCapacityStep) {}

TByteString::TByteString(std::string_view S) : TByteString() { SetString(S); }

std::uint8_t TByteString::At(std::uint32_t Index) const {
  if (Index >= FCapacity) throw ERangeError(kRangeErrorMessage);
  return FData[Index];
}

void TByteString::Grow(std::uint32_t NewSize) {
  // The last index, NewSize - 1, must stay within the byte array's index range.
  if (NewSize > kMaxIndex + 1) throw ERangeError(kRangeErrorMessage);
  // Grow the buffer to the next multiple of 16 strictly above NewSize.
  if (NewSize > FCapacity) {
    const std::uint32_t capacity = (NewSize / kCapacityStep + 1) * kCapacityStep;
    std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[capacity]);
    std::memcpy(data.get(), FData.get(), FCapacity);
    std::memset(data.get() + FCapacity, 0, capacity - FCapacity);
    FData = std::move(data);
    FCapacity = capacity;
  }
  // The bytes behind the old end already read 0; clear the exposed range
  // anyway, in case a caller wrote behind the end through Data().
  std::memset(FData.get() + FSize, 0, NewSize - FSize);
  FSize = NewSize;
}

void TByteString::SetData(const void* Source) {
  if (FSize > 0) std::memmove(FData.get(), Source, FSize);
}

void TByteString::SetString(std::string_view S) {
  if (S.size() > kMaxIndex + std::size_t{1}) throw ERangeError(kRangeErrorMessage);
  SetSize(static_cast<std::uint32_t>(S.size()));
  if (!S.empty()) std::memmove(FData.get(), S.data(), S.size());
}

void TByteString::AppendCharGrowing(std::uint8_t C) {
  SetSize(CheckedAdd(FSize, 1));
  FData[FSize - 1] = C;
}

void TByteString::AddPrefix(std::uint8_t C) {
  SetSize(CheckedAdd(FSize, 1));
  std::memmove(FData.get() + 1, FData.get(), FSize - 1);
  FData[0] = C;
}

void TByteString::Append(const TByteString& Other) {
  const std::uint32_t s = FSize;
  const std::uint32_t k = Other.FSize;
  SetSize(CheckedAdd(s, k));
  // Other may be this byte string: its first k bytes are still in place.
  if (k > 0) std::memmove(FData.get() + s, Other.FData.get(), k);
}

void TByteString::AppendLongWord(std::uint32_t Value, std::uint8_t Width) {
  CheckWidth(Width);
  const std::uint32_t s = FSize;
  SetSize(CheckedAdd(s, Width));
  EncodeFixed(FData.get() + s, Value, Width);
}

std::uint32_t TByteString::WithDrawLongWord(std::uint8_t Width) {
  CheckWidth(Width);
  if (Width > FSize) throw EIntOverflow(kIntOverflowMessage);
  const std::uint32_t result = DecodeFixed(FData.get(), Width);
  std::memmove(FData.get(), FData.get() + Width, FSize - Width);
  SetSize(FSize - Width);
  return result;
}

std::int32_t TByteString::Pos(const TByteString& Pattern) const {
  const std::size_t found = View().find(Pattern.View());
  return found == std::string_view::npos ? -1 : static_cast<std::int32_t>(found);
}

void TByteString::Replace(const TByteString& R, std::uint32_t Position, std::uint32_t Count) {
  if (std::uint64_t{Position} + Count > FSize) throw EListError("No room for replacement");
  // R may be this byte string; work from a copy of its bytes then.
  const std::string copy = &R == this ? GetString() : std::string();
  const std::uint8_t* r = &R == this ? reinterpret_cast<const std::uint8_t*>(copy.data())
                                     : R.FData.get();
  const std::uint32_t k = R.FSize;
  const std::uint32_t tail = FSize - Position - Count;
  if (Count < k) {
    // The tail moves up after growing.
    SetSize(CheckedAdd(FSize - Count, k));
    std::memmove(FData.get() + Position + k, FData.get() + Position + Count, tail);
  } else if (Count > k) {
    // The tail moves down before shrinking.
    std::memmove(FData.get() + Position + k, FData.get() + Position + Count, tail);
    SetSize(FSize - Count + k);
  }
  if (k > 0) std::memmove(FData.get() + Position, r, k);
}

void TByteString::AssignTo(TPersistent* Dest) {
  auto* dest = dynamic_cast<TByteString*>(Dest);
  if (dest == nullptr || dest == this) return;
  dest->SetSize(FSize);
  dest->SetData(FData.get());
}

}  // namespace wordloom
