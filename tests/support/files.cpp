#include "support/files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace wordloom::testing_support {

std::string ReadFile(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + Path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& Path, const std::string& Bytes) {
  // A new file rather than the old one cut to nothing: on ext4, a file
  // truncated and written again is flushed to the disk on close, which made
  // tests that rewrite one file thousands of times wait on the disk.
  std::error_code ignored;
  std::filesystem::remove(Path, ignored);
  std::ofstream out(Path, std::ios::binary | std::ios::trunc);
  out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + Path);
}

std::vector<std::string> FileNames(const std::filesystem::path& Folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(Folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace wordloom::testing_support
