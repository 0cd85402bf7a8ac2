// The tool as a process:
// - no copy of a password stays in memory after use: the tool in pipe mode
//   (which opened a protected dictionary and waits for its input) and a
//   process that opened and saved one through the tool's code are dumped with
//   gcore while they wait, and the dumps are searched for the password and its
//   parts (skipped without gcore, or when the system does not let it attach);
// - encode and decode take the same memory for a small and a large input.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
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

// Points TMPDIR, where the tool makes its temporary files, at a test's folder
// while it lives (GoogleTest finds its own folder through TMPDIR too).
class TmpdirScope {
 public:
  explicit TmpdirScope(const fs::path& Folder) {
    if (const char* old = std::getenv("TMPDIR")) FOld = old;
    ::setenv("TMPDIR", Folder.c_str(), 1);
  }
  ~TmpdirScope() {
    if (FOld) {
      ::setenv("TMPDIR", FOld->c_str(), 1);
    } else {
      ::unsetenv("TMPDIR");
    }
  }

 private:
  std::optional<std::string> FOld;
};

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
    FTmpdir.emplace(FDir.Path());
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
    if (Shell(FGcore + " -o " + core + " " + std::to_string(child.Pid) + " >" + FDir.File("gcore.log") + " 2>&1") != 0 ||
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
  std::optional<TmpdirScope> FTmpdir;
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
                " --password-file " + FDir.File("pw.txt") + " holder >" + FDir.File("holder.out")),
            0);
}

// Runs the tool with In as standard input and Out as standard output and
// returns its largest resident size in KiB (-1 when it failed).
long PeakKiBOfRun(const std::vector<std::string>& args, const std::string& in,
                  const std::string& out) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  rusage usage {};
  // The usage of this one process, not of every child so far.
  if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return -1;
  }
  return usage.ru_maxrss;
}

TEST(ToolMemoryTest, EncodeAndDecodeDoNotGrowWithTheInput) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' memory grows with every allocation";
#endif
  TempDir dir;
  TmpdirScope tmpdir(dir.Path());
  const std::string line = "the quick brown fox jumps over the lazy dog\n";
  WriteFile(dir.File("corpus.txt"), line);
  ASSERT_EQ(Shell(std::string(WORDLOOM_TOOL) + " learn " + dir.File("corpus.txt") + " -o " +
                  dir.File("d.spl")),
            0);
  // Written a block at a time: this process stays small, since a child's peak
  // counts the memory of the process that started it (before it loads the
  // tool); a peak that grew with the input would still stand out.
  std::string block;
  while (block.size() < 256 * 1024) block += line;
  WriteFile(dir.File("small.txt"), block);
  {
    std::ofstream large(dir.File("large.txt"), std::ios::binary);
    for (int i = 0; i < 48; ++i) large << block;  // 12 MiB
  }
  // Standard input in and out, the case that read the input whole (twice).
  const auto peak = [&](const std::string& name) {
    const std::vector<std::string> encode = {WORDLOOM_TOOL, "encode", "-d", dir.File("d.spl"), "-", "-"};
    const std::vector<std::string> decode = {WORDLOOM_TOOL, "decode", "-d", dir.File("d.spl"), "-", "-"};
    const long e = PeakKiBOfRun(encode, dir.File(name + ".txt"), dir.File(name + ".enc"));
    const long d = PeakKiBOfRun(decode, dir.File(name + ".enc"), dir.File(name + ".dec"));
    EXPECT_EQ(Shell("cmp -s " + dir.File(name + ".dec") + " " + dir.File(name + ".txt")), 0) << name;
    EXPECT_GT(e, 0);
    EXPECT_GT(d, 0);
    return std::max(e, d);
  };
  const long small_peak = peak("small");
  const long large_peak = peak("large");
  // 12 MiB more input: well under 2 MiB more memory.
  EXPECT_LT(large_peak - small_peak, 2048) << small_peak << " KiB, then " << large_peak << " KiB";
  RecordProperty("peak_kib_256k_input", static_cast<int>(small_peak));
  RecordProperty("peak_kib_12m_input", static_cast<int>(large_peak));
}

}  // namespace
