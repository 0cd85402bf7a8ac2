#include "wordloom/checking/personal_word_list.h"

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <iterator>
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
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  SetText(text);
}

void PersonalWordList::SetText(std::string_view Text) {
  FWords.clear();
  FSeen.clear();
  FModified = false;
  // Saving the list rewrites the file: one that is no word list (a program,
  // an image) is refused instead of being replaced by the words found in it.
  if (Text.find('\0') != std::string_view::npos) {
    throw EReadError(FFile + ": binary data (a NUL byte), not a personal word list");
  }
  // A byte-order mark (Windows editors write one) is no part of the first word.
  if (Text.starts_with(kByteOrderMark)) Text.remove_prefix(kByteOrderMark.size());
  while (!Text.empty()) {
    const std::size_t end = std::min(Text.find('\n'), Text.size());
    const std::string_view w = Trim(Text.substr(0, end));
    if (!w.empty() && FSeen.emplace(w).second) FWords.emplace_back(w);
    Text.remove_prefix(std::min(end + 1, Text.size()));
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
