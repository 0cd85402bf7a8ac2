// A folder of its own for a benchmark's files, made under $TMPDIR (or /tmp)
// when the benchmark starts and removed with everything in it when it ends,
// so that runs side by side never share or leave files.
//
//   static const BenchFolder folder;
//   dict.SaveSpellFile(folder.File("plain.spl"), false);
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

class BenchFolder {
 public:
  BenchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/wordloom-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("wordloom bench: cannot make a temporary folder");
      std::exit(1);
    }
    FPath = pattern;
  }
  ~BenchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;

  // The path of Name inside the folder (nothing is created).
  std::string File(const std::string& Name) const { return (FPath / Name).string(); }

 private:
  std::filesystem::path FPath;
};
