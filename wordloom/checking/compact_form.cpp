// The compact form's bytes (docs/compact-form.md): a 96-byte header, then
// the sections, each starting at a multiple of 8 bytes, all fields
// little-endian:
//   state_words[state_size] u32  // the states' records, the root's first; each:
//     count | final << 31, letters below,
//     letters[count] u8 padded to 4 bytes,
//     targets[count] u32           // where the target's record starts; after this one
//     offsets[count] u32           // rank offset of the transition
//     below[count] u32             // the target's letters below
//   ranks[words] of number u32, frequency u32   // by rank
//   buckets[2^bits + 1] u32, entries[entries] of 16 bytes: hash u64,
//   rank u32, first u8, length u8, 0 u16         // the sound-alike index
// The header's sound_keys field says whether the form has that index: 0 (as
// every form had before the field) English sound-alike keys, 1 none (a
// language they do not fit; entries is then 0).
// The arrays are read in place, so the form is used only on little-endian hosts.
#include "checking/compact_form.h"

#include <xxhash.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "checking/likelihood_ranking.h"
#include "dictionary/word_trie.h"
#include "wordloom/platform/coding.h"

namespace wordloom::detail {

namespace {

constexpr char kMagic[8] = {'W', 'L', 'C', 'F', 'O', 'R', 'M', '\x1A'};
// Header fields by offset.
constexpr std::size_t kVersionAt = 8, kHeaderSizeAt = 12, kSpellSizeAt = 16, kKeyLowAt = 24,
                      kKeyHighAt = 32, kWordsAt = 40, kStatesAt = 44, kArcsAt = 48,
                      kEntriesAt = 52, kBitsAt = 56, kNodesAt = 60, kFileSizeAt = 64,
                      kChecksumAt = 72, kSoundKeysAt = 80, kTextsAt = 84, kTextBytesAt = 88,
                      kStateSizeAt = 92;
// The values of the sound_keys field.
constexpr std::uint32_t kEnglishSoundKeys = 0, kNoSoundKeys = 1;
// Counts above this are refused before any size is computed: indices are 32-bit.
constexpr std::uint32_t kMaxCount = 0x7FFFFFFFu;

// Where each section starts, from the counts.
struct Layout {
  std::uint64_t States, Ranks, Buckets, Entries, TextBlocks, Text, Total;
};

Layout MakeLayout(std::uint64_t state_size, std::uint64_t words, std::uint64_t entries, int bits,
                  bool texts, std::uint64_t text_bytes) {
  Layout l{};
  std::uint64_t at = CompactForm::kHeaderSize;
  auto take = [&at](std::uint64_t bytes) {
    const std::uint64_t start = at;
    at = (at + bytes + 7) & ~std::uint64_t{7};
    return start;
  };
  l.States = take(state_size * 4);
  l.Ranks = take(words * 8);
  l.Buckets = take(((std::uint64_t{1} << bits) + 1) * 4);
  l.Entries = take(entries * sizeof(SoundEntry));
  l.TextBlocks = take(texts ? ((words + CompactForm::kTextBlock - 1) / CompactForm::kTextBlock + 1) * 4 : 0);
  l.Text = take(texts ? text_bytes : 0);
  l.Total = at;
  return l;
}

template <typename T>
void PutArray(std::string& out, std::uint64_t at, const std::vector<T>& items) {
  auto* dest = reinterpret_cast<std::uint8_t*>(out.data()) + at;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if constexpr (sizeof(T) == 8) {
      EncodeFixed64(dest + 8 * i, items[i]);
    } else if constexpr (sizeof(T) == 4) {
      EncodeFixed32(dest + 4 * i, items[i]);
    } else {
      dest[i] = items[i];
    }
  }
}

// The automaton of a trie, states numbered children first.
struct Automaton {
  std::vector<std::uint32_t> FirstArc;
  std::vector<std::uint8_t> Letters;
  std::vector<std::uint32_t> Targets;
  std::vector<std::uint32_t> Offsets;
};

Automaton Minimise(const WordTrie& trie) {
  Automaton a;
  const std::uint32_t m = trie.NodeCount();
  std::vector<std::uint32_t> state_of(m, 0);
  std::vector<std::uint64_t> words_in;  // per state
  std::unordered_map<std::string, std::uint32_t> states;  // signature -> state
  std::string signature;
  // Children before parents, without recursion: a node is finished once its
  // children are.
  struct Frame {
    std::uint32_t Node;
    std::uint32_t Next;
  };
  std::vector<Frame> stack{{0, 0}};
  while (!stack.empty()) {
    Frame& f = stack.back();
    const WordTrie::ChildArrays kids = trie.Children(f.Node);
    if (f.Next < kids.Count) {
      stack.push_back({kids.Indices[f.Next++], 0});
      continue;
    }
    // The node's signature: whether a word ends here, then its branches in order.
    const bool final = trie.WordNumber(f.Node) != 0;
    signature.assign(1, final ? '\1' : '\0');
    for (std::uint32_t k = 0; k < kids.Count; ++k) {
      signature.push_back(static_cast<char>(kids.Letters[k]));
      std::uint8_t id[4];
      EncodeFixed32(id, state_of[kids.Indices[k]]);
      signature.append(reinterpret_cast<const char*>(id), 4);
    }
    // The root always gets a state of its own, the last one: a walk starts there.
    const auto next = static_cast<std::uint32_t>(words_in.size());
    std::uint32_t state = next;
    if (f.Node != 0) state = states.emplace(signature, next).first->second;
    if (state == next) {
      std::uint64_t offset = final ? 1 : 0;
      a.FirstArc.push_back(static_cast<std::uint32_t>(a.Letters.size()) | (final ? 0x80000000u : 0));
      for (std::uint32_t k = 0; k < kids.Count; ++k) {
        const std::uint32_t target = state_of[kids.Indices[k]];
        a.Letters.push_back(kids.Letters[k]);
        a.Targets.push_back(target);
        a.Offsets.push_back(static_cast<std::uint32_t>(offset));
        offset += words_in[target];
      }
      words_in.push_back(offset);
    }
    state_of[f.Node] = state;
    stack.pop_back();
  }
  a.FirstArc.push_back(static_cast<std::uint32_t>(a.Letters.size()));
  return a;
}

// The records of the automaton's states (numbered children first), laid
// out from the root, with the letters below each state.
std::vector<std::uint32_t> LayOutStates(const Automaton& a) {
  constexpr std::uint32_t kFinal = 0x80000000u;
  const auto states = static_cast<std::uint32_t>(a.FirstArc.size() - 1);
  auto first = [&](std::uint32_t s) { return a.FirstArc[s] & ~kFinal; };
  auto count = [&](std::uint32_t s) { return first(s + 1) - first(s); };
  // Targets are numbered before their source, so their letters are known first.
  std::vector<std::uint32_t> below(states, 0);
  for (std::uint32_t s = 0; s < states; ++s) {
    for (std::uint32_t k = first(s); k < first(s + 1); ++k) {
      below[s] |= CompactForm::LetterBit(a.Letters[k]) | below[a.Targets[k]];
    }
  }
  // Depth first from the root, a state once every state leading to it is
  // placed: a word's states lie close together, the states near the root,
  // which every search passes, share few pages, and each target lies after
  // its sources.
  std::vector<std::uint32_t> sources(states, 0), order;
  order.reserve(states);
  for (std::uint32_t t : a.Targets) ++sources[t];
  std::vector<std::uint32_t> ready{states - 1};
  while (!ready.empty()) {
    const std::uint32_t s = ready.back();
    ready.pop_back();
    order.push_back(s);
    for (std::uint32_t k = first(s + 1); k-- > first(s);) {
      if (--sources[a.Targets[k]] == 0) ready.push_back(a.Targets[k]);
    }
  }
  // Every state is some trie node's, so the root leads to all.
  if (order.size() != states) throw std::logic_error("compact form: a state the root does not reach");
  std::vector<std::uint32_t> at(states);
  std::uint64_t size = 0;
  for (std::uint32_t s : order) {
    at[s] = static_cast<std::uint32_t>(size);
    size += CompactForm::RecordWords(count(s));
  }
  if (size > kMaxCount) throw std::length_error("compact form: too many states");
  std::vector<std::uint32_t> records(size, 0);
  for (std::uint32_t s = 0; s < states; ++s) {
    std::uint32_t* r = records.data() + at[s];
    const std::uint32_t n = count(s);
    r[0] = n | (a.FirstArc[s] & kFinal);
    r[1] = below[s];
    std::uint8_t letters[4 * 64] = {};
    std::uint32_t* targets = r + 2 + (n + 3) / 4;
    for (std::uint32_t k = 0; k < n; ++k) {
      letters[k] = a.Letters[first(s) + k];
      targets[k] = at[a.Targets[first(s) + k]];
      targets[n + k] = a.Offsets[first(s) + k];
      targets[2 * n + k] = below[a.Targets[first(s) + k]];
    }
    for (std::uint32_t w = 0; w < (n + 3) / 4; ++w) r[2 + w] = DecodeFixed32(letters + 4 * w);
  }
  return records;
}

}  // namespace

std::string ContentKey::Hex() const {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (std::uint64_t part : {High, Low}) {
    for (int shift = 60; shift >= 0; shift -= 4) out.push_back(kDigits[(part >> shift) & 15]);
  }
  return out;
}

std::string CompactForm::Build(const WordTrie& Trie, const ContentKey& Key, bool SoundIndex) {
  const Automaton a = Minimise(Trie);
  const std::uint32_t words = Trie.WordCount();
  // 1. Ranks: the trie walked word first, then the children in order.
  // Each rank's word number and frequency, side by side.
  std::vector<std::uint32_t> numbers_and_frequencies, rank_of(std::size_t{words} + 1, 0);
  numbers_and_frequencies.reserve(2 * std::size_t{words});
  std::vector<std::uint32_t> stack{0};
  while (!stack.empty()) {
    const std::uint32_t node = stack.back();
    stack.pop_back();
    if (const std::uint32_t w = Trie.WordNumber(node); w != 0) {
      rank_of[w] = static_cast<std::uint32_t>(numbers_and_frequencies.size() / 2);
      numbers_and_frequencies.push_back(w);
      numbers_and_frequencies.push_back(Trie.Entry(w - 1).Frequency);
    }
    const WordTrie::ChildArrays kids = Trie.Children(node);
    for (std::uint32_t k = kids.Count; k-- > 0;) stack.push_back(kids.Indices[k]);
  }
  // 2. The sound-alike index, by rank, when wanted, and then the words'
  // texts by rank, for the words the index names: in blocks of kTextBlock,
  // each word as the length of what it shares with the one before in its
  // block (a byte, at most 255), the length of the rest (a byte, or 255 and
  // four bytes) and the rest.
  SoundIndexBuilder sound;
  std::vector<std::uint32_t> text_blocks;
  std::string text;
  if (SoundIndex) {
    std::vector<std::string> by_rank(words);
    for (std::uint32_t w = 1; w <= words; ++w) {
      by_rank[rank_of[w]] = detail::WordAt(Trie, static_cast<std::uint32_t>(Trie.Entry(w - 1).Node));
      sound.Add(by_rank[rank_of[w]], rank_of[w]);
    }
    for (std::uint32_t r = 0; r < words; ++r) {
      const std::string& word = by_rank[r];
      std::size_t shared = 0;
      if (r % kTextBlock == 0) {
        text_blocks.push_back(static_cast<std::uint32_t>(text.size()));
      } else {
        const std::string& before = by_rank[r - 1];
        const std::size_t most = std::min({before.size(), word.size(), std::size_t{255}});
        while (shared < most && before[shared] == word[shared]) ++shared;
      }
      const std::size_t rest = word.size() - shared;
      text.push_back(static_cast<char>(shared));
      text.push_back(static_cast<char>(std::min<std::size_t>(rest, 255)));
      if (rest >= 255) {
        std::uint8_t length[4];
        EncodeFixed32(length, static_cast<std::uint32_t>(rest));
        text.append(reinterpret_cast<const char*>(length), 4);
      }
      text.append(word, shared);
    }
    text_blocks.push_back(static_cast<std::uint32_t>(text.size()));
  }
  sound.Finish();

  // 3. The states' records, root first.
  const std::vector<std::uint32_t> records = LayOutStates(a);
  // 4. The bytes.
  const auto states = static_cast<std::uint32_t>(a.FirstArc.size() - 1);
  const auto arcs = static_cast<std::uint32_t>(a.Letters.size());
  const auto entries = static_cast<std::uint32_t>(sound.Size());
  const Layout l = MakeLayout(records.size(), words, entries, sound.FBits, SoundIndex, text.size());
  std::string out(l.Total, '\0');
  auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
  std::memcpy(bytes, kMagic, 8);
  EncodeFixed32(bytes + kVersionAt, kVersion);
  EncodeFixed32(bytes + kHeaderSizeAt, kHeaderSize);
  EncodeFixed64(bytes + kSpellSizeAt, Key.Size);
  EncodeFixed64(bytes + kKeyLowAt, Key.Low);
  EncodeFixed64(bytes + kKeyHighAt, Key.High);
  EncodeFixed32(bytes + kWordsAt, words);
  EncodeFixed32(bytes + kStatesAt, states);
  EncodeFixed32(bytes + kArcsAt, arcs);
  EncodeFixed32(bytes + kEntriesAt, entries);
  EncodeFixed32(bytes + kBitsAt, static_cast<std::uint32_t>(sound.FBits));
  EncodeFixed32(bytes + kNodesAt, Trie.NodeCount());
  EncodeFixed64(bytes + kFileSizeAt, l.Total);
  EncodeFixed32(bytes + kSoundKeysAt, SoundIndex ? kEnglishSoundKeys : kNoSoundKeys);
  EncodeFixed32(bytes + kTextsAt, SoundIndex ? 1 : 0);
  EncodeFixed32(bytes + kTextBytesAt, static_cast<std::uint32_t>(text.size()));
  EncodeFixed32(bytes + kStateSizeAt, static_cast<std::uint32_t>(records.size()));
  PutArray(out, l.States, records);
  PutArray(out, l.Ranks, numbers_and_frequencies);
  PutArray(out, l.Buckets, sound.FBuckets);
  for (std::size_t i = 0; i < sound.FEntries.size(); ++i) {
    const SoundEntry& e = sound.FEntries[i];
    std::uint8_t* at = bytes + l.Entries + i * sizeof(SoundEntry);
    EncodeFixed64(at, e.Hash);
    EncodeFixed32(at + 8, e.Word);
    at[12] = e.First;
    at[13] = e.Length;
  }
  PutArray(out, l.TextBlocks, text_blocks);
  std::memcpy(bytes + l.Text, text.data(), text.size());
  EncodeFixed64(bytes + kChecksumAt, Checksum(bytes, out.size()));
  return out;
}

CompactForm::ChecksumState::ChecksumState() : FState(XXH3_createState()) {
  if (FState == nullptr) throw std::bad_alloc();
  XXH3_64bits_reset(static_cast<XXH3_state_t*>(FState));
}

CompactForm::ChecksumState::~ChecksumState() { XXH3_freeState(static_cast<XXH3_state_t*>(FState)); }

void CompactForm::ChecksumState::Update(const std::uint8_t* Bytes, std::size_t Size,
                                        std::uint64_t Offset) {
  // XXH3-64 of the whole form with the checksum field taken as zero.
  auto* state = static_cast<XXH3_state_t*>(FState);
  const std::uint64_t end = Offset + Size;
  const std::uint64_t field_end = kChecksumAt + 8;
  if (end <= kChecksumAt || Offset >= field_end) {
    XXH3_64bits_update(state, Bytes, Size);
    return;
  }
  // The piece overlaps the field: the bytes before it, zeros, the bytes after.
  const std::size_t before = Offset < kChecksumAt ? static_cast<std::size_t>(kChecksumAt - Offset) : 0;
  const std::size_t after_at = static_cast<std::size_t>(std::min(end, field_end) - Offset);
  const std::uint8_t zero[8] = {};
  XXH3_64bits_update(state, Bytes, before);
  XXH3_64bits_update(state, zero, after_at - before);
  XXH3_64bits_update(state, Bytes + after_at, Size - after_at);
}

std::uint64_t CompactForm::ChecksumState::Digest() const {
  return XXH3_64bits_digest(static_cast<const XXH3_state_t*>(FState));
}

std::uint64_t CompactForm::Checksum(const std::uint8_t* Bytes, std::size_t Size) {
  ChecksumState sum;
  sum.Update(Bytes, Size, 0);
  return sum.Digest();
}

std::uint64_t CompactForm::StoredChecksum(const std::uint8_t* Header) {
  return DecodeFixed64(Header + kChecksumAt);
}

bool CompactForm::PeekKey(const std::uint8_t* Bytes, std::size_t Size, ContentKey& Key) {
  if (Size < kHeaderSize || std::memcmp(Bytes, kMagic, 8) != 0 ||
      DecodeFixed32(Bytes + kVersionAt) != kVersion) {
    return false;
  }
  Key.Size = DecodeFixed64(Bytes + kSpellSizeAt);
  Key.Low = DecodeFixed64(Bytes + kKeyLowAt);
  Key.High = DecodeFixed64(Bytes + kKeyHighAt);
  return true;
}

std::shared_ptr<const CompactForm> CompactForm::Open(const std::uint8_t* Bytes, std::size_t Size,
                                                     std::shared_ptr<const void> Keep,
                                                     std::string& Why) {
  auto form = OpenUnverified(Bytes, Size, std::move(Keep), Why);
  if (form && DecodeFixed64(Bytes + kChecksumAt) != Checksum(Bytes, Size)) {
    Why = "checksum mismatch";
    return nullptr;
  }
  return form;
}

std::shared_ptr<const CompactForm> CompactForm::OpenUnverified(const std::uint8_t* Bytes,
                                                               std::size_t Size,
                                                               std::shared_ptr<const void> Keep,
                                                               std::string& Why) {
  if constexpr (std::endian::native != std::endian::little) {
    Why = "compact forms are read in place on little-endian hosts only";
    return nullptr;
  }
  ContentKey key;
  if (!PeekKey(Bytes, Size, key)) {
    Why = Size < kHeaderSize ? "shorter than its header" : "not a compact form of this version";
    return nullptr;
  }
  if (reinterpret_cast<std::uintptr_t>(Bytes) % 8 != 0) {
    Why = "not aligned in memory";
    return nullptr;
  }
  const std::uint32_t words = DecodeFixed32(Bytes + kWordsAt);
  const std::uint32_t states = DecodeFixed32(Bytes + kStatesAt);
  const std::uint32_t arcs = DecodeFixed32(Bytes + kArcsAt);
  const std::uint32_t entries = DecodeFixed32(Bytes + kEntriesAt);
  const std::uint32_t bits = DecodeFixed32(Bytes + kBitsAt);
  if (DecodeFixed32(Bytes + kHeaderSizeAt) != kHeaderSize) {
    Why = "header size";
    return nullptr;
  }
  const std::uint32_t sound_keys = DecodeFixed32(Bytes + kSoundKeysAt);
  if (sound_keys != kEnglishSoundKeys && (sound_keys != kNoSoundKeys || entries != 0)) {
    Why = "unknown sound-alike keys";
    return nullptr;
  }
  const std::uint32_t texts = DecodeFixed32(Bytes + kTextsAt);
  const std::uint32_t text_bytes = DecodeFixed32(Bytes + kTextBytesAt);
  const std::uint32_t state_size = DecodeFixed32(Bytes + kStateSizeAt);
  // The root's record at least; each state takes two words and each
  // transition three more and its letter.
  if (states == 0 || states > kMaxCount || arcs > kMaxCount || words > kMaxCount ||
      state_size < 2 || state_size > kMaxCount ||
      std::uint64_t{state_size} < 2 * std::uint64_t{states} + 3 * std::uint64_t{arcs} ||
      entries > kMaxCount || bits < 1 || bits > static_cast<std::uint32_t>(kMaxSoundBucketBits) ||
      texts > 1 || text_bytes > kMaxCount || (texts == 0 && text_bytes != 0)) {
    Why = "counts out of range";
    return nullptr;
  }
  const Layout l = MakeLayout(state_size, words, entries, static_cast<int>(bits), texts != 0, text_bytes);
  if (l.Total != Size || DecodeFixed64(Bytes + kFileSizeAt) != Size) {
    Why = "sizes do not match the counts";
    return nullptr;
  }
  std::shared_ptr<CompactForm> form(new CompactForm());
  form->FKeep = std::move(Keep);
  form->FSize = Size;
  form->FKey = key;
  form->FWords = words;
  form->FStates = states;
  form->FNodes = DecodeFixed32(Bytes + kNodesAt);
  auto u32 = [Bytes](std::uint64_t at) { return reinterpret_cast<const std::uint32_t*>(Bytes + at); };
  form->FStateWords = u32(l.States);
  form->FStateSize = state_size;
  form->FRanks = u32(l.Ranks);
  form->FSound.Buckets = u32(l.Buckets);
  form->FSound.Entries = reinterpret_cast<const SoundEntry*>(Bytes + l.Entries);
  form->FSound.Size = entries;
  form->FSound.Bits = static_cast<int>(bits);
  form->FSoundIndex = sound_keys == kEnglishSoundKeys;
  if (texts != 0) {
    form->FTextBlocks = u32(l.TextBlocks);
    form->FText = reinterpret_cast<const char*>(Bytes + l.Text);
    form->FTextBytes = text_bytes;
  }
  return form;
}

std::int64_t CompactForm::Find(std::string_view Word) const {
  std::uint32_t s = Root();
  std::uint64_t rank = 0;
  for (char ch : Word) {
    const Arcs arcs = ArcsOf(s);
    const void* hit = std::memchr(arcs.Letters, static_cast<std::uint8_t>(ch), arcs.Count);
    if (hit == nullptr) return -1;
    const auto k = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - arcs.Letters);
    const std::uint32_t t = arcs.Targets[k];
    if (!Follows(s, t)) return -1;
    rank += arcs.Offsets[k];
    s = t;
  }
  if (!IsFinal(s) || rank >= FWords) return -1;
  return static_cast<std::int64_t>(rank);
}

std::string_view CompactForm::TextAt(std::uint32_t R, TextBuffer& Buffer) const {
  if (FTextBlocks == nullptr || R >= FWords) return {};
  std::uint32_t at = FTextBlocks[R / kTextBlock];
  const std::uint32_t end = FTextBlocks[R / kTextBlock + 1];
  if (at > end || end > FTextBytes) return {};
  // Each entry of the block up to R in turn: its bytes replace the word
  // from where it shares no more with the one before. Each word's length
  // is checked against the one before, so a damaged entry cannot claim
  // bytes no word had. Short entries are copied a fixed kCopy bytes at a
  // time, which costs less than copying each one's own length, where as
  // many bytes are there to read.
  constexpr std::size_t kCopy = TextBuffer::kCopy;
  const std::uint32_t count = R % kTextBlock + 1;
  std::uint32_t length = 0;
  bool long_word = false;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (end - at < 2) return {};
    const std::uint32_t shared = static_cast<std::uint8_t>(FText[at]);
    std::uint32_t rest = static_cast<std::uint8_t>(FText[at + 1]);
    at += 2;
    if (rest == 255) {
      if (end - at < 4) return {};
      rest = DecodeFixed32(reinterpret_cast<const std::uint8_t*>(FText + at));
      at += 4;
    }
    if (shared > length || rest > end - at) return {};
    const std::uint64_t next = std::uint64_t{shared} + rest;
    if (!long_word && next > TextBuffer::kShort) {
      Buffer.Long.assign(Buffer.Bytes, length);
      long_word = true;
    }
    if (long_word) {
      Buffer.Long.resize(next);
      std::memcpy(Buffer.Long.data() + shared, FText + at, rest);
    } else if (rest <= kCopy && std::uint64_t{at} + kCopy <= FTextBytes) {
      std::memcpy(Buffer.Bytes + shared, FText + at, kCopy);
    } else {
      std::memcpy(Buffer.Bytes + shared, FText + at, rest);
    }
    at += rest;
    length = static_cast<std::uint32_t>(next);
  }
  return long_word ? std::string_view(Buffer.Long) : std::string_view(Buffer.Bytes, length);
}

bool CompactForm::TextAt(std::uint32_t R, std::string& Word) const {
  TextBuffer buffer;
  Word.assign(TextAt(R, buffer));
  return !Word.empty();
}

std::string CompactForm::WordAt(std::uint32_t R) const {
  std::string word;
  Speller(*this).Spell(R, word);
  return word;
}

void CompactForm::Speller::Spell(std::uint32_t R, std::string& Word) {
  Word.clear();
  if (R >= FForm.FWords) return;
  if (FPath.empty()) FPath.push_back({FForm.Root(), 0, FForm.FWords});
  // Back up to the last state whose words take in the rank: the root's all do.
  while (FPath.size() > 1 && (R < FPath.back().Begin || R >= FPath.back().End)) FPath.pop_back();
  FLetters.resize(FPath.size() - 1);
  for (;;) {
    const Step at = FPath.back();
    const std::uint32_t rest = R - at.Begin;
    if (FForm.IsFinal(at.State) && rest == 0) {
      Word = FLetters;
      return;
    }
    const Arcs arcs = FForm.ArcsOf(at.State);
    // The last transition whose words start at or before the rank (the
    // offsets grow along a state's transitions); its words end where the
    // next one's start, or the state's own end.
    const std::uint32_t after = static_cast<std::uint32_t>(
        std::upper_bound(arcs.Offsets, arcs.Offsets + arcs.Count, rest) - arcs.Offsets);
    if (after == 0 || !Follows(at.State, arcs.Targets[after - 1])) {
      FPath.resize(1);
      FLetters.clear();
      return;
    }
    const std::uint32_t k = after - 1;
    const std::uint32_t begin = at.Begin + arcs.Offsets[k];
    const std::uint32_t end = k + 1 < arcs.Count ? at.Begin + arcs.Offsets[k + 1] : at.End;
    FPath.push_back({arcs.Targets[k], begin, end});
    FLetters.push_back(static_cast<char>(arcs.Letters[k]));
  }
}

}  // namespace wordloom::detail
