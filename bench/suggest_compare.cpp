// How often the intended word comes first, among the first five and among
// the first ten suggestions, and how long one suggestion takes (median, 90th
// and 99th percentile), for the checker's two rankings on the default
// dictionary beside Hunspell, nuspell and Aspell, over every misspelling set
// in ../shared/data. Prints a table; it measures and never fails.
//
//   build/default/bench/suggest_compare [N] [--ours | --likelihood] [--limit K]
//                                       [--passes P] [--in-order]
//                                       [--model NAME=VALUE,...]
//
// N (default 400; 0: all) is the most misspellings taken from one set, evenly
// spread over it, the same for every checker (Hunspell and nuspell take tens
// of milliseconds a suggestion). --ours leaves the peers out, --likelihood
// the sort methods as well. --limit asks our checkers for at most K
// suggestions (default: the checker's own limit, 100; the command-line tool
// and the editors ask for 10 or 11). --passes times every misspelling P
// times, in P passes over all the sets, and takes its fastest time: on a
// shared machine, slow for a while now and then with others' work, that is
// near the time on an idle one (the same for every checker). The
// misspellings are timed in a fixed shuffled order, as a writer makes them,
// not a word's misspellings one after another as the sets list them
// (--in-order: as listed, which the processor's caches favour). --model changes
// weights of the likelihood ranking's typo model for this run (the names of
// TypoModel's fields), to try a change before making it the default.
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>

#include "checking/likelihood_ranking.h"
#include "dictionary/word_trie.h"
#include "spelling_peers.h"
#include "wordloom/wordloom.h"

namespace {

using namespace wordloom;
using namespace spelling_bench;

// The checker with its trie in reach, for a ranker with other weights.
class BenchChecker : public TVelkSpellChecker {
 public:
  using TVelkSpellChecker::TVelkSpellChecker;
  const detail::WordTrie& Trie() const { return *FNodeList; }
};

struct Result {
  std::size_t first = 0, top5 = 0, top10 = 0, known = 0, n = 0;
  double median_us = 0, p90_us = 0, p99_us = 0;
};

// One pass of checker c over the set: each misspelling's time into Best
// where it is less (the first pass fills it), and, when Count, how well
// the checker did into r.
void Measure(const Checker& c, const TestSet& set, bool First, bool Count, std::vector<double>& Best,
             Result& r) {
  std::vector<std::string> out;
  Best.resize(set.items.size());
  for (std::size_t i = 0; i < set.items.size(); ++i) {
    const Item& item = set.items[i];
    if (Count && c.check(item.right)) ++r.known;
    out.clear();
    const auto t = Clock::now();
    c.suggest(item.wrong, out);
    const double taken = Since(t) * 1e6;
    Best[i] = First ? taken : std::min(Best[i], taken);
    if (!Count) continue;
    const auto found = std::find(out.begin(), out.end(), item.right);
    if (found == out.end()) continue;
    const auto rank = found - out.begin();
    r.first += rank == 0;
    r.top5 += rank < 5;
    r.top10 += rank < 10;
  }
  r.n = set.items.size();
  r.median_us = Percentile(Best, 0.5);
  r.p90_us = Percentile(Best, 0.9);
  r.p99_us = Percentile(Best, 0.99);
}

// NAME=VALUE pairs separated by commas into the model; false on an unknown name.
bool ApplyModel(detail::TypoModel& m, const std::string& pairs) {
  const std::map<std::string, int*> ints = {
      {"Substitute", &m.Substitute}, {"VowelSubstitute", &m.VowelSubstitute},
      {"AccentSubstitute", &m.AccentSubstitute},
      {"NeighbourSubstitute", &m.NeighbourSubstitute}, {"Insert", &m.Insert},
      {"DoubledInsert", &m.DoubledInsert}, {"Delete", &m.Delete},
      {"DoubleDelete", &m.DoubleDelete}, {"ApostropheDelete", &m.ApostropheDelete},
      {"Transpose", &m.Transpose}, {"FirstLetter", &m.FirstLetter},
      {"CaseChange", &m.CaseChange}, {"Bound", &m.Bound}, {"ShortBound", &m.ShortBound},
      {"FewCandidates", &m.FewCandidates}, {"WideBound", &m.WideBound}};
  const std::map<std::string, double*> reals = {
      {"FrequencyWeight", &m.FrequencyWeight}, {"EditWeight", &m.EditWeight},
      {"SoundBonus", &m.SoundBonus}, {"NearSoundBonus", &m.NearSoundBonus},
      {"SoundEditCap", &m.SoundEditCap}};
  std::stringstream in(pairs);
  std::string pair;
  while (std::getline(in, pair, ',')) {
    const std::size_t eq = pair.find('=');
    if (eq == std::string::npos) return false;
    const std::string name = pair.substr(0, eq);
    const double value = std::strtod(pair.c_str() + eq + 1, nullptr);
    if (auto i = ints.find(name); i != ints.end()) {
      *i->second = static_cast<int>(value);
    } else if (auto r = reals.find(name); r != reals.end()) {
      *r->second = value;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t limit = 400;
  bool peers_wanted = true;
  bool sort_methods_wanted = true;
  detail::TypoModel model;
  bool default_model = true;  // the form's row and count need the checker's own model
  long suggestion_limit = -1;  // -1: the checker's own
  long passes = 1;
  bool in_order = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--ours") == 0) {
      peers_wanted = false;
    } else if (std::strcmp(argv[i], "--likelihood") == 0) {
      peers_wanted = sort_methods_wanted = false;
    } else if (std::strcmp(argv[i], "--limit") == 0 && i + 1 < argc) {
      suggestion_limit = std::strtol(argv[++i], nullptr, 10);
      if (suggestion_limit < 0) {
        std::fprintf(stderr, "suggest_compare: bad --limit %s\n", argv[i]);
        return 2;
      }
    } else if (std::strcmp(argv[i], "--in-order") == 0) {
      in_order = true;
    } else if (std::strcmp(argv[i], "--passes") == 0 && i + 1 < argc) {
      passes = std::strtol(argv[++i], nullptr, 10);
      if (passes < 1 || passes > 100) {
        std::fprintf(stderr, "suggest_compare: bad --passes %s (1 to 100)\n", argv[i]);
        return 2;
      }
    } else if (std::strcmp(argv[i], "--model") == 0 && i + 1 < argc) {
      default_model = false;
      if (!ApplyModel(model, argv[++i])) {
        std::fprintf(stderr, "suggest_compare: bad --model %s\n", argv[i]);
        return 2;
      }
    } else {
      limit = std::strtoul(argv[i], nullptr, 10);
    }
  }
  const std::string dictionary = WORDLOOM_DEFAULT_DICTIONARY;
  if (!Exists(dictionary) || !Exists(kData + "spell-testset1.txt")) {
    std::fprintf(stderr, "no data: run from the project root with ../shared/data and %s\n",
                 dictionary.c_str());
    return 0;
  }
  const auto program_start = Clock::now();
  std::vector<TestSet> sets = ReadSets(limit == 0 ? SIZE_MAX : limit);
  if (!in_order) {
    // The sets list a word's misspellings together, and one misspelling
    // after another of the same word finds the same parts of a dictionary
    // in the processor's caches; a writer's misspellings come one word after
    // another. So they are timed in an order of their own, the same in
    // every run and for every checker.
    std::mt19937 random(20261209);
    for (TestSet& s : sets) std::shuffle(s.items.begin(), s.items.end(), random);
  }

  BenchChecker ours(nullptr);
  ours.SetSpellFileOptions({});
  ours.SetShowProgress(false);
  ours.OpenSpellFile(dictionary);
  if (suggestion_limit >= 0) ours.SetSuggestionLimit(static_cast<std::uint32_t>(suggestion_limit));
  std::printf("our dictionary: %s, %u words; at most %u suggestions asked of ours (0: all)\n",
              dictionary.c_str(), ours.WordCount(), ours.SuggestionLimit());

  std::vector<Checker> checkers;
  auto known = [&ours](const std::string& w) { return ours.Frequency(w) > 0; };
  if (sort_methods_wanted) {
    checkers.push_back({"wordloom sort methods", known,
                        [&ours](const std::string& w, std::vector<std::string>& out) {
                          ours.Suggest(w);
                          for (const std::string& s : ours.Suggestions()) out.push_back(s);
                        }});
  }
  auto ranker = std::make_shared<detail::LikelihoodRanker>(model);
  checkers.push_back({"wordloom likelihood", known,
                      [&ours, ranker](const std::string& w, std::vector<std::string>& out) {
                        ranker->Rank(ours.Trie(), w, ours.SuggestionLimit(), out);
                      }});
  // The same ranking through the compact form beside the dictionary: its
  // suggestions must be the trie's, word for word (counted below).
  TVelkSpellChecker compact(nullptr);
  compact.SetSpellFileOptions({});
  compact.SetSuggestionRanking(srkLikelihood);
  compact.OpenSpellFile(dictionary);
  compact.SetSuggestionLimit(ours.SuggestionLimit());
  const bool with_form = compact.UsesCompactForm() && default_model;
  if (with_form) {
    checkers.push_back({"wordloom likelihood/form", known,
                        [&compact](const std::string& w, std::vector<std::string>& out) {
                          compact.Suggest(w);
                          for (const std::string& s : compact.Suggestions()) out.push_back(s);
                        }});
  } else if (default_model) {
    std::printf("no compact form beside %s: its row is left out\n", dictionary.c_str());
  }
  std::unique_ptr<Peers> peers;
  if (peers_wanted) {
    peers = std::make_unique<Peers>();
    for (const Checker& c : peers->checkers) checkers.push_back(c);
  }
  {
    // The sound-alike index is made on the first suggestion; timed apart.
    std::vector<std::string> out;
    const auto t = Clock::now();
    ranker->Rank(ours.Trie(), "wordlom", 10, out);
    std::printf("likelihood ranking: first suggestion (builds the index) %.1f ms\n",
                Since(t) * 1e3);
  }

  std::printf("\nsets (misspellings of one word; sampled evenly when over %zu):\n", limit);
  for (const TestSet& s : sets) {
    std::printf("  %-26s %5zu used of %5zu\n", s.name.c_str(), s.items.size(), s.total);
  }
  std::printf("\nfirst/top5/top10: the intended word first, among the first five or ten "
              "suggestions; knows: intended words the checker knows; latency per suggestion");
  if (passes > 1) std::printf(" (each misspelling's fastest of %ld passes)", passes);
  std::printf("\n\n");
  std::printf("%-26s %-22s %7s %7s %7s %7s %10s %10s %10s\n", "set", "checker", "first", "top5",
              "top10", "knows", "median", "p90", "p99");
  // Every pass goes over every set and checker, so that a misspelling's
  // times lie a whole pass apart, not within a slow spell of the machine.
  std::vector<Result> results(sets.size() * checkers.size());
  std::vector<std::vector<double>> best(results.size());
  for (long pass = 0; pass < passes; ++pass) {
    if (passes > 1) std::fprintf(stderr, "pass %ld of %ld\n", pass + 1, passes);
    for (std::size_t i = 0; i < results.size(); ++i) {
      Measure(checkers[i % checkers.size()], sets[i / checkers.size()], pass == 0, pass + 1 == passes,
              best[i], results[i]);
    }
  }
  for (std::size_t i = 0; i < results.size(); ++i) {
    const TestSet& s = sets[i / checkers.size()];
    const Checker& c = checkers[i % checkers.size()];
    const Result& r = results[i];
    std::printf("%-26s %-22s %7s %7s %7s %7s %7.1f us %7.1f us %7.1f us\n", s.name.c_str(),
                c.name.c_str(), Share(r.first, r.n).c_str(), Share(r.top5, r.n).c_str(),
                Share(r.top10, r.n).c_str(), Share(r.known, r.n).c_str(), r.median_us, r.p90_us,
                r.p99_us);
  }
  if (with_form) {
    // Every misspelling of every set: the form's suggestions against the trie's.
    std::size_t same = 0, total = 0;
    std::vector<std::string> from_trie;
    for (const TestSet& s : sets) {
      for (const Item& item : s.items) {
        from_trie.clear();
        ranker->Rank(ours.Trie(), item.wrong, ours.SuggestionLimit(), from_trie);
        compact.Suggest(item.wrong);
        const std::vector<std::string> from_form(compact.Suggestions().begin(),
                                                 compact.Suggestions().end());
        same += from_form == from_trie;
        ++total;
      }
    }
    std::printf("\ncompact form against the trie: %zu of %zu suggestion lists identical\n", same,
                total);
  }
  std::printf("\nwhole run: %.1f s\n", Since(program_start));
  return 0;
}
