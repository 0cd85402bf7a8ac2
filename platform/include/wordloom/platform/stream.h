// Byte streams: the abstract TStream, files (TFileStream) and memory
// (TMemoryStream), and the file existence test and deletion.
#pragma once

#pragma GCC visibility push(default)

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "wordloom/platform/object.h"

namespace wordloom {

enum TSeekOrigin : std::uint8_t { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
 public:
  WORDLOOM_OBJECT(TStream)

  // Reads up to Count bytes into Buffer; returns how many were read (0 at the end).
  virtual std::size_t Read(void* Buffer, std::size_t Count) = 0;
  // Writes up to Count bytes; returns how many were written.
  virtual std::size_t Write(const void* Buffer, std::size_t Count) = 0;
  // Moves the position; returns the new position. Raises EStreamError when the
  // position would be negative.
  virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;
  // Truncates or extends the stream (with zero bytes).
  virtual void SetSize(std::int64_t NewSize) = 0;

  std::int64_t Position();
  void SetPosition(std::int64_t Value) { Seek(Value, soBeginning); }
  std::int64_t Size();

  // Reads exactly Count bytes or raises EReadError "Stream read error".
  void ReadBuffer(void* Buffer, std::size_t Count);
  // Writes exactly Count bytes or raises EWriteError "Stream write error".
  void WriteBuffer(const void* Buffer, std::size_t Count);
  // Copies Count bytes from Source's position (all the rest when Count is 0);
  // returns the number copied.
  std::int64_t CopyFrom(TStream& Source, std::int64_t Count);
};

// Open modes of TFileStream: exactly one of these...
inline constexpr std::uint16_t fmOpenRead = 0x0000;
inline constexpr std::uint16_t fmOpenWrite = 0x0001;
inline constexpr std::uint16_t fmOpenReadWrite = 0x0002;
inline constexpr std::uint16_t fmCreate = 0xFF00;  // create or truncate, read and write
// ...optionally with one of these sharing modes, which are accepted and not
// enforced (POSIX has no mandatory sharing).
inline constexpr std::uint16_t fmShareExclusive = 0x0010;
inline constexpr std::uint16_t fmShareDenyWrite = 0x0020;
inline constexpr std::uint16_t fmShareDenyNone = 0x0040;

// A file opened for the stream's lifetime. Raises EFOpenError (opening) or
// EFCreateError (fmCreate) with the file name and the system's reason.
class TFileStream : public TStream {
 public:
  WORDLOOM_OBJECT(TFileStream)

  TFileStream(const std::string& FileName, std::uint16_t Mode);
  ~TFileStream() override;

  std::size_t Read(void* Buffer, std::size_t Count) override;
  std::size_t Write(const void* Buffer, std::size_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(std::int64_t NewSize) override;

  const std::string& FileName() const { return FFileName; }
  // The open file's descriptor, owned by the stream.
  int Handle() const { return FHandle; }
  // Forces what was written to the disk (EWriteError on failure).
  void Flush();

 private:
  std::string FFileName;
  int FHandle = -1;
};

// A stream in memory. Writing past the end extends it; a seek past the end and
// a write there fill the gap with zero bytes.
class TMemoryStream : public TStream {
 public:
  WORDLOOM_OBJECT(TMemoryStream)

  TMemoryStream() = default;
  // A stream holding a copy of `bytes`, positioned at 0.
  explicit TMemoryStream(std::string_view bytes);

  std::size_t Read(void* Buffer, std::size_t Count) override;
  std::size_t Write(const void* Buffer, std::size_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(std::int64_t NewSize) override;

  const std::uint8_t* Memory() const { return FData.data(); }
  // The whole content as a byte string.
  std::string Bytes() const { return std::string(FData.begin(), FData.end()); }
  void Clear();

  void LoadFromStream(TStream& Stream);
  void SaveToStream(TStream& Stream);
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

 private:
  std::vector<std::uint8_t> FData;
  std::size_t FPosition = 0;
};

// Whether FileName names an existing file (not a directory).
bool FileExists(const std::string& FileName);
// Deletes the file; returns false when it could not be deleted.
bool DeleteFile(const std::string& FileName);

}  // namespace wordloom

#pragma GCC visibility pop
