#include "checking/likelihood_ranking.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <unordered_set>

#include "checking/compact_form.h"
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
// How much longer or shorter than the typo a sound-alike word may be.
constexpr std::size_t kSoundLengthSlack = 3;

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

// The three graphs the walk searches. Each gives a node's children as
// parallel arrays of letters and a way to step down, and says whether a
// word ends at a node: which one, the ranker asks Resolve.
struct LikelihoodRanker::TrieGraph {
  using Cursor = std::uint32_t;
  const WordTrie& Trie;
  WordTrie::ChildArrays Kids(Cursor c) const { return Trie.Children(c); }
  bool Step(Cursor, const WordTrie::ChildArrays& kids, std::uint32_t k, Cursor& next) const {
    next = kids.Indices[k];
    return true;
  }
  Resolved Resolve(Cursor c, std::string_view) const {
    const std::uint32_t w = Trie.WordNumber(c);
    if (w == 0) return {};
    return {w, Trie.Entry(w - 1).Frequency, Source::kTrieNode, c};
  }
  Cursor Root() const { return 0; }
};

// A compact form: a node is a state with the rank its path has reached.
struct LikelihoodRanker::FormGraph {
  struct Cursor {
    std::uint32_t State;
    std::uint64_t Rank;
  };
  const CompactForm& Form;
  const WordTrie* Current;
  CompactForm::Arcs Kids(const Cursor& c) const { return Form.ArcsOf(c.State); }
  bool Step(const Cursor& c, const CompactForm::Arcs& kids, std::uint32_t k, Cursor& next) const {
    next = {kids.Targets[k], c.Rank + kids.Offsets[k]};
    return CompactForm::Follows(c.State, next.State);
  }
  Resolved Resolve(const Cursor& c, std::string_view path) const {
    if (!Form.IsFinal(c.State) || c.Rank >= Form.WordCount()) return {};
    const auto rank = static_cast<std::uint32_t>(c.Rank);
    if (Current != nullptr) return InTrie(*Current, path);
    return {Form.NumberAt(rank), Form.FrequencyAt(rank), Source::kFormRank, rank};
  }
  Cursor Root() const { return {Form.Root(), 0}; }
};

// The words added since a compact form was made, found again in the
// current dictionary (one deleted since is passed over).
struct LikelihoodRanker::AddedGraph {
  using Cursor = std::uint32_t;
  const WordTrie& Added;
  const WordTrie& Current;
  WordTrie::ChildArrays Kids(Cursor c) const { return Added.Children(c); }
  bool Step(Cursor, const WordTrie::ChildArrays& kids, std::uint32_t k, Cursor& next) const {
    next = kids.Indices[k];
    return true;
  }
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
  return {w, Trie.Entry(w - 1).Frequency, Source::kTrieNode, static_cast<std::uint32_t>(node)};
}

template <typename Graph>
void LikelihoodRanker::Walk(const Graph& G, typename Graph::Cursor Node, std::size_t Depth,
                            std::uint8_t Letter, std::uint8_t ParentLetter, bool Capital) {
  const std::size_t n = FTypo.size();
  const int least = NextRow(Depth, Letter, ParentLetter, FRows.data());
  const int* above = FRows.data() + (Depth - 1) * (n + 1);
  const int* row = FRows.data() + Depth * (n + 1);
  if (least > FBound) return;
  if (row[n] <= FBound) {
    const Resolved r = G.Resolve(Node, std::string_view(FPath.data() + 1, Depth));
    if (r.Word != 0 && FFoundAt.emplace(r.Word, FFound.size()).second) {
      FFound.push_back({r.Word, row[n], 0, Capital, r.Frequency, r.From, r.Ref});
    }
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
  const auto kids = G.Kids(Node);
  for (std::uint32_t k = 0; k < kids.Count; ++k) {
    const std::uint8_t c = Lower(kids.Letters[k]);
    if ((matches[c >> 6] >> (c & 63) & 1) == 0) {
      int cheapest = FCosts->CheapestEdit[c];
      if (c == Letter) cheapest = std::min(cheapest, FModel.DoubleDelete);
      if (cheapest > slack) continue;
    }
    typename Graph::Cursor next;
    if (!G.Step(Node, kids, k, next)) continue;
    FPath[Depth + 1] = static_cast<char>(kids.Letters[k]);
    Walk(G, next, Depth + 1, c, Letter, Capital);
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
  const std::string key = SoundAlikeKey(FTypo);
  if (key.size() < 2) return;
  const std::uint8_t first = static_cast<std::uint8_t>(FTypo[0]);
  const std::size_t n = FTypo.size();
  std::string word;
  // A word whose key is one sound off must start as the typo does and be of
  // about its length; one that sounds the same, only the latter.
  auto visit = [&](std::uint64_t h, double bonus) {
    const bool near = bonus != FModel.SoundBonus;
    Index.ForEachMatch(h, [&](std::uint32_t i) {
      const std::size_t length = Index.Lengths[i];
      if (length + kSoundLengthSlack < n || length > n + kSoundLengthSlack) return;
      if (near && Index.Firsts[i] != first) return;
      const Resolved r = Resolve(Index.Words[i], word);
      if (r.Word == 0) return;
      auto [at, inserted] = FFoundAt.emplace(r.Word, FFound.size());
      if (inserted) {
        const int cost = EditCost(word, static_cast<int>(FModel.SoundEditCap));
        FFound.push_back({r.Word, cost, bonus, IsUpper(static_cast<std::uint8_t>(word[0])),
                          r.Frequency, r.From, r.Ref});
      } else {
        FFound[at->second].Score = std::max(FFound[at->second].Score, bonus);
      }
    });
  };
  visit(SoundHash('E', key), FModel.SoundBonus);
  // Keys of a few sounds are one sound away from too many words to help.
  if (key.size() < kNearSoundKey) return;
  ForEachSoundVariant(key, [&](char kind, std::string_view variant) {
    if (kind == 'E') {
      visit(SoundHash('D', variant), FModel.NearSoundBonus);
    } else {
      visit(SoundHash('E', variant), FModel.NearSoundBonus);
      visit(SoundHash('D', variant), FModel.NearSoundBonus);
    }
  });
}

template <typename Graph>
void LikelihoodRanker::Search(const Graph& G, int Bound) {
  const std::size_t n = FTypo.size();
  FBound = Bound;
  FMaxDepth = n + static_cast<std::size_t>(
                      FBound / std::max(1, std::min(FModel.DoubleDelete, FModel.ApostropheDelete)));
  FRows.assign((FMaxDepth + 1) * (n + 1), 0);
  FPath.assign(FMaxDepth + 1, '\0');
  for (std::size_t j = 1; j <= n; ++j) FRows[j] = FRows[j - 1] + FInsertion[j];
  const auto root = G.Root();
  if (G.Resolve(root, std::string_view()).Word != 0) return;
  const auto kids = G.Kids(root);
  for (std::uint32_t k = 0; k < kids.Count; ++k) {
    typename Graph::Cursor next;
    if (!G.Step(root, kids, k, next)) continue;
    FPath[1] = static_cast<char>(kids.Letters[k]);
    Walk(G, next, 1, Lower(kids.Letters[k]), 0, IsUpper(kids.Letters[k]));
  }
}

template <typename F>
void LikelihoodRanker::SearchAll(F&& SearchWith) {
  const std::size_t n = FTypo.size();
  SearchWith(n <= 4 ? FModel.ShortBound : FModel.Bound);
  if (FFound.size() < static_cast<std::size_t>(FModel.FewCandidates)) SearchWith(FModel.WideBound);
}

bool LikelihoodRanker::Start(std::string_view Typo) {
  if (Typo.empty() || Typo.size() > kMaxWordLength) return false;
  StartTypo(Typo);
  FFound.clear();
  FFoundAt.clear();
  return true;
}

void LikelihoodRanker::StartTypo(std::string_view Typo) {
  FTypo.assign(Typo);
  for (char& c : FTypo) c = static_cast<char>(Lower(static_cast<std::uint8_t>(c)));
  const std::size_t n = FTypo.size();
  FInsertion.assign(n + 1, 0);
  for (std::size_t j = 1; j <= n; ++j) FInsertion[j] = Insertion(j);
}

double LikelihoodRanker::Score(int Cost, double Bonus, bool Capital, bool Capitalised,
                               std::uint32_t Frequency) const {
  const int cost = Cost + (Capital && !Capitalised ? FModel.CaseChange : 0);
  double score = Bonus + FModel.FrequencyWeight * std::log1p(static_cast<double>(Frequency)) -
                 FModel.EditWeight * cost;
  if (Cost == 0) score += 1000;  // the word in another case
  return score;
}

LikelihoodRanker::Scored LikelihoodRanker::ScoreCorrection(std::string_view Typo,
                                                           std::string_view Word,
                                                           std::uint32_t Frequency) {
  Scored out;
  if (Typo.empty() || Word.empty() || Typo.size() > kMaxWordLength) return out;
  StartTypo(Typo);
  const std::size_t n = FTypo.size();
  // Row 0 of the edit-cost table, as Search starts it.
  FRows.assign(n + 1, 0);
  for (std::size_t j = 1; j <= n; ++j) FRows[j] = FRows[j - 1] + FInsertion[j];
  out.Cost = EditCost(Word, static_cast<int>(FModel.SoundEditCap));
  // The sound bonus AddSoundAlikes gives: the same key, or (for keys long
  // enough, words starting alike) keys one sound apart.
  double bonus = 0;
  const std::string typo_key = SoundAlikeKey(FTypo);
  const std::string word_key = SoundAlikeKey(Word);
  if (typo_key.size() >= 2 && typo_key == word_key) {
    bonus = FModel.SoundBonus;
  } else if (typo_key.size() >= kNearSoundKey &&
             Lower(static_cast<std::uint8_t>(Word[0])) == static_cast<std::uint8_t>(FTypo[0])) {
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
  out.Score = Score(out.Cost, bonus, IsUpper(static_cast<std::uint8_t>(Word[0])),
                    StartsWithCapital(Typo), Frequency);
  return out;
}

void LikelihoodRanker::Rank(const WordTrie& Trie, std::string_view Typo, std::size_t Limit,
                            std::vector<std::string>& Out) {
  if (Trie.NodeCount() == 0 || !Start(Typo)) return;
  // Candidates: the walk (Score holds the sound bonus until scoring), once
  // more with a wider bound when the first found next to nothing.
  const TrieGraph graph{Trie};
  SearchAll([&](int bound) { Search(graph, bound); });
  if (SoundAlikeKey(FTypo).size() >= 2) {
    if (FSoundIndex.Size() == 0 || FIndexRevision != Trie.Revision()) BuildSoundIndex(Trie);
    AddSoundAlikes(FSoundIndex.View(), [&](std::uint32_t w, std::string& word) -> Resolved {
      const auto node = static_cast<std::uint32_t>(Trie.Entry(w - 1).Node);
      word = WordAt(Trie, node);
      return {w, Trie.Entry(w - 1).Frequency, Source::kTrieNode, node};
    });
  }
  Finish(Typo, InTrie(Trie, Typo).Word, Limit,
         [&](const Candidate& c) { return WordAt(Trie, c.Ref); }, Out);
}

void LikelihoodRanker::Rank(const CompactView& View, std::string_view Typo, std::size_t Limit,
                            std::vector<std::string>& Out) {
  const CompactForm& form = *View.Form;
  if (!Start(Typo)) return;
  const FormGraph graph{form, View.Current};
  SearchAll([&](int bound) {
    Search(graph, bound);
    if (View.Added != nullptr && View.Current != nullptr && View.Added->NodeCount() > 0) {
      Search(AddedGraph{*View.Added, *View.Current}, bound);
    }
  });
  auto from_form = [&](std::uint32_t rank, std::string& word) -> Resolved {
    word = form.WordAt(rank);
    if (word.empty()) return {};
    if (View.Current != nullptr) return InTrie(*View.Current, word);
    return {form.NumberAt(rank), form.FrequencyAt(rank), Source::kFormRank, rank};
  };
  AddSoundAlikes(form.SoundIndex(), from_form);
  if (View.Added != nullptr && View.Current != nullptr && View.AddedWords != nullptr) {
    AddSoundAlikes(View.AddedSound, [&](std::uint32_t id, std::string& word) -> Resolved {
      if (id == 0 || id > View.AddedWords->size()) return {};
      word = (*View.AddedWords)[id - 1];
      return InTrie(*View.Current, word);
    });
  }
  std::uint32_t itself = 0;
  if (View.Current != nullptr) {
    itself = InTrie(*View.Current, Typo).Word;
  } else if (const std::int64_t rank = form.Find(Typo); rank >= 0) {
    itself = form.NumberAt(static_cast<std::uint32_t>(rank));
  }
  Finish(Typo, itself, Limit,
         [&](const Candidate& c) {
           return c.From == Source::kFormRank ? form.WordAt(c.Ref) : WordAt(*View.Current, c.Ref);
         },
         Out);
}

template <typename TextOf>
void LikelihoodRanker::Finish(std::string_view Typo, std::uint32_t ItselfWord, std::size_t Limit,
                              TextOf&& Text, std::vector<std::string>& Out) {
  // Scores. A capital the writer did not type makes a word a little less
  // likely: "mark" before "Mark".
  const bool capitalised = StartsWithCapital(Typo);
  for (Candidate& c : FFound) {
    c.Score = Score(c.Cost, c.Score, c.Capital, capitalised, c.Frequency);
    if (c.Word == ItselfWord) c.Score += 2000;  // the typo itself, as written: first of all
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
    std::string word = InWritersCase(Text(c), Typo);
    if (seen.insert(LowerCase(word)).second) Out.push_back(std::move(word));
  }
}

}  // namespace wordloom::detail
