// Importing a Hunspell dictionary: read both files, collect the forbidden
// words, expand every .dic entry (affix_expander.h), put each form into the
// form a text word is looked up in, and hand it on; or add the forms to a
// dictionary with their frequencies and save it as a spell file.
#include "wordloom/import/hunspell_import.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unordered_map>
#include <unordered_set>

#include "affix_expander.h"
#include "affix_rules.h"
#include "dic_reader.h"
#include "wordloom/dictionary/velk_wordloom.h"
#include "wordloom/storage/spell_width.h"
#include "wordloom/text/count_lines.h"
#include "wordloom/text/unicode_words.h"
#include "wordloom/wordloom.h"

namespace wordloom {

namespace {

namespace fs = std::filesystem;

// The largest files read. Real dictionaries are far smaller (the largest
// Debian .dic, 12 MB; .aff files stay under 6 MB); a larger file is refused
// rather than read into memory.
constexpr std::uintmax_t kMaxAffBytes = 64u << 20;
constexpr std::uintmax_t kMaxDicBytes = 512u << 20;
// How many .dic entries pass between two progress reports.
constexpr std::size_t kProgressEvery = 4096;

std::string ReadWholeFile(const std::string& path, std::uintmax_t limit) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) throw EImportError(path + ": is a directory");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EImportError(path + ": cannot open for reading: " + std::strerror(errno));
  std::string data;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    data.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (data.size() > limit) {
      throw EImportError(path + ": larger than " + std::to_string(limit >> 20) +
                         " MiB; no Hunspell dictionary is that large");
    }
  }
  if (in.bad()) throw EImportError(path + ": read error: " + std::strerror(errno));
  return data;
}

// The word<TAB>count lines of a counts file, as `wordloom count` prints them.
std::unordered_map<std::string, std::uint64_t> ReadCounts(const std::string& path) {
  const std::string data = ReadWholeFile(path, kMaxDicBytes);
  std::unordered_map<std::string, std::uint64_t> counts;
  try {
    ForEachCountLine(data, [&](const CountLine& line) {
      std::uint64_t& total = counts[LookupForm(line.Word)];
      total = std::min<std::uint64_t>(total + std::min(line.Count, UINT64_MAX / 2), UINT64_MAX / 2);
    });
  } catch (const EConvertError& e) {
    throw EImportError(path + ":" + e.Message());
  }
  return counts;
}

}  // namespace

HunspellImportReport ExpandHunspellBytes(std::string_view Aff, std::string_view Dic,
                                         const HunspellImportOptions& Options,
                                         const std::function<void(std::string_view)>& Sink,
                                         const std::string& AffName, const std::string& DicName) {
  HunspellImportReport report;
  const auto warn = [&report](const std::string& message) {
    ++report.WarningCount;
    if (report.Warnings.size() < HunspellImportReport::kMaxWarnings) report.Warnings.push_back(message);
  };
  detail::AffixRules rules(Aff, AffName, warn);
  report.Compounding = rules.Compounding();

  // 1. The forbidden words: no entry, affix or other word makes them words.
  std::unordered_set<std::string> forbidden;
  const detail::Flag forbidden_flag = rules.Special().ForbiddenWord;
  if (forbidden_flag != 0) {
    detail::ForEachDicEntry(Dic, DicName, rules, [](const std::string&) {},
                            [&](const std::string& word, const detail::FlagSet& flags) {
                              if (detail::HasFlag(flags, forbidden_flag)) forbidden.insert(word);
                            });
  }
  report.Forbidden = forbidden.size();

  // 2. Every entry's forms, in the spelling text shows them (OCONV) and in
  // the lookup form of the checker.
  detail::AffixExpander expander(rules, Options.MaxForms, Options.MaxSteps);
  const detail::ConversionTable& output = rules.OutputConversion();
  const auto emit = [&](const std::string& form) {
    if (forbidden.count(form) != 0) return;
    // An output conversion or the lookup form may leave nothing of a form
    // (a rule that maps it away): no word, so none is written.
    const std::string shown = LookupForm(output.Apply(form));
    if (!shown.empty()) Sink(shown);
  };
  const std::size_t total = detail::CountLines(Dic);
  std::size_t done = 0;
  const detail::DicCounts counts = detail::ForEachDicEntry(
      Dic, DicName, rules, warn, [&](const std::string& word, const detail::FlagSet& flags) {
        expander.Expand(word, flags, emit);
        if (++done % kProgressEvery == 0 && Options.OnProgress) Options.OnProgress(done, total);
      });
  report.Entries = counts.Entries;
  report.SkippedLines = counts.Skipped;
  report.Forms = static_cast<std::size_t>(expander.Forms());
  report.Steps = expander.Steps();
  if (Options.OnProgress) Options.OnProgress(total, total);
  return report;
}

HunspellImportReport ExpandHunspellDictionary(const std::string& AffPath,
                                              const std::string& DicPath,
                                              const HunspellImportOptions& Options,
                                              const std::function<void(std::string_view)>& Sink) {
  const std::string aff = ReadWholeFile(AffPath, kMaxAffBytes);
  const std::string dic = ReadWholeFile(DicPath, kMaxDicBytes);
  return ExpandHunspellBytes(aff, dic, Options, Sink, AffPath, DicPath);
}

HunspellImportReport ImportHunspellInto(const std::string& AffPath, const std::string& DicPath,
                                        TVelkWordloom& Dict, const HunspellImportOptions& Options) {
  // Read first, so that a bad counts file fails before the long expansion.
  std::unordered_map<std::string, std::uint64_t> counts;
  if (!Options.CountsFile.empty()) counts = ReadCounts(Options.CountsFile);
  std::size_t distinct = 0;
  HunspellImportReport report =
      ExpandHunspellDictionary(AffPath, DicPath, Options, [&](std::string_view form) {
        if (Dict.Frequency(form) != 0) return;
        Dict.AddToSpell(form, 1);
        ++distinct;
      });
  report.Forms = distinct;
  if (counts.empty()) return report;
  // Frequencies: 1 + count, every count divided by one scale so that the
  // largest fits the frequency field of a spell file of this many words.
  std::uint64_t largest_count = 0;
  for (const auto& [word, count] : counts) {
    if (Dict.Frequency(word) != 0) largest_count = std::max(largest_count, count);
  }
  const int width = SpellWidth(Dict.WordCount());
  const std::uint64_t largest_stored = width >= 4 ? UINT32_MAX : (std::uint64_t{1} << (8 * width)) - 1;
  const std::uint64_t room = largest_stored - 1;
  const std::uint64_t scale = std::max<std::uint64_t>(1, (largest_count + room - 1) / room);
  for (const auto& [word, count] : counts) {
    const std::uint64_t add = count / scale;
    if (add != 0 && Dict.Frequency(word) != 0) Dict.AddToSpell(word, static_cast<std::uint32_t>(add));
  }
  return report;
}

HunspellImportReport ImportHunspellDictionary(const std::string& AffPath,
                                              const std::string& DicPath,
                                              const std::string& SpellPath,
                                              const HunspellImportOptions& Options) {
  TVelkWordloom dict(nullptr);
  dict.SetSpellFileOptions({});
  dict.SetDelimiterOption(wldExclFirstSucc);
  dict.SetDelimiters(Utf8Delimiters());
  dict.InitFirstSpellNode();
  HunspellImportReport report = ImportHunspellInto(AffPath, DicPath, dict, Options);
  if (dict.WordCount() == 0) throw EImportError(DicPath + ": no words; " + SpellPath + " not written");
  dict.SaveSpellFile(SpellPath, false);
  if (dict.SpellFileName() != SpellPath) throw EImportError(SpellPath + ": not written");
  return report;
}

HunspellImportReport ImportFoundDictionary(FoundDictionary& Found,
                                           const HunspellImportOptions& Options) {
  if (Found.Kind != DictionaryKind::kHunspell) return {};
  if (Found.ImportPath.empty()) throw EImportError(HunspellNotImportedMessage(Found));
  const fs::path folder = fs::path(Found.ImportPath).parent_path();
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) throw EImportError(folder.string() + ": cannot make the folder: " + ec.message());
  HunspellImportReport report = ImportHunspellDictionary(Found.Affix, Found.Path, Found.ImportPath, Options);
  Found.Kind = DictionaryKind::kSpellFile;
  Found.Path = Found.ImportPath;
  Found.Affix.clear();
  return report;
}

std::string HunspellCompanion(const std::string& Path) {
  fs::path p(Path);
  const std::string ext = p.extension().string();
  p.replace_extension(ext == ".aff" ? ".dic" : ".aff");
  return p.string();
}

bool IsHunspellDictionary(const std::string& Path) {
  const std::string ext = fs::path(Path).extension().string();
  if (ext != ".dic" && ext != ".aff") return false;
  std::error_code ec;
  if (!fs::is_regular_file(HunspellCompanion(Path), ec)) return false;
  const std::string dic = ext == ".dic" ? Path : HunspellCompanion(Path);
  std::ifstream in(dic, std::ios::binary);
  std::string first;
  std::getline(in, first);
  if (first.rfind("\xEF\xBB\xBF", 0) == 0) first.erase(0, 3);
  while (!first.empty() && (first.back() == '\r' || first.back() == ' ')) first.pop_back();
  return !first.empty() && first.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace wordloom
