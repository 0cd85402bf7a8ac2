// The run-time library's uniform random numbers.
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>

namespace wordloom {

// A uniformly distributed number from 0 to Bound-1; 0 when Bound is 0.
std::uint32_t RandomBelow(std::uint32_t Bound);
// Restarts the generator with a fixed seed, so that a run can be repeated.
void RandomSeed(std::uint32_t Seed);

}  // namespace wordloom

#pragma GCC visibility pop
