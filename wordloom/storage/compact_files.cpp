#include "storage/compact_files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

#include "storage/file_stamp.h"
#include "wordloom/platform/file_writer.h"

namespace wordloom::detail {

namespace fs = std::filesystem;

namespace {

constexpr const char* kExtension = ".compact";

// A read-only mapping of a whole file, undone when the last user lets go.
class Mapping {
 public:
  Mapping(void* Data, std::size_t Size) : FData(Data), FSize(Size) {}
  ~Mapping() {
    if (FData != nullptr) munmap(FData, FSize);
  }
  Mapping(const Mapping&) = delete;
  Mapping& operator=(const Mapping&) = delete;

 private:
  void* FData;
  std::size_t FSize;
};

// Reads up to Size bytes at Offset, retrying interrupted and short reads.
bool ReadFully(int fd, std::uint8_t* into, std::size_t size, std::uint64_t offset, std::size_t& got) {
  got = 0;
  while (got < size) {
    const ssize_t n = pread(fd, into + got, size - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

// Whether the checksum in Header is the one of the Size bytes of the file at
// Fd, read in pieces.
bool ChecksumHolds(int fd, std::size_t size, const std::uint8_t* header) {
  std::vector<std::uint8_t> buffer(1 << 17);
  CompactForm::ChecksumState sum;
  for (std::uint64_t offset = 0; offset < size;) {
    std::size_t got = 0;
    const std::size_t want = std::min<std::uint64_t>(buffer.size(), size - offset);
    if (!ReadFully(fd, buffer.data(), want, offset, got) || got != want) return false;
    sum.Update(buffer.data(), got, offset);
    offset += got;
  }
  return sum.Digest() == CompactForm::StoredChecksum(header);
}

}  // namespace

void* MapOffPieces(int Fd, std::size_t Size) {
  constexpr std::uintptr_t kPiece = std::uintptr_t{2} << 20;
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const std::size_t span = Size + kPiece + page;
  void* area = mmap(nullptr, span, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  // Without room for that (a crowded address space), wherever it fits.
  if (area == MAP_FAILED) return mmap(nullptr, Size, PROT_READ, MAP_SHARED, Fd, 0);
  const auto begin = reinterpret_cast<std::uintptr_t>(area);
  const std::uintptr_t start = ((begin + kPiece - 1) & ~(kPiece - 1)) + page;
  void* data = mmap(reinterpret_cast<void*>(start), Size, PROT_READ, MAP_SHARED | MAP_FIXED, Fd, 0);
  if (data == MAP_FAILED) {
    munmap(area, span);
    return MAP_FAILED;
  }
  // The reserved space before and after the file's pages goes back.
  const std::uintptr_t end = start + ((Size + page - 1) & ~(page - 1));
  if (start > begin) munmap(area, start - begin);
  if (begin + span > end) munmap(reinterpret_cast<void*>(end), begin + span - end);
  return data;
}

std::shared_ptr<SpellFileHandle> SpellFileHandle::Open(const std::string& FileName) {
  const int fd = open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  return std::shared_ptr<SpellFileHandle>(new SpellFileHandle(fd));
}

std::shared_ptr<SpellFileHandle> SpellFileHandle::Duplicate(int Fd) {
  const int fd = fcntl(Fd, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  return std::shared_ptr<SpellFileHandle>(new SpellFileHandle(fd));
}

SpellFileHandle::~SpellFileHandle() { close(FFd); }

bool SpellFileHandle::TakeKey(ContentKey& Key, const std::string& Folder, bool TrustStamp,
                              bool& FromStamp) const {
  FromStamp = false;
  const std::int64_t started = StampClock();
  FileIdentity identity;
  const bool identified = IdentityOf(FFd, identity);
  StampValue value;
  if (identified && TrustStamp && LookUpStamp(Folder, StampKind::kSpellKey, identity, value)) {
    Key = ContentKey{value.Low, value.High, identity.Size};
    FromStamp = true;
    return true;
  }
  if (!Read(Key, nullptr)) return false;
  if (identified && Key.Size == identity.Size) {
    RecordStamp(Folder, StampKind::kSpellKey, FFd, identity, {Key.Low, Key.High}, started);
  }
  return true;
}

bool SpellFileHandle::Read(ContentKey& Key, std::string* Bytes) const {
  XXH3_state_t* state = XXH3_createState();
  if (state == nullptr) return false;
  XXH3_128bits_reset(state);
  constexpr std::size_t kChunk = 1 << 16;
  std::vector<std::uint8_t> buffer(kChunk);
  std::uint64_t offset = 0;
  bool ok = true;
  if (Bytes != nullptr) Bytes->clear();
  for (;;) {
    std::size_t got = 0;
    if (!ReadFully(FFd, buffer.data(), kChunk, offset, got)) {
      ok = false;
      break;
    }
    XXH3_128bits_update(state, buffer.data(), got);
    if (Bytes != nullptr) Bytes->append(reinterpret_cast<const char*>(buffer.data()), got);
    offset += got;
    if (got < kChunk) break;
  }
  const XXH128_hash_t hash = XXH3_128bits_digest(state);
  XXH3_freeState(state);
  Key = ContentKey{hash.low64, hash.high64, offset};
  return ok;
}

std::string CompactFormBeside(const std::string& SpellFile) { return SpellFile + kExtension; }

std::string CachedCompactForm(const std::string& Folder, const ContentKey& Key, bool SoundIndex) {
  // A form without the sound-alike index holds other bytes: another name.
  return (fs::path(Folder) / (Key.Hex() + (SoundIndex ? "" : "-nosound") + kExtension)).string();
}

std::shared_ptr<const CompactForm> MapCompactForm(const std::string& FileName,
                                                  const ContentKey& Key, std::string& Why,
                                                  const std::string& Folder) {
  const std::int64_t started = StampClock();
  const int fd = open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    Why = "missing";
    return nullptr;
  }
  // Lookups touch scattered pages. Read ahead, the page cache would hold the
  // form in large pieces, and a mapping of it maps a whole piece (up to 2 MiB
  // on current kernels) for each byte touched: the process would hold most
  // of the form. Read page by page, it holds only the pages it touches.
  posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
  FileIdentity identity;
  if (!IdentityOf(fd, identity) || identity.Size < CompactForm::kHeaderSize) {
    close(fd);
    Why = "not a compact form";
    return nullptr;
  }
  // The header first, read rather than mapped: a stale form costs no mapping.
  std::uint8_t header[CompactForm::kHeaderSize];
  std::size_t got = 0;
  ContentKey recorded;
  if (!ReadFully(fd, header, sizeof header, 0, got) || got != sizeof header ||
      !CompactForm::PeekKey(header, sizeof header, recorded)) {
    close(fd);
    Why = "not a compact form of this version";
    return nullptr;
  }
  if (!(recorded == Key)) {
    close(fd);
    Why = "stale: made from other content";
    return nullptr;
  }
  // The checksum is taken from reads rather than through the mapping: it is
  // several times faster, and the process's memory then holds only the
  // pages the lookups touch. Forms are replaced by renaming, never
  // rewritten, so the mapping of the same open file holds the same bytes.
  // A form checked before and unchanged since is not read again.
  const auto size = static_cast<std::size_t>(identity.Size);
  const StampValue checksum{CompactForm::StoredChecksum(header), 0};
  StampValue stamped;
  if (!LookUpStamp(Folder, StampKind::kFormChecksum, identity, stamped) || !(stamped == checksum)) {
    if (!ChecksumHolds(fd, size, header)) {
      close(fd);
      Why = "checksum mismatch";
      return nullptr;
    }
    RecordStamp(Folder, StampKind::kFormChecksum, fd, identity, checksum, started);
  }
  void* data = MapOffPieces(fd, size);
  close(fd);
  if (data == MAP_FAILED) {
    Why = "cannot be mapped";
    return nullptr;
  }
  madvise(data, size, MADV_RANDOM);
  auto keep = std::make_shared<Mapping>(data, size);
  auto form = CompactForm::OpenUnverified(static_cast<const std::uint8_t*>(data), size, keep, Why);
  // Reading the header mapped its page and some neighbours: given back, so
  // that the process holds only what its lookups touch.
  madvise(data, size, MADV_DONTNEED);
  return form;
}

std::shared_ptr<const CompactForm> FindCompactForm(const std::string& SpellFile,
                                                   const ContentKey& Key,
                                                   const std::string& Folder, bool SoundIndex) {
  std::string why;
  // Beside the file, a form with the index serves a dictionary that wants none.
  auto form = MapCompactForm(CompactFormBeside(SpellFile), Key, why, Folder);
  if (form && (form->HasSoundIndex() || !SoundIndex)) return form;
  if (Folder.empty()) return nullptr;
  form = MapCompactForm(CachedCompactForm(Folder, Key, SoundIndex), Key, why, Folder);
  if (form && form->HasSoundIndex() != SoundIndex) return nullptr;
  return form;
}

void DropCachedPages(const std::string& FileName) {
  // Written, a form sits in the page cache in the large pieces the writes
  // made (see MapCompactForm). Saved to disk, those are dropped, and lookups
  // read back the pages they need one by one.
  const int fd = open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  close(fd);
}

void SaveCompactFormFile(const std::string& FileName, std::string_view Bytes) {
  FileWriter().SaveBytes(FileName, Bytes);
  DropCachedPages(FileName);
}

std::shared_ptr<const CompactForm> StoreCompactForm(const std::string& Folder,
                                                    const ContentKey& Key, bool SoundIndex,
                                                    const std::string& Bytes) {
  std::error_code ec;
  fs::create_directories(Folder, ec);
  if (ec) return nullptr;
  const std::string target = CachedCompactForm(Folder, Key, SoundIndex);
  try {
    FileWriter().SaveBytes(target, Bytes);
  } catch (const std::exception&) {
    return nullptr;
  }
  PruneCacheFiles(Folder, kExtension, kMaxCachedForms, target);
  std::string why;
  // Its checksum is read from the pages just written, which go after.
  auto form = MapCompactForm(target, Key, why, Folder);
  DropCachedPages(target);
  return form;
}

}  // namespace wordloom::detail
