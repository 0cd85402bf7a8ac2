// Dictionary folders, in order: $WORDLOOM_PATH (colon-separated), the user's
// data folder $XDG_DATA_HOME/wordloom (default ~/.local/share/wordloom) and
// the installed share/wordloom.
#include "language_dictionaries.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace wordloom::integrations {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxTagLength = 64;
constexpr std::string_view kSpellFileExtension = ".spl";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// $XDG_DATA_HOME/wordloom, else ~/.local/share/wordloom; empty without either.
std::string UserDataFolder() {
  const std::string xdg = Environment("XDG_DATA_HOME");
  if (!xdg.empty() && fs::path(xdg).is_absolute()) return (fs::path(xdg) / "wordloom").string();
  const std::string home = Environment("HOME");
  if (home.empty()) return {};
  return (fs::path(home) / ".local" / "share" / "wordloom").string();
}

std::vector<std::string> DictionaryFolders() {
  std::vector<std::string> folders;
  const std::string path = Environment("WORDLOOM_PATH");
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find(':', start), path.size());
    if (end > start) folders.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  if (std::string user = UserDataFolder(); !user.empty()) folders.push_back(std::move(user));
  folders.emplace_back(WORDLOOM_INSTALLED_DICTIONARY_FOLDER);
  return folders;
}

std::string FindExactly(std::string_view tag) {
  std::error_code ec;
  for (const std::string& folder : DictionaryFolders()) {
    const fs::path file = fs::path(folder) / (std::string(tag) + std::string(kSpellFileExtension));
    if (fs::is_regular_file(file, ec)) return file.string();
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
  if (!IsLanguageTag(Tag)) return {};
  if (std::string exact = FindExactly(Tag); !exact.empty()) return exact;
  const std::size_t region = Tag.find_first_of("_-");
  if (region == std::string_view::npos || region == 0) return {};
  return FindExactly(Tag.substr(0, region));
}

std::vector<std::string> AvailableLanguages() {
  std::vector<std::string> tags;
  for (const std::string& folder : DictionaryFolders()) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path& file = it->path();
      if (file.extension() != kSpellFileExtension) continue;
      std::error_code type_ec;
      if (!fs::is_regular_file(file, type_ec)) continue;
      std::string tag = file.stem().string();
      if (IsLanguageTag(tag)) tags.push_back(std::move(tag));
    }
  }
  std::sort(tags.begin(), tags.end());
  tags.erase(std::unique(tags.begin(), tags.end()), tags.end());
  return tags;
}

std::string PersonalListFile(std::string_view Tag) {
  if (!IsLanguageTag(Tag)) return {};
  const std::string user = UserDataFolder();
  if (user.empty()) return {};
  return (fs::path(user) / "personal" / (std::string(Tag) + ".txt")).string();
}

}  // namespace wordloom::integrations
