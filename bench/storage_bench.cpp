// Spell file save and open for a dictionary of the system word list
// (/usr/share/dict/words), plain and protected, with the file size; and in the
// same run Hunspell loading its en_US dictionary, for comparison.
//
//   build/default/bench/storage_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "support/scratch_folder.h"
#include "wordloom/wordloom.h"

#ifdef WORDLOOM_BENCH_HUNSPELL
#include <hunspell/hunspell.hxx>
#endif

namespace {

using namespace wordloom;

const ScratchFolder kFolder;
const std::string kPlainFile = kFolder.File("plain.spl");
const std::string kProtectedFile = kFolder.File("protected.spl");

// Answers every password request with the same password.
class BenchServices : public THeadlessServices {
 public:
  bool AskPassword(const std::string&, std::string& Password) override {
    Password = "benchmark password";
    return true;
  }
};

BenchServices& Services() {
  static BenchServices services;
  static ScopedApplicationServices scope(services);
  return services;
}

std::unique_ptr<TVelkWordloom> WordListDictionary() {
  auto dict = std::make_unique<TVelkWordloom>(nullptr);
  dict->SetSpellFileOptions({});
  dict->InitFirstSpellNode();
  std::ifstream in("/usr/share/dict/words");
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty()) dict->AddToSpell(line);
  }
  return dict;
}

std::int64_t FileSize(const std::string& name) {
  TFileStream f(name, fmOpenRead);
  return f.Size();
}

void Save(benchmark::State& state, bool protect) {
  Services();
  auto dict = WordListDictionary();
  if (dict->WordCount() == 0) {
    state.SkipWithError("no word list at /usr/share/dict/words");
    return;
  }
  const std::string& name = protect ? kProtectedFile : kPlainFile;
  for (auto _ : state) {
    // A save writes only a modified dictionary: add and remove a word.
    dict->AddToSpell("benchmarkword");
    dict->DeleteFromSpell("benchmarkword");
    dict->SaveSpellFile(name, protect);
  }
  state.counters["words"] = dict->WordCount();
  state.counters["file_bytes"] = static_cast<double>(FileSize(name));
}

void BM_SavePlain(benchmark::State& state) { Save(state, false); }
void BM_SaveProtected(benchmark::State& state) { Save(state, true); }
BENCHMARK(BM_SavePlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveProtected)->Unit(benchmark::kMillisecond);

void Open(benchmark::State& state, const std::string& name) {
  Services();
  if (!FileExists(name)) {
    state.SkipWithError("run the save benchmark first");
    return;
  }
  std::uint32_t words = 0;
  for (auto _ : state) {
    TVelkWordloom dict(nullptr);
    dict.SetSpellFileOptions({});
    dict.OpenSpellFile(name);
    words = dict.WordCount();
  }
  state.counters["words"] = words;
}

void BM_OpenPlain(benchmark::State& state) { Open(state, kPlainFile); }
void BM_OpenProtected(benchmark::State& state) { Open(state, kProtectedFile); }
BENCHMARK(BM_OpenPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenProtected)->Unit(benchmark::kMillisecond);

#ifdef WORDLOOM_BENCH_HUNSPELL
void BM_HunspellLoad(benchmark::State& state) {
  const char* aff = "/usr/share/hunspell/en_US.aff";
  const char* dic = "/usr/share/hunspell/en_US.dic";
  if (!FileExists(aff) || !FileExists(dic)) {
    state.SkipWithError("hunspell-en-us is not installed");
    return;
  }
  for (auto _ : state) {
    Hunspell h(aff, dic);
    benchmark::DoNotOptimize(h.spell(std::string("benchmark")));
  }
}
BENCHMARK(BM_HunspellLoad)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
