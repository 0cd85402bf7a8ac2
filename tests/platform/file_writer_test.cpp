#include "wordloom/platform/file_writer.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/files.h"
#include "support/temp_dir.h"
#include "wordloom/platform/exceptions.h"

namespace wordloom {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing_support::FileNames;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

// The real calls, except that the k-th call of one kind fails with EIO and
// O_TMPFILE can be made to look unsupported. Every call is counted.
class FailingCalls : public FileCalls {
 public:
  enum Kind { kWrite, kFsync, kLink, kRename, kClose, kKinds };

  int Open(const char* path, int flags, mode_t mode) override {
    if (FNoUnnamed && (flags & O_TMPFILE) == O_TMPFILE) {
      errno = EOPNOTSUPP;
      return -1;
    }
    return FileCalls::Open(path, flags, mode);
  }
  ssize_t Write(int fd, const void* buffer, size_t count) override {
    if (Fails(kWrite)) return -1;
    return FileCalls::Write(fd, buffer, count);
  }
  int Fsync(int fd) override { return Fails(kFsync) ? -1 : FileCalls::Fsync(fd); }
  int LinkAt(int od, const char* op, int nd, const char* np, int flags) override {
    return Fails(kLink) ? -1 : FileCalls::LinkAt(od, op, nd, np, flags);
  }
  int Rename(const char* from, const char* to) override {
    return Fails(kRename) ? -1 : FileCalls::Rename(from, to);
  }
  int Close(int fd) override {
    // The descriptor is gone either way, as after a real failed close.
    const int result = FileCalls::Close(fd);
    return Fails(kClose) ? -1 : result;
  }

  std::array<int, kKinds> FCount{};
  Kind FFailKind = kWrite;
  int FFailAt = 0;  // 0: nothing fails
  bool FNoUnnamed = false;

 private:
  bool Fails(Kind kind) {
    if (++FCount[kind] != FFailAt || kind != FFailKind) return false;
    errno = EIO;
    return true;
  }
};

const std::string kOld = "the old content of the file\n";
const std::string kNew = "the new content, longer than the old one, written in pieces\n";

// Writes kNew ten bytes at a time, so that several writes can fail.
void WriteNew(TStream& out) {
  for (std::size_t i = 0; i < kNew.size(); i += 10) {
    out.WriteBuffer(kNew.data() + i, std::min<std::size_t>(10, kNew.size() - i));
  }
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0);
  return st.st_mode;
}

// Every failure of every call before the new file is in place leaves the old
// file byte for byte (or no file, when there was none) and no temporary; a
// failure after it (the folder's fsync) is reported and leaves the whole new file.
void CheckEveryFailure(bool no_unnamed, bool existing) {
  FailingCalls counting;
  counting.FNoUnnamed = no_unnamed;
  {
    TempDir dir;
    if (existing) WriteFile(dir.File("words"), kOld);
    FileWriter(counting).Save(dir.File("words"), WriteNew);
  }
  const char* kKindNames[] = {"write", "fsync", "link", "rename", "close"};
  for (int kind = 0; kind < FailingCalls::kKinds; ++kind) {
    ASSERT_GT(counting.FCount[FailingCalls::kClose], 0);
    for (int k = 1; k <= counting.FCount[kind]; ++k) {
      SCOPED_TRACE(std::string(kKindNames[kind]) + " #" + std::to_string(k) +
                   (no_unnamed ? " (named temporary)" : "") + (existing ? "" : " (new file)"));
      TempDir dir;
      const std::string file = dir.File("words");
      if (existing) WriteFile(file, kOld);
      FailingCalls calls;
      calls.FNoUnnamed = no_unnamed;
      calls.FFailKind = static_cast<FailingCalls::Kind>(kind);
      calls.FFailAt = k;
      const bool folder_fsync = kind == FailingCalls::kFsync && k == counting.FCount[kind];
      const bool folder_close = kind == FailingCalls::kClose && k == counting.FCount[kind];
      if (folder_close) {
        // Closing the folder after its fsync loses nothing.
        FileWriter(calls).Save(file, WriteNew);
        EXPECT_EQ(ReadFile(file), kNew);
      } else {
        EXPECT_THAT([&] { FileWriter(calls).Save(file, WriteNew); },
                    ::testing::ThrowsMessage<EWriteError>(HasSubstr("Input/output error")));
        if (folder_fsync) {
          EXPECT_EQ(ReadFile(file), kNew);
        } else if (existing) {
          EXPECT_EQ(ReadFile(file), kOld);
        } else {
          EXPECT_FALSE(fs::exists(file));
          EXPECT_THAT(FileNames(dir.Path()), ::testing::IsEmpty());
          continue;
        }
      }
      EXPECT_THAT(FileNames(dir.Path()), ::testing::ElementsAre("words"));
    }
  }
  // Link is only called with O_TMPFILE; a new file linked in place needs no rename.
  EXPECT_EQ(counting.FCount[FailingCalls::kLink], no_unnamed ? 0 : 1);
  EXPECT_EQ(counting.FCount[FailingCalls::kRename], !no_unnamed && !existing ? 0 : 1);
  EXPECT_EQ(counting.FCount[FailingCalls::kFsync], 2);
}

TEST(FileWriterTest, AFailedCallLeavesTheOldFileAndNoTemporary) {
  CheckEveryFailure(false, true);
  CheckEveryFailure(false, false);
}

TEST(FileWriterTest, WithoutUnnamedFilesTheNamedTemporaryIsRemovedOnEveryFailure) {
  CheckEveryFailure(true, true);
  CheckEveryFailure(true, false);
}

TEST(FileWriterTest, AFailingContentLeavesTheOldFile) {
  TempDir dir;
  const std::string file = dir.File("words");
  WriteFile(file, kOld);
  EXPECT_THROW(FileWriter().Save(file,
                                 [](TStream& out) {
                                   out.WriteBuffer("partial", 7);
                                   throw EConvertError("stopped");
                                 }),
               EConvertError);
  EXPECT_EQ(ReadFile(file), kOld);
  EXPECT_THAT(FileNames(dir.Path()), ::testing::ElementsAre("words"));
}

TEST(FileWriterTest, ErrorsNameTheFileAndTheReason) {
  TempDir dir;
  const std::string file = dir.File("words");
  FailingCalls calls;
  calls.FFailKind = FailingCalls::kWrite;
  calls.FFailAt = 1;
  EXPECT_THAT([&] { FileWriter(calls).Save(file, WriteNew); },
              ::testing::ThrowsMessage<EWriteError>(
                  ::testing::AllOf(HasSubstr(file), HasSubstr("Input/output error"))));
  EXPECT_FALSE(fs::exists(file));
  EXPECT_THAT([&] { FileWriter().SaveBytes(dir.File("missing/words"), "x"); },
              ::testing::ThrowsMessage<EWriteError>(
                  ::testing::AllOf(HasSubstr("\"" + dir.File("missing/words") + "\""),
                                   HasSubstr("No such file or directory"))));
  EXPECT_THAT([&] { FileWriter().SaveBytes(dir.Path().string(), "x"); },
              ::testing::ThrowsMessage<EWriteError>(HasSubstr("Is a directory")));
}

TEST(FileWriterTest, ANewFileGetsTheUsualModeAndAReplacedOneKeepsItsMode) {
  TempDir dir;
  const std::string file = dir.File("words");
  const mode_t mask = ::umask(022);
  FileWriter().SaveBytes(file, kOld);
  EXPECT_EQ(ModeOf(file) & 07777, 0644u);
  ::umask(mask);
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  FileWriter().SaveBytes(file, kNew);
  EXPECT_EQ(ReadFile(file), kNew);
  EXPECT_EQ(ModeOf(file) & 07777, 0640u);
}

TEST(FileWriterTest, AReplacedFileKeepsItsOwner) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  TempDir dir;
  const std::string file = dir.File("words");
  WriteFile(file, kOld);
  ASSERT_EQ(::chown(file.c_str(), 4321, 4322), 0);
  FileWriter().SaveBytes(file, kNew);
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 4321u);
  EXPECT_EQ(st.st_gid, 4322u);
  EXPECT_EQ(ReadFile(file), kNew);
}

TEST(FileWriterTest, ASymlinkIsFollowedAndStays) {
  TempDir dir;
  fs::create_directory(dir.Path() / "real");
  const std::string real = dir.File("real/words");
  WriteFile(real, kOld);
  // A relative link, resolved from the link's folder, through a second link.
  fs::create_symlink("real/words", dir.Path() / "link1");
  fs::create_symlink("link1", dir.Path() / "link2");
  FileWriter().SaveBytes(dir.File("link2"), kNew);
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "link1"));
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "link2"));
  EXPECT_EQ(ReadFile(real), kNew);
  EXPECT_THAT(FileNames(dir.Path() / "real"), ::testing::ElementsAre("words"));

  // A link to a missing file makes that file.
  fs::create_symlink("real/later", dir.Path() / "dangling");
  FileWriter().SaveBytes(dir.File("dangling"), kOld);
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "dangling"));
  EXPECT_EQ(ReadFile(dir.File("real/later")), kOld);

  fs::create_symlink("loop", dir.Path() / "loop");
  EXPECT_THAT([&] { FileWriter().SaveBytes(dir.File("loop"), kNew); },
              ::testing::ThrowsMessage<EWriteError>(HasSubstr("Too many levels")));
}

TEST(FileWriterTest, AFifoIsWrittenInPlace) {
  TempDir dir;
  const std::string fifo = dir.File("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ReadFile(fifo); });
  FileWriter().SaveBytes(fifo, kNew);
  reader.join();
  EXPECT_EQ(received, kNew);
  EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));
  EXPECT_THAT(FileNames(dir.Path()), ::testing::ElementsAre("pipe"));
}

TEST(FileWriterTest, ADeviceIsWrittenInPlace) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can make a device node";
  TempDir dir;
  // 1,3 is the null device; a node of our own, in the test's folder.
  const std::string node = dir.File("null");
  ASSERT_EQ(::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  FileWriter().SaveBytes(node, kNew);
  EXPECT_TRUE(S_ISCHR(ModeOf(node)));
  // 1,7 is the full device: every write fails with ENOSPC, and says so.
  const std::string full = dir.File("full");
  ASSERT_EQ(::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
  EXPECT_THAT([&] { FileWriter().SaveBytes(full, kNew); },
              ::testing::ThrowsMessage<EWriteError>(
                  ::testing::AllOf(HasSubstr(full), HasSubstr("No space left"))));
  EXPECT_TRUE(S_ISCHR(ModeOf(full)));
}

TEST(FileWriterTest, AReadOnlyFileIsRefused) {
  TempDir dir;
  const std::string file = dir.File("words");
  WriteFile(file, kOld);
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  // Refused on the mode, so also when root runs it.
  EXPECT_THAT([&] { FileWriter().SaveBytes(file, kNew); },
              ::testing::ThrowsMessage<EWriteError>(
                  ::testing::AllOf(HasSubstr(file), HasSubstr("read-only"))));
  EXPECT_EQ(ReadFile(file), kOld);
  EXPECT_EQ(ModeOf(file) & 07777, 0444u);
  // Also through a link.
  fs::create_symlink("words", dir.Path() / "link");
  EXPECT_THROW(FileWriter().SaveBytes(dir.File("link"), kNew), EWriteError);
  EXPECT_EQ(ReadFile(file), kOld);
}

// The id of a process that has ended (and was reaped): its temporaries are stale.
pid_t DeadProcess() {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return pid;
}

TEST(FileWriterTest, TheNextSaveRemovesTemporariesOfKilledSavesAndNothingElse) {
  TempDir dir;
  const std::string file = dir.File("words");
  WriteFile(file, kOld);
  const std::string dead = std::to_string(DeadProcess());
  const std::string mine = std::to_string(::getpid());
  const std::vector<std::string> stale = {"words.wordloom-" + dead + "-0-12345",
                                          "words.wordloom-" + dead + "-7-0"};
  const std::vector<std::string> kept = {
      "words.wordloom-" + mine + "-0-1",      // a save of this process
      "words.wordloom-1-0-1",                 // process 1 is alive
      "words.wordloom-" + dead + "-0-1.bak",  // not the pattern
      "words.wordloom-" + dead + "-0",        // not the pattern
      "words.wordloom-" + dead + "-a-1",      // not the pattern
      "other.wordloom-" + dead + "-0-1",      // another file's
      "words.wordloom-" + dead + "-1-1x",     // not the pattern
  };
  for (const std::string& name : stale) WriteFile(dir.File(name), "left by a killed save");
  for (const std::string& name : kept) WriteFile(dir.File(name), "someone's");
  // A link and a folder of the pattern, and a file with a second name.
  fs::create_symlink("words", dir.Path() / ("words.wordloom-" + dead + "-2-2"));
  fs::create_directory(dir.Path() / ("words.wordloom-" + dead + "-3-3"));
  WriteFile(dir.File("linked"), "x");
  fs::create_hard_link(dir.Path() / "linked", dir.Path() / ("words.wordloom-" + dead + "-4-4"));

  FileWriter().SaveBytes(file, kNew);
  EXPECT_EQ(ReadFile(file), kNew);
  const std::vector<std::string> names = FileNames(dir.Path());
  for (const std::string& name : stale) EXPECT_THAT(names, ::testing::Not(::testing::Contains(name)));
  for (const std::string& name : kept) EXPECT_THAT(names, ::testing::Contains(name));
  EXPECT_THAT(names, ::testing::Contains("words.wordloom-" + dead + "-2-2"));
  EXPECT_THAT(names, ::testing::Contains("words.wordloom-" + dead + "-3-3"));
  EXPECT_THAT(names, ::testing::Contains("words.wordloom-" + dead + "-4-4"));
}

TEST(FileWriterTest, AHardLinkedFileIsWrittenInPlaceSoThatEveryNameSeesIt) {
  TempDir dir;
  const std::string file = dir.File("words");
  const std::string other = dir.File("other-name");
  WriteFile(file, kOld);
  fs::create_hard_link(file, other);
  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);

  FileWriter().SaveBytes(file, kNew);
  EXPECT_EQ(ReadFile(file), kNew);
  EXPECT_EQ(ReadFile(other), kNew);
  struct stat after {};
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_nlink, 2u);
  // Shorter content is cut to its size.
  FileWriter().SaveBytes(other, "short");
  EXPECT_EQ(ReadFile(file), "short");

  // A content that fails changes nothing; a failing write says why and where.
  EXPECT_THROW(FileWriter().Save(file,
                                 [](TStream& out) {
                                   out.WriteBuffer("partial", 7);
                                   throw EConvertError("stopped");
                                 }),
               EConvertError);
  EXPECT_EQ(ReadFile(other), "short");
  FailingCalls calls;
  calls.FFailKind = FailingCalls::kFsync;
  calls.FFailAt = 1;
  EXPECT_THAT([&] { FileWriter(calls).SaveBytes(file, kNew); },
              ::testing::ThrowsMessage<EWriteError>(
                  ::testing::AllOf(HasSubstr(file), HasSubstr("2 hard links"),
                                   HasSubstr("Input/output error"))));
  EXPECT_THAT(FileNames(dir.Path()), ::testing::ElementsAre("other-name", "words"));
}

}  // namespace
}  // namespace wordloom
