#include "wordloom/platform/wipe.h"

#include <cstring>

namespace wordloom {

void Wipe(void* Data, std::size_t Size) {
  if (Data == nullptr || Size == 0) return;
  // The four passes: 10101010, 01010101, all ones, all zeros.
  static constexpr unsigned char kPasses[] = {170, 85, 255, 0};
  for (unsigned char pass : kPasses) {
    std::memset(Data, pass, Size);
    // The empty asm takes the buffer as input and clobbers memory, so each
    // pass must really reach memory before the next one.
    asm volatile("" : : "r"(Data) : "memory");
  }
}

// Not inlined, so that its array lies below the caller's frame.
[[gnu::noinline]] void WipeStack() {
  unsigned char area[kStackWipeBytes];
  Wipe(area, sizeof area);
}

void Wipe(std::string& S) {
  S.resize(S.capacity());
  Wipe(S.data(), S.size());
  S.clear();
}

}  // namespace wordloom
