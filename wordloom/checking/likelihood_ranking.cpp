#include "checking/likelihood_ranking.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <unordered_set>

#include "checking/sound_alike.h"
#include "dictionary/word_trie.h"
#include "wordloom/checking/spelling_rules.h"

namespace wordloom::detail {

namespace {

bool IsUpper(std::uint8_t c) { return IsAsciiCapital(static_cast<char>(c)); }
std::uint8_t Lower(std::uint8_t c) { return IsUpper(c) ? c + 32 : c; }
bool IsVowel(std::uint8_t c) {
  return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || c == 'y';
}

// Which letters lie next to each other on a QWERTY keyboard.
class Keyboard {
 public:
  Keyboard() {
    static constexpr std::array<const char*, 3> kRows = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
    auto pos = [](char c, int& row, int& col) {
      for (int r = 0; r < 3; ++r) {
        for (int k = 0; kRows[r][k] != '\0'; ++k) {
          if (kRows[r][k] == c) {
            row = r;
            col = k;
            return;
          }
        }
      }
    };
    for (char a = 'a'; a <= 'z'; ++a) {
      for (char b = 'a'; b <= 'z'; ++b) {
        int ra = 0, ca = 0, rb = 0, cb = 0;
        pos(a, ra, ca);
        pos(b, rb, cb);
        // Rows are offset by about half a key: a key touches two of the row below.
        const bool same_row = ra == rb && std::abs(ca - cb) == 1;
        const bool below = rb == ra + 1 && (cb == ca || cb == ca - 1);
        const bool above = ra == rb + 1 && (ca == cb || ca == cb - 1);
        FNear[static_cast<std::size_t>((a - 'a') * 26 + (b - 'a'))] = same_row || below || above;
      }
    }
  }
  bool Near(std::uint8_t a, std::uint8_t b) const {
    if (a < 'a' || a > 'z' || b < 'a' || b > 'z') return false;
    return FNear[static_cast<std::size_t>((a - 'a') * 26 + (b - 'a'))];
  }

 private:
  std::array<bool, 26 * 26> FNear{};
};

const Keyboard& Keys() {
  static const Keyboard keyboard;
  return keyboard;
}

// The fewest sounds a key needs before keys one sound off count as alike.
constexpr std::size_t kNearSoundKey = 4;
// The most bits of a hash that choose its bucket in the sound-alike index.
constexpr int kMaxBucketBits = 16;
// How much longer or shorter than the typo a sound-alike word may be.
constexpr std::size_t kSoundLengthSlack = 3;

// FNV-1a over the kind and then the key: the kind is a byte of its own, so
// that it cannot cancel against the key's first byte.
std::uint64_t Hash(char Kind, std::string_view Key) {
  constexpr std::uint64_t kPrime = 1099511628211ull;
  std::uint64_t h = (1469598103934665603ull ^ static_cast<std::uint8_t>(Kind)) * kPrime;
  for (char c : Key) h = (h ^ static_cast<std::uint8_t>(c)) * kPrime;
  return h;
}

// Calls F with Key and with each form of Key that has one sound left out.
template <typename F>
void ForEachVariant(const std::string& Key, F&& f) {
  f('E', std::string_view(Key));
  std::string shorter;
  for (std::size_t i = 0; i < Key.size(); ++i) {
    if (i > 0 && Key[i] == Key[i - 1]) continue;  // the same variant again
    shorter.assign(Key, 0, i);
    shorter.append(Key, i + 1);
    f('D', std::string_view(shorter));
  }
}

}  // namespace

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

void LikelihoodRanker::SetModel(const TypoModel& Model) {
  FModel = Model;
  // The default model's costs, made once for every ranker that uses them.
  static const TypoModel kDefault;
  static const std::shared_ptr<const LetterCosts> kDefaultCosts = MakeLetterCosts(kDefault);
  const bool default_costs = Model.Substitute == kDefault.Substitute &&
                             Model.VowelSubstitute == kDefault.VowelSubstitute &&
                             Model.NeighbourSubstitute == kDefault.NeighbourSubstitute &&
                             Model.Delete == kDefault.Delete &&
                             Model.ApostropheDelete == kDefault.ApostropheDelete;
  FCosts = default_costs ? kDefaultCosts : MakeLetterCosts(Model);
}

std::shared_ptr<const LikelihoodRanker::LetterCosts> LikelihoodRanker::MakeLetterCosts(
    const TypoModel& Model) {
  auto costs = std::make_shared<LetterCosts>();
  std::vector<std::uint8_t>& substitution = costs->Substitution;
  substitution.assign(256 * 256, 0);
  for (unsigned a = 0; a < 256; ++a) {
    for (unsigned b = 0; b < 256; ++b) {
      const auto x = static_cast<std::uint8_t>(a);
      const auto y = static_cast<std::uint8_t>(b);
      int cost = Model.Substitute;
      if (x == y) {
        cost = 0;
      } else if (IsVowel(x) && IsVowel(y)) {
        cost = Model.VowelSubstitute;
      } else if (Keys().Near(x, y)) {
        cost = Model.NeighbourSubstitute;
      }
      substitution[a * 256 + b] = static_cast<std::uint8_t>(std::clamp(cost, 0, 255));
    }
  }
  // The cheapest way a letter that matches nothing can enter a candidate:
  // substituted for a typed letter, or left out (a double letter's second
  // half is cheaper still; the walk sees to that).
  for (unsigned a = 0; a < 256; ++a) {
    int cheapest = a == '\'' ? Model.ApostropheDelete : Model.Delete;
    for (unsigned b = 0; b < 256; ++b) {
      if (a != b) cheapest = std::min<int>(cheapest, substitution[a * 256 + b]);
    }
    costs->CheapestEdit[a] = cheapest;
  }
  return costs;
}

int LikelihoodRanker::Deletion(std::uint8_t Letter, std::uint8_t Before, std::size_t Depth) const {
  if (Letter == '\'') return FModel.ApostropheDelete;
  if (Letter == Before && Depth > 1) return FModel.DoubleDelete;
  return FModel.Delete + (Depth == 1 ? FModel.FirstLetter : 0);
}

int LikelihoodRanker::Insertion(std::size_t J) const {
  // A letter typed twice; one typed again after the intended one is NextRow's.
  const auto typed = static_cast<std::uint8_t>(FTypo[J - 1]);
  if (J >= 2 && static_cast<std::uint8_t>(FTypo[J - 2]) == typed) return FModel.DoubledInsert;
  return FModel.Insert + (J == 1 ? FModel.FirstLetter : 0);
}

int LikelihoodRanker::NextRow(std::size_t Depth, std::uint8_t Letter, std::uint8_t ParentLetter,
                              int* Rows) const {
  const std::size_t n = FTypo.size();
  const int* above = Rows + (Depth - 1) * (n + 1);
  int* row = Rows + Depth * (n + 1);
  const int deletion = Deletion(Letter, ParentLetter, Depth);
  const std::uint8_t* substitution = FCosts->Substitution.data() + Letter * 256u;
  row[0] = above[0] + deletion;
  int least = row[0];
  for (std::size_t j = 1; j <= n; ++j) {
    const auto typed = static_cast<std::uint8_t>(FTypo[j - 1]);
    int sub = substitution[typed];
    if (sub != 0 && (Depth == 1 || j == 1)) sub += FModel.FirstLetter;
    int best = std::min(above[j - 1] + sub, above[j] + deletion);
    best = std::min(best, row[j - 1] + (typed == Letter ? FModel.DoubledInsert : FInsertion[j]));
    if (Depth >= 2 && j >= 2 && Letter != ParentLetter &&
        Letter == static_cast<std::uint8_t>(FTypo[j - 2]) && ParentLetter == typed) {
      best = std::min(best, Rows[(Depth - 2) * (n + 1) + j - 2] + FModel.Transpose);
    }
    row[j] = best;
    least = std::min(least, best);
  }
  return least;
}

void LikelihoodRanker::Walk(const WordTrie& Trie, std::uint32_t Node, std::size_t Depth,
                            std::uint8_t Letter, std::uint8_t ParentLetter, bool Capital) {
  const std::size_t n = FTypo.size();
  const int least = NextRow(Depth, Letter, ParentLetter, FRows.data());
  const int* above = FRows.data() + (Depth - 1) * (n + 1);
  const int* row = FRows.data() + Depth * (n + 1);
  if (least > FBound) return;
  const std::uint32_t word = Trie.WordNumber(Node);
  if (word != 0 && row[n] <= FBound && FFoundAt.emplace(word, FFound.size()).second) {
    FFound.push_back({word, row[n], 0, Capital});
  }
  if (Depth >= FMaxDepth) return;
  // A child can stay within the bound only by matching a letter of the typo
  // (straight or swapped) where this row is within it, or by an edit cheap
  // enough for what is left: most children fail all three and are not
  // visited.
  const int slack = FBound - least;
  std::uint64_t matches[4] = {0, 0, 0, 0};  // a bit per byte value
  auto mark = [&matches](char c) {
    const auto b = static_cast<std::uint8_t>(c);
    matches[b >> 6] |= std::uint64_t{1} << (b & 63);
  };
  for (std::size_t j = 1; j <= n; ++j) {
    if (row[j - 1] <= FBound) mark(FTypo[j - 1]);
    if (j >= 2 && above[j - 2] + FModel.Transpose <= FBound) mark(FTypo[j - 2]);
  }
  const WordTrie::ChildArrays kids = Trie.Children(Node);
  for (std::uint32_t k = 0; k < kids.Count; ++k) {
    const std::uint8_t c = Lower(kids.Letters[k]);
    if ((matches[c >> 6] >> (c & 63) & 1) == 0) {
      int cheapest = FCosts->CheapestEdit[c];
      if (c == Letter) cheapest = std::min(cheapest, FModel.DoubleDelete);
      if (cheapest > slack) continue;
    }
    Walk(Trie, kids.Indices[k], Depth + 1, c, Letter, Capital);
  }
}

int LikelihoodRanker::EditCost(std::string_view Word, int Cap) {
  // The walk's rows for one word; Cap once every entry of a row passes it.
  const std::size_t n = FTypo.size();
  FTable.resize((Word.size() + 1) * (n + 1));
  std::copy(FRows.begin(), FRows.begin() + static_cast<std::ptrdiff_t>(n + 1), FTable.begin());
  std::uint8_t before = 0;
  for (std::size_t i = 1; i <= Word.size(); ++i) {
    const std::uint8_t letter = Lower(static_cast<std::uint8_t>(Word[i - 1]));
    if (NextRow(i, letter, before, FTable.data()) >= Cap) return Cap;
    before = letter;
  }
  return std::min(FTable[Word.size() * (n + 1) + n], Cap);
}

void LikelihoodRanker::BuildSoundIndex(const WordTrie& Trie) {
  FSoundIndex.clear();
  const std::uint32_t words = Trie.WordCount();
  for (std::uint32_t w = 1; w <= words; ++w) {
    const std::string word = WordAt(Trie, static_cast<std::uint32_t>(Trie.Entry(w - 1).Node));
    const std::string key = SoundAlikeKey(word);
    if (key.empty()) continue;
    const std::uint8_t first = Lower(static_cast<std::uint8_t>(word[0]));
    const auto length = static_cast<std::uint8_t>(std::min<std::size_t>(word.size(), 255));
    ForEachVariant(key, [&](char kind, std::string_view variant) {
      FSoundIndex.push_back({Hash(kind, variant), w, first, length});
    });
  }
  std::sort(FSoundIndex.begin(), FSoundIndex.end());
  // About one bucket per entry, up to 2^16: a small dictionary (a new one,
  // a test's) does not pay for a quarter of a megabyte of empty buckets.
  FBucketBits = std::clamp(static_cast<int>(std::bit_width(FSoundIndex.size())), 1, kMaxBucketBits);
  FSoundBuckets.assign((std::size_t{1} << FBucketBits) + 1, 0);
  for (const SoundEntry& e : FSoundIndex) ++FSoundBuckets[(e.Hash >> (64 - FBucketBits)) + 1];
  for (std::size_t b = 1; b < FSoundBuckets.size(); ++b) FSoundBuckets[b] += FSoundBuckets[b - 1];
  FIndexRevision = Trie.Revision();
}

void LikelihoodRanker::AddSoundAlikes(const WordTrie& Trie) {
  const std::string key = SoundAlikeKey(FTypo);
  if (key.size() < 2) return;
  if (FSoundIndex.empty() || FIndexRevision != Trie.Revision()) BuildSoundIndex(Trie);
  const std::uint8_t first = static_cast<std::uint8_t>(FTypo[0]);
  const std::size_t n = FTypo.size();
  // A word whose key is one sound off must start as the typo does and be of
  // about its length; one that sounds the same, only the latter.
  auto visit = [&](std::uint64_t h, double bonus) {
    const bool near = bonus != FModel.SoundBonus;
    const std::size_t bucket = h >> (64 - FBucketBits);
    const auto end = FSoundIndex.begin() + FSoundBuckets[bucket + 1];
    auto it = std::lower_bound(FSoundIndex.begin() + FSoundBuckets[bucket], end, SoundEntry{h, 0, 0, 0});
    for (; it != end && it->Hash == h; ++it) {
      if (it->Length + kSoundLengthSlack < n || it->Length > n + kSoundLengthSlack) continue;
      if (near && it->First != first) continue;
      const std::uint32_t w = it->Word;
      auto [at, inserted] = FFoundAt.emplace(w, FFound.size());
      if (inserted) {
        const std::string word = WordAt(Trie, static_cast<std::uint32_t>(Trie.Entry(w - 1).Node));
        const int cost = EditCost(word, static_cast<int>(FModel.SoundEditCap));
        FFound.push_back({w, cost, bonus, IsUpper(static_cast<std::uint8_t>(word[0]))});
      } else {
        FFound[at->second].Score = std::max(FFound[at->second].Score, bonus);
      }
    }
  };
  visit(Hash('E', key), FModel.SoundBonus);
  // Keys of a few sounds are one sound away from too many words to help.
  if (key.size() < kNearSoundKey) return;
  ForEachVariant(key, [&](char kind, std::string_view variant) {
    if (kind == 'E') {
      visit(Hash('D', variant), FModel.NearSoundBonus);
    } else {
      visit(Hash('E', variant), FModel.NearSoundBonus);
      visit(Hash('D', variant), FModel.NearSoundBonus);
    }
  });
}

void LikelihoodRanker::SearchTrie(const WordTrie& Trie, int Bound) {
  const std::size_t n = FTypo.size();
  FBound = Bound;
  FMaxDepth = n + static_cast<std::size_t>(
                      FBound / std::max(1, std::min(FModel.DoubleDelete, FModel.ApostropheDelete)));
  FRows.assign((FMaxDepth + 1) * (n + 1), 0);
  for (std::size_t j = 1; j <= n; ++j) FRows[j] = FRows[j - 1] + FInsertion[j];
  const WordTrie::ChildArrays root = Trie.Children(0);
  if (Trie.WordNumber(0) != 0) return;
  for (std::uint32_t k = 0; k < root.Count; ++k) {
    Walk(Trie, root.Indices[k], 1, Lower(root.Letters[k]), 0, IsUpper(root.Letters[k]));
  }
}

void LikelihoodRanker::Rank(const WordTrie& Trie, std::string_view Typo, std::size_t Limit,
                            std::vector<std::string>& Out) {
  if (Typo.empty() || Typo.size() > kMaxWordLength || Trie.NodeCount() == 0) return;
  FTypo.assign(Typo);
  for (char& c : FTypo) c = static_cast<char>(Lower(static_cast<std::uint8_t>(c)));
  const std::size_t n = FTypo.size();
  FInsertion.assign(n + 1, 0);
  for (std::size_t j = 1; j <= n; ++j) FInsertion[j] = Insertion(j);
  FFound.clear();
  FFoundAt.clear();

  // Candidates: the walk (Score holds the sound bonus until scoring), once
  // more with a wider bound when the first found next to nothing.
  SearchTrie(Trie, n <= 4 ? FModel.ShortBound : FModel.Bound);
  if (FFound.size() < static_cast<std::size_t>(FModel.FewCandidates)) SearchTrie(Trie, FModel.WideBound);
  AddSoundAlikes(Trie);

  // Scores. A capital the writer did not type makes a word a little less
  // likely: "mark" before "Mark".
  const bool capitalised = StartsWithCapital(Typo);
  // The typo itself, when it is a word as written: first of all.
  std::int32_t itself = 0;
  for (std::size_t i = 0; i < n && itself >= 0; ++i) {
    itself = Trie.FindChild(static_cast<std::uint32_t>(itself), static_cast<std::uint8_t>(Typo[i]));
  }
  const std::uint32_t itself_word = itself > 0 ? Trie.WordNumber(static_cast<std::uint32_t>(itself)) : 0;
  for (Candidate& c : FFound) {
    const int cost = c.Cost + (c.Capital && !capitalised ? FModel.CaseChange : 0);
    const double frequency = Trie.Entry(c.Word - 1).Frequency;
    c.Score += FModel.FrequencyWeight * std::log1p(frequency) - FModel.EditWeight * cost;
    if (c.Cost == 0) c.Score += 1000;  // the word in another case
    if (c.Word == itself_word) c.Score += 2000;
  }
  // The best, with room for forms that fold to one already taken.
  auto better = [](const Candidate& a, const Candidate& b) {
    if (a.Score != b.Score) return a.Score > b.Score;
    return a.Word < b.Word;
  };
  std::size_t wanted = FFound.size();
  if (Limit != 0 && Limit * 2 < wanted) {
    wanted = Limit * 2;
    std::nth_element(FFound.begin(), FFound.begin() + static_cast<std::ptrdiff_t>(wanted),
                     FFound.end(), better);
    FFound.resize(wanted);
  }
  std::sort(FFound.begin(), FFound.end(), better);

  // The writer's case, each word once.
  std::unordered_set<std::string> seen;
  for (const Candidate& c : FFound) {
    if (Limit != 0 && Out.size() >= Limit) break;
    std::string word = InWritersCase(
        WordAt(Trie, static_cast<std::uint32_t>(Trie.Entry(c.Word - 1).Node)), Typo);
    if (seen.insert(LowerCase(word)).second) Out.push_back(std::move(word));
  }
}

}  // namespace wordloom::detail
