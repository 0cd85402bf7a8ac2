// A temporary file for data too large to hold in memory: unnamed, in the
// folder of $TMPDIR (else /tmp), gone when the stream is destroyed or the
// process ends, however it ends.
//
//   ScratchFile spool;
//   spool.CopyFrom(input, 0);
//   spool.SetPosition(0);
#pragma once

#pragma GCC visibility push(default)

#include <string>

#include "wordloom/platform/stream.h"

namespace wordloom {

class ScratchFile : public TStream {
 public:
  // Creates the file, empty. EFCreateError naming the folder and the reason
  // when it cannot be made.
  ScratchFile();
  ~ScratchFile() override;
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  std::size_t Read(void* Buffer, std::size_t Count) override;
  std::size_t Write(const void* Buffer, std::size_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(std::int64_t NewSize) override;

  // Copies the whole content of a file descriptor (standard input, a pipe)
  // into the file and returns to its start. EReadError naming What when the
  // descriptor cannot be read.
  void Spool(int Handle, const std::string& What);

 private:
  int FHandle = -1;
  std::string FFolder;
};

}  // namespace wordloom

#pragma GCC visibility pop
