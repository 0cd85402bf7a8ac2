// A stamp's 80 bytes (docs/compact-form.md), little-endian:
//   magic: 8 bytes "WLSTAMP" 0x1A   version: u32 (1)   kind: u8, 3 bytes of 0
//   device, inode, size: u64         mtime, ctime: i64 (ns)
//   value_low, value_high: u64       checksum: u64 (XXH3-64 of the 72 bytes before)
#include "storage/file_stamp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "wordloom/platform/coding.h"
#include "wordloom/platform/file_writer.h"

namespace wordloom::detail {

namespace fs = std::filesystem;

namespace {

constexpr char kMagic[8] = {'W', 'L', 'S', 'T', 'A', 'M', 'P', '\x1A'};
constexpr std::uint32_t kStampVersion = 1;
constexpr const char* kExtension = ".stamp";
// Fields by offset.
constexpr std::size_t kVersionAt = 8, kKindAt = 12, kDeviceAt = 16, kInodeAt = 24, kSizeAt = 32,
                      kModifiedAt = 40, kChangedAt = 48, kLowAt = 56, kHighAt = 64,
                      kChecksumAt = 72;

std::int64_t Nanoseconds(const struct timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

std::string StampName(const std::string& Folder, StampKind Kind, const FileIdentity& Identity) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string name(1, static_cast<char>(Kind));
  for (std::uint64_t part : {Identity.Device, Identity.Inode}) {
    name.push_back('-');
    int shift = 60;
    while (shift > 0 && ((part >> shift) & 15) == 0) shift -= 4;
    for (; shift >= 0; shift -= 4) name.push_back(kDigits[(part >> shift) & 15]);
  }
  return (fs::path(Folder) / (name + kExtension)).string();
}

}  // namespace

void PruneCacheFiles(const std::string& Folder, std::string_view Extension, std::size_t Most,
                     const std::string& Keep) {
  std::error_code ec;
  std::vector<std::pair<fs::file_time_type, fs::path>> files;
  for (const fs::directory_entry& e : fs::directory_iterator(Folder, ec)) {
    if (e.path().extension() != Extension || !e.is_regular_file(ec)) continue;
    files.emplace_back(e.last_write_time(ec), e.path());
  }
  if (files.size() <= Most) return;
  std::sort(files.begin(), files.end());
  for (std::size_t i = 0; i + Most < files.size(); ++i) {
    if (files[i].second != fs::path(Keep)) fs::remove(files[i].second, ec);
  }
}

bool IdentityOf(int Fd, FileIdentity& Identity) {
  struct stat st {};
  if (fstat(Fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  Identity.Device = st.st_dev;
  Identity.Inode = st.st_ino;
  Identity.Size = static_cast<std::uint64_t>(st.st_size);
  Identity.ModifiedNs = Nanoseconds(st.st_mtim);
  Identity.ChangedNs = Nanoseconds(st.st_ctim);
  return true;
}

std::int64_t StampClock() {
  // File times come from the kernel's coarse clock: a file changed after
  // this reading gets a time at or after it.
  struct timespec now {};
  clock_gettime(CLOCK_REALTIME_COARSE, &now);
  return Nanoseconds(now);
}

bool MayStamp(const FileIdentity& Identity, std::int64_t ReadStartedNs) {
  constexpr std::int64_t kSecond = 1'000'000'000;
  if (Identity.ChangedNs <= 0 || Identity.ModifiedNs <= 0) return false;
  const bool whole_seconds = Identity.ChangedNs % kSecond == 0 && Identity.ModifiedNs % kSecond == 0;
  const std::int64_t margin = whole_seconds ? 2 * kSecond : 0;
  return Identity.ChangedNs < ReadStartedNs - margin;
}

std::string EncodeStamp(StampKind Kind, const FileIdentity& Identity, const StampValue& Value) {
  std::string out(kStampSize, '\0');
  auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
  std::memcpy(bytes, kMagic, sizeof kMagic);
  EncodeFixed32(bytes + kVersionAt, kStampVersion);
  bytes[kKindAt] = static_cast<std::uint8_t>(Kind);
  EncodeFixed64(bytes + kDeviceAt, Identity.Device);
  EncodeFixed64(bytes + kInodeAt, Identity.Inode);
  EncodeFixed64(bytes + kSizeAt, Identity.Size);
  EncodeFixed64(bytes + kModifiedAt, static_cast<std::uint64_t>(Identity.ModifiedNs));
  EncodeFixed64(bytes + kChangedAt, static_cast<std::uint64_t>(Identity.ChangedNs));
  EncodeFixed64(bytes + kLowAt, Value.Low);
  EncodeFixed64(bytes + kHighAt, Value.High);
  EncodeFixed64(bytes + kChecksumAt, XXH3_64bits(bytes, kChecksumAt));
  return out;
}

bool ParseStamp(const std::uint8_t* Bytes, std::size_t Size, StampKind Kind,
                FileIdentity& Identity, StampValue& Value) {
  if (Size != kStampSize || std::memcmp(Bytes, kMagic, sizeof kMagic) != 0 ||
      DecodeFixed32(Bytes + kVersionAt) != kStampVersion ||
      Bytes[kKindAt] != static_cast<std::uint8_t>(Kind) || Bytes[kKindAt + 1] != 0 ||
      Bytes[kKindAt + 2] != 0 || Bytes[kKindAt + 3] != 0 ||
      DecodeFixed64(Bytes + kChecksumAt) != XXH3_64bits(Bytes, kChecksumAt)) {
    return false;
  }
  Identity.Device = DecodeFixed64(Bytes + kDeviceAt);
  Identity.Inode = DecodeFixed64(Bytes + kInodeAt);
  Identity.Size = DecodeFixed64(Bytes + kSizeAt);
  Identity.ModifiedNs = static_cast<std::int64_t>(DecodeFixed64(Bytes + kModifiedAt));
  Identity.ChangedNs = static_cast<std::int64_t>(DecodeFixed64(Bytes + kChangedAt));
  Value.Low = DecodeFixed64(Bytes + kLowAt);
  Value.High = DecodeFixed64(Bytes + kHighAt);
  return true;
}

bool LookUpStamp(const std::string& Folder, StampKind Kind, const FileIdentity& Identity,
                 StampValue& Value) {
  if (Folder.empty()) return false;
  const int fd = open(StampName(Folder, Kind, Identity).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  // One byte more than a stamp, so that a longer file is seen as such.
  std::uint8_t bytes[kStampSize + 1];
  std::size_t got = 0;
  while (got < sizeof bytes) {
    const ssize_t n = read(fd, bytes + got, sizeof bytes - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  close(fd);
  FileIdentity recorded;
  return ParseStamp(bytes, got, Kind, recorded, Value) && recorded == Identity;
}

void RecordStamp(const std::string& Folder, StampKind Kind, int Fd, const FileIdentity& Identity,
                 const StampValue& Value, std::int64_t ReadStartedNs) {
  if (Folder.empty() || !MayStamp(Identity, ReadStartedNs)) return;
  FileIdentity now;
  if (!IdentityOf(Fd, now) || !(now == Identity)) return;
  std::error_code ec;
  fs::create_directories(Folder, ec);
  if (ec) return;
  const std::string name = StampName(Folder, Kind, Identity);
  try {
    FileWriter().SaveBytes(name, EncodeStamp(Kind, Identity, Value));
  } catch (const std::exception&) {
    return;  // a cache that cannot be kept is done without
  }
  PruneCacheFiles(Folder, kExtension, kMaxStamps, name);
}

}  // namespace wordloom::detail
