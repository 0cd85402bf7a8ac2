// The spell checker beside the checkers people compare it with: Hunspell and
// nuspell (both with the en_US dictionary of hunspell-en-us) and Aspell
// (aspell-en, sug-modes "normal" and "ultra"), each one present when the
// build found it. Over the misspelling sets in ../shared/data it measures
// the check rate, the latency of one suggestion call (median and 90th
// percentile) and how often the intended word comes first, or among the
// first five. Then it times CheckMemo over 1 MB and 10 MB of text with a
// dialog that ignores every word, which means one Suggest per unknown word.
// Prints tables; it measures and never fails.
//
//   build/default/bench/checker_compare [N]   (run from the project root)
//
// N (default 150) is the most misspellings taken from one set, evenly spread
// over it; Hunspell and nuspell spend tens of milliseconds on a suggestion,
// and the 10 MB memo check alone takes minutes, so the default keeps the run
// near three minutes on two cores.
//
// Our dictionary: the words of /usr/share/dict/words, once each, plus the
// frequencies of those of them that occur in ../shared/data/big.txt.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "spelling_peers.h"
#include "wordloom/wordloom.h"

namespace {

using namespace wordloom;
using namespace spelling_bench;

const std::string kWordList = "/usr/share/dict/words";
// The most misspellings taken from one set, evenly spread over it.
constexpr std::size_t kDefaultSampleLimit = 150;
// How long the check rate is measured per checker and set, at least.
constexpr double kCheckSeconds = 0.1;

// Accepts every word the checker asks about; counts them.
class IgnoreDlg : public TCustomSpellCheckDlg {
 public:
  using TCustomSpellCheckDlg::TCustomSpellCheckDlg;
  TCheckResults Execute(TVelkSpellChecker*, std::string& AWord) override {
    ++asked;
    ++words[AWord];
    return crIgnore;
  }
  std::size_t asked = 0;
  std::map<std::string, std::size_t> words;
};

std::unique_ptr<TVelkSpellChecker> BuildOurs(double& list_seconds, double& corpus_seconds) {
  auto checker = std::make_unique<TVelkSpellChecker>(nullptr);
  auto start = Clock::now();
  checker->InitFirstSpellNode();
  std::ifstream in(kWordList);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && checker->Frequency(line) == 0) checker->AddToSpell(line);
  }
  list_seconds = Since(start);
  start = Clock::now();
  checker->SetDelimiterOption(wldExclFirstSucc);
  TVelkSpellChecker* self = checker.get();
  checker->SetOnAddWord([self](const std::string& word, bool& keep) {
    keep = self->Frequency(word) > 0;
  });
  checker->AddFileToSpell(kData + "big.txt");
  checker->SetOnAddWord(nullptr);
  corpus_seconds = Since(start);
  return checker;
}

// ---- measuring ----

struct Result {
  double checks_per_second = 0;
  double median_ms = 0;
  double p90_ms = 0;
  std::size_t first = 0;
  std::size_t top5 = 0;
  std::size_t accepted = 0;      // misspellings the checker takes for words
  std::size_t target_known = 0;  // intended words the checker knows
  std::size_t n = 0;
};

Result Measure(const Checker& c, const TestSet& set) {
  Result r;
  r.n = set.items.size();
  std::vector<std::string> words;
  for (const Item& item : set.items) {
    words.push_back(item.wrong);
    words.push_back(item.right);
  }
  // Check rate, over the list again and again.
  std::size_t checks = 0;
  std::size_t sink = 0;
  const auto start = Clock::now();
  double elapsed = 0;
  do {
    for (const std::string& w : words) sink += c.check(w) ? 1 : 0;
    checks += words.size();
    elapsed = Since(start);
  } while (elapsed < kCheckSeconds);
  r.checks_per_second = static_cast<double>(checks) / elapsed;
  if (sink == SIZE_MAX) std::printf(" ");

  std::vector<double> ms;
  ms.reserve(set.items.size());
  std::vector<std::string> out;
  for (const Item& item : set.items) {
    if (c.check(item.wrong)) ++r.accepted;
    if (c.check(item.right)) ++r.target_known;
    out.clear();
    const auto t = Clock::now();
    c.suggest(item.wrong, out);
    ms.push_back(Since(t) * 1000.0);
    const auto found = std::find(out.begin(), out.end(), item.right);
    if (found != out.end()) {
      const auto rank = found - out.begin();
      if (rank == 0) ++r.first;
      if (rank < 5) ++r.top5;
    }
  }
  r.median_ms = Percentile(ms, 0.5);
  r.p90_ms = Percentile(ms, 0.9);
  return r;
}

// ---- the memo check ----

struct MemoRun {
  double seconds = 0;
  std::size_t asked = 0;
  std::size_t bytes = 0;
};

MemoRun CheckText(TVelkSpellChecker& checker, IgnoreDlg& dialog, const std::string& text) {
  TStringMemo memo(nullptr);
  memo.SetText(text);
  memo.SetSelStart(0);
  checker.SetMemo(&memo);
  dialog.asked = 0;
  dialog.words.clear();
  const auto start = Clock::now();
  checker.CheckMemo();
  MemoRun run{Since(start), dialog.asked, text.size()};
  checker.SetMemo(nullptr);
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t sample_limit = kDefaultSampleLimit;
  if (argc > 1) sample_limit = std::max<std::size_t>(1, std::strtoul(argv[1], nullptr, 10));
  if (!Exists(kData + "big.txt") || !Exists(kWordList)) {
    std::fprintf(stderr,
                 "no data: run from the project root with ../shared/data and %s present\n",
                 kWordList.c_str());
    return 0;
  }
  const auto program_start = Clock::now();

  std::vector<TestSet> sets = spelling_bench::ReadSets(sample_limit);
  std::erase_if(sets, [](const TestSet& s) { return s.name.rfind("noisy", 0) == 0; });

  double list_seconds = 0;
  double corpus_seconds = 0;
  std::unique_ptr<TVelkSpellChecker> ours = BuildOurs(list_seconds, corpus_seconds);
  std::printf("our dictionary: %u words (%s), built in %.2f s, corpus frequencies in %.2f s\n",
              ours->WordCount(), kWordList.c_str(), list_seconds, corpus_seconds);
  std::printf("our suggestion settings: deviations append %u, delete %u, insert %u, "
              "substitute %u; sort %d then %d; limit %u\n",
              ours->MaxDevAppend(), ours->MaxDevDelete(), ours->MaxDevInsert(),
              ours->MaxDevSubstitute(), static_cast<int>(ours->SortMethod1()),
              static_cast<int>(ours->SortMethod2()), ours->SuggestionLimit());

  std::vector<Checker> checkers;
  {
    TVelkSpellChecker* c = ours.get();
    checkers.push_back(
        {"wordloom",
         [c](const std::string& w) { return c->Frequency(w) > 0; },
         [c](const std::string& w, std::vector<std::string>& out) {
           c->Suggest(w);
           for (const std::string& s : c->Suggestions()) out.push_back(s);
         }});
  }

  spelling_bench::Peers peers;
  for (const Checker& c : peers.checkers) checkers.push_back(c);

  std::printf("\nsets (misspellings of one word; sampled evenly when over %zu):\n", sample_limit);
  for (const TestSet& s : sets) {
    std::printf("  %-26s %5zu used of %5zu", s.name.c_str(), s.items.size(), s.total);
    if (s.skipped > 0) std::printf(" (%zu more left out: a space in them, or no target)", s.skipped);
    std::printf("\n");
  }
  std::printf("\ncheck/s over the misspellings and their intended words; suggest latency per "
              "misspelling;\nfirst/top5: intended word first or among the first five "
              "suggestions;\naccepts: misspellings taken for words; knows: intended words known\n\n");
  std::printf("%-26s %-20s %11s %9s %9s %7s %7s %7s %7s\n", "set", "checker", "check/s",
              "sug med", "sug p90", "first", "top5", "accepts", "knows");
  for (const TestSet& s : sets) {
    for (const Checker& c : checkers) {
      const Result r = Measure(c, s);
      std::printf("%-26s %-20s %11.0f %6.3f ms %6.3f ms %7s %7s %7s %7s\n", s.name.c_str(),
                  c.name.c_str(), r.checks_per_second, r.median_ms, r.p90_ms,
                  Share(r.first, r.n).c_str(), Share(r.top5, r.n).c_str(),
                  Share(r.accepted, r.n).c_str(), Share(r.target_known, r.n).c_str());
      std::fflush(stdout);
    }
  }

  // CheckMemo: the text from the caret at 0 to its end, every unknown word
  // asked about, so Suggest runs once for each.
  const std::string corpus = Slurp(kData + "big.txt");
  auto cut = [&corpus](std::size_t size) {
    std::string text;
    text.reserve(size);
    while (text.size() < size) text.append(corpus, 0, std::min(corpus.size(), size - text.size()));
    return text;
  };
  auto* dialog = new IgnoreDlg(ours.get());  // the checker owns it
  ours->SetCheckDialog(dialog);
  std::printf("\nCheckMemo over big.txt, cut or repeated to size; the dialog ignores each word\n");
  std::printf("%-10s %10s %12s %12s %14s\n", "text", "seconds", "MB/s", "asked", "us per ask");
  MemoRun runs[2];
  const std::size_t sizes[2] = {1u << 20, 10u << 20};
  for (int i = 0; i < 2; ++i) {
    runs[i] = CheckText(*ours, *dialog, cut(sizes[i]));
    const double mb = static_cast<double>(runs[i].bytes) / (1 << 20);
    std::printf("%-10s %10.3f %12.2f %12zu %14.1f\n", i == 0 ? "1 MB" : "10 MB", runs[i].seconds,
                mb / runs[i].seconds, runs[i].asked,
                runs[i].asked ? runs[i].seconds * 1e6 / static_cast<double>(runs[i].asked) : 0.0);
    std::vector<std::pair<std::size_t, std::string>> most;
    for (const auto& [word, n] : dialog->words) most.emplace_back(n, word);
    std::sort(most.rbegin(), most.rend());
    std::printf("%-10s %zu distinct words asked; most asked:", "", most.size());
    for (std::size_t k = 0; k < std::min<std::size_t>(8, most.size()); ++k) {
      std::printf(" \"%s\" %zu", most[k].second.c_str(), most[k].first);
    }
    std::printf("\n");
    std::fflush(stdout);
  }
  std::printf("10 MB / 1 MB time: %.2f (text ratio 10.00, asked ratio %.2f)\n",
              runs[1].seconds / runs[0].seconds,
              runs[0].asked ? static_cast<double>(runs[1].asked) / static_cast<double>(runs[0].asked) : 0.0);
  std::printf("\nwhole run: %.1f s\n", Since(program_start));
  return 0;
}
