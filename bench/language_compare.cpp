// The likelihood ranking in German, French, Spanish and Russian beside
// Hunspell: misspellings made from the words of each installed Hunspell
// dictionary by the typos writers of that language make (an accent left off
// or added, ß written ss, a neighbouring key on the language's keyboard, a
// letter doubled, dropped or swapped with the next), then how often the
// intended word comes first and among the first five and ten suggestions,
// and the median time of one suggestion, for our ranking with the
// language's model, the same with the English model (QWERTY, sound-alike
// keys) on the same dictionary, and Hunspell on the same items. Prints
// tables; it measures and never fails.
//
//   language_compare [N] [--items FOLDER] [LANGUAGE...]
//
// N (default 300) misspellings a language, made with a fixed seed. The
// imported dictionaries carry no frequencies (every form counts 1), so the
// words are drawn evenly from the dictionary's stems (its .dic entries),
// not by how common they are; German nouns with their capital, the stems
// of the other languages in small letters only (their capitals are names).
// --items writes each language's items
// (misspelling TAB intended word) to FOLDER/NAME.tsv, for other tools.
// LANGUAGE: de_DE, fr, es_ES, ru_RU (default: all that are installed).
#include <hunspell/hunspell.hxx>
#include <wordloom/import/hunspell_import.h>
#include <wordloom/wordloom.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "checking/typing_language.h"
#include "spelling_peers.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace wordloom;
using detail::KeyboardLayout;
using spelling_bench::Clock;
using spelling_bench::Percentile;
using spelling_bench::Share;
using spelling_bench::Since;

const char* const kFolder = "/usr/share/hunspell/";
constexpr std::uint32_t kSeed = 20261208;

std::string Utf8(const std::u32string& letters) {
  std::string out;
  for (char32_t c : letters) {
    if (c >= detail::kRawByte) {
      out.push_back(static_cast<char>(c - detail::kRawByte));
    } else if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u32string Letters(const std::string& word) {
  std::u32string out;
  for (std::size_t i = 0; i < word.size();) out.push_back(detail::NextLetter(word, i));
  return out;
}

// The accented letters writers of each language add where they do not belong.
struct Language {
  const char* Name;  // the Hunspell dictionary
  const char* Title;
  std::map<char32_t, std::u32string> Accented;  // plain letter -> its accented forms
};

const std::vector<Language>& Languages() {
  static const std::vector<Language> kLanguages = {
      {"de_DE", "German", {{U'a', U"ä"}, {U'o', U"ö"}, {U'u', U"ü"}}},
      {"fr",
       "French",
       {{U'e', U"éèê"}, {U'a', U"àâ"}, {U'i', U"îï"}, {U'o', U"ô"}, {U'u', U"ùû"}, {U'c', U"ç"}}},
      {"es_ES",
       "Spanish",
       {{U'a', U"á"}, {U'e', U"é"}, {U'i', U"í"}, {U'o', U"ó"}, {U'u', U"úü"}, {U'n', U"ñ"}}},
      {"ru_RU", "Russian", {{U'е', U"ё"}, {U'и', U"й"}}},
  };
  return kLanguages;
}

struct Typo {
  std::string Wrong, Right, Pattern;
};

// The typo patterns, each a way to turn a word's letters into a misspelling;
// false when it does not apply to the word.
class Typist {
 public:
  Typist(const Language& L, const std::set<char32_t>& alphabet, std::mt19937& rng)
      : FLanguage(L), FRng(rng), FLayout(detail::TypingLanguageFor(L.Name).Layout) {
    for (char32_t a : alphabet) {
      for (char32_t b : alphabet) {
        if (a != b && detail::KeysTouch(detail::KeyOf(FLayout, a), detail::KeyOf(FLayout, b))) {
          FNeighbours[a].push_back(b);
        }
      }
    }
  }
  static constexpr const char* kPatterns[] = {"accent dropped", "accent added",  "ß as ss",
                                              "neighbour key",  "letter doubled", "letter dropped",
                                              "letters swapped"};
  bool Apply(int pattern, std::u32string& w) {
    switch (pattern) {
      case 0: return Pick(w, [](char32_t c) { return c != U'ß' && detail::WithoutAccent(c) != c; },
                          [](std::u32string& s, std::size_t i) { s[i] = detail::WithoutAccent(s[i]); });
      case 1: return Pick(w, [this](char32_t c) { return FLanguage.Accented.count(c) != 0; },
                          [this](std::u32string& s, std::size_t i) {
                            const std::u32string& forms = FLanguage.Accented.at(s[i]);
                            s[i] = forms[Below(forms.size())];
                          });
      case 2: return Pick(w, [](char32_t c) { return c == U'ß'; },
                          [](std::u32string& s, std::size_t i) { s.replace(i, 1, U"ss"); });
      case 3: return Pick(w, [this](char32_t c) { return FNeighbours.count(c) != 0; },
                          [this](std::u32string& s, std::size_t i) {
                            const std::u32string& near = FNeighbours.at(s[i]);
                            s[i] = near[Below(near.size())];
                          });
      case 4: return Pick(w, [](char32_t) { return true; },
                          [](std::u32string& s, std::size_t i) { s.insert(i, 1, s[i]); });
      case 5: return Pick(w, [](char32_t) { return true; },
                          [](std::u32string& s, std::size_t i) { s.erase(i, 1); }, 1);
      default: {
        std::vector<std::size_t> at;
        for (std::size_t i = 0; i + 1 < w.size(); ++i) {
          if (w[i] != w[i + 1]) at.push_back(i);
        }
        if (at.empty()) return false;
        const std::size_t i = at[Below(at.size())];
        std::swap(w[i], w[i + 1]);
        return true;
      }
    }
  }

 private:
  std::size_t Below(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(FRng);
  }
  // Changes one letter, from From on, that Fits.
  template <typename Fits, typename Change>
  bool Pick(std::u32string& w, Fits fits, Change change, std::size_t from = 0) {
    std::vector<std::size_t> at;
    for (std::size_t i = from; i < w.size(); ++i) {
      if (fits(w[i])) at.push_back(i);
    }
    if (at.empty()) return false;
    change(w, at[Below(at.size())]);
    return true;
  }
  const Language& FLanguage;
  std::mt19937& FRng;
  KeyboardLayout FLayout;
  std::map<char32_t, std::u32string> FNeighbours;
};

// The stems of a .dic: each entry's word before its flags, kept when it is
// 4 to 12 small letters (the first may be a capital where Nouns are written
// so, as German writes them).
std::vector<std::string> Stems(const std::string& dic, bool Nouns, std::set<char32_t>& alphabet) {
  std::ifstream in(dic);
  std::string line;
  std::getline(in, line);  // the count
  std::vector<std::string> out;
  while (std::getline(in, line)) {
    const std::string word = line.substr(0, line.find_first_of("/\t "));
    const std::u32string letters = Letters(word);
    if (letters.size() < 4 || letters.size() > 12) continue;
    bool plain = true;
    for (std::size_t i = 0; i < letters.size(); ++i) {
      const char32_t c = i == 0 && Nouns ? detail::LowerLetter(letters[i]) : letters[i];
      const bool letter = (c >= U'a' && c <= U'z') || (c >= 0xDF && c < detail::kRawByte && c != 0xF7 &&
                                                       detail::LowerLetter(c) == c);
      plain = plain && letter;
    }
    if (!plain) continue;
    for (char32_t c : letters) alphabet.insert(detail::LowerLetter(c));
    out.push_back(word);
  }
  return out;
}

struct Tally {
  std::size_t First = 0, Top5 = 0, Top10 = 0, N = 0;
  std::vector<double> Micros;
  void Add(const std::vector<std::string>& got, const std::string& right, double us) {
    ++N;
    Micros.push_back(us);
    const auto at = std::find(got.begin(), got.end(), right);
    if (at == got.end()) return;
    const auto rank = at - got.begin();
    First += rank == 0;
    Top5 += rank < 5;
    Top10 += rank < 10;
  }
};

double MiB(const fs::path& p) {
  std::error_code ec;
  const auto size = fs::file_size(p, ec);
  return ec ? 0.0 : static_cast<double>(size) / (1024.0 * 1024.0);
}

void RunLanguage(const Language& L, std::size_t count, const std::string& items_folder) {
  const std::string aff = std::string(kFolder) + L.Name + ".aff";
  const std::string dic = std::string(kFolder) + L.Name + ".dic";
  if (!fs::exists(aff) || !fs::exists(dic)) {
    std::printf("\n== %s: not installed (hunspell-* package), skipped\n", L.Name);
    return;
  }
  const ScratchFolder scratch;
  const std::string spl = scratch.File(std::string(L.Name) + ".spl");
  const std::string cache = scratch.File("compact");
  auto start = Clock::now();
  const HunspellImportReport report = ImportHunspellDictionary(aff, dic, spl, HunspellImportOptions());
  const double import_s = Since(start);

  // Ours through the compact form, as the tool opens a dictionary: one
  // checker makes the form, the measured one maps it.
  auto open = [&](const std::string& language) {
    auto c = std::make_unique<TVelkSpellChecker>(nullptr);
    c->SetSpellFileOptions({});
    c->SetSuggestionRanking(srkLikelihood);
    c->SetSuggestionLimit(10);
    c->SetLanguage(language);
    c->SetCompactFormFolder(cache);
    c->OpenSpellFile(spl);
    return c;
  };
  const std::string tag = DictionaryLanguage(L.Name);
  open(tag);
  auto ours = open(tag);
  open("en");
  auto english = open("en");
  double with_index = 0, without_index = 0;
  for (const auto& e : fs::directory_iterator(cache)) {
    // The cache also keeps the stamps of the files it has read.
    if (e.path().extension() != ".compact") continue;
    const bool plain = e.path().filename().string().find("-nosound") != std::string::npos;
    (plain ? without_index : with_index) = MiB(e.path());
  }
  Hunspell hunspell(aff.c_str(), dic.c_str());

  std::set<char32_t> alphabet;
  const std::vector<std::string> stems = Stems(dic, std::strcmp(L.Name, "de_DE") == 0, alphabet);
  std::mt19937 rng(kSeed);
  Typist typist(L, alphabet, rng);
  std::vector<Typo> items;
  std::set<std::string> taken;
  std::map<std::string, std::size_t> per_pattern;
  // The patterns in turn, so that each makes about as many items; ß as ss
  // only where the language writes ß.
  std::vector<int> patterns;
  for (int p = 0; p < static_cast<int>(std::size(Typist::kPatterns)); ++p) {
    if (p != 2 || alphabet.count(U'ß') != 0) patterns.push_back(p);
  }
  auto any_stem = [&]() -> const std::string& {
    return stems[std::uniform_int_distribution<std::size_t>(0, stems.size() - 1)(rng)];
  };
  for (std::size_t k = 0; items.size() < count && k < 4 * count && !stems.empty(); ++k) {
    const int pattern = patterns[k % patterns.size()];
    for (int tries = 0; tries < 1000; ++tries) {
      const std::string& right = any_stem();
      std::u32string letters = Letters(right);
      if (!typist.Apply(pattern, letters)) continue;
      const std::string wrong = Utf8(letters);
      if (wrong == right || ours->Frequency(wrong) != 0 || hunspell.spell(wrong)) continue;
      if (ours->Frequency(right) == 0 || !hunspell.spell(right)) continue;
      if (!taken.insert(wrong).second) continue;
      items.push_back({wrong, right, Typist::kPatterns[pattern]});
      ++per_pattern[Typist::kPatterns[pattern]];
      break;
    }
  }
  if (!items_folder.empty()) {
    std::ofstream out(items_folder + "/" + L.Name + ".tsv");
    for (const Typo& i : items) out << i.Wrong << '\t' << i.Right << '\n';
  }

  std::printf("\n== %s (%s): %zu forms imported in %.1f s; compact form %.1f MiB "
              "(with the English sound-alike index: %.1f MiB)\n",
              L.Name, L.Title, report.Forms, import_s, without_index, with_index);
  std::printf("%zu misspellings of %zu stems (4-12 letters), seed %u:", items.size(),
              stems.size(), kSeed);
  for (const auto& [name, n] : per_pattern) std::printf(" %s %zu,", name.c_str(), n);
  std::printf("\n\n%-30s %7s %7s %7s %11s\n", "checker", "first", "top5", "top10", "median");

  struct Run {
    std::string Name;
    std::function<void(const std::string&, std::vector<std::string>&)> Suggest;
    Tally All;
    std::map<std::string, Tally> ByPattern;
  };
  std::vector<Run> runs;
  auto ranked = [](TVelkSpellChecker& c) {
    return [&c](const std::string& w, std::vector<std::string>& out) {
      c.Suggest(w);
      out.assign(c.Suggestions().begin(), c.Suggestions().end());
    };
  };
  runs.push_back({std::string("wordloom, ") + L.Title + " model", ranked(*ours), {}, {}});
  runs.push_back({"wordloom, English model", ranked(*english), {}, {}});
  runs.push_back({std::string("hunspell ") + L.Name,
                  [&hunspell](const std::string& w, std::vector<std::string>& out) {
                    out = hunspell.suggest(w);
                  },
                  {}, {}});
  std::vector<std::string> got;
  for (Run& r : runs) {
    for (const Typo& item : items) {
      got.clear();
      const auto t = Clock::now();
      r.Suggest(item.Wrong, got);
      const double us = Since(t) * 1e6;
      r.All.Add(got, item.Right, us);
      r.ByPattern[item.Pattern].Add(got, item.Right, us);
    }
    std::printf("%-30s %7s %7s %7s %8.1f us\n", r.Name.c_str(), Share(r.All.First, r.All.N).c_str(),
                Share(r.All.Top5, r.All.N).c_str(), Share(r.All.Top10, r.All.N).c_str(),
                Percentile(r.All.Micros, 0.5));
  }
  std::printf("\nfirst / top5 by typo pattern:\n%-18s %5s", "pattern", "n");
  for (const Run& r : runs) std::printf("  %-22.22s", r.Name.c_str());
  std::printf("\n");
  for (const auto& [name, n] : per_pattern) {
    std::printf("%-18s %5zu", name.c_str(), n);
    for (Run& r : runs) {
      const Tally& t = r.ByPattern[name];
      std::printf("  %7s / %-12s", Share(t.First, t.N).c_str(), Share(t.Top5, t.N).c_str());
    }
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t count = 300;
  std::string items_folder;
  std::vector<std::string> wanted;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--items") == 0 && i + 1 < argc) {
      items_folder = argv[++i];
    } else if (argv[i][0] >= '0' && argv[i][0] <= '9') {
      count = std::strtoul(argv[i], nullptr, 10);
    } else {
      wanted.emplace_back(argv[i]);
    }
  }
  const auto start = Clock::now();
  for (const Language& L : Languages()) {
    if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), L.Name) == wanted.end()) continue;
    RunLanguage(L, count, items_folder);
  }
  std::printf("\nwhole run: %.1f s\n", Since(start));
  return 0;
}
