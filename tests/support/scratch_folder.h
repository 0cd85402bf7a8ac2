// A folder of its own for the files of a program that is not a GoogleTest
// test (a benchmark, a fuzzer): made under Parent ($TMPDIR or /tmp unless
// given) when the program starts and removed with everything in it when it
// ends, so that runs side by side never share or leave files. Header only,
// without GoogleTest (TempDir is the tests' own).
//
//   static const ScratchFolder folder;
//   dict.SaveSpellFile(folder.File("plain.spl"), false);
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

class ScratchFolder {
 public:
  explicit ScratchFolder(std::string Parent = {}) {
    if (Parent.empty()) {
      const char* tmp = std::getenv("TMPDIR");
      Parent = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    }
    std::string pattern = Parent + "/wordloom-scratch-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("wordloom: cannot make a scratch folder");
      std::exit(1);
    }
    FPath = pattern;
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The path of Name inside the folder (nothing is created).
  std::string File(const std::string& Name) const { return (FPath / Name).string(); }

 private:
  std::filesystem::path FPath;
};
