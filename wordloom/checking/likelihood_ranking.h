// The likelihood ranking of suggestions: the dictionary words a writer most
// likely meant by a word the dictionary lacks, best first. A word scores by
// how common it is (its frequency in the dictionary) against how likely the
// typo is (a weighted edit cost over letters, not bytes: doubled and dropped
// letters, an accent left off or added, vowels for vowels and neighbours on
// the language's keyboard are cheap, a swap of two letters is one edit),
// with a bonus when both sound alike (English only). Candidates come from a
// walk of the word trie that goes byte by byte but carries one row of the
// edit-cost table per letter, leaving every branch whose row exceeds the
// cost bound and cannot come back within it by two letters swapped (and,
// over a compact form, every branch whose letters below
// lack typo letters that would cost more than the bound leaves), and, for
// English, from an index of sound-alike keys for
// spellings too far off for the walk. The walk and the index work on the
// trie (the index built at the first ranking and after each change) or on a
// compact form, which stores the index (CompactView).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "checking/compact_form.h"
#include "checking/sound_index.h"
#include "checking/typing_language.h"

namespace wordloom::detail {

class WordTrie;

// The costs of the typo model in tenths of an ordinary edit, and the weights
// that turn costs and frequencies into a score.
struct TypoModel {
  int Substitute = 10;
  int VowelSubstitute = 6;      // a vowel written for another
  int AccentSubstitute = 3;     // the same letter with an accent left off or added (é, e; ß, ss)
  int NeighbourSubstitute = 7;  // a key next to the right one
  int Insert = 10;              // a letter too many
  int DoubledInsert = 4;        // the letter before written twice
  int Delete = 10;              // a letter left out
  int DoubleDelete = 4;         // one of a double letter left out
  int ApostropheDelete = 3;     // don't written dont
  int Transpose = 7;            // two letters swapped
  int FirstLetter = 4;          // added to any edit of the first letter
  int CaseChange = 5;           // a capital the writer did not type
  int Bound = 15;               // the largest edit cost the walk follows
  int ShortBound = 14;          // the same for words of up to 4 letters
  int FewCandidates = 1;        // fewer found within the bound: search again
  int WideBound = 20;           // with this bound
  double FrequencyWeight = 0.8; // score per unit of ln(frequency)
  double EditWeight = 0.6;      // score lost per tenth of an edit
  double SoundBonus = 4.0;      // the word sounds like the typo
  double NearSoundBonus = 2.0;  // its sound-alike key is one sound off
  double SoundEditCap = 40;     // the edit cost a sound-alike word is charged at most
};

// A compact form of the dictionary (compact_form.h) with what changed since
// it was made, as the ranker searches it.
struct CompactView {
  const CompactForm* Form = nullptr;
  // Null while the dictionary is the form's; else the dictionary as it is
  // now, which decides whether each word found is still there and gives its
  // number and frequency.
  const WordTrie* Current = nullptr;
  // The words added since the form was made (null: none), as a trie whose
  // word numbers count them from 1 (AddedWords[n - 1]), with their
  // sound-alike entries numbered the same way.
  const WordTrie* Added = nullptr;
  const std::vector<std::string>* AddedWords = nullptr;
  SoundIndexView AddedSound;
};

class LikelihoodRanker {
 public:
  // Words of more letters than this are not searched: a typo model has
  // nothing to say about them, and the walk's cost grows with the length.
  static constexpr std::size_t kMaxWordLength = 48;

  explicit LikelihoodRanker(TypoModel Model = {}) { SetModel(Model); }

  // Appends to Out up to Limit (0: every candidate) words of Trie for Typo,
  // best first, each once (case ignored), in the writer's case: a typo
  // written with a capital gets a capital, one in capitals gets capitals.
  void Rank(const WordTrie& Trie, std::string_view Typo, std::size_t Limit,
            std::vector<std::string>& Out);
  // The same over a compact form and its changes, with the form's stored
  // sound-alike index: the same words in the same order as over the trie of
  // the same dictionary.
  void Rank(const CompactView& View, std::string_view Typo, std::size_t Limit,
            std::vector<std::string>& Out);

  // The score Rank gives Word, a dictionary word of that Frequency, as a
  // correction of Typo, and the weighted edit cost in it (at most the
  // model's SoundEditCap): corrections of several dictionaries are merged
  // in one order by it.
  struct Scored {
    double Score = 0;
    int Cost = 0;
  };
  Scored ScoreCorrection(std::string_view Typo, std::string_view Word, std::uint32_t Frequency);

  const TypoModel& Model() const { return FModel; }
  // Costs and bounds are taken between 0 and kCostCeiling - 1.
  static constexpr int kCostCeiling = 255;
  void SetModel(const TypoModel& Model);
  // The plain search: rows a cost at a time even where they could be
  // worked out 16 at a time, and every row worked out even where only
  // matches can follow. The shortcuts must agree with it, which tests check.
  void SetPlainSearch(bool Plain) { FShortcuts = !Plain; }
  // The language of the dictionary (TypingLanguageFor): its keyboard, and
  // whether sound-alike keys count. English unless set.
  const TypingLanguage& Language() const { return *FLanguage; }
  void SetLanguage(const TypingLanguage& Language) {
    FLanguage = &Language;
    FAsciiRowsMade = {};
    FKnownTraits = {};
  }

 private:
  struct Candidate {
    std::uint32_t Word;       // word number
    int Cost;                 // weighted edit cost
    double Bonus;             // the sound bonus
    bool Capital;             // the word starts with a capital
    std::uint32_t Frequency;  // the word's frequency
    std::uint32_t TextAt;     // its text in FTexts
    std::uint32_t TextSize;
  };
  // A word found, with its number; Word 0: none.
  struct Resolved {
    std::uint32_t Word = 0;
    std::uint32_t Frequency = 0;
  };
  // A letter of the walk's path whose bytes are not all there yet.
  struct Partial {
    char32_t Bits = 0;       // the bits so far
    std::uint8_t Lead = 0;   // its first byte
    std::uint8_t Need = 0;   // the continuation bytes still to come; 0: none pending
  };
  // Where the walk stands: the letters of the path so far (with the two
  // last, lower case) and the row of the last one.
  struct WalkState {
    std::uint32_t Bytes;    // the path's length in bytes
    std::uint32_t Letters;  // its complete letters: the rows computed
    char32_t Letter;        // the last of them
    char32_t Before;        // the one before
    int Least;              // the least entry of row Letters
    bool Capital;           // the first is a capital
  };
  // The costs of one intended letter against each letter of the typo, worked
  // out when the walk first meets the letter (MakeCostsOf says how they are
  // laid out); the typo positions where it costs nothing and those holding
  // the letter itself; the cheapest way the letter enters a candidate
  // without matching.
  static constexpr std::uint32_t kNoCosts = UINT32_MAX;
  struct LetterCosts {
    std::uint32_t At = kNoCosts;  // where its costs start in FLetterCosts
    std::uint64_t Positions = 0;  // bit j: this letter costs nothing for typo letter j
    std::uint64_t Same = 0;       // bit j: typo letter j is this letter
    int Cheapest = 0;
  };
  struct AnyLettersBelow;
  struct TrieGraph;
  struct FormGraph;
  struct AddedGraph;

  // Prepares the typo and the walk's costs; false when there is nothing to rank.
  bool Start(std::string_view Typo);
  // Makes Typo the typo of the edit costs (its letters folded to lower case).
  void StartTypo(std::string_view Typo);
  // The score of a candidate of edit cost Cost and sound bonus Bonus.
  double Score(int Cost, double Bonus, bool Capital, bool Capitalised, std::uint32_t Frequency) const;
  // Walks the whole graph with the given bound, adding what it finds.
  template <typename Graph>
  void Search(const Graph& G, int Bound);
  // The walk at Node, reached from the node of Parent by the byte
  // FPath[Parent.Bytes + 1], with P the letter it belongs to, when that is
  // still incomplete. (The state is copied here rather than by the caller,
  // from fields written long before, which a processor forwards cheaply.)
  template <typename Graph>
  void Walk(const Graph& G, typename Graph::Cursor Node, const WalkState& Parent, Partial P);
  // Adds letter C (not lower-cased) to the path of S: its row, and (when
  // WordEnds) the word at Node if the row allows it; false when the row
  // leaves the bound.
  template <typename Graph>
  [[gnu::always_inline]] inline bool TakeLetter(const Graph& G, typename Graph::Cursor Node,
                                                WalkState& S, char32_t C, bool WordEnds = true);
  // Whether, after Letter at Depth, a row past the bound may come back
  // within it at the next letter: that letter and this one swapped for two
  // typo letters, at the cost of the row before this letter's plus a swap.
  bool SwapMayFollow(std::size_t Depth, char32_t Letter);
  // Bit j: this letter and the next may be typo letters j + 1 and j
  // swapped within the bound. Same: the typo positions holding this letter
  // (its LetterCosts::Same); Before: the row before this letter's.
  [[gnu::always_inline]] inline std::uint64_t SwapLanes(const std::uint8_t* Before,
                                                        std::uint64_t Same) const;
  // The word ending at Node, if one does, as a candidate of edit cost Cost
  // (once: a word already found keeps its first cost).
  template <typename Graph>
  void FoundAt(const Graph& G, typename Graph::Cursor Node, std::uint32_t Bytes, int Cost,
               bool Capital);
  // Enters the children of Node that can stay within the bound.
  template <typename Graph>
  [[gnu::always_inline]] inline void Descend(const Graph& G, typename Graph::Cursor Node,
                                             const WalkState& S, const Partial& P);
  // The walk below Node (reached by Bytes bytes, Letters letters) where no
  // edit fits in the bound any more: only the typo's letters can follow.
  // Lanes bit j: the path without its last Step letters stands for typo
  // letters 0 .. j - 1 at the cost Row[j], and those Step letters are typo
  // letters j .. j + Step - 1 exactly. A word ends within the bound where a
  // lane has reached the typo's end (j + Step is its length).
  template <typename Graph>
  void WalkExact(const Graph& G, typename Graph::Cursor Node, std::uint32_t Bytes,
                 std::uint32_t Letters, bool Capital, std::uint64_t Lanes, std::uint32_t Step,
                 const std::uint8_t* Row);
  // The typo positions (of a typo ranked sixteen at a time) whose letters
  // are not among Below (a set of CompactForm::LetterBit).
  std::uint32_t PositionsOutside(std::uint32_t Below) const;
  // The lanes of Lanes (as WalkExact has them, with Matched typo letters
  // matched) that can still match the typo's end by letters among Below.
  std::uint64_t LanesWithLettersBelow(std::uint64_t Lanes, std::uint32_t Matched,
                                      std::uint32_t Below) const;
  // The walk over the dictionary (SearchWith(bound) walks it once), after
  // the sound-alike words: within the bound, and again within the wide
  // bound when next to no word is within the first; or, where that is
  // likely (LikelyFewWithin), within the wide bound at once, keeping what
  // the first two would have.
  template <typename F>
  void SearchAll(F&& SearchWith);
  // Whether the walk within Bound is likely to find next to nothing, as
  // the first SoundAlikes candidates (the sound-alike words) suggest.
  bool LikelyFewWithin(int Bound, std::size_t SoundAlikes) const;
  // Leaves out the candidates from From on whose cost passes Bound.
  void DropWalkedBeyond(std::size_t From, int Bound);
  // Letters of a typo from which LikelyFewWithin trusts the sound-alike words.
  static constexpr std::size_t kLongTypo = 7;
  // Adds the words whose sound-alike key is the typo's or one sound off,
  // from Index, whose entries Resolve turns into words (with their text).
  template <typename ResolveEntry>
  void AddSoundAlikes(const SoundIndexView& Index, ResolveEntry&& Resolve);
  // Whether sound-alike keys take part for this typo.
  bool SoundAlikesApply() const;
  // Adds a candidate for the word r, spelled Text, at the given cost and bonus.
  void AddCandidate(const Resolved& r, std::string_view Text, int Cost, double Bonus, bool Capital);
  // Scores, sorts and writes out the candidates.
  void Finish(std::string_view Typo, std::uint32_t ItselfWord, std::size_t Limit,
              std::vector<std::string>& Out);
  void BuildSoundIndex(const WordTrie& Trie);
  // The word of Word in the current dictionary, as a candidate records it.
  static Resolved InTrie(const WordTrie& Trie, std::string_view Word);
  // Fills row Depth of Rows (rows of FTypo.size() + 1 costs FStride bytes
  // apart, from row 0) for a candidate whose letter at Depth is Letter
  // (lower case), after Before; returns the row's least cost. Costs are
  // bytes that stop at 255: every bound the ranking compares them with is
  // below that (SetModel), so a cost that stopped there is out of reach
  // either way.
  int NextRow(std::size_t Depth, char32_t Letter, char32_t Before, std::uint8_t* Rows);
  // The same with every term: swaps, ß for ss and rows a cost at a time.
  int NextRowWithAll(std::size_t Depth, char32_t Letter, char32_t Before, std::uint8_t* Rows);
  // The bits j < Count of Row whose cost is at most Bound.
  [[gnu::always_inline]] inline std::uint64_t WithinBound(const std::uint8_t* Row, std::size_t Count,
                                                          int Bound) const;
  // Whether a candidate whose letter at Depth is Letter, after Before and
  // the row Row, keeps an entry within the bound, when Letter matches no
  // letter of the typo where Row allows it: its edits from Row are all
  // there is. True where rows are not worked out sixteen at a time, or ß
  // may stand for ss.
  [[gnu::always_inline]] inline bool EditStaysWithin(const std::uint8_t* Row, std::size_t Depth,
                                                     char32_t Letter, char32_t Before,
                                                     const LetterCosts& Costs) const;
  // Row 0 of the table into Rows: the typo's letters all typed too many.
  void FirstRow(std::uint8_t* Rows) const;
  // The costs of Letter against the typo (made on first use for this typo).
  const LetterCosts& CostsOf(char32_t Letter) {
    if (Letter < kDirectLetters && FDirectCosts[Letter].At != kNoCosts) return FDirectCosts[Letter];
    return MakeCostsOf(Letter);
  }
  const LetterCosts& MakeCostsOf(char32_t Letter);
  // MakeCostsOf's work into Costs, whose At is where its block goes: for
  // an ASCII Letter (its AsciiSubstitutions Pairs) against a typo of ASCII
  // letters that fits the lanes (FAsciiLanes), sixteen lanes at a time;
  // for any other, typo letter by typo letter (Pairs null beyond ASCII).
  void MakeAsciiCosts(char32_t Letter, const std::uint8_t* Pairs, LetterCosts& Costs);
  void MakeCostsByLetter(char32_t Letter, const std::uint8_t* Pairs, LetterCosts& Costs);
  // The lanes that reach lane j from lanes 2, 4 and 8 before, by letters
  // typed too many, from those from the lane before, in a block of MakeCostsOf.
  static void StoreDoublings(std::uint8_t* Block);
  // What typing Typed (of the traits TypedTraits) for the intended Letter
  // (of the traits Intended) costs, before a first letter's extra; Accent:
  // the same letter with an accent left off or added.
  struct Substitution {
    int Cost;
    bool Accent;
  };
  Substitution SubstitutionOf(char32_t Letter, const LetterTraits& Intended, char32_t Typed,
                              const LetterTraits& TypedTraits) const;
  // TraitsOf on the language's layout, remembered for the letters met
  // most recently: beyond ASCII, it decomposes the letter and searches the
  // layout's keys.
  const LetterTraits& TraitsFor(char32_t Letter);
  // SubstitutionOf's costs of every ASCII byte typed for the ASCII Letter,
  // worked out at its first use under the model and the layout.
  const std::uint8_t* AsciiSubstitutions(char32_t Letter);
  // Letter costs are kept for letters below this directly, for raw bytes
  // after them, and for the rest in a map.
  static constexpr char32_t kDirectLetters = 0x800;
  // The edit cost of Word for the typo, at most Cap.
  int EditCost(std::string_view Word, int Cap);
  // How many of the first Count letters of A and B are the same; each may
  // be read kLetterSlack letters past Count.
  static std::size_t SharedLetters(const char32_t* A, const char32_t* B, std::size_t Count);
  static constexpr std::size_t kLetterSlack = 4;
  int Deletion(char32_t Letter, char32_t Before, std::size_t Depth) const;
  int Insertion(std::size_t J) const;

  TypoModel FModel;
  // The least any edit costs (a letter typed for another, left out or typed
  // too many, two swapped): less slack than this allows matches only.
  int FCheapestEdit = 0;
  // The dearest way Deletion prices leaving out a letter: as the first
  // letter, and after it. With as much slack, any letter may follow.
  int FDearestDeletion[2] = {};
  const TypingLanguage* FLanguage = &TypingLanguageFor("");
  std::vector<int> FInsertion;  // the cost of each typed letter as one too many
  std::vector<std::uint8_t> FTable;  // EditCost's table
  // EditCost's word, its rows that stand (from row 1) with their least
  // costs, and the next word.
  std::vector<char32_t> FWordLetters;
  std::size_t FTableRows = 0;
  std::size_t FCappedRow = 0;  // the last of those rows when it reached the cap; 0: none did
  std::vector<int> FTableLeast;
  std::vector<char32_t> FNextLetters;
  // The sound-alike index's entries for the typo (AddSoundAlikes), each as
  // its number times two, plus one for the lesser of the two bonuses: in
  // order, an entry's hits come together, the best first.
  std::vector<std::uint64_t> FSoundHits;
  std::vector<std::uint64_t> FSortScratch;  // for sorting them
  // The typo being ranked: its letters in lower case; its bytes with A-Z in
  // lower case, as the sound-alike keys take it; and the walk's state.
  std::u32string FTypo;
  std::vector<LetterTraits> FTypoTraits;
  // By byte below 0x80: bit j when typo letter j is that letter (either
  // case); the typo's letters that are ASCII; bit j when typo letters j
  // onwards all are (bit n too: none are left).
  std::array<std::uint64_t, 128> FSameAscii{};
  std::uint64_t FAsciiPositions = 0;
  std::uint64_t FAsciiTails = 0;
  bool FTypoSharpS = false;  // the typo has a ß
  std::string FTypoBytes;
  int FBound = 0;
  alignas(16) std::uint8_t FBoundLanes[16] = {};  // FBound in each of sixteen lanes
  std::size_t FMaxDepth = 0;  // in letters
  // Whether rows are worked out 16 costs at a time (a typo of up to 15
  // letters, on a machine with SSE2), and the distance between rows.
  static constexpr std::size_t kLanes = 16;
  bool FVectorRows = false;
  bool FShortcuts = true;
  std::uint8_t FPastTypo[kLanes] = {};  // 255 in the lanes past the typo's last letter
  std::size_t FStride = 0;
  std::vector<std::uint8_t> FRows;  // (FMaxDepth + 2) rows of FTypo.size() + 1 costs
  std::string FPath;       // the walk's bytes as stored, FPath[b] at byte depth b
  // The letter costs met for this typo: by letter below kDirectLetters, raw
  // bytes after them, the rest in a map; FLetterSlots holds the slots in use.
  std::vector<LetterCosts> FDirectCosts;
  std::unordered_map<char32_t, LetterCosts> FOtherCosts;
  std::vector<std::uint32_t> FLetterSlots;
  std::vector<std::uint8_t> FLetterCosts;
  // AsciiSubstitutions' rows: 128 costs by intended letter; bit L of the
  // two words: the row of L is made.
  std::vector<std::uint8_t> FAsciiSubstitutions;
  std::array<std::uint64_t, 2> FAsciiRowsMade{};
  // TraitsFor's letters, 64 slots by a hash of the letter.
  struct KnownTraits {
    char32_t Letter = UINT32_MAX;
    LetterTraits Traits;
  };
  std::array<KnownTraits, 64> FKnownTraits{};
  std::vector<Candidate> FFound;
  // A candidate's score (as a key whose ascending order is the scores'
  // descending order), number and place in FFound, for sorting.
  struct Ranked {
    std::uint64_t Key;
    std::uint32_t Word;
    std::uint32_t At;
  };
  std::vector<Ranked> FOrder;
  std::string FTexts;  // the candidates' words, one after another
  // Where a compact form spells a sound-alike word (CompactForm::TextAt).
  CompactForm::TextBuffer FTextBuffer;
  // Finish's table of the words written: hash of the lower case, 1 + place.
  std::vector<std::pair<std::uint64_t, std::uint32_t>> FSeen;
  // Word number (from 1) -> its index in FFound: open addressing in a table
  // of a power of two slots, emptied slot by slot, where a map would
  // allocate and free a node for each of the hundreds of candidates a typo
  // has.
  class FoundIndex {
   public:
    // The index of Word, entered as Next when it is new (then true).
    std::pair<std::size_t, bool> Emplace(std::uint32_t Word, std::size_t Next);
    void Clear();

   private:
    std::vector<std::uint64_t> FSlots;  // word << 32 | index; 0: empty
    std::vector<std::uint32_t> FUsed;   // the slots taken
  };
  FoundIndex FFoundAt;
  // The letters of the typo as a set (CompactForm::LetterBit), the letter
  // of each position as a set of one (every letter past the typo), and
  // what a typo letter costs when no word below a node has it: typed for
  // another letter or typed too many, or, after the same letter, typed twice.
  std::uint32_t FTypoLetterBits = 0;
  alignas(16) std::uint32_t FLaneLetterBits[kLanes] = {};
  // The typo's letters by lane (lane j + 1: letter j; 0xFF elsewhere), and
  // their costs as letters typed too many (255 elsewhere), where the typo
  // is of ASCII letters and fits the lanes (FAsciiLanes).
  bool FAsciiLanes = false;
  alignas(16) std::uint8_t FTypoLanes[kLanes] = {};
  alignas(16) std::uint8_t FInsertionLanes[kLanes] = {};
  std::uint8_t FAbsentCost[kLanes] = {};
  std::uint8_t FAbsentCostAfterSame[kLanes] = {};
  // The sound-alike index of a trie, by word number, valid for FIndexRevision.
  SoundIndexBuilder FSoundIndex;
  std::uint64_t FIndexRevision = 0;
};

// A dictionary word from its last node, as stored.
std::string WordAt(const WordTrie& Trie, std::uint32_t Node);

}  // namespace wordloom::detail
