// What the spelling benchmarks share: the misspelling sets of ../shared/data
// and the checkers people compare with (Hunspell and nuspell with the en_US
// dictionary of hunspell-en-us, Aspell with aspell-en in the sug-modes
// "normal" and "ultra"), each present when the build found it, behind one
// interface.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench_files.h"

#ifdef WORDLOOM_BENCH_HUNSPELL
#include <hunspell/hunspell.hxx>
#endif
#ifdef WORDLOOM_BENCH_NUSPELL
#include <nuspell/dictionary.hxx>
#endif
#ifdef WORDLOOM_BENCH_ASPELL
#include <aspell.h>
#endif

namespace spelling_bench {

using Clock = std::chrono::steady_clock;

inline const std::string kData = "../shared/data/";
inline const std::string kHunspellAff = "/usr/share/hunspell/en_US.aff";
inline const std::string kHunspellDic = "/usr/share/hunspell/en_US.dic";

inline double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// ---- the misspelling sets ----

struct Item {
  std::string wrong;
  std::string right;
};

struct TestSet {
  std::string name;
  std::vector<Item> items;
  std::size_t total = 0;    // usable misspellings in the file
  std::size_t skipped = 0;  // misspellings of more than one word, or of no known target
};

// Lines `right: wrong1 wrong2 ...`.
inline TestSet ReadColonSet(const std::string& name) {
  TestSet set{name, {}, 0, 0};
  std::ifstream in(kData + name);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string right = line.substr(0, colon);
    std::istringstream words(line.substr(colon + 1));
    std::string wrong;
    while (words >> wrong) set.items.push_back({wrong, right});
  }
  return set;
}

// A `$right` line, then one misspelling per line (maybe followed by a count);
// `_` stands for a space. Misspellings with a space, and those of the target
// `$?`, are left out: a checker of single words cannot be judged on them.
inline TestSet ReadMittonSet(const std::string& name) {
  TestSet set{name, {}, 0, 0};
  std::ifstream in(kData + name);
  std::string line;
  std::string right;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line[0] == '$') {
      right = line.substr(1);
      continue;
    }
    std::istringstream fields(line);
    std::string wrong;
    fields >> wrong;
    if (wrong.empty()) continue;
    if (right.empty() || right == "?" || right.find('_') != std::string::npos ||
        wrong.find('_') != std::string::npos) {
      ++set.skipped;
      continue;
    }
    set.items.push_back({wrong, right});
  }
  return set;
}

// Keeps at most Limit items, every n-th, so that the sample spans the set.
inline void Sample(TestSet& set, std::size_t limit) {
  set.total = set.items.size();
  if (set.items.size() <= limit) return;
  std::vector<Item> kept;
  kept.reserve(limit);
  for (std::size_t i = 0; i < limit; ++i) kept.push_back(set.items[i * set.items.size() / limit]);
  set.items = std::move(kept);
}

// Lines `wrong right distance`; a distance of 0 means the query is a word.
inline TestSet ReadNoisySet(const std::string& name) {
  TestSet set{name, {}, 0, 0};
  std::ifstream in(kData + name);
  std::string wrong, right, distance;
  while (in >> wrong >> right >> distance) set.items.push_back({wrong, right});
  return set;
}

// Every set of ../shared/data that is there, each sampled to at most Limit.
inline std::vector<TestSet> ReadSets(std::size_t Limit) {
  std::vector<TestSet> sets;
  for (const char* name : {"spell-testset1.txt", "spell-testset2.txt"}) {
    if (Exists(kData + name)) sets.push_back(ReadColonSet(name));
  }
  for (const char* name : {"mitton-holbrook-missp.dat", "mitton-birbeck.dat"}) {
    if (Exists(kData + name)) sets.push_back(ReadMittonSet(name));
  }
  if (Exists(kData + "noisy_query_en_1000.txt")) sets.push_back(ReadNoisySet("noisy_query_en_1000.txt"));
  for (TestSet& s : sets) Sample(s, Limit);
  return sets;
}

// ---- the checkers, behind one interface ----

struct Checker {
  std::string name;
  std::function<bool(const std::string&)> check;
  std::function<void(const std::string&, std::vector<std::string>&)> suggest;
};

inline double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const auto at = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(at, v.size() - 1)];
}

inline std::string Share(std::size_t k, std::size_t n) {
  char s[32];
  std::snprintf(s, sizeof s, "%5.1f%%", n == 0 ? 0.0 : 100.0 * static_cast<double>(k) / static_cast<double>(n));
  return s;
}

// The peers that were built in, with what keeps them alive.
class Peers {
 public:
  // Loads each peer, saying on standard output which ones are missing.
  Peers() {
#ifdef WORDLOOM_BENCH_HUNSPELL
    if (Exists(kHunspellAff) && Exists(kHunspellDic)) {
      hunspell = std::make_unique<Hunspell>(kHunspellAff.c_str(), kHunspellDic.c_str());
      Hunspell* h = hunspell.get();
      checkers.push_back({"hunspell en_US",
                          [h](const std::string& w) { return h->spell(w); },
                          [h](const std::string& w, std::vector<std::string>& out) {
                            out = h->suggest(w);
                          }});
    } else {
      std::printf("hunspell: no en_US dictionary in /usr/share/hunspell, skipped\n");
    }
#else
    std::printf("hunspell: not built in (libhunspell-dev missing), skipped\n");
#endif

#ifdef WORDLOOM_BENCH_NUSPELL
    if (Exists(kHunspellAff) && Exists(kHunspellDic)) {
      try {
        nuspell_dict = std::make_unique<nuspell::Dictionary>();
        nuspell_dict->load_aff_dic(kHunspellAff);
        nuspell::Dictionary* d = nuspell_dict.get();
        checkers.push_back({"nuspell en_US",
                            [d](const std::string& w) { return d->spell(w); },
                            [d](const std::string& w, std::vector<std::string>& out) {
                              d->suggest(w, out);
                            }});
      } catch (const std::exception& e) {
        std::printf("nuspell: cannot load en_US (%s), skipped\n", e.what());
      }
    } else {
      std::printf("nuspell: no en_US dictionary in /usr/share/hunspell, skipped\n");
    }
#else
    std::printf("nuspell: not built in (libnuspell-dev missing), skipped\n");
#endif

#ifdef WORDLOOM_BENCH_ASPELL
    for (const char* mode : {"normal", "ultra"}) {
      AspellConfig* config = new_aspell_config();
      aspell_config_replace(config, "lang", "en_US");
      aspell_config_replace(config, "encoding", "utf-8");
      aspell_config_replace(config, "sug-mode", mode);
      AspellCanHaveError* made = new_aspell_speller(config);
      delete_aspell_config(config);
      if (aspell_error_number(made) != 0) {
        std::printf("aspell %s: %s, skipped\n", mode, aspell_error_message(made));
        delete_aspell_can_have_error(made);
        continue;
      }
      AspellSpeller* s = to_aspell_speller(made);
      spellers.emplace_back(s);
      checkers.push_back({std::string("aspell en_US ") + mode,
                          [s](const std::string& w) {
                            return aspell_speller_check(s, w.c_str(), static_cast<int>(w.size())) == 1;
                          },
                          [s](const std::string& w, std::vector<std::string>& out) {
                            const AspellWordList* list =
                                aspell_speller_suggest(s, w.c_str(), static_cast<int>(w.size()));
                            AspellStringEnumeration* e = aspell_word_list_elements(list);
                            while (const char* word = aspell_string_enumeration_next(e)) {
                              out.emplace_back(word);
                            }
                            delete_aspell_string_enumeration(e);
                          }});
    }
#else
    std::printf("aspell: not built in (libaspell-dev missing), skipped\n");
#endif
  }
  std::vector<Checker> checkers;

 private:
#ifdef WORDLOOM_BENCH_HUNSPELL
  std::unique_ptr<Hunspell> hunspell;
#endif
#ifdef WORDLOOM_BENCH_NUSPELL
  std::unique_ptr<nuspell::Dictionary> nuspell_dict;
#endif
#ifdef WORDLOOM_BENCH_ASPELL
  struct AspellDeleter {
    void operator()(AspellSpeller* s) const { delete_aspell_speller(s); }
  };
  std::vector<std::unique_ptr<AspellSpeller, AspellDeleter>> spellers;
#endif
};

}  // namespace spelling_bench
