// The memo check's cost per word as the text grows: the editor's check
// (CheckProse, on the word layer) and the component's CheckMemo (the byte
// tokenizer), over ../shared/data/big.txt cut or repeated to 1, 4 and 16 MiB,
// with the default English dictionary and a check dialog that ignores each
// word once (so every unknown word is asked about, with its corrections).
// Counters: us per question, ns per byte of text, and the questions asked; a
// check linear in the text keeps both costs flat from 1 to 16 MiB.
//
//   build/default/bench/memo_check_bench [--benchmark_filter=Prose]
//   (from the project root; without ../shared/data it reports an error)
#include <benchmark/benchmark.h>

#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "wordloom/wordloom.h"

namespace {

using namespace wordloom;

const char* kText = "../shared/data/big.txt";

// Answers crIgnore to everything; counts the questions.
class IgnoreDlg : public TCustomSpellCheckDlg {
 public:
  using TCustomSpellCheckDlg::TCustomSpellCheckDlg;
  TCheckResults Execute(TVelkSpellChecker*, std::string&) override {
    ++Asked;
    return crIgnore;
  }
  std::size_t Asked = 0;
};

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// big.txt cut or repeated to Size bytes; empty without it.
std::string TextOfSize(std::size_t size) {
  std::ifstream in(kText, std::ios::binary);
  const std::string corpus{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string text;
  if (corpus.empty()) return text;
  text.reserve(size);
  while (text.size() < size) text.append(corpus, 0, std::min(corpus.size(), size - text.size()));
  return text;
}

template <bool Prose>
void BM_MemoCheck(benchmark::State& state) {
  const std::string text = TextOfSize(static_cast<std::size_t>(state.range(0)) << 20);
  if (text.empty()) {
    state.SkipWithError("no ../shared/data/big.txt: run from the project root");
    return;
  }
  TVelkSpellChecker checker(nullptr);
  checker.OpenSpellFile(WORDLOOM_DEFAULT_DICTIONARY);
  checker.SetSuggestionRanking(srkLikelihood);
  checker.SetSuggestionLimit(10);
  auto* dialog = new IgnoreDlg(&checker);  // owned by the checker
  checker.SetCheckDialog(dialog);
  TStringMemo memo(nullptr);
  checker.SetMemo(&memo);
  std::size_t asked = 0;
  double seconds = 0;  // processor time of the checks, which other load does not stretch
  for (auto _ : state) {
    state.PauseTiming();
    memo.SetText(text);
    dialog->Asked = 0;
    const double start = CpuSeconds();
    state.ResumeTiming();
    if constexpr (Prose) {
      CheckProse(checker, memo);
    } else {
      checker.CheckMemo();
    }
    state.PauseTiming();
    seconds += CpuSeconds() - start;
    asked += dialog->Asked;
    state.ResumeTiming();
  }
  checker.SetMemo(nullptr);
  const double iterations = static_cast<double>(state.iterations());
  state.counters["asked"] = static_cast<double>(asked) / iterations;
  state.counters["us_per_question"] = asked ? seconds * 1e6 / static_cast<double>(asked) : 0.0;
  state.counters["ns_per_byte"] = seconds * 1e9 / (static_cast<double>(text.size()) * iterations);
}

BENCHMARK_TEMPLATE(BM_MemoCheck, true)->Name("Prose")->Arg(1)->Arg(4)->Arg(16)
    ->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_TEMPLATE(BM_MemoCheck, false)->Name("CheckMemo")->Arg(1)->Arg(4)->Arg(16)
    ->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
