// Code values of the block codec, as the stream codec and the tests need them.
#pragma once

#include <cstdint>

namespace wordloom::detail {

// The base-255 code of word number N with token T: four digits, least
// significant first, each written as d (below T) or d + 1, never as T.
std::uint32_t Base255Code(std::uint32_t N, std::uint8_t T);
// The word number of a base-255 code (wide enough for corrupt codes with T = 255).
std::uint64_t Base255Number(std::uint32_t Code, std::uint8_t T);
// The largest word number a code of Width bytes carries: 256^n - 1 in the
// plain form, 255^n - 1 in the base-255 form; 0 for no limit.
std::uint32_t CodeLimitFor(std::uint8_t Width, bool Plain);

}  // namespace wordloom::detail
