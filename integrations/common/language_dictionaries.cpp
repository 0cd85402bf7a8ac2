// The frameworks' view of the library's dictionary search (dictionary_search.h):
// the same folders and names as `wordloom -d`, minus what a framework must not
// reach. The folders are those of the process's environment; the program is
// the framework's host (a text editor), so no folder beside it is searched.
#include "language_dictionaries.h"

#include <wordloom/wordloom.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace wordloom::integrations {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxTagLength = 64;

DictionaryFolders Folders() { return StandardDictionaryFolders(std::string()); }

// The spell file the library finds for Name, or empty. A dictionary that only
// Hunspell has is not offered: importing it is the tool's job, and the
// frameworks reach Hunspell's dictionaries through their own Hunspell backends.
std::string FindSpellFile(std::string_view name, const DictionaryFolders& folders) {
  try {
    const FoundDictionary found = FindDictionary(name, folders);
    std::error_code ec;
    if (found.Kind == DictionaryKind::kSpellFile && fs::is_regular_file(found.Path, ec)) {
      return found.Path;
    }
  } catch (const EDictionaryNotFound&) {
  }
  return {};
}

}  // namespace

bool IsLanguageTag(std::string_view Tag) {
  if (Tag.empty() || Tag.size() > kMaxTagLength) return false;
  return std::all_of(Tag.begin(), Tag.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
  });
}

std::string FindLanguage(std::string_view Tag) {
  // A tag that is no name would be taken for a path by the search.
  if (!IsLanguageTag(Tag)) return {};
  const DictionaryFolders folders = Folders();
  if (std::string exact = FindSpellFile(Tag, folders); !exact.empty()) return exact;
  const std::size_t region = Tag.find_first_of("_-");
  if (region == std::string_view::npos || region == 0) return {};
  return FindSpellFile(Tag.substr(0, region), folders);
}

std::vector<std::string> AvailableLanguages() {
  std::vector<std::string> tags;
  for (const AvailableDictionary& a : ListDictionaries(Folders())) {
    if (a.Found.Kind == DictionaryKind::kSpellFile && IsLanguageTag(a.Found.Name)) {
      tags.push_back(a.Found.Name);
    }
  }
  std::sort(tags.begin(), tags.end());
  tags.erase(std::unique(tags.begin(), tags.end()), tags.end());
  return tags;
}

std::string PersonalListFile(std::string_view Tag) {
  if (!IsLanguageTag(Tag)) return {};
  return PersonalListPath(CanonicalDictionaryName(Tag), Folders());
}

}  // namespace wordloom::integrations
