// Finding dictionaries by name, for every front end: `-d en_GB` in the tool,
// the editor's choice, `-D`. A name is looked up as NAME.spl in the folders of
// DictionaryFolders, in order; a name that only a Hunspell dictionary has
// (NAME.aff and NAME.dic) is reported as one to import into the user's cache.
// A path (holding '/' or ending in ".spl") stays a path.
//
//   DictionaryFolders folders = StandardDictionaryFolders(program_folder);
//   FoundDictionary d = FindDictionary("british", folders);  // .../en_GB.spl
//   for (const AvailableDictionary& a : ListDictionaries(folders)) ...
#pragma once

#pragma GCC visibility push(default)

#include <string>
#include <string_view>
#include <vector>

#include "wordloom/platform/exceptions.h"

namespace wordloom {

// A dictionary that no folder holds, or that cannot be used as found; the
// message is one line naming the dictionary and what was tried.
WORDLOOM_EXCEPTION(EDictionaryNotFound, Exception);

// The folders dictionaries are looked for in, each list in order of precedence.
struct DictionaryFolders {
  // Spell files: $WORDLOOM_PATH, the user's data folder, the installed
  // share/wordloom and the build tree.
  std::vector<std::string> Spell;
  // Hunspell dictionaries once imported: $XDG_CACHE_HOME/wordloom.
  std::string Cache;
  // Hunspell .aff/.dic pairs: $DICPATH, then the system's folders.
  std::vector<std::string> Hunspell;
  // The user's own files (personal word lists): $XDG_DATA_HOME/wordloom.
  std::string UserData;
};

// The folders of this process's environment: $WORDLOOM_PATH (colon-separated),
// $XDG_DATA_HOME/wordloom (default ~/.local/share/wordloom), the folders
// beside the program (ProgramFolder, its ../share/wordloom, and ../cli, where
// an uninstalled build keeps the dictionaries), the installed share/wordloom;
// the cache $XDG_CACHE_HOME/wordloom (default ~/.cache/wordloom); Hunspell's
// $DICPATH, /usr/share/hunspell and /usr/share/myspell/dicts. Folders that
// cannot be named (no HOME) are left out. ProgramFolder may be empty.
DictionaryFolders StandardDictionaryFolders(const std::string& ProgramFolder);

// The user's cache folder for Wordloom: $XDG_CACHE_HOME/wordloom, else
// ~/.cache/wordloom; empty when neither can be named (no HOME).
std::string UserCacheFolder();

// The folder the running program lives in (from /proc/self/exe), or empty.
std::string ProgramFolder();

// The dictionary to use when none is given: $WORDLOOM_DICT when set, else
// "en" (the default English dictionary).
std::string DefaultDictionary();

// Name as dictionaries are filed: aliases resolved (en, american, english ->
// en_US; british -> en_GB; the names Emacs and ispell use, such as deutsch or
// francais), hyphens as underscores and the region in capitals (en-gb ->
// en_GB). Anything else comes back as given.
std::string CanonicalDictionaryName(std::string_view Name);

// The language a dictionary is written in, from its name or its spell file's
// path as FindDictionary gives them (Hunspell's convention: "de_DE.spl",
// "fr", "es-ES", an alias such as "deutsch"): the two or three letters of
// language before any region, in small letters; "en" when the name gives
// none ("book.spl"). What TVelkSpellChecker::SetLanguage takes.
std::string DictionaryLanguage(std::string_view NameOrPath);

// The other names that CanonicalDictionaryName turns into Canonical, sorted.
std::vector<std::string> DictionaryAliases(std::string_view Canonical);

// Whether Given names a file rather than a dictionary: it holds a '/' or
// ends in ".spl".
bool IsDictionaryPath(std::string_view Given);

// The dictionaries of a list "en_US,en_GB": each entry trimmed, empty ones
// dropped. A Given that is an existing file is one entry, commas and all.
std::vector<std::string> SplitDictionaryList(std::string_view Given);

enum class DictionaryKind : unsigned char {
  kSpellFile,  // Path is a spell file to open
  kHunspell,   // only a Hunspell pair: Affix and Path (.dic), to import to ImportPath
};

struct FoundDictionary {
  DictionaryKind Kind = DictionaryKind::kSpellFile;
  // The canonical name, or the stem of a path ("book" for "notes/book.spl").
  std::string Name;
  // The spell file, or the Hunspell .dic.
  std::string Path;
  // The Hunspell .aff (kHunspell only).
  std::string Affix;
  // Where the import of a Hunspell dictionary goes: Cache/NAME.spl.
  std::string ImportPath;
};

// Finds one dictionary: a path as it is (it need not exist); a name in
// Folders.Spell, then as an earlier import in Folders.Cache (unless the
// Hunspell files are newer), then as a Hunspell pair. Also finds en.spl for
// en_US, the name of the default dictionary before en_GB came. Raises
// EDictionaryNotFound when no folder has it.
FoundDictionary FindDictionary(std::string_view Given, const DictionaryFolders& Folders);

// Message of EDictionaryNotFound for a dictionary found only as Hunspell's,
// while the tool cannot import one.
std::string HunspellNotImportedMessage(const FoundDictionary& Found);

// One line of `-D`: a dictionary available by name.
struct AvailableDictionary {
  FoundDictionary Found;
  // The aliases of the name that find this dictionary.
  std::vector<std::string> Aliases;
};

// Every dictionary available by name, sorted by name: for each name the one
// FindDictionary finds (spell files, imports, then Hunspell pairs).
std::vector<AvailableDictionary> ListDictionaries(const DictionaryFolders& Folders);

// The personal word list of the dictionary named Name (canonical; for a
// list, its first): UserData/personal/NAME.txt. Empty without UserData.
std::string PersonalListPath(std::string_view Name, const DictionaryFolders& Folders);

}  // namespace wordloom

#pragma GCC visibility pop
