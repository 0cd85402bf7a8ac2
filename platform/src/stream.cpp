#include "wordloom/platform/stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "wordloom/platform/exceptions.h"

namespace wordloom {

namespace {

// Calls Transfer (read or write) until Count bytes are done, the call makes no
// progress or fails; an interrupted call is tried again. Returns the bytes done.
template <typename Byte, typename Call>
std::size_t TransferAll(Byte* Buffer, std::size_t Count, Call Transfer) {
  std::size_t done = 0;
  while (done < Count) {
    const ssize_t n = Transfer(Buffer + done, Count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

}  // namespace

std::int64_t TStream::Position() { return Seek(0, soCurrent); }

std::int64_t TStream::Size() {
  const std::int64_t pos = Seek(0, soCurrent);
  const std::int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::ReadBuffer(void* Buffer, std::size_t Count) {
  auto* p = static_cast<std::uint8_t*>(Buffer);
  while (Count > 0) {
    const std::size_t n = Read(p, Count);
    if (n == 0) throw EReadError("Stream read error");
    p += n;
    Count -= n;
  }
}

void TStream::WriteBuffer(const void* Buffer, std::size_t Count) {
  const auto* p = static_cast<const std::uint8_t*>(Buffer);
  while (Count > 0) {
    const std::size_t n = Write(p, Count);
    if (n == 0) throw EWriteError("Stream write error");
    p += n;
    Count -= n;
  }
}

std::int64_t TStream::CopyFrom(TStream& Source, std::int64_t Count) {
  if (Count <= 0) Count = Source.Size() - Source.Position();
  std::uint8_t buffer[65536];
  std::int64_t left = Count;
  while (left > 0) {
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(left, sizeof buffer));
    Source.ReadBuffer(buffer, n);
    WriteBuffer(buffer, n);
    left -= static_cast<std::int64_t>(n);
  }
  return Count;
}

namespace {

std::string SystemReason() { return std::strerror(errno); }

}  // namespace

TFileStream::TFileStream(const std::string& FileName, std::uint16_t Mode) : FFileName(FileName) {
  if (Mode == fmCreate || (Mode & 0xFF00) == fmCreate) {
    FHandle = ::open(FileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (FHandle < 0) {
      throw EFCreateError("Cannot create file \"" + FileName + "\". " + SystemReason());
    }
    return;
  }
  int flags = O_RDONLY;
  switch (Mode & 0x0003) {
    case fmOpenWrite: flags = O_WRONLY; break;
    case fmOpenReadWrite: flags = O_RDWR; break;
    default: break;
  }
  FHandle = ::open(FileName.c_str(), flags | O_CLOEXEC);
  if (FHandle >= 0) {
    struct stat st {};
    if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(FHandle);
      FHandle = -1;
      errno = EISDIR;
    }
  }
  if (FHandle < 0) {
    throw EFOpenError("Cannot open file \"" + FileName + "\". " + SystemReason());
  }
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

std::size_t TFileStream::Read(void* Buffer, std::size_t Count) {
  return TransferAll(static_cast<std::uint8_t*>(Buffer), Count,
                     [this](std::uint8_t* p, std::size_t n) { return ::read(FHandle, p, n); });
}

std::size_t TFileStream::Write(const void* Buffer, std::size_t Count) {
  return TransferAll(static_cast<const std::uint8_t*>(Buffer), Count,
                     [this](const std::uint8_t* p, std::size_t n) { return ::write(FHandle, p, n); });
}

std::int64_t TFileStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  const int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  const off_t pos = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
  if (pos < 0) throw EStreamError("Cannot seek in \"" + FFileName + "\". " + SystemReason());
  return pos;
}

void TFileStream::Flush() {
  if (::fsync(FHandle) != 0) {
    throw EWriteError("Cannot write \"" + FFileName + "\" to disk. " + SystemReason());
  }
}

void TFileStream::SetSize(std::int64_t NewSize) {
  if (NewSize < 0 || ::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0) {
    throw EStreamError("Cannot change the size of \"" + FFileName + "\". " + SystemReason());
  }
  if (Position() > NewSize) Seek(NewSize, soBeginning);
}

TMemoryStream::TMemoryStream(std::string_view bytes) : FData(bytes.begin(), bytes.end()) {}

std::size_t TMemoryStream::Read(void* Buffer, std::size_t Count) {
  if (FPosition >= FData.size()) return 0;
  const std::size_t n = std::min(Count, FData.size() - FPosition);
  std::memcpy(Buffer, FData.data() + FPosition, n);
  FPosition += n;
  return n;
}

std::size_t TMemoryStream::Write(const void* Buffer, std::size_t Count) {
  if (Count == 0) return 0;
  if (Count > FData.max_size() - FPosition) throw EWriteError("Out of memory while expanding memory stream");
  const std::size_t end = FPosition + Count;
  if (end > FData.size()) FData.resize(end);
  std::memcpy(FData.data() + FPosition, Buffer, Count);
  FPosition = end;
  return Count;
}

std::int64_t TMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  std::int64_t base = 0;
  if (Origin == soCurrent) base = static_cast<std::int64_t>(FPosition);
  if (Origin == soEnd) base = static_cast<std::int64_t>(FData.size());
  if ((Offset < 0 && base + Offset < 0) ||
      (Offset > 0 && base > std::numeric_limits<std::int64_t>::max() - Offset)) {
    throw EStreamError("Invalid stream position");
  }
  FPosition = static_cast<std::size_t>(base + Offset);
  return static_cast<std::int64_t>(FPosition);
}

void TMemoryStream::SetSize(std::int64_t NewSize) {
  if (NewSize < 0) throw EStreamError("Invalid stream size");
  FData.resize(static_cast<std::size_t>(NewSize));
  if (FPosition > FData.size()) FPosition = FData.size();
}

void TMemoryStream::Clear() {
  FData.clear();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
  Stream.SetPosition(0);
  const std::int64_t size = Stream.Size();
  std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
  Stream.ReadBuffer(data.data(), data.size());
  FData.swap(data);
  FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream& Stream) { Stream.WriteBuffer(FData.data(), FData.size()); }

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const std::string& FileName) {
  TFileStream file(FileName, fmCreate);
  SaveToStream(file);
}

bool FileExists(const std::string& FileName) {
  struct stat st {};
  return ::stat(FileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DeleteFile(const std::string& FileName) { return ::unlink(FileName.c_str()) == 0; }

}  // namespace wordloom
