// Overwrites secrets before their memory is given up.
#pragma once

#pragma GCC visibility push(default)

#include <cstddef>
#include <string>

namespace wordloom {

// Overwrites Size bytes at Data with 170, then 85, then 255, then 0 (alternating
// bit patterns, then all ones and all zeros), each pass forced to memory so that
// the compiler cannot drop it as a dead store.
void Wipe(void* Data, std::size_t Size);
// Wipes the characters of S (its whole capacity) and leaves it empty.
void Wipe(std::string& S);
// Wipes kStackWipeBytes of the stack below the caller's frame, where the
// frames of the functions it called lay: what they left there (locals, and
// registers that the dynamic linker's lazy binding or a signal saved on the
// stack) is gone. For a function that handled a secret, after those calls.
void WipeStack();
inline constexpr std::size_t kStackWipeBytes = 16 * 1024;

}  // namespace wordloom

#pragma GCC visibility pop
