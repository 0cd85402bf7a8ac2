// The tool's read commands keep compact forms in the user's cache folder: for
// these tests it is a fresh temporary folder, removed at the end.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {

class CacheEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "wordloom-cache-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    FFolder = pattern;
    setenv("XDG_CACHE_HOME", FFolder.c_str(), 1);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(FFolder, ec);
  }

 private:
  std::string FFolder;
};

const ::testing::Environment* const kCache =
    ::testing::AddGlobalTestEnvironment(new CacheEnvironment);

}  // namespace
