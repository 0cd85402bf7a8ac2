// Dictionaries by name: the folders of the environment, the aliases of the
// names, and the search that the tool and the editor share.
#include "wordloom/storage/dictionary_search.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

namespace wordloom {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSpellExtension = ".spl";

// The names people and editors use for a dictionary, and the name it is
// filed under. Emacs's ispell.el names its dictionaries this way
// (ispell-dicts-name2locale-equivs-alist); "en" is the tool's own default.
struct Alias {
  std::string_view Name;
  std::string_view Canonical;
};
constexpr Alias kAliases[] = {
    {"en", "en_US"},          {"american", "en_US"},    {"english", "en_US"},
    {"british", "en_GB"},     {"brasileiro", "pt_BR"},  {"castellano", "es_ES"},
    {"castellano8", "es_ES"}, {"czech", "cs_CZ"},       {"dansk", "da_DK"},
    {"deutsch", "de_DE"},     {"deutsch8", "de_DE"},    {"german", "de_DE"},
    {"german8", "de_DE"},     {"esperanto", "eo"},      {"finnish", "fi_FI"},
    {"francais", "fr_FR"},    {"francais7", "fr_FR"},   {"italiano", "it_IT"},
    {"nederlands", "nl_NL"},  {"nederlands8", "nl_NL"}, {"norsk", "nn_NO"},
    {"polish", "pl_PL"},      {"portugues", "pt_PT"},   {"russian", "ru_RU"},
    {"russianw", "ru_RU"},    {"slovak", "sk_SK"},      {"slovenian", "sl_SI"},
    {"svenska", "sv_SE"},     {"hebrew", "he_IL"},
};

// The file of the default English dictionary before en_GB joined it; an
// en_US lookup still finds it in a folder that has no en_US.spl.
constexpr std::string_view kOldDefaultStem = "en";

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool IsAsciiLetters(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
  });
}

// An environment variable's value, empty when unset.
std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// An XDG base folder: the variable when it holds an absolute path (a
// relative one is ignored, as the desktop's base-folder rules have it), else
// HOME/Fallback; empty without either.
std::string XdgFolder(const char* variable, const char* fallback) {
  const std::string value = Env(variable);
  if (!value.empty() && value.front() == '/') return value;
  const std::string home = Env("HOME");
  if (home.empty()) return {};
  return (fs::path(home) / fallback).string();
}

std::vector<std::string> SplitPathList(const std::string& list) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t end = std::min(list.find(':', start), list.size());
    if (end > start) out.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

bool IsFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

// The modification time of p, or the earliest time when it has none.
fs::file_time_type ModifiedAt(const fs::path& p) {
  std::error_code ec;
  const fs::file_time_type t = fs::last_write_time(p, ec);
  return ec ? fs::file_time_type::min() : t;
}

// The file names a name may be filed under, in the order tried within one
// folder: its canonical name, the name as given ("english.spl"), and en.spl
// for en_US.
std::vector<std::string> StemsFor(std::string_view given) {
  const std::string canonical = CanonicalDictionaryName(given);
  std::vector<std::string> stems{canonical};
  if (canonical != given) stems.emplace_back(given);
  if (canonical == "en_US" && given != kOldDefaultStem) stems.emplace_back(kOldDefaultStem);
  return stems;
}

// A Hunspell pair NAME.aff/NAME.dic in one of the folders, for any of the stems.
bool FindHunspellPair(const std::vector<std::string>& stems, const DictionaryFolders& folders,
                      FoundDictionary& found) {
  for (const std::string& folder : folders.Hunspell) {
    for (const std::string& stem : stems) {
      const fs::path aff = fs::path(folder) / (stem + ".aff");
      const fs::path dic = fs::path(folder) / (stem + ".dic");
      if (IsFile(aff) && IsFile(dic)) {
        found.Affix = aff.lexically_normal().string();
        found.Path = dic.lexically_normal().string();
        return true;
      }
    }
  }
  return false;
}

// The stems of the files with Extension in Folder (none when it cannot be read).
void AddStems(const std::string& folder, std::string_view extension, std::set<std::string>& out) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return;
  for (const fs::directory_entry& entry : it) {
    const fs::path& p = entry.path();
    if (p.extension() == extension && IsFile(p)) out.insert(p.stem().string());
  }
}

}  // namespace

std::string UserCacheFolder() {
  const std::string cache = XdgFolder("XDG_CACHE_HOME", ".cache");
  return cache.empty() ? std::string() : (fs::path(cache) / "wordloom").string();
}

DictionaryFolders StandardDictionaryFolders(const std::string& ProgramFolder) {
  DictionaryFolders folders;
  std::vector<std::string> spell = SplitPathList(Env("WORDLOOM_PATH"));
  const std::string data = XdgFolder("XDG_DATA_HOME", ".local/share");
  if (!data.empty()) {
    folders.UserData = (fs::path(data) / "wordloom").string();
    spell.push_back(folders.UserData);
  }
  if (!ProgramFolder.empty()) {
    const fs::path program(ProgramFolder);
    // Beside the tool and in the tool's folder of the same build tree (for
    // the editor), and installed beside the program.
    spell.push_back(program.string());
    spell.push_back((program / ".." / "cli").lexically_normal().string());
    spell.push_back((program / ".." / "share" / "wordloom").lexically_normal().string());
  }
  spell.emplace_back(WORDLOOM_INSTALLED_DATA);
  for (const std::string& s : spell) {
    if (std::find(folders.Spell.begin(), folders.Spell.end(), s) == folders.Spell.end()) {
      folders.Spell.push_back(s);
    }
  }
  folders.Cache = UserCacheFolder();
  folders.Hunspell = SplitPathList(Env("DICPATH"));
  for (const char* system : {"/usr/share/hunspell", "/usr/share/myspell", "/usr/share/myspell/dicts"}) {
    folders.Hunspell.emplace_back(system);
  }
  return folders;
}

std::string ProgramFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

std::string DefaultDictionary() {
  const std::string env = Env("WORDLOOM_DICT");
  return env.empty() ? std::string(kOldDefaultStem) : env;
}

std::string CanonicalDictionaryName(std::string_view Name) {
  const std::string lower = Lower(Name);
  for (const Alias& a : kAliases) {
    if (a.Name == lower) return std::string(a.Canonical);
  }
  // A locale: two or three letters of language, a region of two.
  const std::size_t sep = Name.find_first_of("-_");
  if (sep != std::string_view::npos) {
    const std::string_view language = Name.substr(0, sep);
    const std::string_view region = Name.substr(sep + 1);
    if (IsAsciiLetters(language) && language.size() <= 3 && language.size() >= 2 &&
        IsAsciiLetters(region) && region.size() == 2) {
      std::string out = Lower(language) + "_";
      for (char c : region) out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      return out;
    }
  }
  return std::string(Name);
}

std::string DictionaryLanguage(std::string_view NameOrPath) {
  std::string_view stem = NameOrPath.substr(NameOrPath.find_last_of('/') + 1);
  if (stem.ends_with(kSpellExtension)) stem.remove_suffix(kSpellExtension.size());
  const std::string name = CanonicalDictionaryName(stem);
  // Hunspell's convention: two or three letters of language, then perhaps a
  // region of two letters or three digits ("de", "de_DE", "es_419",
  // "de_DE_frami"); anything else names no language ("my_words").
  const std::string_view whole(name);
  const std::size_t end = whole.find_first_of("-_.@");
  const std::string_view language = whole.substr(0, end);
  if (language.size() < 2 || language.size() > 3 || !IsAsciiLetters(language)) return "en";
  if (end != std::string_view::npos && (whole[end] == '_' || whole[end] == '-')) {
    const std::string_view rest = whole.substr(end + 1);
    const std::string_view region = rest.substr(0, rest.find_first_of("-_.@"));
    const bool digits = region.size() == 3 && std::all_of(region.begin(), region.end(), [](char c) {
                          return c >= '0' && c <= '9';
                        });
    if (!(region.size() == 2 && IsAsciiLetters(region)) && !digits) return "en";
  }
  return Lower(language);
}

std::vector<std::string> DictionaryAliases(std::string_view Canonical) {
  std::vector<std::string> out;
  for (const Alias& a : kAliases) {
    if (a.Canonical == Canonical) out.emplace_back(a.Name);
  }
  std::sort(out.begin(), out.end());
  return out;
}

bool IsDictionaryPath(std::string_view Given) {
  return Given.find('/') != std::string_view::npos || Given.ends_with(kSpellExtension);
}

std::vector<std::string> SplitDictionaryList(std::string_view Given) {
  std::vector<std::string> out;
  if (IsFile(fs::path(std::string(Given)))) {
    out.emplace_back(Given);
    return out;
  }
  std::size_t start = 0;
  while (start <= Given.size()) {
    const std::size_t end = std::min(Given.find(',', start), Given.size());
    std::string_view entry = Given.substr(start, end - start);
    while (!entry.empty() && std::isspace(static_cast<unsigned char>(entry.front()))) entry.remove_prefix(1);
    while (!entry.empty() && std::isspace(static_cast<unsigned char>(entry.back()))) entry.remove_suffix(1);
    if (!entry.empty()) out.emplace_back(entry);
    start = end + 1;
  }
  return out;
}

FoundDictionary FindDictionary(std::string_view Given, const DictionaryFolders& Folders) {
  FoundDictionary found;
  if (Given.empty()) throw EDictionaryNotFound("no dictionary named: the name is empty");
  if (IsDictionaryPath(Given)) {
    found.Path = std::string(Given);
    found.Name = fs::path(found.Path).stem().string();
    return found;
  }
  found.Name = CanonicalDictionaryName(Given);
  const std::vector<std::string> stems = StemsFor(Given);
  for (const std::string& folder : Folders.Spell) {
    for (const std::string& stem : stems) {
      const fs::path p = fs::path(folder) / (stem + std::string(kSpellExtension));
      if (IsFile(p)) {
        found.Path = p.lexically_normal().string();
        return found;
      }
    }
  }
  const bool hunspell = FindHunspellPair(stems, Folders, found);
  if (!Folders.Cache.empty()) {
    found.ImportPath = (fs::path(Folders.Cache) / (found.Name + std::string(kSpellExtension))).string();
    // An import stands until the Hunspell files it came from change.
    if (IsFile(found.ImportPath) &&
        (!hunspell || (ModifiedAt(found.ImportPath) >= ModifiedAt(found.Path) &&
                       ModifiedAt(found.ImportPath) >= ModifiedAt(found.Affix)))) {
      found.Path = found.ImportPath;
      found.Affix.clear();
      return found;
    }
  }
  if (hunspell) {
    found.Kind = DictionaryKind::kHunspell;
    return found;
  }
  std::string looked;
  for (const std::string& f : Folders.Spell) looked += (looked.empty() ? "" : ", ") + f;
  if (!Folders.Hunspell.empty()) looked += " and Hunspell's folders";
  throw EDictionaryNotFound("no dictionary named " + std::string(Given) +
                            (found.Name != Given ? " (" + found.Name + ")" : std::string()) +
                            " in " + looked + "; wordloom -D lists those there are");
}

std::string HunspellNotImportedMessage(const FoundDictionary& Found) {
  return Found.Name + ": only a Hunspell dictionary of that name is installed (" + Found.Path +
         ") and there is no cache folder to import it into (set HOME or XDG_CACHE_HOME)";
}

std::vector<AvailableDictionary> ListDictionaries(const DictionaryFolders& Folders) {
  // Every name some folder files a dictionary under, then what FindDictionary
  // makes of it, once per dictionary.
  std::set<std::string> stems;
  for (const std::string& folder : Folders.Spell) AddStems(folder, kSpellExtension, stems);
  if (!Folders.Cache.empty()) AddStems(Folders.Cache, kSpellExtension, stems);
  std::set<std::string> affixes;
  for (const std::string& folder : Folders.Hunspell) AddStems(folder, ".aff", affixes);
  stems.insert(affixes.begin(), affixes.end());

  std::map<std::string, AvailableDictionary> by_name;
  for (const std::string& stem : stems) {
    FoundDictionary found;
    try {
      found = FindDictionary(stem, Folders);
    } catch (const EDictionaryNotFound&) {
      continue;  // an .aff without its .dic
    }
    auto [it, added] = by_name.try_emplace(found.Name);
    if (added) {
      it->second.Found = found;
      it->second.Aliases = DictionaryAliases(found.Name);
    }
    // A file of another name that finds the same dictionary ("en" for en_US).
    if (stem != found.Name && it->second.Found.Path == found.Path &&
        std::find(it->second.Aliases.begin(), it->second.Aliases.end(), stem) ==
            it->second.Aliases.end()) {
      it->second.Aliases.push_back(stem);
      std::sort(it->second.Aliases.begin(), it->second.Aliases.end());
    }
  }
  std::vector<AvailableDictionary> out;
  for (auto& [name, available] : by_name) out.push_back(std::move(available));
  return out;
}

std::string PersonalListPath(std::string_view Name, const DictionaryFolders& Folders) {
  if (Folders.UserData.empty() || Name.empty()) return {};
  return (fs::path(Folders.UserData) / "personal" / (std::string(Name) + ".txt")).string();
}

}  // namespace wordloom
