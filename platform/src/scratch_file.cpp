#include "wordloom/platform/scratch_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "wordloom/platform/exceptions.h"

namespace wordloom {

namespace {

std::string Reason(int error) { return std::strerror(error); }

// Whether an O_TMPFILE open failed because the file system or kernel lacks it.
bool NoUnnamedFiles(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL; }

// The size of one transfer of Spool.
constexpr std::size_t kSpoolChunk = 64 * 1024;

}  // namespace

ScratchFile::ScratchFile() {
  const char* tmpdir = std::getenv("TMPDIR");
  FFolder = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
  FHandle = ::open(FFolder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (FHandle < 0 && NoUnnamedFiles(errno)) {
    // Without O_TMPFILE: a named file, unlinked at once.
    std::string name = FFolder + "/wordloom-scratch-XXXXXX";
    FHandle = ::mkostemp(name.data(), O_CLOEXEC);
    if (FHandle >= 0) ::unlink(name.c_str());
  }
  if (FHandle < 0) {
    throw EFCreateError("Cannot create a temporary file in \"" + FFolder + "\". " + Reason(errno));
  }
}

ScratchFile::~ScratchFile() {
  if (FHandle >= 0) ::close(FHandle);
}

std::size_t ScratchFile::Read(void* Buffer, std::size_t Count) {
  auto* p = static_cast<std::uint8_t*>(Buffer);
  std::size_t done = 0;
  while (done < Count) {
    const ssize_t n = ::read(FHandle, p + done, Count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EReadError("Cannot read a temporary file in \"" + FFolder + "\". " + Reason(errno));
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::size_t ScratchFile::Write(const void* Buffer, std::size_t Count) {
  const auto* p = static_cast<const std::uint8_t*>(Buffer);
  std::size_t done = 0;
  while (done < Count) {
    const ssize_t n = ::write(FHandle, p + done, Count - done);
    if (n < 0 && errno == EINTR) continue;
    // A full disk is the likely reason; the message names the folder.
    if (n <= 0) {
      throw EWriteError("Cannot write a temporary file in \"" + FFolder + "\". " +
                        Reason(n < 0 ? errno : EIO));
    }
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::int64_t ScratchFile::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  const int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  const off_t pos = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
  if (pos < 0) throw EStreamError("Cannot seek in a temporary file. " + Reason(errno));
  return pos;
}

void ScratchFile::SetSize(std::int64_t NewSize) {
  if (NewSize < 0 || ::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0) {
    throw EStreamError("Cannot change the size of a temporary file. " + Reason(errno));
  }
  if (Position() > NewSize) Seek(NewSize, soBeginning);
}

void ScratchFile::Spool(int Handle, const std::string& What) {
  const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(kSpoolChunk);
  for (;;) {
    const ssize_t n = ::read(Handle, buffer.get(), kSpoolChunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EReadError("Cannot read " + What + ". " + Reason(errno));
    if (n == 0) break;
    WriteBuffer(buffer.get(), static_cast<std::size_t>(n));
  }
  SetPosition(0);
}

}  // namespace wordloom
