#include "tool_streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <istream>
#include <ostream>

#include <wordloom/platform/exceptions.h>
#include <wordloom/platform/scratch_file.h>

#include "dictionary_files.h"

namespace wordloom::cli {

namespace {

constexpr std::size_t kCopyChunk = 64 * 1024;

}  // namespace

std::unique_ptr<TStream> OpenSeekableInput(const std::string& File, std::istream& Input) {
  try {
    if (File == "-") {
      auto spool = std::make_unique<ScratchFile>();
      std::string chunk(kCopyChunk, '\0');
      while (Input) {
        Input.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        spool->WriteBuffer(chunk.data(), static_cast<std::size_t>(Input.gcount()));
      }
      if (Input.bad()) throw CliError("<stdin>: read error");
      spool->SetPosition(0);
      return spool;
    }
    struct stat st {};
    if (::stat(File.c_str(), &st) != 0) {
      throw CliError(File + ": cannot read: " + std::strerror(errno));
    }
    if (S_ISDIR(st.st_mode)) throw CliError(File + ": is a directory");
    if (S_ISREG(st.st_mode)) return std::make_unique<TFileStream>(File, fmOpenRead);
    // A FIFO or a device has no size and cannot go back.
    const int fd = ::open(File.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) throw CliError(File + ": cannot read: " + std::strerror(errno));
    auto spool = std::make_unique<ScratchFile>();
    try {
      spool->Spool(fd, "\"" + File + "\"");
    } catch (...) {
      ::close(fd);
      throw;
    }
    ::close(fd);
    return spool;
  } catch (const CliError&) {
    throw;
  } catch (const Exception& e) {
    throw CliError(DisplayName(File) + ": cannot read: " + e.what());
  }
}

PrivateTempFile::PrivateTempFile(const std::string& Name) {
  const char* tmpdir = std::getenv("TMPDIR");
  std::string pattern = std::string(tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp") +
                        "/wordloom-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw CliError("cannot make a temporary folder in " + pattern.substr(0, pattern.rfind('/')) +
                   ": " + std::strerror(errno));
  }
  FFolder = pattern;
  FPath = FFolder + "/" + Name;
}

PrivateTempFile::~PrivateTempFile() {
  ::unlink(FPath.c_str());
  ::rmdir(FFolder.c_str());
}

void CopyToFile(std::istream& In, const std::string& Path, const std::string& What) {
  std::ofstream out(Path, std::ios::binary);
  std::string chunk(kCopyChunk, '\0');
  while (In && out) {
    In.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    out.write(chunk.data(), In.gcount());
  }
  if (In.bad()) throw CliError(What + ": read error");
  out.close();
  if (!out) throw CliError("cannot write a temporary copy of " + What + ": " + std::strerror(errno));
}

void CopyFromFile(const std::string& Path, std::ostream& Out) {
  std::ifstream in(Path, std::ios::binary);
  std::string chunk(kCopyChunk, '\0');
  while (in && Out) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    Out.write(chunk.data(), in.gcount());
  }
  Out.flush();
  if (in.bad() || !Out) throw CliError("<stdout>: cannot write");
}

std::size_t OutputStream::Read(void*, std::size_t) { throw EReadError("Stream read error"); }

std::size_t OutputStream::Write(const void* Buffer, std::size_t Count) {
  FOut.write(static_cast<const char*>(Buffer), static_cast<std::streamsize>(Count));
  if (!FOut) throw EWriteError("Cannot write to standard output");
  return Count;
}

std::int64_t OutputStream::Seek(std::int64_t, TSeekOrigin) {
  throw EStreamError("Standard output cannot seek");
}

void OutputStream::SetSize(std::int64_t) { throw EStreamError("Standard output cannot seek"); }

}  // namespace wordloom::cli
