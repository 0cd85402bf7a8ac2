// Streams between the tool's file arguments and the library: inputs the
// library may read more than once, and standard output as a stream.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include <wordloom/platform/stream.h>

namespace wordloom::cli {

// File as a stream that can seek: a regular file is opened as it is; "-"
// (read from Input) and anything else (a pipe, a FIFO, a device) are first
// copied to a ScratchFile, so that memory does not grow with the input.
// CliError naming the file and the reason when it cannot be read.
std::unique_ptr<TStream> OpenSeekableInput(const std::string& File, std::istream& Input);

// A file name in a folder of its own under $TMPDIR (else /tmp), made with
// mode 0700, for the library calls that take a name: a dictionary read from
// or written to standard input or output. Both go when the object goes.
class PrivateTempFile {
 public:
  // CliError when the folder cannot be made.
  explicit PrivateTempFile(const std::string& Name);
  ~PrivateTempFile();
  PrivateTempFile(const PrivateTempFile&) = delete;
  PrivateTempFile& operator=(const PrivateTempFile&) = delete;
  const std::string& Path() const { return FPath; }

 private:
  std::string FFolder;
  std::string FPath;
};

// Copies the bytes of In (standard input) into the file Path; CliError naming
// What when either fails.
void CopyToFile(std::istream& In, const std::string& Path, const std::string& What);
// Copies the file Path to Out (standard output); CliError when it fails.
void CopyFromFile(const std::string& Path, std::ostream& Out);

// Writes to a std::ostream; cannot seek (EStreamError) or be read. A failed
// write raises EWriteError naming standard output.
class OutputStream : public TStream {
 public:
  explicit OutputStream(std::ostream& Out) : FOut(Out) {}
  std::size_t Read(void* Buffer, std::size_t Count) override;
  std::size_t Write(const void* Buffer, std::size_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(std::int64_t NewSize) override;

 private:
  std::ostream& FOut;
};

}  // namespace wordloom::cli
