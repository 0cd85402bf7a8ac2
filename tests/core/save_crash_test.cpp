// Saves of a dictionary killed at random moments: the file on disk is always
// the old one or the new one, byte for byte, and the next save removes what
// a kill left beside it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "support/dictionary.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

using testing_support::FileNames;
using testing_support::ReadFile;
using testing_support::TempDir;

// Saves a dictionary of Words generated words to Path, as a fresh component
// each time (a component saves only what changed since its last save).
void SaveWords(const std::string& Path, int Words) {
  TVelkWordloom d(nullptr);
  d.SetSpellFileOptions({});  // no questions, no save on destruction
  d.InitFirstSpellNode();
  for (int i = 0; i < Words; ++i) d.AddToSpell("w" + testing_support::ThreeLetterWord(i));
  d.SaveSpellFile(Path, false);
}

TEST(SaveCrashTest, SavesKilledAtRandomMomentsLeaveTheOldOrTheNewFileAndNoTemporary) {
  TempDir dir;
  const std::string file = dir.File("words.spl");
  SaveWords(dir.File("a.spl"), 3000);
  const auto started = std::chrono::steady_clock::now();
  SaveWords(dir.File("b.spl"), 5000);
  // Kills fall anywhere in the three saves after a child's first, however
  // fast this build is.
  const auto save_us = std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::steady_clock::now() - started)
                           .count();
  const auto span = static_cast<std::uint32_t>(std::max<long long>(3 * save_us, 1000));
  const std::string a = ReadFile(dir.File("a.spl"));
  const std::string b = ReadFile(dir.File("b.spl"));
  SaveWords(file, 3000);
  std::mt19937 rng(14);
  int saw_b = 0;
  int left = 0;  // temporaries found after a kill: the moment is short, so few
  std::vector<pid_t> children;
  for (int round = 0; round < 40; ++round) {
    // The child says when its first save is done, so that the kill's moment
    // counts from there: on a loaded machine a child may get no processor
    // for longer than the whole span, and would then die before saving.
    int first_done[2];
    ASSERT_EQ(::pipe(first_done), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child > 0) children.push_back(child);
    if (child == 0) {
      ::close(first_done[0]);
      // Saves the two dictionaries in turn until killed.
      for (int i = 0;; ++i) {
        try {
          SaveWords(file, i % 2 == 0 ? 5000 : 3000);
        } catch (...) {
          ::_exit(3);
        }
        if (i == 0 && ::write(first_done[1], "s", 1) != 1) ::_exit(4);
      }
    }
    ::close(first_done[1]);
    char signal_byte = 0;
    const ssize_t got = ::read(first_done[0], &signal_byte, 1);
    ::close(first_done[0]);
    ASSERT_EQ(got, 1) << "the saving process ended before its first save was done";
    ::usleep(static_cast<useconds_t>(200 + rng() % span));
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process ended by itself: " << status;
    const std::string now = ReadFile(file);
    ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    saw_b += now == b;
    // Anything beside the target is a temporary of a killed save: this
    // round's, or an earlier one's that a save killed since did not get to
    // remove.
    for (const std::string& name : FileNames(dir.Path())) {
      if (name == "words.spl" || name == "a.spl" || name == "b.spl") continue;
      ++left;
      EXPECT_TRUE(std::any_of(children.begin(), children.end(), [&](pid_t saver) {
        return name.rfind("words.spl.wordloom-" + std::to_string(saver) + "-", 0) == 0;
      })) << name;
    }
  }
  EXPECT_GT(saw_b, 0);
  RecordProperty("temporaries_left_by_kills", left);
  // The next save finds what killed saves left and removes it.
  SaveWords(file, 3000);
  EXPECT_THAT(FileNames(dir.Path()), ::testing::ElementsAre("a.spl", "b.spl", "words.spl"));
}

}  // namespace
}  // namespace wordloom
