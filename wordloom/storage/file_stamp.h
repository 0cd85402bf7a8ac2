// Stamps: what a file was found to hold when it was last read in full, kept
// under the file's identity, so that opening a file that has not changed
// since needs no read of it. A stamp records the identity of the file it
// describes (device, inode, size, the times of its last modification and
// last status change in nanoseconds) and one 128-bit value: the content key
// of a spell file, or the verified checksum of a compact form. It is trusted
// only while the file's identity is exactly the recorded one:
// - a file replaced by rename, or a copy, is another inode;
// - any write changes the status-change time (ctime), which no user can set
//   back, even when `touch -d` puts the modification time back;
// - a stamp is kept only of a file whose last change came before the clock
//   time at which its reading began, since a file changed within the same
//   clock tick (or the same second, where the file system keeps seconds)
//   could change again then without changing its times.
// Stamps lie in a cache folder as KIND-DEVICE-INODE.stamp (hexadecimal); the
// layout of their 80 bytes is in docs/compact-form.md.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace wordloom::detail {

// The identity of a regular file's content, as the file system reports it.
struct FileIdentity {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  std::uint64_t Size = 0;
  std::int64_t ModifiedNs = 0;  // mtime, nanoseconds since the epoch
  std::int64_t ChangedNs = 0;   // ctime, nanoseconds since the epoch
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the open file Fd; false when it cannot be taken or the
// file is no regular file.
bool IdentityOf(int Fd, FileIdentity& Identity);

// What a stamp says of its file.
enum class StampKind : std::uint8_t {
  kSpellKey = 's',      // Value: the spell file's content key (low, high)
  kFormChecksum = 'f',  // Value: the compact form's checksum (low; high is 0)
};
struct StampValue {
  std::uint64_t Low = 0;
  std::uint64_t High = 0;
  bool operator==(const StampValue&) const = default;
};

// The clock as file times are set by it, in nanoseconds: taken before a file
// is read, to be passed to RecordStamp.
std::int64_t StampClock();

// Whether a file of Identity, read from ReadStartedNs on, may be stamped:
// any later change must give it other times. True when its last change came
// before that clock reading, by two seconds more when its times are whole
// seconds (file systems that keep times in seconds or, as FAT, in two);
// never for a file without times.
bool MayStamp(const FileIdentity& Identity, std::int64_t ReadStartedNs);

// The value Folder records for a file of kind Kind and exactly this
// Identity; false when there is none, it is damaged, or Folder is empty.
bool LookUpStamp(const std::string& Folder, StampKind Kind, const FileIdentity& Identity,
                 StampValue& Value);

// Records Value for the open file Fd, whose Identity was taken before it was
// read, from ReadStartedNs (the StampClock() before that) on. Does nothing
// when MayStamp says no, when the file changed while it was read (its
// identity is no longer Identity), or when Folder is empty; a stamp that
// cannot be written is done without. Beyond kMaxStamps, the ones written
// longest ago go.
void RecordStamp(const std::string& Folder, StampKind Kind, int Fd, const FileIdentity& Identity,
                 const StampValue& Value, std::int64_t ReadStartedNs);

// The most stamps a folder keeps.
inline constexpr std::size_t kMaxStamps = 64;

// Keeps the cache folder bounded: of its files ending in Extension, the ones
// written longest ago beyond the Most newest go, never Keep (just written).
void PruneCacheFiles(const std::string& Folder, std::string_view Extension, std::size_t Most,
                     const std::string& Keep);

// The bytes of a stamp, and their reading (false when Bytes are no stamp of
// Kind); for the reader's fuzzer and tests.
inline constexpr std::size_t kStampSize = 80;
std::string EncodeStamp(StampKind Kind, const FileIdentity& Identity, const StampValue& Value);
bool ParseStamp(const std::uint8_t* Bytes, std::size_t Size, StampKind Kind,
                FileIdentity& Identity, StampValue& Value);

}  // namespace wordloom::detail
