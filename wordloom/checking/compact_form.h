// The compact form of a dictionary: a read-only image derived from a spell
// file, made to be mapped into memory and used at once. It holds
// - the words as a minimal automaton: trie nodes whose subtrees hold the same
//   words with their branches in the same order share one state, so the
//   common endings of inflected words are stored once. Each state is one
//   record (its flags, the letters below it, its transitions' letters,
//   targets, rank offsets and the letters below each target side by side),
//   so that taking a transition, or judging a child by the letters below
//   it, reads the state's own cache lines rather than one in each of five
//   arrays and the child's. A state is named by where its record starts.
//   A word's rank (its
//   place in a walk of the trie that takes a node's word before its children
//   and the children in the trie's order) is the sum of the rank offsets of
//   the transitions on its path;
// - per state, which letters the words below it hold (LettersBelow), so
//   that a search can leave a branch that lacks letters it needs;
// - per rank, the word's number and frequency in the dictionary;
// - the sound-alike index of the likelihood ranking, by rank (sound_index.h),
//   for a dictionary whose language has sound-alike keys (English), with the
//   text of each word by rank, so that the words the index finds need not be
//   spelled out of the automaton.
// The byte layout is in docs/compact-form.md. Words come back exactly as the
// trie holds them, and a walk sees each path's branches in the trie's order,
// so that every search over it finds what the same search over the trie finds.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "checking/sound_index.h"

namespace wordloom::detail {

class WordTrie;

// The key of a spell file's content: XXH3-128 of its bytes.
struct ContentKey {
  std::uint64_t Low = 0;
  std::uint64_t High = 0;
  std::uint64_t Size = 0;  // the file's size in bytes
  bool operator==(const ContentKey&) const = default;
  // 32 hexadecimal digits, as cache file names use it.
  std::string Hex() const;
};

class CompactForm {
 public:
  static constexpr std::uint32_t kVersion = 5;
  static constexpr std::size_t kHeaderSize = 96;
  // A state's transitions: letters, targets, rank offsets and the letters
  // below each target, in the trie's order.
  struct Arcs {
    const std::uint8_t* Letters;
    const std::uint32_t* Targets;
    const std::uint32_t* Offsets;
    const std::uint32_t* Below;
    std::uint32_t Count;
  };

  // The bytes of the compact form of Trie for a spell file of key Key, with
  // the sound-alike index when SoundIndex.
  // REQUIRES: Trie passes FindFault() and has a root.
  static std::string Build(const WordTrie& Trie, const ContentKey& Key, bool SoundIndex = true);

  // Takes the form in Bytes (Size long, which Keep keeps alive) after
  // checking its header, section sizes and checksum; nullptr and Why set when
  // they fail. A form that passes is still read as untrusted: every index is
  // checked where it is used, so a damaged one gives wrong answers, never a
  // crash or an endless walk.
  static std::shared_ptr<const CompactForm> Open(const std::uint8_t* Bytes, std::size_t Size,
                                                 std::shared_ptr<const void> Keep, std::string& Why);
  // The same without verifying the checksum (the caller did, or is a fuzzer
  // that wants to reach the rest).
  static std::shared_ptr<const CompactForm> OpenUnverified(const std::uint8_t* Bytes,
                                                           std::size_t Size,
                                                           std::shared_ptr<const void> Keep,
                                                           std::string& Why);
  // The checksum the header must carry for Bytes (the form with its header).
  static std::uint64_t Checksum(const std::uint8_t* Bytes, std::size_t Size);
  // The same over the form's bytes given piece by piece, in order.
  class ChecksumState {
   public:
    ChecksumState();
    ~ChecksumState();
    ChecksumState(const ChecksumState&) = delete;
    ChecksumState& operator=(const ChecksumState&) = delete;
    // Takes Size bytes found at Offset of the form.
    void Update(const std::uint8_t* Bytes, std::size_t Size, std::uint64_t Offset);
    std::uint64_t Digest() const;

   private:
    void* FState;
  };
  // The checksum a header (kHeaderSize bytes) carries.
  static std::uint64_t StoredChecksum(const std::uint8_t* Header);
  // The spell file key recorded in a form's header; false when Bytes holds no
  // header of this version.
  static bool PeekKey(const std::uint8_t* Bytes, std::size_t Size, ContentKey& Key);

  const ContentKey& Key() const { return FKey; }
  std::uint32_t WordCount() const { return FWords; }
  std::uint32_t StateCount() const { return FStates; }
  // The root's record comes first.
  std::uint32_t Root() const { return 0; }
  // The node count of the trie the form was made of.
  std::uint32_t NodeCount() const { return FNodes; }
  std::size_t ByteSize() const { return FSize; }

  // Whether a word ends at state S.
  bool IsFinal(std::uint32_t S) const { return InRange(S) && (FStateWords[S] & kFinalBit) != 0; }
  // The transitions of state S; none for a state whose record is damaged
  // or out of range.
  Arcs ArcsOf(std::uint32_t S) const {
    if (!InRange(S)) return NoArcs();
    const std::uint32_t count = FStateWords[S] & kCountMask;
    // The record's end, in 64 bits: a damaged count cannot wrap it.
    if (count > kMaxArcs || S + RecordWords(count) > FStateSize) return NoArcs();
    const std::uint32_t* targets = FStateWords + S + 2 + (count + 3) / 4;
    return {reinterpret_cast<const std::uint8_t*>(FStateWords + S + 2), targets, targets + count,
            targets + 2 * count, count};
  }
  // The letters of the words below state S (the bytes after it on any
  // path), as a set of LetterBit; every letter for a state out of range.
  std::uint32_t LettersBelow(std::uint32_t S) const { return InRange(S) ? FStateWords[S + 1] : ~0u; }
  // A byte's place in a set of letters: a to z in either case, the
  // apostrophe, any other ASCII byte, and any byte of a letter beyond ASCII.
  static constexpr std::uint32_t kApostropheBit = 1u << 26, kOtherAsciiBit = 1u << 27,
                                 kBeyondAsciiBit = 1u << 28;
  // (By table: the walk asks it of every child it judges, and the
  // comparisons it would take are branches the processor guesses wrong.)
  static constexpr std::array<std::uint32_t, 256> kLetterBits = [] {
    std::array<std::uint32_t, 256> bits{};
    for (unsigned byte = 0; byte < 256; ++byte) {
      const unsigned lower = byte >= 'A' && byte <= 'Z' ? byte + 32 : byte;
      bits[byte] = byte >= 0x80                     ? kBeyondAsciiBit
                   : lower >= 'a' && lower <= 'z' ? 1u << (lower - 'a')
                   : lower == '\''               ? kApostropheBit
                                                  : kOtherAsciiBit;
    }
    return bits;
  }();
  static constexpr std::uint32_t LetterBit(std::uint8_t Byte) { return kLetterBits[Byte]; }
  // The 32-bit words of a state's record with Count transitions: flags,
  // letters below, the letters four to a word, targets, offsets and the
  // targets' letters below.
  static constexpr std::uint64_t RecordWords(std::uint32_t Count) {
    return 2 + (std::uint64_t{Count} + 3) / 4 + 3 * std::uint64_t{Count};
  }
  // Whether state T may follow state S: a target's record lies after its
  // source's, so no walk runs in circles.
  static bool Follows(std::uint32_t S, std::uint32_t T) { return T > S; }

  // The rank of Word, or -1 when it is no word of the form.
  std::int64_t Find(std::string_view Word) const;
  // The word of rank R; empty when R is out of range or the form damaged.
  std::string WordAt(std::uint32_t R) const;
  // Spells words by rank, one after another, keeping the path to the last:
  // a rank after the last one spelled costs only the letters where its word
  // leaves that path, so words taken in order of rank share the walk for
  // their common beginnings.
  class Speller {
   public:
    explicit Speller(const CompactForm& Form) : FForm(Form) {}
    // Word becomes the word of rank R, as WordAt gives it.
    void Spell(std::uint32_t R, std::string& Word);

   private:
    // A state on the path, with the ranks of the words at and below it.
    struct Step {
      std::uint32_t State;
      std::uint32_t Begin;  // the rank of its first word
      std::uint32_t End;    // the rank after its last
    };
    const CompactForm& FForm;
    std::vector<Step> FPath;  // from the root
    std::string FLetters;     // the letters that led to each step but the root
  };
  // The number and frequency of the word of rank R. REQUIRES: R < WordCount().
  std::uint32_t NumberAt(std::uint32_t R) const { return FRanks[2 * std::size_t{R}]; }
  std::uint32_t FrequencyAt(std::uint32_t R) const { return FRanks[2 * std::size_t{R} + 1]; }
  // Whether the form stores the words' texts (forms with the sound-alike
  // index do), and the text of rank R: empty when R is out of range, the
  // form has no texts or they are damaged. A text is read from the start of
  // its block of kTextBlock words, each stored as what differs from the
  // one before.
  static constexpr std::uint32_t kTextBlock = 8;
  bool HasTexts() const { return FTextBlocks != nullptr; }
  // Where TextAt spells a word: in Bytes while it is short (each entry's
  // bytes copied kCopy at a time, which may run past the word into the
  // room after it), else in Long.
  struct TextBuffer {
    static constexpr std::size_t kShort = 224, kCopy = 32;
    char Bytes[kShort + kCopy];
    std::string Long;
  };
  // The text of rank R, valid until Buffer is used again.
  std::string_view TextAt(std::uint32_t R, TextBuffer& Buffer) const;
  // The same into Word; false where it is empty.
  bool TextAt(std::uint32_t R, std::string& Word) const;
  // The stored sound-alike index, by rank; empty when the form has none.
  const SoundIndexView& SoundIndex() const { return FSound; }
  // Whether the form was made with the sound-alike index (Build's SoundIndex).
  bool HasSoundIndex() const { return FSoundIndex; }

 private:
  // A record's first word: the transition count, and whether a word ends there.
  static constexpr std::uint32_t kFinalBit = 0x80000000u, kCountMask = 0x1FFu;
  static constexpr std::uint32_t kMaxArcs = 256;  // one per byte
  CompactForm() = default;
  // Whether a state's first two words (flags and letters below) are in the form.
  bool InRange(std::uint32_t S) const { return std::uint64_t{S} + 2 <= FStateSize; }
  Arcs NoArcs() const {
    return {reinterpret_cast<const std::uint8_t*>(FStateWords), FStateWords, FStateWords, FStateWords, 0};
  }

  std::shared_ptr<const void> FKeep;
  std::size_t FSize = 0;
  ContentKey FKey;
  std::uint32_t FWords = 0;
  std::uint32_t FStates = 0;
  std::uint32_t FNodes = 0;
  const std::uint32_t* FStateWords = nullptr;  // the states' records
  std::uint32_t FStateSize = 0;                // their length in 32-bit words
  // Per rank, the word's number and then its frequency: a word the ranking
  // finds reads one cache line for both.
  const std::uint32_t* FRanks = nullptr;
  SoundIndexView FSound;
  bool FSoundIndex = true;
  const std::uint32_t* FTextBlocks = nullptr;  // where each block starts in FText; null: no texts
  const char* FText = nullptr;
  std::uint32_t FTextBytes = 0;
};

}  // namespace wordloom::detail
