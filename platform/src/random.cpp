#include "wordloom/platform/random.h"

#include <random>

namespace wordloom {

namespace {

std::mt19937& Generator() {
  static std::mt19937 generator{std::random_device{}()};
  return generator;
}

}  // namespace

std::uint32_t RandomBelow(std::uint32_t Bound) {
  if (Bound == 0) return 0;
  std::uniform_int_distribution<std::uint32_t> draw(0, Bound - 1);
  return draw(Generator());
}

void RandomSeed(std::uint32_t Seed) { Generator().seed(Seed); }

}  // namespace wordloom
