// The dictionary's trie against a std::unordered_set<std::string> on the words
// of the system word list (/usr/share/dict/words, from the wamerican package):
// insert rate, lookup rate over a shuffled stream of known and unknown words,
// and bytes of memory per word.
//
//   build/default/bench/dictionary_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "wordloom/wordloom.h"

namespace {

using wordloom::TVelkWordloom;

const char* kWordList = "/usr/share/dict/words";

const std::vector<std::string>& Words() {
  static const std::vector<std::string> words = [] {
    std::vector<std::string> out;
    std::ifstream in(kWordList);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty()) out.push_back(line);
    }
    return out;
  }();
  return words;
}

// Half known words, half unknown ones (a known word with one letter changed),
// shuffled.
const std::vector<std::string>& Queries() {
  static const std::vector<std::string> queries = [] {
    std::mt19937 rng(42);
    std::vector<std::string> out;
    for (const std::string& w : Words()) {
      out.push_back(w);
      std::string typo = w;
      typo[rng() % typo.size()] = static_cast<char>('a' + rng() % 26);
      out.push_back(typo);
    }
    std::shuffle(out.begin(), out.end(), rng);
    return out;
  }();
  return queries;
}

std::size_t HeapInUse() { return mallinfo2().uordblks; }

bool HaveWords(benchmark::State& state) {
  if (Words().empty()) {
    state.SkipWithError("no word list at /usr/share/dict/words");
    return false;
  }
  return true;
}

void FillDictionary(TVelkWordloom& dict) {
  dict.InitFirstSpellNode();
  for (const std::string& w : Words()) dict.AddToSpell(w);
}

void BM_TrieInsert(benchmark::State& state) {
  if (!HaveWords(state)) return;
  for (auto _ : state) {
    TVelkWordloom dict(nullptr);
    FillDictionary(dict);
    benchmark::DoNotOptimize(dict.WordCount());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Words().size()));
}
BENCHMARK(BM_TrieInsert)->Unit(benchmark::kMillisecond);

void BM_HashSetInsert(benchmark::State& state) {
  if (!HaveWords(state)) return;
  for (auto _ : state) {
    std::unordered_set<std::string> set;
    for (const std::string& w : Words()) set.insert(w);
    benchmark::DoNotOptimize(set.size());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Words().size()));
}
BENCHMARK(BM_HashSetInsert)->Unit(benchmark::kMillisecond);

void BM_TrieFrequency(benchmark::State& state) {
  if (!HaveWords(state)) return;
  const std::size_t before = HeapInUse();
  TVelkWordloom dict(nullptr);
  FillDictionary(dict);
  const std::size_t heap = HeapInUse() - before;
  const auto& queries = Queries();
  std::size_t i = 0;
  std::uint64_t found = 0;
  for (auto _ : state) {
    found += dict.Frequency(queries[i]) != 0;
    if (++i == queries.size()) i = 0;
  }
  benchmark::DoNotOptimize(found);
  state.SetItemsProcessed(state.iterations());
  const double words = static_cast<double>(dict.WordCount());
  state.counters["words"] = words;
  state.counters["nodes"] = dict.GetNodeCount();
  state.counters["heap_B/word"] = static_cast<double>(heap) / words;
  state.counters["trie_B/word"] = static_cast<double>(dict.TrieAllocatedBytes()) / words;
}
BENCHMARK(BM_TrieFrequency);

void BM_HashSetFind(benchmark::State& state) {
  if (!HaveWords(state)) return;
  const std::size_t before = HeapInUse();
  std::unordered_set<std::string> set(Words().begin(), Words().end());
  const std::size_t heap = HeapInUse() - before;
  const auto& queries = Queries();
  std::size_t i = 0;
  std::uint64_t found = 0;
  for (auto _ : state) {
    found += set.count(queries[i]);
    if (++i == queries.size()) i = 0;
  }
  benchmark::DoNotOptimize(found);
  state.SetItemsProcessed(state.iterations());
  state.counters["heap_B/word"] = static_cast<double>(heap) / static_cast<double>(set.size());
}
BENCHMARK(BM_HashSetFind);

}  // namespace

BENCHMARK_MAIN();
