#include "checking/sound_index.h"

#include <algorithm>
#include <tuple>

#include "checking/sound_alike.h"

namespace wordloom::detail {

void SoundIndexBuilder::Add(std::string_view Word, std::uint32_t Id) {
  const std::string key = SoundAlikeKey(Word);
  if (key.empty()) return;
  std::uint8_t first = static_cast<std::uint8_t>(Word[0]);
  if (first >= 'A' && first <= 'Z') first = static_cast<std::uint8_t>(first + 32);
  const auto length = static_cast<std::uint8_t>(std::min<std::size_t>(Word.size(), 255));
  ForEachSoundVariant(key, [&](char kind, std::string_view variant) {
    FEntries.push_back({SoundHash(kind, variant), Id, first, length, 0});
  });
}

void SoundIndexBuilder::Finish() {
  // In SoundOrder (a lookup for words that start as the typo does and are
  // of about its length reads those alone), then by word, so that a stored
  // index does not depend on the sort's handling of equal keys.
  std::sort(FEntries.begin(), FEntries.end(), [](const SoundEntry& a, const SoundEntry& b) {
    return std::tuple(SoundOrder(a.Hash, a.First, a.Length), a.Word) <
           std::tuple(SoundOrder(b.Hash, b.First, b.Length), b.Word);
  });
  FBits = SoundBucketBits(FEntries.size());
  FBuckets.assign((std::size_t{1} << FBits) + 1, 0);
  for (const SoundEntry& e : FEntries) ++FBuckets[(e.Hash >> (64 - FBits)) + 1];
  for (std::size_t b = 1; b < FBuckets.size(); ++b) FBuckets[b] += FBuckets[b - 1];
}

SoundIndexView SoundIndexBuilder::View() const {
  SoundIndexView v;
  v.Entries = FEntries.data();
  v.Buckets = FBuckets.data();
  v.Size = static_cast<std::uint32_t>(FEntries.size());
  v.Bits = FBits;
  return v;
}

}  // namespace wordloom::detail
