// No copy of a password stays in memory after use: the tool in pipe mode
// (which opened a protected dictionary and waits for its input) and a process
// that opened and saved one through the tool's code are dumped with gcore
// while they wait, and the dumps are searched for the password and its parts.
// Skipped without gcore, or when the system does not let it attach.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using wordloom::testing_support::ReadFile;
using wordloom::testing_support::TempDir;
using wordloom::testing_support::WriteFile;

// A started process with a pipe to its standard input and one from its output.
struct Child {
  pid_t Pid = -1;
  int In = -1;
  int Out = -1;
};

Child Start(const std::vector<std::string>& args) {
  int to_child[2], from_child[2];
  if (::pipe(to_child) != 0 || ::pipe(from_child) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, to_child[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, from_child[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, to_child[1]);
  posix_spawn_file_actions_addclose(&actions, from_child[0]);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  Child child;
  if (posix_spawn(&child.Pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) child.Pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(to_child[0]);
  ::close(from_child[1]);
  child.In = to_child[1];
  child.Out = from_child[0];
  return child;
}

// The first line the child writes (its sign that it is ready).
std::string FirstLine(const Child& child) {
  std::string line;
  char c = 0;
  while (::read(child.Out, &c, 1) == 1 && c != '\n') line.push_back(c);
  return line;
}

int Finish(Child& child) {
  ::close(child.In);
  ::close(child.Out);
  int status = 0;
  ::waitpid(child.Pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Shell(const std::string& command) { return std::system(command.c_str()); }

std::string FindGcore() {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    const fs::path candidate = fs::path(dirs.substr(start, end - start)) / "gcore";
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
    start = end + 1;
  }
  return {};
}

// The parts of the password a copy could hold: the whole, the halves the
// cipher keys with (odd and even positions), and every run of 8 bytes.
std::vector<std::string> PasswordParts(const std::string& password) {
  std::vector<std::string> parts = {password, "", ""};
  for (std::size_t i = 0; i < password.size(); ++i) parts[1 + i % 2].push_back(password[i]);
  for (std::size_t i = 0; i + 8 <= password.size(); ++i) parts.push_back(password.substr(i, 8));
  return parts;
}

class PasswordCoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers keep memory of their own; the plain build is dumped";
#endif
    FGcore = FindGcore();
    if (FGcore.empty()) GTEST_SKIP() << "gcore (package gdb) is not installed";
    // Made now, of letters and digits, so that no copy exists before the
    // processes under test read it from the file.
    std::random_device random;
    const std::string kChars = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int i = 0; i < 24; ++i) FPassword.push_back(kChars[random() % kChars.size()]);
    WriteFile(FDir.File("pw.txt"), FPassword + "\n");
    WriteFile(FDir.File("corpus.txt"), "the quick brown fox jumps over the lazy dog\n");
    ASSERT_EQ(Shell(std::string(WORDLOOM_TOOL) + " learn --protect --password-file " +
                  FDir.File("pw.txt") + " " + FDir.File("corpus.txt") + " -o " +
                  FDir.File("protected.spl")),
              0);
  }

  // Dumps the waiting child and checks that the dump holds a string the
  // child surely has (so the search works) and no part of the password.
  void ExpectNoPasswordIn(const Child& child, const std::string& surely_there) {
    const std::string core = FDir.File("core");
    if (Shell(FGcore + " -o " + core + " " + std::to_string(child.Pid) + " >/dev/null 2>&1") != 0 ||
        !fs::exists(core + "." + std::to_string(child.Pid))) {
      GTEST_SKIP() << "gcore could not attach (ptrace not permitted here)";
    }
    const std::string dump = ReadFile(core + "." + std::to_string(child.Pid));
    fs::remove(core + "." + std::to_string(child.Pid));
    ASSERT_NE(dump.find(surely_there), std::string::npos) << "the dump lacks " << surely_there;
    for (const std::string& part : PasswordParts(FPassword)) {
      EXPECT_EQ(dump.find(part), std::string::npos) << "the dump holds \"" << part << "\" of \""
                                                    << FPassword << "\"";
    }
  }

  TempDir FDir;
  std::string FGcore;
  std::string FPassword;
};

TEST_F(PasswordCoreTest, TheToolKeepsNoCopyAfterOpeningAProtectedDictionary) {
  Child pipe = Start({WORDLOOM_TOOL, "-a", "-d", FDir.File("protected.spl"), "--password-file",
                      FDir.File("pw.txt")});
  ASSERT_GT(pipe.Pid, 0);
  ASSERT_EQ(FirstLine(pipe).rfind("@(#) International Ispell", 0), 0u);
  ExpectNoPasswordIn(pipe, FDir.File("protected.spl"));
  EXPECT_EQ(Finish(pipe), 0);
}

TEST_F(PasswordCoreTest, NoCopyStaysAfterOpeningAndSavingAProtectedDictionary) {
  Child holder = Start({PASSWORD_HOLDER, FDir.File("protected.spl"), FDir.File("pw.txt")});
  ASSERT_GT(holder.Pid, 0);
  ASSERT_EQ(FirstLine(holder), "ready");
  ExpectNoPasswordIn(holder, FDir.File("protected.spl"));
  EXPECT_EQ(Finish(holder), 0);
  // The save happened, with the same password.
  EXPECT_EQ(Shell(std::string(WORDLOOM_TOOL) + " suggest -d " + FDir.File("protected.spl") +
                " --password-file " + FDir.File("pw.txt") + " holder >/dev/null"),
            0);
}

}  // namespace
