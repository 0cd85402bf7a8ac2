#include "wordloom/checking/personal_word_list.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/file_writer.h"

namespace wordloom {

namespace {

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
  };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

void PersonalWordList::Load() {
  FWords.clear();
  FSeen.clear();
  FModified = false;
  if (FFile.empty()) return;
  std::ifstream in(FFile, std::ios::binary);
  if (!in) return;
  std::string line;
  for (bool first = true; std::getline(in, line); first = false) {
    // A byte-order mark (Windows editors write one) is no part of the first word.
    if (first && line.starts_with(kByteOrderMark)) line.erase(0, kByteOrderMark.size());
    // Saving the list rewrites the file: one that is no word list (a program,
    // an image) is refused instead of being replaced by the words found in it.
    if (line.find('\0') != std::string::npos) {
      FWords.clear();
      FSeen.clear();
      throw EReadError(FFile + ": binary data (a NUL byte), not a personal word list");
    }
    const std::string_view w = Trim(line);
    if (!w.empty() && FSeen.emplace(w).second) FWords.emplace_back(w);
  }
}

bool PersonalWordList::Add(std::string_view Word) {
  if (Word.empty() || Word.find_first_of("\r\n") != std::string_view::npos) return false;
  if (!FSeen.emplace(Word).second) return false;
  FWords.emplace_back(Word);
  FModified = true;
  return true;
}

void PersonalWordList::Save() {
  if (FFile.empty()) return;
  const std::filesystem::path folder = std::filesystem::path(FFile).parent_path();
  std::error_code ec;
  if (FMakeFolder && !folder.empty()) std::filesystem::create_directories(folder, ec);
  if (ec) throw EWriteError(FFile + ": cannot make its folder: " + ec.message());
  std::string text;
  for (const std::string& w : FWords) text += w + '\n';
  FileWriter().SaveBytes(FFile, text);
  FModified = false;
}

}  // namespace wordloom
