#include "checking/sound_index.h"

#include <numeric>

#include "checking/sound_alike.h"

namespace wordloom::detail {

void SoundIndexBuilder::Add(std::string_view Word, std::uint32_t Id) {
  const std::string key = SoundAlikeKey(Word);
  if (key.empty()) return;
  std::uint8_t first = static_cast<std::uint8_t>(Word[0]);
  if (first >= 'A' && first <= 'Z') first = static_cast<std::uint8_t>(first + 32);
  const auto length = static_cast<std::uint8_t>(std::min<std::size_t>(Word.size(), 255));
  ForEachSoundVariant(key, [&](char kind, std::string_view variant) {
    FHashes.push_back(SoundHash(kind, variant));
    FWords.push_back(Id);
    FFirsts.push_back(first);
    FLengths.push_back(length);
  });
}

void SoundIndexBuilder::Finish() {
  // Sorted by hash, then by word, so that a stored index does not depend on
  // the sort's handling of equal hashes.
  std::vector<std::uint32_t> order(FHashes.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [this](std::uint32_t a, std::uint32_t b) {
    return FHashes[a] != FHashes[b] ? FHashes[a] < FHashes[b] : FWords[a] < FWords[b];
  });
  auto permute = [&order](auto& items) {
    auto sorted = items;
    for (std::size_t i = 0; i < order.size(); ++i) sorted[i] = items[order[i]];
    items.swap(sorted);
  };
  permute(FHashes);
  permute(FWords);
  permute(FFirsts);
  permute(FLengths);
  FBits = SoundBucketBits(FHashes.size());
  FBuckets.assign((std::size_t{1} << FBits) + 1, 0);
  for (std::uint64_t h : FHashes) ++FBuckets[(h >> (64 - FBits)) + 1];
  for (std::size_t b = 1; b < FBuckets.size(); ++b) FBuckets[b] += FBuckets[b - 1];
}

SoundIndexView SoundIndexBuilder::View() const {
  SoundIndexView v;
  v.Hashes = FHashes.data();
  v.Words = FWords.data();
  v.Firsts = FFirsts.data();
  v.Lengths = FLengths.data();
  v.Buckets = FBuckets.data();
  v.Size = static_cast<std::uint32_t>(FHashes.size());
  v.Bits = FBits;
  return v;
}

}  // namespace wordloom::detail
