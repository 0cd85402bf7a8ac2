// The sound-alike index of a dictionary: for each word, a hash of its
// sound-alike key ('E') and of each form of the key with one sound left out
// ('D'), with the word's first byte and length, in one 16-byte entry, sorted
// by hash (those of one hash by first byte and length) and cut into buckets
// by the hash's top bits, so that a lookup reads one short run of entries (a
// page or two of a mapped index). The
// likelihood ranking builds it from a word trie, or finds it stored in a
// dictionary's compact form (compact_form.h); both are read through
// SoundIndexView.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace wordloom::detail {

// The most bits of a hash that choose its bucket: 2^13 buckets take 32 KiB.
inline constexpr int kMaxSoundBucketBits = 13;

// FNV-1a over the kind and then the key: the kind is a byte of its own, so
// that it cannot cancel against the key's first byte.
inline std::uint64_t SoundHash(char Kind, std::string_view Key) {
  constexpr std::uint64_t kPrime = 1099511628211ull;
  std::uint64_t h = (1469598103934665603ull ^ static_cast<std::uint8_t>(Kind)) * kPrime;
  for (char c : Key) h = (h ^ static_cast<std::uint8_t>(c)) * kPrime;
  return h;
}

// Calls F('E', Key) and F('D', form) for each form of Key that has one sound
// left out (each distinct form once).
template <typename F>
void ForEachSoundVariant(const std::string& Key, F&& f) {
  f('E', std::string_view(Key));
  std::string shorter;
  for (std::size_t i = 0; i < Key.size(); ++i) {
    if (i > 0 && Key[i] == Key[i - 1]) continue;  // the same variant again
    shorter.assign(Key, 0, i);
    shorter.append(Key, i + 1);
    f('D', std::string_view(shorter));
  }
}

// One entry of the index, as a compact form stores it (little-endian).
struct SoundEntry {
  std::uint64_t Hash;
  std::uint32_t Word;    // a word number, or a compact form's rank
  std::uint8_t First;    // the word's first byte, folded to lower case
  std::uint8_t Length;   // its length, at most 255
  std::uint16_t Zero;    // 0
};
static_assert(sizeof(SoundEntry) == 16);

// Where an entry of the given hash, first byte and length stands in the
// index: by hash, and among those of one hash by first byte and length.
inline std::tuple<std::uint64_t, std::uint8_t, std::size_t> SoundOrder(std::uint64_t Hash, std::uint8_t First,
                                                                       std::size_t Length) {
  return {Hash, First, Length};
}

// The entries sorted by hash, and the bucket starts: entries whose hash has
// top Bits bits b lie in [Buckets[b], Buckets[b + 1]).
struct SoundIndexView {
  const SoundEntry* Entries = nullptr;
  const std::uint32_t* Buckets = nullptr;  // (1 << Bits) + 1 entries
  std::uint32_t Size = 0;
  int Bits = 1;

  // Calls F(entry) for each entry whose hash is H.
  template <typename F>
  void ForEachMatch(std::uint64_t H, F&& f) const {
    const auto [begin, end] = BucketOf(H);
    const SoundEntry* e =
        std::lower_bound(begin, end, H, [](const SoundEntry& x, std::uint64_t h) { return x.Hash < h; });
    for (; e < end && e->Hash == H; ++e) f(*e);
  }

  // Calls F(entry) for each entry whose hash is H, whose first byte is
  // First and whose length lies in [MinLength, MaxLength]: one run of
  // entries, as the index orders those of one hash by first byte and length.
  template <typename F>
  void ForEachMatch(std::uint64_t H, std::uint8_t First, std::size_t MinLength, std::size_t MaxLength,
                    F&& f) const {
    const auto [begin, end] = BucketOf(H);
    const SoundEntry* e = std::lower_bound(begin, end, SoundOrder(H, First, MinLength),
                                           [](const SoundEntry& x, const auto& at) {
                                             return SoundOrder(x.Hash, x.First, x.Length) < at;
                                           });
    for (; e < end && e->Hash == H && e->First == First && e->Length <= MaxLength; ++e) f(*e);
  }

 private:
  // The entries of H's bucket. Bucket bounds beyond Size (a damaged stored
  // index) end it early instead of reading past it.
  std::pair<const SoundEntry*, const SoundEntry*> BucketOf(std::uint64_t H) const {
    if (Size == 0) return {Entries, Entries};
    const std::size_t bucket = H >> (64 - Bits);
    const std::uint32_t end = std::min(Buckets[bucket + 1], Size);
    const std::uint32_t begin = std::min(Buckets[bucket], end);
    return {Entries + begin, Entries + end};
  }
};

// Builds an index: Add each word, then Finish.
class SoundIndexBuilder {
 public:
  // Adds the entries of Word under the number Id.
  void Add(std::string_view Word, std::uint32_t Id);
  // Sorts the entries and computes the buckets.
  void Finish();
  // Valid while the builder lives and is not changed.
  SoundIndexView View() const;
  std::size_t Size() const { return FEntries.size(); }

  std::vector<SoundEntry> FEntries;
  std::vector<std::uint32_t> FBuckets;
  int FBits = 1;
};

// About one bucket per 64 entries (a kilobyte of entries, searched by
// halving), up to 2^13 buckets: the bucket table stays within a few pages.
inline int SoundBucketBits(std::size_t Entries) {
  return std::clamp(static_cast<int>(std::bit_width(Entries)) - 6, 1, kMaxSoundBucketBits);
}

}  // namespace wordloom::detail
