// Hunspell dictionaries (.aff + .dic) as word lists: every form Hunspell
// accepts without compounding, made by expanding the affix rules, written to
// a spell file. The .aff/.dic format is Hunspell's (hunspell(5)); the reader
// follows its rules where they decide which forms are words: SET encodings
// (converted to UTF-8), FLAG char/long/num/UTF-8, AF aliases, PFX/SFX with
// strip, add and condition, cross products, continuation classes (two suffix
// levels), CIRCUMFIX, NEEDAFFIX, FORBIDDENWORD, ONLYINCOMPOUND, IGNORE,
// FULLSTRIP and OCONV.
//
//   wordloom::HunspellImportOptions options;
//   options.CountsFile = "de-counts.tsv";   // optional word<TAB>count lines
//   wordloom::HunspellImportReport r = wordloom::ImportHunspellDictionary(
//       "/usr/share/hunspell/de_DE.aff", "/usr/share/hunspell/de_DE.dic",
//       "de_DE.spl", options);
//   // r.Forms distinct words written; r.Warnings what was passed over
//
// Compounds (COMPOUNDFLAG, COMPOUNDRULE, ...) are no list of forms: the words
// Hunspell accepts only as compounds are not written (Report.Compounding says
// when the dictionary has such rules). Neither are its case rules (KEEPCASE,
// CHECKSHARPS): the checker applies its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "wordloom/platform/exceptions.h"
#include "wordloom/storage/dictionary_search.h"

namespace wordloom {

class TVelkWordloom;

// A Hunspell dictionary that cannot be imported: unreadable, corrupt (an
// affix class cut short, an unknown encoding), or rules that would make more
// forms than the options allow. The message names the file and line.
WORDLOOM_EXCEPTION(EImportError, Exception);

struct HunspellImportOptions {
  // A word<TAB>count list (as `wordloom count` prints it): a form listed there
  // gets the frequency 1 + count (scaled down evenly when the largest would not
  // fit the spell file); every other form 1. Empty: no list.
  std::string CountsFile;
  // The most forms the expansion may make, repeats counted; a dictionary that
  // needs more is refused (EImportError) before memory runs out (an import
  // of this many distinct words would take over 1 GB). French, the largest
  // common one, makes 3.2 million.
  std::uint64_t MaxForms = 20'000'000;
  // The most affix entries the expansion may try against words; bounds the
  // time a hostile rule set can take to seconds (French needs 18 million).
  std::uint64_t MaxSteps = 400'000'000;
  // Called now and then with the .dic entries expanded so far and their
  // number, and once at the end with both equal.
  std::function<void(std::size_t Done, std::size_t Total)> OnProgress;
};

// What an import read and wrote.
struct HunspellImportReport {
  std::size_t Entries = 0;    // word lines of the .dic read
  // Forms made: by an expansion, every form handed on (repeats counted); by
  // an import, the distinct words added.
  std::size_t Forms = 0;
  std::size_t Forbidden = 0;  // words FORBIDDENWORD took out
  std::uint64_t Steps = 0;    // affix entries tried against words
  // .dic lines passed over: not in the dictionary's encoding, or a phrase
  // (a word with a space) that no text word can match.
  std::size_t SkippedLines = 0;
  // Whether the dictionary also accepts compounds (COMPOUNDFLAG,
  // COMPOUNDBEGIN, COMPOUNDRULE, ...), which no list of forms holds.
  bool Compounding = false;
  // The first problems met and passed over, as Hunspell passes over them
  // ("de.dic:12: bad flag alias 40"); at most kMaxWarnings.
  std::vector<std::string> Warnings;
  std::size_t WarningCount = 0;
  static constexpr std::size_t kMaxWarnings = 20;
};

// Calls Sink with every word Aff and Dic accept without compounding, in UTF-8
// and in the checker's lookup form (NFC, ' for U+2019), after OCONV. A word
// may come more than once. Raises EImportError for an unreadable or corrupt
// dictionary and for one whose expansion passes Options.MaxForms or MaxSteps.
HunspellImportReport ExpandHunspellDictionary(const std::string& AffPath,
                                              const std::string& DicPath,
                                              const HunspellImportOptions& Options,
                                              const std::function<void(std::string_view)>& Sink);
// The same over the files' bytes; AffName and DicName name them in messages.
HunspellImportReport ExpandHunspellBytes(std::string_view Aff, std::string_view Dic,
                                         const HunspellImportOptions& Options,
                                         const std::function<void(std::string_view)>& Sink,
                                         const std::string& AffName = "aff",
                                         const std::string& DicName = "dic");

// Adds every form (ExpandHunspellDictionary) to Dict once, with its frequency
// from Options.CountsFile. Dict needs a root node (InitFirstSpellNode).
HunspellImportReport ImportHunspellInto(const std::string& AffPath, const std::string& DicPath,
                                        TVelkWordloom& Dict, const HunspellImportOptions& Options);

// Writes the forms of Aff and Dic as the spell file SpellPath: UTF-8 words
// (bytes from 128 up are letters), each ending before its first delimiter.
// SpellPath is replaced only once the new file is complete. EImportError also
// when the dictionary has no word or the file cannot be written.
HunspellImportReport ImportHunspellDictionary(const std::string& AffPath,
                                              const std::string& DicPath,
                                              const std::string& SpellPath,
                                              const HunspellImportOptions& Options);

// Makes Found usable as a spell file when a name lookup found only a Hunspell
// dictionary of that name (DictionaryKind::kHunspell): imports it into
// Found.ImportPath in the user's cache (once: the lookup finds that import
// again while it is newer than the Hunspell files) and turns Found into that
// spell file. Anything else is left as it is. EImportError when there is no
// cache folder or the import fails.
HunspellImportReport ImportFoundDictionary(FoundDictionary& Found,
                                           const HunspellImportOptions& Options);

// Whether Path is one half of a Hunspell dictionary: a .dic whose first line
// is its word count, or an .aff, with its other half beside it. For telling
// a user who gives one where a spell file is expected what to do.
bool IsHunspellDictionary(const std::string& Path);
// The .aff beside a .dic (or the .dic beside an .aff): Path with the other
// extension.
std::string HunspellCompanion(const std::string& Path);

}  // namespace wordloom
