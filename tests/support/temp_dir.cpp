#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cctype>

namespace wordloom::testing_support {

namespace {

// The running test's suite and name, reduced to characters a file name takes
// (a parameterised test's name holds slashes).
std::string TestLabel() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string label =
      info == nullptr ? "no_test" : std::string(info->test_suite_name()) + "_" + info->name();
  for (char& c : label) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return label;
}

}  // namespace

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  FPath = std::filesystem::path(::testing::TempDir()) /
          ("wordloom_" + TestLabel() + "_" + std::to_string(::getpid()) + "_" +
           std::to_string(counter++));
  std::filesystem::remove_all(FPath);
  std::filesystem::create_directories(FPath);
}

TempDir::~TempDir() {
  std::error_code ignored;  // a destructor must not throw; a leftover folder is harmless
  std::filesystem::remove_all(FPath, ignored);
}

}  // namespace wordloom::testing_support
