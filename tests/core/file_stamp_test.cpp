// Stamps are trusted only for a file whose identity is exactly the recorded
// one, are never kept of a file that may still change unseen, and a damaged
// stamp is no stamp.
#include "storage/file_stamp.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "support/temp_dir.h"

namespace wordloom::detail {
namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

constexpr std::int64_t kAnyTime = std::numeric_limits<std::int64_t>::max();

std::size_t StampCount(const std::string& folder) {
  std::size_t n = 0;
  for (const auto& e : fs::directory_iterator(folder)) n += e.path().extension() == ".stamp";
  return n;
}

// A file of its own, open for reading.
class OpenFile {
 public:
  explicit OpenFile(const std::string& name, const std::string& content = "words") {
    std::ofstream(name, std::ios::binary) << content;
    FFd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  }
  ~OpenFile() { close(FFd); }
  int Fd() const { return FFd; }
  FileIdentity Identity() const {
    FileIdentity id;
    EXPECT_TRUE(IdentityOf(FFd, id));
    return id;
  }

 private:
  int FFd;
};

TEST(FileStampTest, StampBytesRoundTripAndAnyDamageIsRefused) {
  const FileIdentity id{0x801, 123456789, 3723118, 1'700'000'000'123'456'789, 1'700'000'001'000'000'001};
  const StampValue value{0x0123456789abcdefULL, 0xfedcba9876543210ULL};
  const std::string good = EncodeStamp(StampKind::kSpellKey, id, value);
  ASSERT_EQ(good.size(), kStampSize);
  auto parse = [](const std::string& bytes, StampKind kind, FileIdentity& i, StampValue& v) {
    return ParseStamp(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), kind, i, v);
  };
  FileIdentity read_id;
  StampValue read_value;
  ASSERT_TRUE(parse(good, StampKind::kSpellKey, read_id, read_value));
  EXPECT_EQ(read_id, id);
  EXPECT_EQ(read_value, value);
  EXPECT_FALSE(parse(good, StampKind::kFormChecksum, read_id, read_value));
  EXPECT_FALSE(parse(good.substr(0, kStampSize - 1), StampKind::kSpellKey, read_id, read_value));
  EXPECT_FALSE(parse(good + '\0', StampKind::kSpellKey, read_id, read_value));
  EXPECT_FALSE(parse("", StampKind::kSpellKey, read_id, read_value));
  for (std::size_t at = 0; at < good.size(); ++at) {
    std::string bad = good;
    bad[at] = static_cast<char>(bad[at] ^ 0x04);
    EXPECT_FALSE(parse(bad, StampKind::kSpellKey, read_id, read_value)) << "byte " << at;
  }
}

TEST(FileStampTest, LookUpNeedsTheExactIdentityAndKind) {
  TempDir dir;
  const std::string folder = dir.File("stamps");
  OpenFile file(dir.File("a.spl"));
  const FileIdentity id = file.Identity();
  const StampValue value{1, 2};
  RecordStamp(folder, StampKind::kSpellKey, file.Fd(), id, value, kAnyTime);
  StampValue found;
  ASSERT_TRUE(LookUpStamp(folder, StampKind::kSpellKey, id, found));
  EXPECT_EQ(found, value);
  EXPECT_FALSE(LookUpStamp(folder, StampKind::kFormChecksum, id, found));
  EXPECT_FALSE(LookUpStamp({}, StampKind::kSpellKey, id, found));
  const struct {
    const char* what;
    void (*change)(FileIdentity&);
  } kChanges[] = {
      {"another device", [](FileIdentity& i) { ++i.Device; }},
      {"another inode", [](FileIdentity& i) { ++i.Inode; }},
      {"another size", [](FileIdentity& i) { ++i.Size; }},
      {"modified a nanosecond later", [](FileIdentity& i) { ++i.ModifiedNs; }},
      {"status changed a nanosecond later", [](FileIdentity& i) { ++i.ChangedNs; }},
  };
  for (const auto& c : kChanges) {
    SCOPED_TRACE(c.what);
    FileIdentity other = id;
    c.change(other);
    EXPECT_FALSE(LookUpStamp(folder, StampKind::kSpellKey, other, found));
  }
  // A damaged stamp file is no stamp.
  for (const auto& e : fs::directory_iterator(folder)) {
    std::fstream f(e.path(), std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(60);
    f.put('\x55');
  }
  EXPECT_FALSE(LookUpStamp(folder, StampKind::kSpellKey, id, found));
}

TEST(FileStampTest, NoStampOfAFileChangedWhileItWasRead) {
  TempDir dir;
  const std::string folder = dir.File("stamps");
  OpenFile file(dir.File("a.spl"));
  const FileIdentity id = file.Identity();
  StampValue found;
  // The identity taken before the read is no longer its own.
  std::ofstream(dir.File("a.spl"), std::ios::app) << "more";
  RecordStamp(folder, StampKind::kSpellKey, file.Fd(), id, {1, 2}, kAnyTime);
  EXPECT_FALSE(LookUpStamp(folder, StampKind::kSpellKey, id, found));
  EXPECT_FALSE(LookUpStamp(folder, StampKind::kSpellKey, file.Identity(), found));
  // A folder that cannot be made: nothing recorded, nothing thrown.
  std::ofstream(dir.File("plain")) << "x";
  EXPECT_NO_THROW(RecordStamp(dir.File("plain") + "/stamps", StampKind::kSpellKey, file.Fd(),
                              file.Identity(), {1, 2}, kAnyTime));
}

TEST(FileStampTest, OnlyFilesWhoseNextChangeMustShowAreStamped) {
  constexpr std::int64_t kSecond = 1'000'000'000;
  const std::int64_t t = 1'765'000'000 * kSecond;
  const struct {
    const char* what;
    std::int64_t modified, changed, started;
    bool expected;
  } kCases[] = {
      {"changed a nanosecond before the reading", t + 5, t + 7, t + 8, true},
      {"changed in the tick the reading began", t + 5, t + 8, t + 8, false},
      {"changed after the reading began", t + 5, t + 9, t + 8, false},
      {"mtime put in the future (touch -d)", t + 100 * kSecond, t + 7, t + 8, true},
      {"whole seconds, changed a second before", t, t, t + kSecond, false},
      {"whole seconds, changed two seconds before", t, t, t + 2 * kSecond, false},
      {"whole seconds, changed three seconds before", t, t, t + 3 * kSecond, true},
      {"only ctime in whole seconds", t + 5, t, t + 1, true},
      {"no times", 0, 0, t, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    FileIdentity id{1, 2, 3, c.modified, c.changed};
    EXPECT_EQ(MayStamp(id, c.started), c.expected);
  }
}

TEST(FileStampTest, FolderKeepsTheStampsWrittenLast) {
  TempDir dir;
  const std::string folder = dir.File("stamps");
  const std::size_t files = kMaxStamps + 3;
  FileIdentity last;
  for (std::size_t i = 0; i < files; ++i) {
    OpenFile file(dir.File("f" + std::to_string(i)));
    last = file.Identity();
    RecordStamp(folder, StampKind::kFormChecksum, file.Fd(), last, {i, 0}, kAnyTime);
  }
  EXPECT_EQ(StampCount(folder), kMaxStamps);
  StampValue found;
  ASSERT_TRUE(LookUpStamp(folder, StampKind::kFormChecksum, last, found));
  EXPECT_EQ(found.Low, files - 1);
}

}  // namespace
}  // namespace wordloom::detail
