// A folder of its own for a test that needs real files: made fresh on
// construction, removed with everything in it on destruction.
//
//   TempDir dir;
//   dict.SaveSpellFile(dir.File("a.spl"), false);
#pragma once

#include <filesystem>
#include <string>

namespace wordloom::testing_support {

class TempDir {
 public:
  // Creates an empty folder under GoogleTest's temporary directory, named
  // after the running test, the process and a counter, so that tests run in
  // parallel or one after another never share one.
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  // The path of Name inside the folder (nothing is created).
  std::string File(const std::string& Name) const { return (FPath / Name).string(); }

 private:
  std::filesystem::path FPath;
};

}  // namespace wordloom::testing_support
