#include "wordloom/randomobject/random_object.h"

#include "wordloom/platform/random.h"

namespace wordloom {

namespace detail {

std::uint32_t DrawHalvesBelow(std::uint32_t Range) {
  const std::uint32_t low = RandomBelow(Range % 65536);
  const std::uint32_t high = RandomBelow(Range / 65536);
  return (high << 16) | low;
}

}  // namespace detail

void TRndPersistent::Assign(TPersistent* Source) {
  if (dynamic_cast<TRndPersistent*>(Source) == nullptr) AssignError(Source);
  AssignTo(Source);
}

void TRndPersistent::AssignTo(TPersistent* Dest) {
  if (dynamic_cast<TRndPersistent*>(Dest) != nullptr) VAssignTo(Dest);
}

void TRndPersistent::VAssignTo(TPersistent* Dest) {
  auto* dest = dynamic_cast<TRndPersistent*>(Dest);
  if (dest == nullptr) return;
  dest->FOnException = FOnException;
  dest->FOnGetRandom = FOnGetRandom;
}

}  // namespace wordloom
