// Opening dictionaries and answering at once, beside Aspell (aspell-en,
// sug-mode normal) and Hunspell, each measured in a fresh process so that one
// checker's memory does not hide another's:
//   - the time to open, and the memory the open adds: the resident set
//     (VmRSS, which counts the pages of mapped files a process has touched,
//     shared with every other process and dropped at will) and the private
//     memory within it (RssAnon);
//   - the first suggestion after opening, and the memory then;
//   - checks per second over the words of ../shared/data/big.txt;
//   - the median and 90th percentile of one suggestion over the misspellings
//     of ../shared/data/spell-testset1.txt, and the memory after all of them
//     (the checks before included);
//   - a whole process asked for one suggestion: `wordloom suggest recieve`,
//     `aspell -a` and `hunspell -a` given "recieve" on standard input.
// The default English dictionary (peers with en_US) is opened as the tool
// opens it: through the compact form beside en.spl with stamps in a cache
// folder (what every open after the first finds), through the form with no
// cache folder (the spell file and the form read in full, as the first open
// after a change), and from a copy of en.spl alone (the trie read and the
// sound-alike index built).
// Then each large dictionary of /usr/share/hunspell asked for (French,
// German, Spanish and Russian unless named), imported into a spell file here
// with its compact form beside it, beside Hunspell with the same .aff/.dic:
// opening (with stamps, and with the spell file and form read whole),
// memory and the first suggestion.
// Medians of several runs; it measures and never fails. Every file it writes,
// the tool's cache included, lies in a scratch folder of its own.
//
//   build/noqt/bench/open_compare [RUNS] [LANGUAGE...]   (e.g. 5 fr de_DE)
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "spelling_peers.h"
#include "support/scratch_folder.h"
#include "wordloom/import/hunspell_import.h"
#include "wordloom/wordloom.h"

extern char** environ;

namespace {

using namespace spelling_bench;
using namespace wordloom;

// What one run of one checker measured.
struct Figures {
  double open_ms = 0, open_kib = 0, open_anon_kib = 0, first_ms = 0, first_kib = 0,
         first_anon_kib = 0, checks_per_s = 0, median_us = 0, p90_us = 0, all_kib = 0;
  bool ok = false;
};

// A checker as the runs drive it: Open returns false when it is missing.
struct Subject {
  std::string name;
  std::function<bool()> open;
  std::function<bool(const std::string&)> check;
  std::function<void(const std::string&, std::vector<std::string>&)> suggest;
};

// A field of /proc/self/status in KiB ("VmRSS:", "RssAnon:").
double StatusKiB(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::size_t length = std::strlen(field);
  while (std::getline(in, line)) {
    if (line.compare(0, length, field) == 0) return std::strtod(line.c_str() + length, nullptr);
  }
  return 0;
}

// The words of a text: runs of letters and apostrophes.
std::vector<std::string> Tokens(const std::string& text) {
  std::vector<std::string> out;
  std::string w;
  for (char c : text) {
    if (std::isalpha(static_cast<unsigned char>(c)) || (c == '\'' && !w.empty())) {
      w.push_back(c);
    } else if (!w.empty()) {
      out.push_back(w);
      w.clear();
    }
  }
  if (!w.empty()) out.push_back(w);
  return out;
}

// Runs Subject in a child process and returns what it measured.
Figures RunInChild(const Subject& s, const std::string& typo,
                   const std::vector<std::string>& tokens, const std::vector<Item>& items) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    Figures f;
    const double before = StatusKiB("VmRSS:"), anon_before = StatusKiB("RssAnon:");
    auto t = Clock::now();
    f.ok = s.open();
    f.open_ms = Since(t) * 1e3;
    f.open_kib = StatusKiB("VmRSS:") - before;
    f.open_anon_kib = StatusKiB("RssAnon:") - anon_before;
    if (f.ok) {
      std::vector<std::string> out;
      t = Clock::now();
      s.suggest(typo, out);
      f.first_ms = Since(t) * 1e3;
      f.first_kib = StatusKiB("VmRSS:") - before;
      f.first_anon_kib = StatusKiB("RssAnon:") - anon_before;
      std::size_t sink = 0;
      t = Clock::now();
      for (const std::string& w : tokens) sink += s.check(w) ? 1 : 0;
      f.checks_per_s = tokens.empty() ? 0 : static_cast<double>(tokens.size()) / Since(t);
      if (sink == SIZE_MAX) std::printf(" ");
      std::vector<double> us;
      for (const Item& item : items) {
        out.clear();
        t = Clock::now();
        s.suggest(item.wrong, out);
        us.push_back(Since(t) * 1e6);
      }
      f.median_us = Percentile(us, 0.5);
      f.p90_us = Percentile(us, 0.9);
      f.all_kib = StatusKiB("VmRSS:") - before;
    }
    if (write(fds[1], &f, sizeof f) != static_cast<ssize_t>(sizeof f)) _exit(1);
    _exit(0);
  }
  close(fds[1]);
  Figures f;
  if (read(fds[0], &f, sizeof f) != static_cast<ssize_t>(sizeof f)) f = {};
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return f;
}

double Median(std::vector<double> v) { return Percentile(std::move(v), 0.5); }

#ifdef WORDLOOM_BENCH_HUNSPELL
// Hunspell with Aff and Dic, kept in Peer while a run uses it.
Subject HunspellSubject(const std::string& Name, const std::string& Aff, const std::string& Dic,
                        std::unique_ptr<Hunspell>& Peer) {
  return {Name,
          [&Peer, Aff, Dic] {
            if (!Exists(Aff) || !Exists(Dic)) return false;
            Peer = std::make_unique<Hunspell>(Aff.c_str(), Dic.c_str());
            return true;
          },
          [&Peer](const std::string& w) { return Peer->spell(w); },
          [&Peer](const std::string& w, std::vector<std::string>& out) { out = Peer->suggest(w); }};
}
#endif

// Measures each subject Runs times and prints a row of medians for each.
void PrintTable(const std::vector<Subject>& subjects, int runs, const std::string& typo,
                const std::vector<std::string>& tokens, const std::vector<Item>& items) {
  std::printf("%-26s %9s %15s %10s %15s %9s %10s %9s %10s\n", "checker", "open", "open mem",
              "1st sugg", "after 1st sugg", "checks/s", "sugg med", "sugg p90", "after all");
  for (const Subject& s : subjects) {
    std::vector<double> open_ms, open_kib, open_anon, first_ms, first_kib, first_anon, cps, med, p90,
        all_kib;
    bool ok = true;
    for (int r = 0; r < runs && ok; ++r) {
      const Figures f = RunInChild(s, typo, tokens, items);
      ok = f.ok;
      open_ms.push_back(f.open_ms);
      open_kib.push_back(f.open_kib);
      open_anon.push_back(f.open_anon_kib);
      first_anon.push_back(f.first_anon_kib);
      first_ms.push_back(f.first_ms);
      first_kib.push_back(f.first_kib);
      cps.push_back(f.checks_per_s);
      med.push_back(f.median_us);
      p90.push_back(f.p90_us);
      all_kib.push_back(f.all_kib);
    }
    if (!ok) {
      std::printf("%-26s cannot open, skipped\n", s.name.c_str());
      continue;
    }
    std::printf("%-26s %6.2f ms %6.2f (%5.2f) %7.2f ms %6.2f (%5.2f) %7.2f M %7.1f us %6.1f us %7.2f\n",
                s.name.c_str(), Median(open_ms), Median(open_kib) / 1024, Median(open_anon) / 1024,
                Median(first_ms), Median(first_kib) / 1024, Median(first_anon) / 1024,
                Median(cps) / 1e6, Median(med), Median(p90), Median(all_kib) / 1024);
    std::fflush(stdout);
  }
}

// Wall time of running Argv with Input on standard input (output discarded
// into a file of the scratch folder), in milliseconds; negative on failure.
double TimeProcess(const std::vector<std::string>& argv, const std::string& input,
                   const ScratchFolder& folder) {
  const std::string in_name = folder.File("in.txt"), out_name = folder.File("out.txt");
  std::ofstream(in_name) << input;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in_name.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, out_name.c_str(), O_WRONLY | O_APPEND, 0644);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  // The tool's cache and personal lists in the scratch folder.
  std::vector<std::string> env_strings;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::strncmp(*e, "XDG_", 4) != 0) env_strings.emplace_back(*e);
  }
  for (const char* name : {"XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
    env_strings.push_back(std::string(name) + "=" + folder.File("home"));
  }
  std::vector<char*> env;
  for (std::string& e : env_strings) env.push_back(e.data());
  env.push_back(nullptr);
  const auto t = Clock::now();
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  const double ms = Since(t) * 1e3;
  return WIFEXITED(status) && WEXITSTATUS(status) <= 1 ? ms : -1;
}

// A large dictionary of /usr/share/hunspell and a misspelling to ask about.
struct Language {
  const char* code;
  const char* typo;
};
constexpr Language kLanguages[] = {
    {"fr", "bonjuor"}, {"de_DE", "Fahrad"}, {"es_ES", "graicas"}, {"ru_RU", "превет"}};

// Opens Spell once or twice with Folder as the cache, so that the stamps of
// the spell file and of its form are there, as after a first use.
void LeaveStamps(const std::string& spell, const std::string& folder) {
  for (int i = 0; i < 2; ++i) {
    TVelkSpellChecker c(nullptr);
    c.SetSpellFileOptions({});
    c.SetCompactFormFolder(folder);
    c.SetLanguage(DictionaryLanguage(spell));
    c.OpenSpellFile(spell);
    // A file changed within the clock tick of its reading is not stamped:
    // the second open comes a tick later.
    usleep(20000);
  }
}

// Imports a Hunspell dictionary into Spell with its compact form beside it,
// as a build would install it, and says what was made. In a child process:
// the memory the import held and freed would otherwise be reused by the
// checkers measured afterwards (forked from this process) and hide theirs.
bool PrepareInChild(const std::string& code, const std::string& aff, const std::string& dic,
                    const std::string& spell) {
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    try {
      const auto t = Clock::now();
      ImportHunspellDictionary(aff, dic, spell, HunspellImportOptions());
      const double import_s = Since(t);
      TVelkSpellChecker maker(nullptr);
      maker.SetSpellFileOptions({});
      const auto t2 = Clock::now();
      // In the dictionary's language, as the tool opens it: the form of a
      // language other than English has no sound-alike index.
      maker.SetLanguage(DictionaryLanguage(spell));
      maker.OpenSpellFile(spell);
      maker.SaveCompactForm(spell + ".compact");
      namespace fs = std::filesystem;
      std::printf("\n%s: %u words, spell file %.1f MB (imported in %.1f s), compact form %.1f MB "
                  "(made in %.1f s); Hunspell's .aff + .dic %.1f MB\n",
                  code.c_str(), maker.WordCount(), static_cast<double>(fs::file_size(spell)) / 1e6,
                  import_s, static_cast<double>(fs::file_size(spell + ".compact")) / 1e6, Since(t2),
                  static_cast<double>(fs::file_size(aff) + fs::file_size(dic)) / 1e6);
    } catch (const std::exception& e) {
      std::printf("\n%s: %s, skipped\n", code.c_str(), e.what());
      std::fflush(stdout);
      _exit(1);
    }
    std::fflush(stdout);
    _exit(0);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  std::vector<std::string> languages;
  for (int i = 1; i < argc; ++i) {
    if (std::isdigit(static_cast<unsigned char>(argv[i][0]))) {
      runs = std::max(1, std::atoi(argv[i]));
    } else {
      languages.emplace_back(argv[i]);
    }
  }
  if (languages.empty()) {
    for (const Language& l : kLanguages) languages.emplace_back(l.code);
  }
  const std::string dictionary = WORDLOOM_DEFAULT_DICTIONARY;
  if (!Exists(dictionary) || !Exists(kData + "big.txt")) {
    std::fprintf(stderr, "no data: run from the project root with ../shared/data and %s\n",
                 dictionary.c_str());
    return 0;
  }
  static const ScratchFolder folder;
  const std::string cache = folder.File("cache");
  // The dictionary alone, without its compact form.
  const std::string bare = folder.File("en.spl");
  std::filesystem::copy_file(dictionary, bare);
  const std::vector<std::string> tokens = Tokens(Slurp(kData + "big.txt"));
  TestSet set = ReadColonSet("spell-testset1.txt");
  Sample(set, 400);

  std::unique_ptr<TVelkSpellChecker> ours;
  auto our_subject = [&ours](const std::string& name, const std::string& file,
                             const std::string& form_folder) {
    return Subject{name,
                   [&ours, file, form_folder] {
                     ours = std::make_unique<TVelkSpellChecker>(nullptr);
                     ours->SetSpellFileOptions({});
                     ours->SetSuggestionRanking(srkLikelihood);
                     ours->SetSuggestionLimit(10);
                     ours->SetCompactFormFolder(form_folder);
                     ours->SetLanguage(DictionaryLanguage(file));
                     ours->OpenSpellFile(file);
                     return ours->SpellFileName() == file;
                   },
                   [&ours](const std::string& w) { return ours->Frequency(w) > 0; },
                   [&ours](const std::string& w, std::vector<std::string>& out) {
                     ours->Suggest(w);
                     for (const std::string& s : ours->Suggestions()) out.push_back(s);
                   }};
  };
  LeaveStamps(dictionary, cache);
  std::vector<Subject> subjects = {
      our_subject("wordloom, compact form", dictionary, cache),
      our_subject("wordloom, form read whole", dictionary, ""),
      our_subject("wordloom, spell file only", bare, "")};
#ifdef WORDLOOM_BENCH_ASPELL
  AspellSpeller* speller = nullptr;
  subjects.push_back({"aspell en_US normal",
                      [&speller] {
                        AspellConfig* config = new_aspell_config();
                        aspell_config_replace(config, "lang", "en_US");
                        aspell_config_replace(config, "encoding", "utf-8");
                        aspell_config_replace(config, "sug-mode", "normal");
                        AspellCanHaveError* made = new_aspell_speller(config);
                        delete_aspell_config(config);
                        if (aspell_error_number(made) != 0) return false;
                        speller = to_aspell_speller(made);
                        return true;
                      },
                      [&speller](const std::string& w) {
                        return aspell_speller_check(speller, w.c_str(), static_cast<int>(w.size())) == 1;
                      },
                      [&speller](const std::string& w, std::vector<std::string>& out) {
                        const AspellWordList* list =
                            aspell_speller_suggest(speller, w.c_str(), static_cast<int>(w.size()));
                        AspellStringEnumeration* e = aspell_word_list_elements(list);
                        while (const char* word = aspell_string_enumeration_next(e)) out.emplace_back(word);
                        delete_aspell_string_enumeration(e);
                      }});
#endif
#ifdef WORDLOOM_BENCH_HUNSPELL
  std::unique_ptr<Hunspell> hunspell;
  subjects.push_back(HunspellSubject("hunspell en_US", kHunspellAff, kHunspellDic, hunspell));
#endif

  std::printf("open_compare: %d runs each, each in a fresh process; medians\n", runs);
  std::printf("checks: %zu words of big.txt; suggestions: %zu misspellings of spell-testset1\n\n",
              tokens.size(), set.items.size());
  std::printf("memory: added since before the open, resident (private) in MiB\n\n");
  PrintTable(subjects, runs, "recieve", tokens, set.items);

  std::printf("\none suggestion as a whole process (\"recieve\"), wall time, median of %d:\n",
              runs * 2);
  const struct {
    const char* name;
    std::vector<std::string> argv;
    std::string input;
  } kProcesses[] = {
      {"wordloom suggest recieve", {WORDLOOM_TOOL, "suggest", "-d", dictionary, "recieve"}, ""},
      {"wordloom -a (pipe)", {WORDLOOM_TOOL, "-a", "-d", dictionary}, "recieve\n"},
      {"aspell -a", {"aspell", "-a", "-d", "en_US"}, "recieve\n"},
      {"hunspell -a", {"hunspell", "-a", "-d", "en_US"}, "recieve\n"},
  };
  for (const auto& p : kProcesses) {
    // One run first, uncounted: it leaves the tool's stamps, as any first use does.
    TimeProcess(p.argv, p.input, folder);
    std::vector<double> ms;
    for (int r = 0; r < runs * 2; ++r) {
      const double t = TimeProcess(p.argv, p.input, folder);
      if (t < 0) break;
      ms.push_back(t);
    }
    if (ms.empty()) {
      std::printf("  %-28s not run (missing or failed)\n", p.name);
    } else {
      std::printf("  %-28s %7.1f ms\n", p.name, Median(ms));
    }
  }

  for (const std::string& code : languages) {
    const std::string aff = "/usr/share/hunspell/" + code + ".aff";
    const std::string dic = "/usr/share/hunspell/" + code + ".dic";
    if (!Exists(aff) || !Exists(dic)) {
      std::printf("\n%s: not installed (hunspell-* package), skipped\n", code.c_str());
      continue;
    }
    std::string typo = "recieve";
    for (const Language& l : kLanguages) {
      if (code == l.code) typo = l.typo;
    }
    const std::string spell = folder.File(code + ".spl");
    if (!PrepareInChild(code, aff, dic, spell)) continue;
    std::fflush(stdout);
    LeaveStamps(spell, cache);
    std::vector<Subject> large_subjects = {
        our_subject("wordloom " + code + ", compact form", spell, cache),
        our_subject("wordloom " + code + ", form read whole", spell, "")};
#ifdef WORDLOOM_BENCH_HUNSPELL
    std::unique_ptr<Hunspell> peer;
    large_subjects.push_back(HunspellSubject("hunspell " + code, aff, dic, peer));
#endif
    PrintTable(large_subjects, runs, typo, {}, {});
    std::error_code ec;
    std::filesystem::remove(spell + ".compact", ec);
    std::filesystem::remove(spell, ec);
  }
  return 0;
}
