// The Hunspell import beside Hunspell itself, for every dictionary of
// /usr/share/hunspell this knows (en_US, de_DE, fr, es_ES, ru_RU, nl): how
// many forms the import makes and how far Hunspell's spell() agrees with
// them (every form, and one near miss per form), the import's time and peak
// memory, the spell file's size, and the time and memory of loading it
// beside Hunspell loading the same .aff/.dic; for German and Dutch, what
// leaving compounds out costs on a text of our own (bench/data). Each time
// and memory figure comes from a fresh process (the program run again with
// --measure), so that one does not count another's memory.
//   import_compare [LANGUAGE...]
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unordered_set>
#include <vector>

#include <hunspell/hunspell.hxx>
#include <wordloom/import/hunspell_import.h>
#include <wordloom/wordloom.h>

#include "support/hunspell_agreement.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char* const kFolder = "/usr/share/hunspell/";

struct Measure {
  double Seconds = 0;
  long PeakKb = 0;   // the child's peak resident memory
  long StartKb = 0;  // its resident memory before the work
};

long PeakKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// One measured step, run as "import_compare --measure STEP AFF DIC SPL" in a
// fresh process, so that its peak memory is its own: prints the seconds, the
// memory before and the peak.
int MeasureStep(const std::string& step, const std::string& aff, const std::string& dic,
                const std::string& spl) {
  Measure m;
  m.StartKb = PeakKb();
  const auto start = Clock::now();
  if (step == "import") {
    wordloom::ImportHunspellDictionary(aff, dic, spl, wordloom::HunspellImportOptions());
  } else if (step == "open") {
    wordloom::TVelkSpellChecker checker(nullptr);
    checker.OpenSpellFile(spl);
  } else {
    Hunspell h(aff.c_str(), dic.c_str());
    (void)h.spell(std::string("a"));
  }
  m.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
  m.PeakKb = PeakKb();
  std::printf("%f %ld %ld\n", m.Seconds, m.StartKb, m.PeakKb);
  return 0;
}

Measure InChild(const std::string& step, const std::string& aff, const std::string& dic,
                const std::string& spl) {
  const std::string command = fs::read_symlink("/proc/self/exe").string() + " --measure " + step + " '" + aff + "' '" + dic + "' '" + spl + "'";
  Measure m;
  if (FILE* p = popen(command.c_str(), "r")) {
    if (std::fscanf(p, "%lf %ld %ld", &m.Seconds, &m.StartKb, &m.PeakKb) != 3) m = {};
    pclose(p);
  }
  return m;
}

// What leaving compounds out costs on a text of the language: of the words
// Hunspell accepts, how many the imported list rejects (with the checker's
// own case and hyphen rules), and how many of those are compounds (a
// Hunspell without the .aff's compounding rejects them too).
void CompoundCost(const std::string& name, const std::string& aff, const std::string& dic,
                  const std::string& temp) {
  const std::string text_file = std::string(WORDLOOM_BENCH_DATA) + "/compounds-" + name.substr(0, 2) + ".txt";
  if (!fs::exists(text_file)) return;
  wordloom::TVelkWordloom dict(nullptr);
  dict.InitFirstSpellNode();
  wordloom::ImportHunspellInto(aff, dic, dict, wordloom::HunspellImportOptions());
  Hunspell full(aff.c_str(), dic.c_str());
  const std::string plain_aff = temp + "/no-compounds.aff";
  hunspell_agreement::WriteAffWithoutCompounds(aff, plain_aff);
  Hunspell plain(plain_aff.c_str(), dic.c_str());
  std::size_t words = 0, hunspell_ok = 0, rejected = 0, compounds = 0;
  std::string examples;
  for (const wordloom::UnicodeWord& w : wordloom::FindUnicodeWords(hunspell_agreement::ReadAll(text_file))) {
    ++words;
    if (!full.spell(w.Lookup)) continue;
    ++hunspell_ok;
    if (wordloom::IsKnownWord(dict, w.Lookup, false)) continue;
    ++rejected;
    if (!plain.spell(w.Lookup)) {
      ++compounds;
      if (compounds <= 8) examples += " " + w.Lookup;
    } else if (rejected - compounds <= 4) {
      examples += " [" + w.Lookup + "]";
    }
  }
  std::printf("compounds on %s (%zu words, %zu of them correct to Hunspell): the list rejects %zu "
              "(%.1f %%), %zu of them compounds; e.g.%s ([...]: not a compound)\n",
              fs::path(text_file).filename().c_str(), words, hunspell_ok, rejected,
              100.0 * rejected / std::max<std::size_t>(1, hunspell_ok), compounds, examples.c_str());
}

void Report(const std::string& name, const std::string& temp) {
  const std::string aff = kFolder + name + ".aff", dic = kFolder + name + ".dic";
  const std::string spl = temp + "/" + name + ".spl";
  std::printf("\n== %s\n", name.c_str());

  const Measure import = InChild("import", aff, dic, spl);
  const Measure open = InChild("open", aff, dic, spl);
  const Measure hunspell = InChild("hunspell", aff, dic, spl);

  std::unordered_set<std::string> forms;
  const auto start = Clock::now();
  const wordloom::HunspellImportReport report = wordloom::ExpandHunspellDictionary(
      aff, dic, wordloom::HunspellImportOptions(),
      [&](std::string_view form) { forms.emplace(form); });
  const double expand_seconds = std::chrono::duration<double>(Clock::now() - start).count();
  const hunspell_agreement::Result r = hunspell_agreement::Compare(forms, aff, dic, temp);

  std::printf("entries %zu, forms %zu distinct of %zu made, %llu affix entries tried (expansion alone %.2f s)%s\n",
              report.Entries, forms.size(), report.Forms, static_cast<unsigned long long>(report.Steps),
              expand_seconds, report.Compounding ? ", compounds not listed" : "");
  std::printf("agreement with Hunspell's spell(): %.4f %% of %zu words\n", 100 * r.Agreement(),
              r.Checked());
  std::printf("  without the case forms, break points and numbers (the checker's own rules): %.4f %%\n",
              100 * r.ListAgreement());
  std::printf("  forms Hunspell rejects:        %zu of %zu\n", r.FormsRejected, r.Forms);
  std::printf("  near misses Hunspell accepts:  %zu of %zu\n", r.NearMissesAccepted, r.NearMisses);
  for (const auto& [cls, n] : r.Classes) {
    std::printf("    %-62s %7zu  e.g.", cls.c_str(), n);
    for (const std::string& e : r.Examples.at(cls)) std::printf(" %s", e.c_str());
    std::printf("\n");
  }
  std::printf("%-34s %10s %12s\n", "", "time", "memory");
  std::printf("%-34s %8.2f s %9.1f MB\n", "import (peak)", import.Seconds, import.PeakKb / 1024.0);
  std::printf("%-34s %8.3f s %9.1f MB\n", "wordloom: open the spell file", open.Seconds,
              (open.PeakKb - open.StartKb) / 1024.0);
  std::printf("%-34s %8.3f s %9.1f MB\n", "Hunspell: load the .aff/.dic", hunspell.Seconds,
              (hunspell.PeakKb - hunspell.StartKb) / 1024.0);
  if (report.Compounding) CompoundCost(name, aff, dic, temp);
  std::error_code ec;
  std::printf("spell file %.1f MB; .aff + .dic %.1f MB\n", fs::file_size(spl, ec) / 1048576.0,
              (fs::file_size(aff, ec) + fs::file_size(dic, ec)) / 1048576.0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && std::string(argv[1]) == "--measure") return MeasureStep(argv[2], argv[3], argv[4], argv[5]);
  std::vector<std::string> names = {"en_US", "de_DE", "fr", "es_ES", "ru_RU", "nl"};
  if (argc > 1) names.assign(argv + 1, argv + argc);
  char pattern[] = "/tmp/import_compare.XXXXXX";
  const char* temp = mkdtemp(pattern);
  if (temp == nullptr) return 1;
  for (const std::string& name : names) {
    if (!fs::exists(kFolder + name + ".dic") || !fs::exists(kFolder + name + ".aff")) {
      std::printf("\n== %s: not installed (hunspell-* package), skipped\n", name.c_str());
      continue;
    }
    try {
      Report(name, temp);
    } catch (const std::exception& e) {
      std::printf("%s: %s\n", name.c_str(), e.what());
    }
  }
  fs::remove_all(temp);
  return 0;
}
