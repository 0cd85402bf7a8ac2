#include "checking/likelihood_ranking.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <unordered_set>

#if defined(__SSE2__)
#include <emmintrin.h>
#define WORDLOOM_VECTOR_ROWS 1
#else
#define WORDLOOM_VECTOR_ROWS 0
#endif

// The walk's small steps are written as lambdas and helpers for clarity but
// must be inlined into it: how much the compiler inlines on its own depends
// on the size of the whole file, and an out-of-line call at every child
// costs a tenth of the walk.
#if defined(__GNUC__)
#define WORDLOOM_INLINE __attribute__((always_inline))
#else
#define WORDLOOM_INLINE
#endif

#include "checking/compact_form.h"
#include "checking/sound_alike.h"
#include "dictionary/word_trie.h"
#include "wordloom/checking/spelling_rules.h"

namespace wordloom::detail {

namespace {

bool IsUpper(std::uint8_t c) { return IsAsciiCapital(static_cast<char>(c)); }
std::uint8_t Lower(std::uint8_t c) { return IsUpper(c) ? c + 32 : c; }
bool IsApostrophe(char32_t c) { return c == U'\'' || c == U'\u2019'; }

// Whether the word starts with a capital letter.
bool StartsCapital(std::string_view word) {
  if (word.empty()) return false;
  std::size_t i = 0;
  return IsCapitalLetter(NextLetter(word, i));
}

// Sorts Values in ascending order a byte at a time, least significant
// first, up to the highest byte any value uses: the few hundred hits of a
// typo's sound-alike lookups, whose order a comparison sort would decide by
// branches the processor mostly guesses wrong. Scratch is working space.
void SortByDigits(std::vector<std::uint64_t>& Values, std::vector<std::uint64_t>& Scratch) {
  std::uint64_t all = 0;
  for (const std::uint64_t v : Values) all |= v;
  Scratch.resize(Values.size());
  for (int shift = 0; shift < 64 && (all >> shift) != 0; shift += 8) {
    std::uint32_t starts[257] = {};
    for (const std::uint64_t v : Values) ++starts[((v >> shift) & 0xFF) + 1];
    for (std::size_t d = 1; d < 257; ++d) starts[d] += starts[d - 1];
    for (const std::uint64_t v : Values) Scratch[starts[(v >> shift) & 0xFF]++] = v;
    Values.swap(Scratch);
  }
}

// A cost as a row holds it: at most 255.
std::uint8_t Saturated(int Cost) { return static_cast<std::uint8_t>(std::clamp(Cost, 0, 255)); }

// FNV-1a over Bytes with A-Z taken as a-z.
std::uint64_t FoldedHash(std::string_view Bytes) {
  std::uint64_t h = 1469598103934665603ull;
  for (char c : Bytes) h = (h ^ Lower(static_cast<std::uint8_t>(c))) * 1099511628211ull;
  return h;
}

// The hash of Word in lower case, made without a lower-case copy for plain ASCII.
std::uint64_t LowerCaseHash(std::string_view Word) {
  const bool ascii = std::all_of(Word.begin(), Word.end(),
                                 [](char c) { return static_cast<std::uint8_t>(c) < 0x80; });
  return ascii ? FoldedHash(Word) : FoldedHash(LowerCase(Word));
}

// The fewest sounds a key needs before keys one sound off count as alike.
constexpr std::size_t kNearSoundKey = 4;
// How much longer or shorter than the typo a sound-alike word may be.
constexpr std::size_t kSoundLengthSlack = 3;

}  // namespace

std::pair<std::size_t, bool> LikelihoodRanker::FoundIndex::Emplace(std::uint32_t Word,
                                                                    std::size_t Next) {
  if (2 * (FUsed.size() + 1) > FSlots.size()) {
    // Twice the slots, the entries placed again.
    std::vector<std::uint64_t> old(std::max<std::size_t>(64, 2 * FSlots.size()), 0);
    old.swap(FSlots);
    FUsed.clear();
    for (std::uint64_t entry : old) {
      if (entry != 0) Emplace(static_cast<std::uint32_t>(entry >> 32), entry & 0xFFFFFFFFu);
    }
  }
  const std::size_t mask = FSlots.size() - 1;
  for (std::size_t i = (Word * std::size_t{0x9E3779B1}) & mask;; i = (i + 1) & mask) {
    const std::uint64_t entry = FSlots[i];
    if (entry == 0) {
      FSlots[i] = std::uint64_t{Word} << 32 | static_cast<std::uint32_t>(Next);
      FUsed.push_back(static_cast<std::uint32_t>(i));
      return {Next, true};
    }
    if (entry >> 32 == Word) return {entry & 0xFFFFFFFFu, false};
  }
}

void LikelihoodRanker::FoundIndex::Clear() {
  for (std::uint32_t i : FUsed) FSlots[i] = 0;
  FUsed.clear();
}

std::string WordAt(const WordTrie& Trie, std::uint32_t Node) {
  std::string word;
  while (Node != 0) {
    word.push_back(static_cast<char>(Trie.Letter(Node)));
    const std::int32_t parent = Trie.Parent(Node);
    if (parent < 0) break;
    Node = static_cast<std::uint32_t>(parent);
  }
  std::reverse(word.begin(), word.end());
  return word;
}

const LikelihoodRanker::LetterCosts& LikelihoodRanker::MakeCostsOf(char32_t Letter) {
  LetterCosts* slot = nullptr;
  if (Letter < kDirectLetters) {
    slot = &FDirectCosts[Letter];
  } else if (Letter >= kRawByte && Letter < kRawByte + 256) {
    slot = &FDirectCosts[kDirectLetters + (Letter - kRawByte)];
  } else {
    slot = &FOtherCosts[Letter];
  }
  if (slot->At != kNoCosts) return *slot;

  // First met in this typo: its cost against each typo letter (sub), the
  // same as a candidate's first letter (first: the first letter's extra on
  // every edit but an accent, which a writer easily leaves off a capital),
  // and the cost of each typo letter as one too many after this letter
  // (insertion).
  LetterCosts costs{static_cast<std::uint32_t>(FLetterCosts.size()), 0, 0, 0};
  costs.Cheapest = IsApostrophe(Letter) ? FModel.ApostropheDelete : FModel.Delete;
  // An ASCII letter against the typo's ASCII letters: from its row of the
  // table, without the letters' traits.
  const std::uint8_t* pairs = Letter < 128 ? AsciiSubstitutions(Letter) : nullptr;
  if (pairs != nullptr && FAsciiLanes) {
    MakeAsciiCosts(Letter, pairs, costs);
  } else {
    MakeCostsByLetter(Letter, pairs, costs);
  }
  *slot = costs;
  if (slot >= FDirectCosts.data() && slot < FDirectCosts.data() + FDirectCosts.size()) {
    FLetterSlots.push_back(static_cast<std::uint32_t>(slot - FDirectCosts.data()));
  }
  return *slot;
}

void LikelihoodRanker::MakeCostsByLetter(char32_t Letter, const std::uint8_t* Pairs, LetterCosts& Costs) {
  const std::size_t n = FTypo.size();
  std::uint8_t sub[kMaxWordLength], first[kMaxWordLength], insertion[kMaxWordLength];
  const LetterTraits intended = TraitsFor(Letter);
  for (std::size_t j = 0; j < n; ++j) {
    const char32_t typed = FTypo[j];
    const Substitution s = Pairs != nullptr && typed < 128
                               ? Substitution{Pairs[typed], false}
                               : SubstitutionOf(Letter, intended, typed, FTypoTraits[j]);
    const bool same = Letter == typed;
    const int cost = s.Cost;
    const bool surcharge = cost != 0 && !s.Accent;
    const int as_first = cost + (surcharge ? FModel.FirstLetter : 0);
    sub[j] = Saturated(j == 0 ? as_first : cost);
    first[j] = Saturated(as_first);
    // The letter itself typed again costs as a doubled letter.
    insertion[j] = Saturated(same ? FModel.DoubledInsert : FInsertion[j + 1]);
    Costs.Same |= std::uint64_t{same} << j;
    Costs.Positions |= std::uint64_t{cost == 0} << j;
    Costs.Cheapest = std::min(Costs.Cheapest, cost == 0 ? kCostCeiling : cost);
  }
  if (FVectorRows) {
    // Lane j of a row is typo letter j - 1: sub and first, then the cost
    // of reaching lane j from lane j - 1, 2, 4 and 8 lanes before by
    // letters typed too many (NextRow), 255 where no lane is.
    FLetterCosts.resize(FLetterCosts.size() + 6 * kLanes, 255);
    std::uint8_t* block = FLetterCosts.data() + Costs.At;
    std::copy(sub, sub + n, block + 1);
    std::copy(first, first + n, block + kLanes + 1);
    std::copy(insertion, insertion + n, block + 2 * kLanes + 1);
#if WORDLOOM_VECTOR_ROWS
    StoreDoublings(block);
#endif
  } else {
    FLetterCosts.resize(FLetterCosts.size() + 3 * n);
    std::uint8_t* block = FLetterCosts.data() + Costs.At;
    std::copy(sub, sub + n, block);
    std::copy(first, first + n, block + n);
    std::copy(insertion, insertion + n, block + 2 * n);
  }
}

#if WORDLOOM_VECTOR_ROWS
void LikelihoodRanker::StoreDoublings(std::uint8_t* Block) {
  // Each from the one before, its lanes added to those 1, 2, 4 lanes back
  // (lanes before the first count 0; lane 0 holds 255, which stays).
  auto* lanes = reinterpret_cast<__m128i*>(Block);
  const __m128i by1 = _mm_loadu_si128(lanes + 2);
  const __m128i by2 = _mm_adds_epu8(by1, _mm_slli_si128(by1, 1));
  const __m128i by4 = _mm_adds_epu8(by2, _mm_slli_si128(by2, 2));
  _mm_storeu_si128(lanes + 3, by2);
  _mm_storeu_si128(lanes + 4, by4);
  _mm_storeu_si128(lanes + 5, _mm_adds_epu8(by4, _mm_slli_si128(by4, 4)));
}
#endif

void LikelihoodRanker::MakeAsciiCosts(char32_t Letter, const std::uint8_t* Pairs, LetterCosts& Costs) {
#if !WORDLOOM_VECTOR_ROWS
  MakeCostsByLetter(Letter, Pairs, Costs);  // (FAsciiLanes is never set without them)
#else
  // MakeCostsOf's costs, lane j + 1 for typo letter j, sixteen at a time:
  // between two ASCII letters no accent is left off, so every edit of the
  // first letter takes its extra.
  const std::size_t n = FTypo.size();
  alignas(16) std::uint8_t typed[kLanes];
  _mm_store_si128(reinterpret_cast<__m128i*>(typed), _mm_set1_epi8(-1));
  for (std::size_t j = 0; j < n; ++j) typed[j + 1] = Pairs[FTypo[j]];
  auto load = [](const std::uint8_t* p) { return _mm_load_si128(reinterpret_cast<const __m128i*>(p)); };
  const __m128i cost = load(typed);  // 255 where no typo letter is
  const __m128i same = _mm_cmpeq_epi8(load(FTypoLanes), _mm_set1_epi8(static_cast<char>(Letter)));
  const __m128i free = _mm_cmpeq_epi8(cost, _mm_setzero_si128());
  const __m128i first = _mm_adds_epu8(cost, _mm_andnot_si128(free, _mm_set1_epi8(static_cast<char>(Saturated(FModel.FirstLetter)))));
  const __m128i lane_one = _mm_set_epi8(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, 0);
  const __m128i sub = _mm_or_si128(_mm_and_si128(lane_one, first), _mm_andnot_si128(lane_one, cost));
  const __m128i doubled = _mm_set1_epi8(static_cast<char>(Saturated(FModel.DoubledInsert)));
  const __m128i insertion = _mm_or_si128(_mm_and_si128(same, doubled), _mm_andnot_si128(same, load(FInsertionLanes)));
  FLetterCosts.resize(FLetterCosts.size() + 6 * kLanes);
  std::uint8_t* block = FLetterCosts.data() + Costs.At;
  _mm_storeu_si128(reinterpret_cast<__m128i*>(block), sub);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(block + kLanes), first);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(block + 2 * kLanes), insertion);
  StoreDoublings(block);
  Costs.Same = static_cast<std::uint32_t>(_mm_movemask_epi8(same)) >> 1;
  Costs.Positions = static_cast<std::uint32_t>(_mm_movemask_epi8(free)) >> 1;
  // The cheapest cost that is not nothing.
  __m128i least = _mm_or_si128(cost, free);
  least = _mm_min_epu8(least, _mm_srli_si128(least, 8));
  least = _mm_min_epu8(least, _mm_srli_si128(least, 4));
  least = _mm_min_epu8(least, _mm_srli_si128(least, 2));
  least = _mm_min_epu8(least, _mm_srli_si128(least, 1));
  Costs.Cheapest = std::min(Costs.Cheapest, _mm_cvtsi128_si32(least) & 0xFF);
#endif
}

LikelihoodRanker::Substitution LikelihoodRanker::SubstitutionOf(char32_t Letter, const LetterTraits& Intended,
                                                                 char32_t Typed,
                                                                 const LetterTraits& TypedTraits) const {
  // The same letter; an accent left off or added; a vowel for a vowel; a
  // neighbouring key; any other.
  if (Letter == Typed) return {0, false};
  if (Intended.Base == TypedTraits.Base) return {FModel.AccentSubstitute, true};
  if (Intended.Vowel && TypedTraits.Vowel) return {FModel.VowelSubstitute, false};
  if (KeysTouch(Intended.Key, TypedTraits.Key)) return {FModel.NeighbourSubstitute, false};
  return {FModel.Substitute, false};
}

const std::uint8_t* LikelihoodRanker::AsciiSubstitutions(char32_t Letter) {
  if (FAsciiSubstitutions.empty()) FAsciiSubstitutions.assign(128 * 128, 0);
  std::uint8_t* row = FAsciiSubstitutions.data() + 128 * Letter;
  if ((FAsciiRowsMade[Letter / 64] >> (Letter % 64) & 1) == 0) {
    // No accent lies between two ASCII letters: each is its own base.
    const LetterTraits intended = TraitsOf(FLanguage->Layout, Letter);
    for (char32_t typed = 0; typed < 128; ++typed) {
      row[typed] = Saturated(SubstitutionOf(Letter, intended, typed, TraitsOf(FLanguage->Layout, typed)).Cost);
    }
    FAsciiRowsMade[Letter / 64] |= std::uint64_t{1} << (Letter % 64);
  }
  return row;
}

const LetterTraits& LikelihoodRanker::TraitsFor(char32_t Letter) {
  KnownTraits& known = FKnownTraits[(Letter * 0x9E3779B1u) >> 26];
  if (known.Letter != Letter) known = {Letter, TraitsOf(FLanguage->Layout, Letter)};
  return known.Traits;
}

int LikelihoodRanker::Deletion(char32_t Letter, char32_t Before, std::size_t Depth) const {
  if (IsApostrophe(Letter)) return FModel.ApostropheDelete;
  if (Letter == Before && Depth > 1) return FModel.DoubleDelete;
  return FModel.Delete + (Depth == 1 ? FModel.FirstLetter : 0);
}

int LikelihoodRanker::Insertion(std::size_t J) const {
  // A letter typed twice; one typed again after the intended one is MakeCostsOf's.
  const char32_t typed = FTypo[J - 1];
  if (J >= 2 && FTypo[J - 2] == typed) return FModel.DoubledInsert;
  return FModel.Insert + (J == 1 ? FModel.FirstLetter : 0);
}

#if WORDLOOM_VECTOR_ROWS
namespace {

// Sixteen entries of a row from the row Above, for a letter of the given
// Substitution costs (a block of MakeCostsOf), left out at the cost
// Deletion: each entry the letter typed for the typo's letter there, or
// left out.
WORDLOOM_INLINE inline __m128i TypedOrLeftOut(const std::uint8_t* Above, const std::uint8_t* Substitution, int Deletion) {
  const __m128i up = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Above));
  const __m128i substitution = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Substitution));
  return _mm_min_epu8(_mm_adds_epu8(up, _mm_set1_epi8(static_cast<char>(Saturated(Deletion)))),
                      _mm_adds_epu8(_mm_slli_si128(up, 1), substitution));
}

// 0xFF in lane j where bit j of Bits is set, 0 elsewhere.
WORDLOOM_INLINE inline __m128i ExpandBits(std::uint32_t Bits) {
  const __m128i bytes = _mm_set_epi64x(static_cast<long long>(((Bits >> 8) & 0xFF) * 0x0101010101010101ull),
                                       static_cast<long long>((Bits & 0xFF) * 0x0101010101010101ull));
  const __m128i each = _mm_set_epi8(-128, 64, 32, 16, 8, 4, 2, 1, -128, 64, 32, 16, 8, 4, 2, 1);
  return _mm_cmpeq_epi8(_mm_and_si128(bytes, each), each);
}

// Lane j + 2: Above[j] plus the cost Transpose where bit j of Swaps is set
// (two letters swapped after entry j of the row Above); 255 elsewhere.
WORDLOOM_INLINE inline __m128i BySwap(const std::uint8_t* Above, std::uint64_t Swaps, int Transpose) {
  const __m128i sum = _mm_adds_epu8(_mm_slli_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Above)), 2),
                                    _mm_set1_epi8(static_cast<char>(Saturated(Transpose))));
  const __m128i where = ExpandBits(static_cast<std::uint32_t>(Swaps << 2));
  return _mm_or_si128(sum, _mm_andnot_si128(where, _mm_set1_epi8(-1)));
}

// 0xFF in lane j where the set of one letter Lanes[j] is not within Letters.
WORDLOOM_INLINE inline __m128i LanesOutside(const std::uint32_t* Lanes, std::uint32_t Letters) {
  const __m128i letters = _mm_set1_epi32(static_cast<int>(Letters));
  auto four = [&](int i) {
    const __m128i lanes = _mm_load_si128(reinterpret_cast<const __m128i*>(Lanes) + i);
    return _mm_cmpeq_epi32(_mm_and_si128(lanes, letters), _mm_setzero_si128());
  };
  return _mm_packs_epi16(_mm_packs_epi32(four(0), four(1)), _mm_packs_epi32(four(2), four(3)));
}

// Bit j for each of the sixteen entries of Row at most the bound in every
// lane of Bound.
WORDLOOM_INLINE inline std::uint32_t LanesWithin(__m128i Row, __m128i Bound) {
  const __m128i capped = _mm_min_epu8(Row, Bound);
  return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(capped, Row)));
}
WORDLOOM_INLINE inline std::uint32_t LanesWithin(__m128i Row, int Bound) {
  return LanesWithin(Row, _mm_set1_epi8(static_cast<char>(Saturated(Bound))));
}
// The walk's bound in every lane (LikelihoodRanker::FBoundLanes).
WORDLOOM_INLINE inline __m128i BoundLanes(const std::uint8_t* Lanes) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(Lanes));
}

// Row from its entries T before letters typed too many, for a letter of the
// costs Block (MakeCostsOf): each entry the least of T there and, by
// doubling, the entries 1, 2, 4 and (for a typo of Wide letters) 8 before
// plus the letters typed too many between. Stores it and returns its least
// entry, PastTypo holding 255 in the lanes past the typo.
WORDLOOM_INLINE inline int CompleteRow(__m128i T, const std::uint8_t* Block, bool Wide,
                                       const std::uint8_t* PastTypo, std::uint8_t* Row) {
  auto load = [](const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
  constexpr std::size_t kLanes = 16;
  T = _mm_min_epu8(T, _mm_adds_epu8(_mm_slli_si128(T, 1), load(Block + 2 * kLanes)));
  T = _mm_min_epu8(T, _mm_adds_epu8(_mm_slli_si128(T, 2), load(Block + 3 * kLanes)));
  T = _mm_min_epu8(T, _mm_adds_epu8(_mm_slli_si128(T, 4), load(Block + 4 * kLanes)));
  if (Wide) T = _mm_min_epu8(T, _mm_adds_epu8(_mm_slli_si128(T, 8), load(Block + 5 * kLanes)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(Row), T);
  __m128i least = _mm_or_si128(T, load(PastTypo));
  least = _mm_min_epu8(least, _mm_srli_si128(least, 8));
  least = _mm_min_epu8(least, _mm_srli_si128(least, 4));
  least = _mm_min_epu8(least, _mm_srli_si128(least, 2));
  least = _mm_min_epu8(least, _mm_srli_si128(least, 1));
  return _mm_cvtsi128_si32(least) & 0xFF;
}

}  // namespace
#endif

int LikelihoodRanker::NextRow(std::size_t Depth, char32_t Letter, char32_t Before,
                               std::uint8_t* Rows) {
#if WORDLOOM_VECTOR_ROWS
  // Most rows on their own, with the few registers they need: sixteen at
  // a time, with no swap and no ß.
  if (FVectorRows && !FTypoSharpS && Letter != U'ß') {
    const LetterCosts& costs = CostsOf(Letter);
    if (Depth < 2 || Letter == Before || ((CostsOf(Before).Same >> 1) & costs.Same) == 0) {
      const std::uint8_t* block = FLetterCosts.data() + costs.At;
      const __m128i t = TypedOrLeftOut(Rows + (Depth - 1) * kLanes, block + (Depth == 1 ? kLanes : 0),
                                       Deletion(Letter, Before, Depth));
      return CompleteRow(t, block, FTypo.size() >= 8, FPastTypo, Rows + Depth * kLanes);
    }
  }
#endif
  return NextRowWithAll(Depth, Letter, Before, Rows);
}

int LikelihoodRanker::NextRowWithAll(std::size_t Depth, char32_t Letter, char32_t Before,
                                     std::uint8_t* Rows) {
  const std::size_t n = FTypo.size();
  const std::uint8_t* above = Rows + (Depth - 1) * FStride;
  std::uint8_t* row = Rows + Depth * FStride;
  const int deletion = Deletion(Letter, Before, Depth);
  // Bit k: typo letters k and k + 1 are this letter and the one before, swapped.
  std::uint64_t swaps = 0;
  if (Depth >= 2 && Letter != Before) swaps = CostsOf(Before).Same >> 1;
  const LetterCosts& costs = CostsOf(Letter);
  swaps &= costs.Same;
  // ß written ss, and ss written ß, cost as an accent left off.
  const bool sharp_as_ss = Letter == U'ß';
  const bool ss_as_sharp = FTypoSharpS && Depth >= 2 && Letter == U's' && Before == U's';
  // The row two above, for a swap or ß, only from the second letter on.
  const std::uint8_t* two_above = Depth >= 2 ? Rows + (Depth - 2) * FStride : nullptr;
  // Entry j with all but letters typed too many: the letter typed for typo
  // letter j, left out, or swapped with the one before, or ß for ss.
  auto rare_terms = [&](std::size_t j, int best) {
    const char32_t typed = FTypo[j - 1];
    if (j >= 2 && (swaps >> (j - 2) & 1) != 0) best = std::min(best, two_above[j - 2] + FModel.Transpose);
    if (sharp_as_ss && j >= 2 && typed == U's' && FTypo[j - 2] == U's') {
      best = std::min(best, above[j - 2] + FModel.AccentSubstitute);
    }
    if (ss_as_sharp && typed == U'ß') best = std::min(best, two_above[j - 1] + FModel.AccentSubstitute);
    return best;
  };
  const bool rare = swaps != 0 || sharp_as_ss || ss_as_sharp;
#if WORDLOOM_VECTOR_ROWS
  if (FVectorRows) {
    // Sixteen entries at once. Entry j is the least of the terms from the
    // row above and, for letters typed too many, entry j - 1 plus that
    // letter's cost: the second is worked out over the whole row by
    // doubling, each step taking the best from 1, 2, 4 and 8 entries back.
    const std::uint8_t* block = FLetterCosts.data() + costs.At;
    auto load = [](const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    __m128i t = TypedOrLeftOut(above, block + (Depth == 1 ? kLanes : 0), deletion);
    if (sharp_as_ss || ss_as_sharp) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row), t);
      for (std::size_t j = 1; j <= n; ++j) row[j] = Saturated(rare_terms(j, row[j]));
      t = load(row);
    } else if (swaps != 0) {
      // Entry j by a swap: entry j - 2 of the row two above, where typo
      // letters j - 2 and j - 1 are this letter and the one before, swapped.
      t = _mm_min_epu8(t, BySwap(two_above, swaps, FModel.Transpose));
    }
    return CompleteRow(t, block, n >= 8, FPastTypo, row);
  }
#endif
  const std::uint8_t* substitution = FLetterCosts.data() + costs.At + (Depth == 1 ? n : 0);
  const std::uint8_t* insertion = FLetterCosts.data() + costs.At + 2 * n;
  row[0] = Saturated(above[0] + deletion);
  int least = row[0];
  int last = row[0];
  // Each entry: the letter typed for typo letter j, left out, or followed
  // by typo letter j typed one time too many.
  for (std::size_t j = 1; j <= n; ++j) {
    int best = std::min({above[j - 1] + substitution[j - 1], above[j] + deletion,
                         last + insertion[j - 1]});
    if (rare) best = rare_terms(j, best);
    row[j] = Saturated(best);
    last = row[j];
    least = std::min(least, last);
  }
  return least;
}

inline bool LikelihoodRanker::EditStaysWithin(const std::uint8_t* Row, std::size_t Depth, char32_t Letter,
                                       char32_t Before, const LetterCosts& Costs) const {
#if WORDLOOM_VECTOR_ROWS
  if (FVectorRows && Letter != U'ß' && !FTypoSharpS) {
    // The next row before letters typed too many, which only add to it.
    const __m128i next = TypedOrLeftOut(Row, FLetterCosts.data() + Costs.At + (Depth == 1 ? kLanes : 0),
                                        Deletion(Letter, Before, Depth));
    return (LanesWithin(next, BoundLanes(FBoundLanes)) & ((std::uint32_t{1} << (FTypo.size() + 1)) - 1)) != 0;
  }
#endif
  return true;
}

inline std::uint64_t LikelihoodRanker::WithinBound(const std::uint8_t* Row, std::size_t Count,
                                            int Bound) const {
  if (Bound < 0 || Count == 0) return 0;
#if WORDLOOM_VECTOR_ROWS
  if (FVectorRows) {
    const __m128i row = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Row));
    return LanesWithin(row, Bound) & ((std::uint32_t{1} << Count) - 1);
  }
#endif
  std::uint64_t bits = 0;
  for (std::size_t j = 0; j < Count; ++j) bits |= std::uint64_t{Row[j] <= Bound} << j;
  return bits;
}

void LikelihoodRanker::FirstRow(std::uint8_t* Rows) const {
  std::fill(Rows, Rows + FStride, 255);
  Rows[0] = 0;
  for (std::size_t j = 1; j <= FTypo.size(); ++j) Rows[j] = Saturated(Rows[j - 1] + FInsertion[j]);
}

void LikelihoodRanker::SetModel(const TypoModel& Model) {
  FModel = Model;
  FAsciiRowsMade = {};
  for (int* cost : {&FModel.Substitute, &FModel.VowelSubstitute, &FModel.AccentSubstitute,
                    &FModel.NeighbourSubstitute, &FModel.Insert, &FModel.DoubledInsert,
                    &FModel.Delete, &FModel.DoubleDelete, &FModel.ApostropheDelete,
                    &FModel.Transpose, &FModel.FirstLetter, &FModel.CaseChange, &FModel.Bound,
                    &FModel.ShortBound, &FModel.WideBound}) {
    *cost = std::clamp(*cost, 0, kCostCeiling - 1);
  }
  FModel.SoundEditCap = std::clamp(FModel.SoundEditCap, 0.0, double{kCostCeiling - 1});
  FDearestDeletion[0] = std::max(FModel.Delete + FModel.FirstLetter, FModel.ApostropheDelete);
  FDearestDeletion[1] = std::max({FModel.Delete, FModel.ApostropheDelete, FModel.DoubleDelete});
  FCheapestEdit = std::min({FModel.Substitute, FModel.VowelSubstitute, FModel.AccentSubstitute,
                            FModel.NeighbourSubstitute, FModel.Delete, FModel.DoubleDelete,
                            FModel.ApostropheDelete, FModel.Insert, FModel.DoubledInsert,
                            FModel.Transpose});
}

// The three graphs the walk searches. Each gives a node's children as
// parallel arrays of letters and a way to step down, and says whether a
// word ends at a node: which one, the ranker asks Resolve.
// A trie says nothing of the letters below a node: every letter may be there.
struct LikelihoodRanker::AnyLettersBelow {
  static constexpr bool kKnowsLettersBelow = false;
  std::uint32_t LettersBelow(const WordTrie::ChildArrays&, std::uint32_t) const { return ~0u; }
  std::uint32_t LettersBelow(std::uint32_t) const { return ~0u; }
};

struct LikelihoodRanker::TrieGraph : AnyLettersBelow {
  using Cursor = std::uint32_t;
  const WordTrie& Trie;
  WordTrie::ChildArrays Kids(Cursor c) const { return Trie.Children(c); }
  bool Step(Cursor, const WordTrie::ChildArrays& kids, std::uint32_t k, Cursor& next) const {
    next = kids.Indices[k];
    return true;
  }
  bool Final(Cursor c) const { return Trie.WordNumber(c) != 0; }
  Resolved Resolve(Cursor c, std::string_view) const {
    const std::uint32_t w = Trie.WordNumber(c);
    if (w == 0) return {};
    return {w, Trie.Entry(w - 1).Frequency};
  }
  Cursor Root() const { return 0; }
};

// A compact form: a node is a state with the rank its path has reached.
struct LikelihoodRanker::FormGraph {
  // A state, the rank of its path, and the letters below it (as its
  // parent's record has them, so that judging a child reads no more).
  struct Cursor {
    std::uint32_t State;
    std::uint32_t Below;
    std::uint64_t Rank;
  };
  const CompactForm& Form;
  const WordTrie* Current;
  // The letters of child k and of the words below it.
  static constexpr bool kKnowsLettersBelow = true;
  static std::uint32_t LettersBelow(const CompactForm::Arcs& kids, std::uint32_t k) {
    return CompactForm::LetterBit(kids.Letters[k]) | kids.Below[k];
  }
  // The letters below a node.
  static std::uint32_t LettersBelow(const Cursor& c) { return c.Below; }
  CompactForm::Arcs Kids(const Cursor& c) const { return Form.ArcsOf(c.State); }
  static bool Step(const Cursor& c, const CompactForm::Arcs& kids, std::uint32_t k, Cursor& next) {
    next = {kids.Targets[k], kids.Below[k], c.Rank + kids.Offsets[k]};
    return CompactForm::Follows(c.State, next.State);
  }
  bool Final(const Cursor& c) const { return Form.IsFinal(c.State); }
  Resolved Resolve(const Cursor& c, std::string_view path) const {
    if (!Form.IsFinal(c.State) || c.Rank >= Form.WordCount()) return {};
    const auto rank = static_cast<std::uint32_t>(c.Rank);
    if (Current != nullptr) return InTrie(*Current, path);
    return {Form.NumberAt(rank), Form.FrequencyAt(rank)};
  }
  Cursor Root() const { return {Form.Root(), Form.LettersBelow(Form.Root()), 0}; }
};

// The words added since a compact form was made, found again in the
// current dictionary (one deleted since is passed over).
struct LikelihoodRanker::AddedGraph : AnyLettersBelow {
  using Cursor = std::uint32_t;
  const WordTrie& Added;
  const WordTrie& Current;
  WordTrie::ChildArrays Kids(Cursor c) const { return Added.Children(c); }
  bool Step(Cursor, const WordTrie::ChildArrays& kids, std::uint32_t k, Cursor& next) const {
    next = kids.Indices[k];
    return true;
  }
  bool Final(Cursor c) const { return Added.WordNumber(c) != 0; }
  Resolved Resolve(Cursor c, std::string_view path) const {
    if (Added.WordNumber(c) == 0) return {};
    return InTrie(Current, path);
  }
  Cursor Root() const { return 0; }
};

LikelihoodRanker::Resolved LikelihoodRanker::InTrie(const WordTrie& Trie, std::string_view Word) {
  std::int32_t node = Trie.NodeCount() > 0 ? 0 : -1;
  for (std::size_t i = 0; i < Word.size() && node >= 0; ++i) {
    node = Trie.FindChild(static_cast<std::uint32_t>(node), static_cast<std::uint8_t>(Word[i]));
  }
  if (node <= 0) return {};
  const std::uint32_t w = Trie.WordNumber(static_cast<std::uint32_t>(node));
  if (w == 0) return {};
  return {w, Trie.Entry(w - 1).Frequency};
}

template <typename Graph>
bool LikelihoodRanker::TakeLetter(const Graph& G, typename Graph::Cursor Node, WalkState& S,
                                  char32_t C, bool WordEnds) {
  const std::uint32_t depth = S.Letters + 1;
  if (depth > FMaxDepth + 1) return false;
  const char32_t letter = LowerLetter(C);
  if (depth == 1) S.Capital = IsCapitalLetter(C);
  S.Least = NextRow(depth, letter, S.Letter, FRows.data());
  S.Before = S.Letter;
  S.Letter = letter;
  S.Letters = depth;
  if (S.Least > FBound && !SwapMayFollow(depth, letter)) return false;
  const int cost = FRows[depth * FStride + FTypo.size()];
  if (WordEnds && cost <= FBound) FoundAt(G, Node, S.Bytes, cost, S.Capital);
  return true;
}

inline std::uint64_t LikelihoodRanker::SwapLanes(const std::uint8_t* Before, std::uint64_t Same) const {
  // The next letter and this one for typo letters j and j + 1 cost entry j
  // of the row before this letter's, plus the swap.
  if ((Same >> 1) == 0) return 0;
  return WithinBound(Before, FTypo.size() - 1, FBound - FModel.Transpose) & (Same >> 1);
}

bool LikelihoodRanker::SwapMayFollow(std::size_t Depth, char32_t Letter) {
  return SwapLanes(FRows.data() + (Depth - 1) * FStride, CostsOf(Letter).Same) != 0;
}

template <typename Graph>
void LikelihoodRanker::FoundAt(const Graph& G, typename Graph::Cursor Node, std::uint32_t Bytes,
                               int Cost, bool Capital) {
  if (!G.Final(Node)) return;
  const std::string_view path(FPath.data() + 1, Bytes);
  const Resolved r = G.Resolve(Node, path);
  if (r.Word != 0 && FFoundAt.Emplace(r.Word, FFound.size()).second) {
    AddCandidate(r, path, Cost, 0, Capital);
  }
}

template <typename Graph>
void LikelihoodRanker::Walk(const Graph& G, typename Graph::Cursor Node, const WalkState& Parent,
                            Partial P) {
  WalkState S = Parent;
  ++S.Bytes;
  const auto byte = static_cast<std::uint8_t>(FPath[S.Bytes]);
  const bool continuation = (byte & 0xC0) == 0x80;
  char32_t letter = byte;
  if (P.Need > 0 && continuation) {
    P.Bits = P.Bits << 6 | (byte & 0x3Fu);
    letter = --P.Need == 0 ? P.Bits : 0;
  } else {
    // A letter cut short before this byte counts as one of its own (as
    // NextLetter reads it), and this byte starts the next.
    if (P.Need > 0 && !TakeLetter(G, Node, S, kRawByte + P.Lead, false)) return;
    P.Need = 0;
    if (byte >= 0xC2 && byte <= 0xF4) {
      P.Lead = byte;
      P.Need = byte <= 0xDF ? 1 : byte <= 0xEF ? 2 : 3;
      P.Bits = byte & (byte <= 0xDF ? 0x1Fu : byte <= 0xEF ? 0x0Fu : 0x07u);
    } else if (byte >= 0x80) {
      letter = kRawByte + byte;
    }
  }
  if (P.Need == 0) {
    if (!TakeLetter(G, Node, S, letter)) return;
  } else if (G.Final(Node)) {
    // Within a letter: a word that ends here ends with the letter cut short.
    WalkState end = S;
    TakeLetter(G, Node, end, kRawByte + P.Lead);
  }
  Descend(G, Node, S, P);
}

template <typename Graph>
void LikelihoodRanker::Descend(const Graph& G, typename Graph::Cursor Node, const WalkState& S,
                               const Partial& P) {
  if (S.Letters >= FMaxDepth || S.Bytes + 1 >= FPath.size()) return;
  const auto kids = G.Kids(Node);
  if (kids.Count == 0) return;
  // A child can stay within the bound only by matching a letter of the typo
  // (straight or swapped) where the row is within it, or by an edit cheap
  // enough for what is left: most children fail all three and are not
  // visited. A child that completes a letter is tested as that letter; a
  // child that starts a letter of several bytes cannot be yet.
  const int slack = FBound - S.Least;
  // Bit j: typo letter j may still be matched, straight (row[j] within the
  // bound) or swapped with the next (the row above within it less a swap).
  const std::size_t n = FTypo.size();
  const std::uint8_t* row = FRows.data() + S.Letters * FStride;
  const std::uint64_t straight = WithinBound(row, n, FBound);
  // The typo positions holding this node's letter.
  const std::uint64_t same_as_last = S.Letters > 0 ? CostsOf(S.Letter).Same : 0;
  // A swap needs the typo's next letter to be this node's.
  const std::uint64_t swapped = SwapLanes(row - FStride, same_as_last);
  const std::uint64_t usable = straight | swapped;
  auto enter = [&](std::uint32_t k) WORDLOOM_INLINE {
    typename Graph::Cursor next;
    if (!G.Step(Node, kids, k, next)) return;
    FPath[S.Bytes + 1] = static_cast<char>(kids.Letters[k]);
    Walk(G, next, S, P);
  };
  // With less slack than any edit costs, only a letter of the typo where
  // the row allows it can follow. When those are all ASCII, a child is
  // picked by its byte alone (either case), and no other can stay within
  // the bound; one that matches straight, cannot be half of a swap and
  // leaves only ASCII letters of the typo to match goes on by matches
  // alone (WalkExact), without rows. The letters below are judged child by
  // child there, so the node's own test (below) is not needed first.
  if (FShortcuts && slack < FCheapestEdit && P.Need == 0 && !FTypoSharpS &&
      (usable & ~FAsciiPositions) == 0) {
    for (std::uint32_t k = 0; k < kids.Count; ++k) {
      const std::uint8_t b = kids.Letters[k];
      if (b >= 0x80) continue;
      const std::uint64_t same = FSameAscii[b];
      if ((same & usable) == 0) continue;
      const std::uint64_t lanes = same & straight;
      if ((same & swapped) != 0 || ((lanes << 1) & ~FAsciiTails) != 0) {
        enter(k);
        continue;
      }
      typename Graph::Cursor next;
      if (!G.Step(Node, kids, k, next)) continue;
      const std::uint64_t kept = LanesWithLettersBelow(lanes, 1, G.LettersBelow(next));
      if (kept == 0) continue;
      FPath[S.Bytes + 1] = static_cast<char>(b);
      WalkExact(G, next, S.Bytes + 1, S.Letters + 1, S.Capital, kept, 1, row);
    }
    return;
  }
  // Whether a child can lead to a word within the bound, from the letters
  // of the child and below it (where the graph knows them): each letter of
  // the typo from a lane on that none of them is costs at least what typing
  // it for another letter or one time too many costs, so a child where every
  // lane's cost with those added passes the bound holds no word to find.
  // (Not where ß may stand for ss, nor once the typo is all matched.)
  const bool prunable =
      Graph::kKnowsLettersBelow && FVectorRows && P.Need == 0 && !FTypoSharpS && row[n] > FBound;
#if WORDLOOM_VECTOR_ROWS
  __m128i hold_base = _mm_setzero_si128(), absent_costs = _mm_setzero_si128();
  if (prunable) {
    // Lane j: the least cost of the path standing for typo letters 0 .. j - 1,
    // as the row has it or by a swap of this node's letter with the next.
    hold_base = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
    if (swapped != 0) hold_base = _mm_min_epu8(hold_base, BySwap(row - FStride, swapped, FModel.Transpose));
    // Lane k: what typo letter k costs when no word below has it.
    absent_costs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(FAbsentCost));
    if (same_as_last != 0) {
      const __m128i same = ExpandBits(static_cast<std::uint32_t>(same_as_last));
      const __m128i doubled = _mm_loadu_si128(reinterpret_cast<const __m128i*>(FAbsentCostAfterSame));
      absent_costs = _mm_or_si128(_mm_and_si128(same, doubled), _mm_andnot_si128(same, absent_costs));
    }
  }
#endif
  auto may_hold = [&](std::uint32_t below) WORDLOOM_INLINE {
    const std::uint32_t missing = FTypoLetterBits & ~below;
    // A letter beyond ASCII below may stand for any with an accent.
    if (!prunable || missing == 0 || (below & CompactForm::kBeyondAsciiBit) != 0) return true;
#if WORDLOOM_VECTOR_ROWS
    // The costs of the typo letters none below has, summed from each lane on.
    __m128i suffix = _mm_and_si128(absent_costs, LanesOutside(FLaneLetterBits, below));
    suffix = _mm_adds_epu8(suffix, _mm_srli_si128(suffix, 1));
    suffix = _mm_adds_epu8(suffix, _mm_srli_si128(suffix, 2));
    suffix = _mm_adds_epu8(suffix, _mm_srli_si128(suffix, 4));
    suffix = _mm_adds_epu8(suffix, _mm_srli_si128(suffix, 8));
    return LanesWithin(_mm_adds_epu8(hold_base, suffix), BoundLanes(FBoundLanes)) != 0;
#else
    return true;
#endif
  };
  if (!may_hold(G.LettersBelow(Node))) return;
  // Bit j: a child that is typo letter j may be the first of two letters
  // swapped, the next being typo letter j - 1, from entry j - 1 of the row:
  // its own row may pass the bound and the next come back within it.
  const std::uint64_t swap_starts = WithinBound(row, n - 1, FBound - FModel.Transpose) << 1;
  // The typo positions a child may match, straight, as half of a swap or
  // as the first of one (a letter that costs nothing there counts as the
  // same letter, which enters a few children more than needed).
  const std::uint64_t matchable = usable | swap_starts;
  auto may_enter = [&](char32_t c) WORDLOOM_INLINE {
    const char32_t letter = LowerLetter(c);
    const LetterCosts& costs = CostsOf(letter);
    if ((costs.Positions & matchable) != 0) return true;
    // The second s of ss for a typed ß counts from the row before the first.
    if (FTypoSharpS && letter == U's' && S.Letter == U's') return true;
    int cheapest = costs.Cheapest;
    if (letter == S.Letter) cheapest = std::min(cheapest, FModel.DoubleDelete);
    return cheapest <= slack && EditStaysWithin(row, S.Letters + 1, letter, S.Letter, costs);
  };
  // With room for the dearest way to leave out a child's letter, every
  // child stays within the bound that way.
  const bool any_letter = slack >= FDearestDeletion[S.Letters == 0 ? 0 : 1];
  for (std::uint32_t k = 0; k < kids.Count; ++k) {
    const std::uint8_t b = kids.Letters[k];
    if (P.Need == 0 && b < 0x80) {
      if (!any_letter && !may_enter(b)) continue;
      if (!may_hold(G.LettersBelow(kids, k))) continue;
    } else if (P.Need == 1 && (b & 0xC0) == 0x80) {
      if (!may_enter(P.Bits << 6 | (b & 0x3Fu))) continue;
    }
    enter(k);
  }
}

std::uint32_t LikelihoodRanker::PositionsOutside(std::uint32_t Below) const {
#if WORDLOOM_VECTOR_ROWS
  const auto outside = static_cast<std::uint32_t>(_mm_movemask_epi8(LanesOutside(FLaneLetterBits, Below)));
#else
  std::uint32_t outside = 0;
  for (std::size_t k = 0; k < kLanes; ++k) outside |= std::uint32_t{(FLaneLetterBits[k] & Below) == 0} << k;
#endif
  return outside & ((std::uint32_t{1} << std::min(FTypo.size(), kLanes)) - 1);
}

std::uint64_t LikelihoodRanker::LanesWithLettersBelow(std::uint64_t Lanes, std::uint32_t Matched,
                                                      std::uint32_t Below) const {
  const std::uint32_t missing = FTypoLetterBits & ~Below;
  if (missing == 0) return Lanes;
  const std::uint32_t absent = PositionsOutside(Below);
  // Lane j has typo letters j + Matched on still to match: none may be absent.
  const int first_kept = std::bit_width(absent) - static_cast<int>(Matched);
  return first_kept <= 0 ? Lanes : Lanes & ~((std::uint64_t{1} << first_kept) - 1);
}

template <typename Graph>
void LikelihoodRanker::WalkExact(const Graph& G, typename Graph::Cursor Node, std::uint32_t Bytes,
                                 std::uint32_t Letters, bool Capital, std::uint64_t Lanes,
                                 std::uint32_t Step, const std::uint8_t* Row) {
  const std::size_t n = FTypo.size();
  // A lane that has matched to the typo's end: a word here costs what that
  // lane did when the matching began.
  if (Step <= n && (Lanes >> (n - Step) & 1) != 0) FoundAt(G, Node, Bytes, Row[n - Step], Capital);
  // The lanes with typo letters still ahead.
  if (Step >= n) return;
  Lanes &= (std::uint64_t{1} << (n - Step)) - 1;
  if (Lanes == 0 || Letters >= FMaxDepth || Bytes + 1 >= FPath.size()) return;
  const auto kids = G.Kids(Node);
  for (std::uint32_t k = 0; k < kids.Count; ++k) {
    const std::uint8_t b = kids.Letters[k];
    if (b >= 0x80) continue;
    std::uint64_t next_lanes = Lanes & (FSameAscii[b] >> Step);
    if (next_lanes == 0) continue;
    typename Graph::Cursor next;
    if (!G.Step(Node, kids, k, next)) continue;
    next_lanes = LanesWithLettersBelow(next_lanes, Step + 1, G.LettersBelow(next));
    if (next_lanes == 0) continue;
    FPath[Bytes + 1] = static_cast<char>(b);
    WalkExact(G, next, Bytes + 1, Letters + 1, Capital, next_lanes, Step + 1, Row);
  }
}

int LikelihoodRanker::EditCost(std::string_view Word, int Cap) {
  // The walk's rows for one word; Cap once every entry of a row reaches it.
  // The rows of the letters it shares with the last word stand: row i
  // depends only on the first i letters.
  const std::size_t n = FTypo.size();
  // The word has at most as many letters as bytes, and the buffers room
  // past them for SharedLetters; they only grow.
  if (FNextLetters.size() < Word.size() + kLetterSlack) FNextLetters.resize(Word.size() + kLetterSlack);
  char32_t* const letters = FNextLetters.data();
  std::size_t m = 0;
  for (std::size_t i = 0; i < Word.size();) {
    // An ASCII byte is a letter of its own, with no decoding.
    const auto byte = static_cast<std::uint8_t>(Word[i]);
    letters[m++] = LowerLetter(byte < 0x80 ? Word[i++] : NextLetter(Word, i));
  }
  const std::size_t shared = SharedLetters(letters, FWordLetters.data(), std::min(FTableRows, m));
  FWordLetters.swap(FNextLetters);
  if (FTable.size() < (m + 1) * FStride) FTable.resize((m + 1) * FStride);
  if (FTableLeast.size() < m + 1) FTableLeast.resize(m + 1);
  if (FTableRows == 0) FirstRow(FTable.data());
  // Rows of the last word before the last one worked out did not reach
  // Cap; that one may have.
  if (FCappedRow != 0 && shared >= FCappedRow) return Cap;
  FTableRows = shared;
  FCappedRow = 0;
  // Row i and those after it reach Cap when row i does and a swap from the
  // row before cannot bring the next one below it (row 0 starts at 0).
  for (std::size_t i = shared + 1; i <= m; ++i) {
    const char32_t letter = FWordLetters[i - 1];
    FTableLeast[i] = NextRow(i, letter, i >= 2 ? FWordLetters[i - 2] : 0, FTable.data());
    FTableRows = i;
    if (FTableLeast[i] >= Cap && (i >= 2 ? FTableLeast[i - 1] : 0) + FModel.Transpose >= Cap) {
      FCappedRow = i;
      return Cap;
    }
  }
  return std::min<int>(FTable[m * FStride + n], Cap);
}

std::size_t LikelihoodRanker::SharedLetters(const char32_t* A, const char32_t* B, std::size_t Count) {
  std::size_t shared = 0;
#if WORDLOOM_VECTOR_ROWS
  // Four letters at a time: the first that differ end it.
  for (; shared < Count; shared += 4) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(A + shared));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(B + shared));
    const auto same = static_cast<std::uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(a, b))));
    if (same != 0xF) return std::min(Count, shared + static_cast<std::size_t>(std::countr_one(same)));
  }
  return Count;
#else
  while (shared < Count && A[shared] == B[shared]) ++shared;
  return shared;
#endif
}

void LikelihoodRanker::BuildSoundIndex(const WordTrie& Trie) {
  FSoundIndex = SoundIndexBuilder();
  const std::uint32_t words = Trie.WordCount();
  for (std::uint32_t w = 1; w <= words; ++w) {
    FSoundIndex.Add(WordAt(Trie, static_cast<std::uint32_t>(Trie.Entry(w - 1).Node)), w);
  }
  FSoundIndex.Finish();
  FIndexRevision = Trie.Revision();
}

template <typename ResolveEntry>
void LikelihoodRanker::AddSoundAlikes(const SoundIndexView& Index, ResolveEntry&& Resolve) {
  const std::string key = SoundAlikeKey(FTypoBytes);
  if (key.size() < 2) return;
  const std::uint8_t first = static_cast<std::uint8_t>(FTypoBytes[0]);
  const std::size_t n = FTypoBytes.size();
  // A word whose key is one sound off must start as the typo does and be of
  // about its length; one that sounds the same, only the latter.
  FSoundHits.clear();
  const double better = std::max(FModel.SoundBonus, FModel.NearSoundBonus);
  const double lesser = std::min(FModel.SoundBonus, FModel.NearSoundBonus);
  auto visit = [&](std::uint64_t h, double bonus) {
    const bool near = bonus != FModel.SoundBonus;
    const std::uint64_t worse = bonus == better ? 0 : 1;
    const std::size_t shortest = n > kSoundLengthSlack ? n - kSoundLengthSlack : 0;
    const std::size_t longest = n + kSoundLengthSlack;
    auto take = [&](const SoundEntry& e) { FSoundHits.push_back(std::uint64_t{e.Word} << 1 | worse); };
    if (near) {
      Index.ForEachMatch(h, first, shortest, longest, take);
    } else {
      Index.ForEachMatch(h, [&](const SoundEntry& e) {
        if (e.Length >= shortest && e.Length <= longest) take(e);
      });
    }
  };
  visit(SoundHash('E', key), FModel.SoundBonus);
  // Keys of a few sounds are one sound away from too many words to help.
  if (key.size() >= kNearSoundKey) {
    ForEachSoundVariant(key, [&](char kind, std::string_view variant) {
      if (kind == 'E') {
        visit(SoundHash('D', variant), FModel.NearSoundBonus);
      } else {
        visit(SoundHash('E', variant), FModel.NearSoundBonus);
        visit(SoundHash('D', variant), FModel.NearSoundBonus);
      }
    });
  }
  // Each entry once with its best bonus, in the order of the index's
  // numbers: in a compact form, ranks in order spell words in order, so
  // neighbours share their first letters, whose walk and rows are then
  // worked out once.
  SortByDigits(FSoundHits, FSortScratch);
  std::string_view word;
  for (std::size_t i = 0; i < FSoundHits.size(); ++i) {
    const auto id = static_cast<std::uint32_t>(FSoundHits[i] >> 1);
    if (i > 0 && FSoundHits[i - 1] >> 1 == id) continue;
    const double bonus = (FSoundHits[i] & 1) != 0 ? lesser : better;
    const Resolved r = Resolve(id, word);
    if (r.Word == 0) continue;
    auto [at, inserted] = FFoundAt.Emplace(r.Word, FFound.size());
    if (inserted) {
      // Exact as far as the walk goes, so that it counts as the walk's
      // cost would (SearchAll caps it afterwards where the walk does not).
      const int cost = EditCost(word, std::max(static_cast<int>(FModel.SoundEditCap), FModel.WideBound + 1));
      AddCandidate(r, word, cost, bonus, StartsCapital(word));
    } else {
      FFound[at].Bonus = std::max(FFound[at].Bonus, bonus);
    }
  }
}

template <typename Graph>
void LikelihoodRanker::Search(const Graph& G, int Bound) {
  const std::size_t n = FTypo.size();
  FBound = Bound;
  std::fill(std::begin(FBoundLanes), std::end(FBoundLanes), Saturated(Bound));
  // Each letter a word has beyond the typo's costs at least the cheapest
  // way to leave one out, or, for a typo with ß, an accent (ss for ß).
  int cheapest_extra = std::min({FModel.Delete, FModel.DoubleDelete, FModel.ApostropheDelete});
  if (FTypoSharpS) cheapest_extra = std::min(cheapest_extra, FModel.AccentSubstitute);
  FMaxDepth = n + static_cast<std::size_t>(FBound / std::max(1, cheapest_extra));
  // A row per letter, and one more for a letter cut short before the last;
  // a letter takes at most 4 bytes, and 3 more may be pending.
  FRows.resize((FMaxDepth + 2) * FStride);
  FPath.assign(4 * (FMaxDepth + 2), '\0');
  FirstRow(FRows.data());
  const auto root = G.Root();
  if (G.Resolve(root, std::string_view()).Word != 0) return;
  Descend(G, root, WalkState{0, 0, 0, 0, 0, false}, Partial{});
}

template <typename F>
void LikelihoodRanker::SearchAll(F&& SearchWith) {
  const int bound = FTypo.size() <= 4 ? FModel.ShortBound : FModel.Bound;
  const bool wider = FModel.WideBound > bound;
  // The candidates so far are sound-alike words; the walk adds the others.
  const std::size_t walked_from = FFound.size();
  // The words within the bound: the walk finds them all, and any of them
  // already a candidate as a sound-alike word.
  auto few_within = [&] {
    const auto within = static_cast<std::size_t>(std::count_if(
        FFound.begin(), FFound.end(), [&](const Candidate& c) { return c.Cost <= bound; }));
    return within < static_cast<std::size_t>(FModel.FewCandidates);
  };
  int walked = bound;
  if (wider && LikelyFewWithin(bound, walked_from)) {
    // One walk with the wide bound, whose words beyond the narrow one go
    // again where the narrow walk would have found enough.
    SearchWith(FModel.WideBound);
    if (few_within()) {
      walked = FModel.WideBound;
    } else {
      DropWalkedBeyond(walked_from, bound);
    }
  } else {
    SearchWith(bound);
    if (few_within()) {
      SearchWith(FModel.WideBound);
      walked = FModel.WideBound;
    }
  }
  // A sound-alike word beyond the walks costs at most the model's cap
  // (AddSoundAlikes works costs out past a cap below the wide bound).
  const int cap = static_cast<int>(FModel.SoundEditCap);
  if (cap < FModel.WideBound) {
    for (std::size_t i = 0; i < walked_from; ++i) {
      if (FFound[i].Cost > walked) FFound[i].Cost = std::min(FFound[i].Cost, cap);
    }
  }
}

bool LikelihoodRanker::LikelyFewWithin(int Bound, std::size_t SoundAlikes) const {
  // Long typos none of whose sound-alike words is within the bound: in the
  // misspellings of ../shared/data, the walk within the bound finds nothing
  // for most of them, and then walks again with the wide bound. Shorter
  // typos, and those without sound-alike words to tell, are walked as usual.
  if (!FShortcuts || SoundAlikes == 0 || FTypo.size() < kLongTypo) return false;
  return std::none_of(FFound.begin(), FFound.begin() + static_cast<std::ptrdiff_t>(SoundAlikes),
                      [&](const Candidate& c) { return c.Cost <= Bound; });
}

void LikelihoodRanker::DropWalkedBeyond(std::size_t From, int Bound) {
  FFound.erase(std::remove_if(FFound.begin() + static_cast<std::ptrdiff_t>(From), FFound.end(),
                              [&](const Candidate& c) { return c.Cost > Bound; }),
               FFound.end());
  FFoundAt.Clear();
  for (std::size_t i = 0; i < FFound.size(); ++i) FFoundAt.Emplace(FFound[i].Word, i);
}

bool LikelihoodRanker::Start(std::string_view Typo) {
  if (Typo.empty() || Typo.size() > 4 * kMaxWordLength) return false;
  StartTypo(Typo);
  if (FTypo.size() > kMaxWordLength) return false;
  FFound.clear();
  FFoundAt.Clear();
  FTexts.clear();
  return true;
}

void LikelihoodRanker::StartTypo(std::string_view Typo) {
  FTypoBytes.assign(Typo);
  for (char& c : FTypoBytes) c = static_cast<char>(Lower(static_cast<std::uint8_t>(c)));
  FTypo.clear();
  for (std::size_t i = 0; i < Typo.size();) FTypo.push_back(LowerLetter(NextLetter(Typo, i)));
  const std::size_t n = FTypo.size();
  FTypoTraits.clear();
  for (char32_t c : FTypo) FTypoTraits.push_back(TraitsFor(c));
  FTypoSharpS = FTypo.find(U'ß') != std::u32string::npos;
  FInsertion.assign(n + 1, 0);
  for (std::size_t j = 1; j <= n; ++j) FInsertion[j] = Insertion(j);
  FVectorRows = WORDLOOM_VECTOR_ROWS && FShortcuts && n + 1 <= kLanes;
  FTableRows = 0;
  FCappedRow = 0;
  // The typo's ASCII letters by byte, in either case (for a typo short
  // enough to be ranked: bit masks take 64 letters).
  FSameAscii.fill(0);
  FAsciiPositions = 0;
  FAsciiTails = 0;
  if (n <= kMaxWordLength) {
    for (std::size_t j = 0; j < n; ++j) {
      const char32_t c = FTypo[j];
      if (c >= 0x80) continue;
      FAsciiPositions |= std::uint64_t{1} << j;
      FSameAscii[c] |= std::uint64_t{1} << j;
      if (c >= 'a' && c <= 'z') FSameAscii[c - 32] |= std::uint64_t{1} << j;
    }
    FAsciiTails = std::uint64_t{1} << n;
    for (std::size_t j = n; j-- > 0 && (FAsciiPositions >> j & 1) != 0;) FAsciiTails |= std::uint64_t{1} << j;
  }
  FTypoLetterBits = 0;
  std::fill(std::begin(FLaneLetterBits), std::end(FLaneLetterBits), ~0u);
  std::fill(std::begin(FAbsentCost), std::end(FAbsentCost), 0);
  std::fill(std::begin(FAbsentCostAfterSame), std::end(FAbsentCostAfterSame), 0);
  for (std::size_t k = 0; k < n && n <= kLanes; ++k) {
    const char32_t c = FTypo[k];
    const std::uint32_t bit =
        c >= 0x80 ? CompactForm::kBeyondAsciiBit : CompactForm::LetterBit(static_cast<std::uint8_t>(c));
    FTypoLetterBits |= bit;
    FLaneLetterBits[k] = bit;
    // Typed for another letter (for a vowel only if a vowel itself, with an
    // accent only where it has one), or typed one time too many; after the
    // same letter, typed twice.
    const int accent = c >= 0x80 ? FModel.AccentSubstitute : kCostCeiling;
    const int vowel = FTypoTraits[k].Vowel ? FModel.VowelSubstitute : kCostCeiling;
    FAbsentCost[k] = Saturated(std::min({vowel, FModel.NeighbourSubstitute, FModel.Substitute,
                                         FInsertion[k + 1], accent}));
    FAbsentCostAfterSame[k] = std::min(FAbsentCost[k], Saturated(FModel.DoubledInsert));
  }
  FStride = FVectorRows ? kLanes : n + 1;
  // For MakeAsciiCosts: the typo's letters and their costs as letters
  // typed too many, lane j + 1 for letter j (none elsewhere).
  FAsciiLanes = FVectorRows && FAsciiPositions == (std::uint64_t{1} << n) - 1;
  std::fill(std::begin(FTypoLanes), std::end(FTypoLanes), 0xFF);
  std::fill(std::begin(FInsertionLanes), std::end(FInsertionLanes), 0xFF);
  for (std::size_t j = 0; FAsciiLanes && j < n; ++j) {
    FTypoLanes[j + 1] = static_cast<std::uint8_t>(FTypo[j]);
    FInsertionLanes[j + 1] = Saturated(FInsertion[j + 1]);
  }
  for (std::size_t j = 0; j < kLanes; ++j) FPastTypo[j] = j <= n ? 0 : 255;
  // The letter costs of the last typo go.
  if (FDirectCosts.empty()) FDirectCosts.resize(kDirectLetters + 256);
  for (std::uint32_t slot : FLetterSlots) FDirectCosts[slot] = LetterCosts();
  FLetterSlots.clear();
  FOtherCosts.clear();
  FLetterCosts.clear();
}

bool LikelihoodRanker::SoundAlikesApply() const {
  return FLanguage->SoundAlike && SoundAlikeKey(FTypoBytes).size() >= 2;
}

namespace {

// A key whose ascending order is Value's descending order, for a finite
// Value (0 and -0 alike).
std::uint64_t DescendingKey(double Value) {
  const auto bits = std::bit_cast<std::uint64_t>(Value == 0 ? 0.0 : Value);
  const std::uint64_t ascending = (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
  return ~ascending;
}

// ln(1 + Frequency), from a table for the small frequencies most words have.
double LogFrequency(std::uint32_t Frequency) {
  constexpr std::uint32_t kTabled = 4096;
  static const std::vector<double> kTable = [] {
    std::vector<double> table(kTabled);
    for (std::uint32_t f = 0; f < kTabled; ++f) table[f] = std::log1p(static_cast<double>(f));
    return table;
  }();
  return Frequency < kTabled ? kTable[Frequency] : std::log1p(static_cast<double>(Frequency));
}

}  // namespace

double LikelihoodRanker::Score(int Cost, double Bonus, bool Capital, bool Capitalised,
                               std::uint32_t Frequency) const {
  const int cost = Cost + (Capital && !Capitalised ? FModel.CaseChange : 0);
  double score = Bonus + FModel.FrequencyWeight * LogFrequency(Frequency) - FModel.EditWeight * cost;
  if (Cost == 0) score += 1000;  // the word in another case
  return score;
}

LikelihoodRanker::Scored LikelihoodRanker::ScoreCorrection(std::string_view Typo,
                                                           std::string_view Word,
                                                           std::uint32_t Frequency) {
  Scored out;
  if (Typo.empty() || Word.empty() || Typo.size() > 4 * kMaxWordLength) return out;
  StartTypo(Typo);
  const std::size_t n = FTypo.size();
  if (n > kMaxWordLength) return out;
  out.Cost = EditCost(Word, static_cast<int>(FModel.SoundEditCap));
  // The sound bonus AddSoundAlikes gives: the same key, or (for keys long
  // enough, words starting alike) keys one sound apart.
  double bonus = 0;
  const std::string typo_key = FLanguage->SoundAlike ? SoundAlikeKey(FTypoBytes) : std::string();
  const std::string word_key = FLanguage->SoundAlike ? SoundAlikeKey(Word) : std::string();
  if (typo_key.size() >= 2 && typo_key == word_key) {
    bonus = FModel.SoundBonus;
  } else if (typo_key.size() >= kNearSoundKey &&
             Lower(static_cast<std::uint8_t>(Word[0])) == static_cast<std::uint8_t>(FTypoBytes[0])) {
    std::unordered_set<std::string> typo_forms;
    ForEachSoundVariant(typo_key, [&](char kind, std::string_view v) {
      typo_forms.insert(std::string(1, kind) + std::string(v));
    });
    ForEachSoundVariant(word_key, [&](char kind, std::string_view v) {
      // E: the word's own key against the typo's shorter forms; D: a shorter
      // form of the word's key against the typo's key and its shorter forms.
      const std::string as_d = "D" + std::string(v);
      if ((kind == 'E' && typo_forms.count(as_d) != 0) ||
          (kind == 'D' && (typo_forms.count("E" + std::string(v)) != 0 || typo_forms.count(as_d) != 0))) {
        bonus = FModel.NearSoundBonus;
      }
    });
  }
  out.Score = Score(out.Cost, bonus, StartsCapital(Word), StartsWithCapital(Typo), Frequency);
  return out;
}

void LikelihoodRanker::Rank(const WordTrie& Trie, std::string_view Typo, std::size_t Limit,
                            std::vector<std::string>& Out) {
  if (Trie.NodeCount() == 0 || !Start(Typo)) return;
  // Candidates: the sound-alike words, then the walk (SearchAll).
  if (SoundAlikesApply()) {
    if (FSoundIndex.Size() == 0 || FIndexRevision != Trie.Revision()) BuildSoundIndex(Trie);
    std::string text;
    AddSoundAlikes(FSoundIndex.View(), [&](std::uint32_t w, std::string_view& word) -> Resolved {
      const auto node = static_cast<std::uint32_t>(Trie.Entry(w - 1).Node);
      text = WordAt(Trie, node);
      word = text;
      return {w, Trie.Entry(w - 1).Frequency};
    });
  }
  const TrieGraph graph{{}, Trie};
  SearchAll([&](int bound) { Search(graph, bound); });
  Finish(Typo, InTrie(Trie, Typo).Word, Limit, Out);
}

void LikelihoodRanker::Rank(const CompactView& View, std::string_view Typo, std::size_t Limit,
                            std::vector<std::string>& Out) {
  const CompactForm& form = *View.Form;
  if (!Start(Typo)) return;
  CompactForm::Speller speller(form);
  std::string spelled;
  auto from_form = [&](std::uint32_t rank, std::string_view& word) -> Resolved {
    if (form.HasTexts()) {
      word = form.TextAt(rank, FTextBuffer);
    } else {
      speller.Spell(rank, spelled);
      word = spelled;
    }
    if (word.empty()) return {};
    if (View.Current != nullptr) return InTrie(*View.Current, word);
    return {form.NumberAt(rank), form.FrequencyAt(rank)};
  };
  const bool sound = SoundAlikesApply();
  if (sound) AddSoundAlikes(form.SoundIndex(), from_form);
  if (sound && View.Added != nullptr && View.Current != nullptr && View.AddedWords != nullptr) {
    AddSoundAlikes(View.AddedSound, [&](std::uint32_t id, std::string_view& word) -> Resolved {
      if (id == 0 || id > View.AddedWords->size()) return {};
      word = (*View.AddedWords)[id - 1];
      return InTrie(*View.Current, word);
    });
  }
  const FormGraph graph{form, View.Current};
  SearchAll([&](int bound) {
    Search(graph, bound);
    if (View.Added != nullptr && View.Current != nullptr && View.Added->NodeCount() > 0) {
      Search(AddedGraph{{}, *View.Added, *View.Current}, bound);
    }
  });
  std::uint32_t itself = 0;
  if (View.Current != nullptr) {
    itself = InTrie(*View.Current, Typo).Word;
  } else if (const std::int64_t rank = form.Find(Typo); rank >= 0) {
    itself = form.NumberAt(static_cast<std::uint32_t>(rank));
  }
  Finish(Typo, itself, Limit, Out);
}

void LikelihoodRanker::AddCandidate(const Resolved& r, std::string_view Text, int Cost,
                                    double Bonus, bool Capital) {
  FFound.push_back({r.Word, Cost, Bonus, Capital, r.Frequency,
                    static_cast<std::uint32_t>(FTexts.size()), static_cast<std::uint32_t>(Text.size())});
  FTexts.append(Text);
}

void LikelihoodRanker::Finish(std::string_view Typo, std::uint32_t ItselfWord, std::size_t Limit,
                              std::vector<std::string>& Out) {
  // Scores. A capital the writer did not type makes a word a little less
  // likely: "mark" before "Mark". The candidates are sorted by way of their
  // scores and numbers alone, which move faster than whole candidates.
  const bool capitalised = StartsWithCapital(Typo);
  FOrder.clear();
  for (std::size_t i = 0; i < FFound.size(); ++i) {
    const Candidate& c = FFound[i];
    double score = Score(c.Cost, c.Bonus, c.Capital, capitalised, c.Frequency);
    if (c.Word == ItselfWord) score += 2000;  // the typo itself, as written: first of all
    FOrder.push_back({DescendingKey(score), c.Word, static_cast<std::uint32_t>(i)});
  }
  // The best, with room for forms that fold to one already taken.
  auto better = [](const Ranked& a, const Ranked& b) {
    return (a.Key < b.Key) | ((a.Key == b.Key) & (a.Word < b.Word));
  };
  std::size_t wanted = FOrder.size();
  if (Limit != 0 && Limit * 2 < wanted) {
    wanted = Limit * 2;
    std::nth_element(FOrder.begin(), FOrder.begin() + static_cast<std::ptrdiff_t>(wanted),
                     FOrder.end(), better);
    FOrder.resize(wanted);
  }
  std::sort(FOrder.begin(), FOrder.end(), better);

  // The writer's case, each word once (case ignored): the words written
  // so far by the hash of their lower case, in a table of twice as many
  // slots as there can be words (slot: 1 + the word's place in Out).
  const bool as_typed = !capitalised && !IsAllCapitals(Typo);  // the words as the dictionary has them
  const std::size_t first = Out.size();
  const std::size_t most = Limit != 0 ? std::min(Limit, FFound.size()) : FFound.size();
  FSeen.assign(std::bit_ceil(2 * most + 2), {0, 0});
  const std::size_t mask = FSeen.size() - 1;
  Out.reserve(first + most);
  for (const Ranked& r : FOrder) {
    if (Out.size() - first >= most) break;
    const Candidate& c = FFound[r.At];
    // The typo itself as written; the others in the writer's case.
    const std::string_view text(FTexts.data() + c.TextAt, c.TextSize);
    std::string word(text);
    if (c.Word != ItselfWord && !as_typed) word = InWritersCase(std::move(word), Typo);
    const std::uint64_t hash = LowerCaseHash(word);
    std::size_t slot = hash & mask;
    bool taken = false;
    for (; FSeen[slot].second != 0 && !taken; slot = (slot + 1) & mask) {
      taken = FSeen[slot].first == hash && LowerCase(Out[first + FSeen[slot].second - 1]) == LowerCase(word);
    }
    if (taken) continue;
    Out.push_back(std::move(word));
    FSeen[slot] = {hash, static_cast<std::uint32_t>(Out.size() - first)};
  }
}

}  // namespace wordloom::detail
