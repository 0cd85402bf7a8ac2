#include "wordloom/platform/file_writer.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/scratch_file.h"

namespace wordloom {

int FileCalls::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t FileCalls::Write(int fd, const void* buffer, size_t count) {
  return ::write(fd, buffer, count);
}
int FileCalls::Fsync(int fd) { return ::fsync(fd); }
int FileCalls::LinkAt(int old_dir, const char* old_path, int new_dir, const char* new_path,
                      int flags) {
  return ::linkat(old_dir, old_path, new_dir, new_path, flags);
}
int FileCalls::Rename(const char* from, const char* to) { return ::rename(from, to); }
int FileCalls::Close(int fd) { return ::close(fd); }
int FileCalls::Unlink(const char* path) { return ::unlink(path); }
int FileCalls::Fchmod(int fd, mode_t mode) { return ::fchmod(fd, mode); }
int FileCalls::Fchown(int fd, uid_t owner, gid_t group) { return ::fchown(fd, owner, group); }

FileCalls& SystemFileCalls() {
  static FileCalls calls;
  return calls;
}

namespace {

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }
std::string Reason(int error) { return std::strerror(error); }

[[noreturn]] void Fail(const std::string& what, int error) {
  throw EWriteError(what + ". " + Reason(error));
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// What follows a target's name in the name of one of its temporaries.
constexpr std::string_view kTemporaryInfix = ".wordloom-";

// A name beside Target that no other save of this or another process picks:
// the process id, a counter and the clock.
std::string NameBeside(const std::string& Target) {
  static std::atomic<unsigned> counter{0};
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return Target + std::string(kTemporaryInfix) + std::to_string(::getpid()) + "-" +
         std::to_string(counter.fetch_add(1)) + "-" + std::to_string(now % 1000000);
}

// The process id in Name when it is exactly Base + ".wordloom-PID-N-N" (the
// names NameBeside gives), else 0.
pid_t TemporaryOwner(std::string_view Name, std::string_view Base) {
  if (Name.size() <= Base.size() + kTemporaryInfix.size() || Name.substr(0, Base.size()) != Base ||
      Name.substr(Base.size(), kTemporaryInfix.size()) != kTemporaryInfix) {
    return 0;
  }
  std::string_view rest = Name.substr(Base.size() + kTemporaryInfix.size());
  long long numbers[3] = {};
  for (int i = 0; i < 3; ++i) {
    std::size_t n = 0;
    while (n < rest.size() && n < 18 && rest[n] >= '0' && rest[n] <= '9') ++n;
    if (n == 0) return 0;
    for (std::size_t k = 0; k < n; ++k) numbers[i] = numbers[i] * 10 + (rest[k] - '0');
    rest.remove_prefix(n);
    if (i < 2) {
      if (rest.empty() || rest.front() != '-') return 0;
      rest.remove_prefix(1);
    }
  }
  if (!rest.empty() || numbers[0] <= 0 || numbers[0] > INT_MAX) return 0;
  return static_cast<pid_t>(numbers[0]);
}

// The stream a Content callback writes to: every byte goes through FileCalls,
// and a failed write raises with the file's name and the system's reason
// instead of a bare "Stream write error".
class DescriptorStream : public TStream {
 public:
  DescriptorStream(FileCalls& Calls, int Handle, std::string Name)
      : FCalls(Calls), FHandle(Handle), FName(std::move(Name)) {}

  std::size_t Read(void*, std::size_t) override {
    throw EReadError("Cannot read " + Quoted(FName) + " while it is written");
  }

  std::size_t Write(const void* Buffer, std::size_t Count) override {
    const auto* p = static_cast<const std::uint8_t*>(Buffer);
    std::size_t done = 0;
    while (done < Count) {
      const ssize_t n = FCalls.Write(FHandle, p + done, Count - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) Fail("Cannot write " + Quoted(FName), errno);
      if (n == 0) Fail("Cannot write " + Quoted(FName), EIO);
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override {
    const int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
    const off_t pos = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
    if (pos < 0) throw EStreamError("Cannot seek in " + Quoted(FName) + ". " + Reason(errno));
    return pos;
  }

  void SetSize(std::int64_t NewSize) override {
    if (NewSize < 0 || ::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0) {
      throw EStreamError("Cannot change the size of " + Quoted(FName) + ". " + Reason(errno));
    }
  }

 private:
  FileCalls& FCalls;
  int FHandle;
  std::string FName;
};

// Whether an O_TMPFILE open failed because the file system or kernel lacks it.
bool NoUnnamedFiles(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL; }

}  // namespace

std::string FollowSymlinks(const std::string& FileName) {
  std::string path = FileName;
  // Linux gives up after 40 links too (ELOOP).
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    if (n < 0) Fail("Cannot follow the link " + Quoted(path), errno);
    const std::string link(target, static_cast<std::size_t>(n));
    path = link.front() == '/' ? link : FolderOf(path) + "/" + link;
  }
  Fail("Cannot follow the link " + Quoted(FileName), ELOOP);
}

void FileWriter::SaveBytes(const std::string& FileName, std::string_view Bytes) {
  Save(FileName, [Bytes](TStream& out) { out.WriteBuffer(Bytes.data(), Bytes.size()); });
}

void FileWriter::Save(const std::string& FileName, const Content& Write) {
  const std::string target = FollowSymlinks(FileName);
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0) {
    if (errno != ENOENT) Fail("Cannot write " + Quoted(FileName), errno);
    Replace(target, nullptr, Write);
    return;
  }
  if (S_ISDIR(st.st_mode)) Fail("Cannot write " + Quoted(FileName), EISDIR);
  // Root may write any file; the missing write bit still says "keep this".
  if ((st.st_mode & S_IWUSR) == 0) {
    throw EWriteError("Cannot write " + Quoted(FileName) + ". The file is read-only");
  }
  if (::geteuid() != 0 && ::access(target.c_str(), W_OK) != 0) {
    Fail("Cannot write " + Quoted(FileName), errno);
  }
  if (!S_ISREG(st.st_mode)) {
    WriteInPlace(target, Write);
    return;
  }
  if (st.st_nlink > 1) {
    RewriteLinked(target, st, Write);
    return;
  }
  Replace(target, &st, Write);
}

void FileWriter::RemoveStaleTemporaries(const std::string& Target) {
  const std::string folder = FolderOf(Target);
  const std::size_t slash = Target.rfind('/');
  const std::string base = slash == std::string::npos ? Target : Target.substr(slash + 1);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;  // the save itself will say what is wrong
  while (const dirent* entry = ::readdir(dir)) {
    const pid_t owner = TemporaryOwner(entry->d_name, base);
    // A temporary of a save in progress belongs to a live process; ours
    // never outlives the save that made it.
    if (owner == 0 || owner == ::getpid()) continue;
    if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
    const std::string path = folder + "/" + entry->d_name;
    struct stat st {};
    // Only a plain file of this user, with no other name: never a link, a
    // folder or someone else's file that happens to match the pattern.
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
        st.st_nlink != 1) {
      continue;
    }
    FCalls.Unlink(path.c_str());
  }
  ::closedir(dir);
}

void FileWriter::RewriteLinked(const std::string& Target, const struct stat& Old,
                               const Content& Write) {
  // The whole content first: an error while making it leaves the file as it was.
  ScratchFile content;
  Write(content);
  const std::int64_t size = content.Size();
  const int fd = FCalls.Open(Target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY, 0);
  if (fd < 0) Fail("Cannot open " + Quoted(Target) + " for writing", errno);
  const std::string in_place = Quoted(Target) + " (written in place to keep its " +
                               std::to_string(Old.st_nlink) + " hard links)";
  try {
    // The room a longer content needs is taken before a byte changes, so a
    // full disk refuses the save instead of cutting the file short.
    if (size > Old.st_size && ::fallocate(fd, 0, 0, static_cast<off_t>(size)) != 0 &&
        errno != EOPNOTSUPP) {
      Fail("Cannot write " + in_place, errno);
    }
    DescriptorStream out(FCalls, fd, Target);
    content.SetPosition(0);
    std::string chunk(64 * 1024, '\0');
    for (std::size_t n; (n = content.Read(chunk.data(), chunk.size())) > 0;) {
      out.WriteBuffer(chunk.data(), n);
    }
    if (::ftruncate(fd, static_cast<off_t>(size)) != 0) Fail("Cannot write " + in_place, errno);
    if (FCalls.Fsync(fd) != 0) Fail("Cannot write " + in_place + " to disk", errno);
  } catch (...) {
    FCalls.Close(fd);
    throw;
  }
  if (FCalls.Close(fd) != 0) Fail("Cannot write " + in_place, errno);
}

void FileWriter::WriteInPlace(const std::string& Target, const Content& Write) {
  const int fd = FCalls.Open(Target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY, 0);
  if (fd < 0) Fail("Cannot open " + Quoted(Target) + " for writing", errno);
  try {
    DescriptorStream out(FCalls, fd, Target);
    Write(out);
  } catch (...) {
    FCalls.Close(fd);
    throw;
  }
  if (FCalls.Close(fd) != 0) Fail("Cannot write " + Quoted(Target), errno);
}

void FileWriter::Replace(const std::string& Target, const struct stat* Old, const Content& Write) {
  const std::string folder = FolderOf(Target);
  RemoveStaleTemporaries(Target);
  std::string named;  // the temporary's name once it has one
  int fd = FCalls.Open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  const bool unnamed = fd >= 0;
  if (!unnamed) {
    if (!NoUnnamedFiles(errno)) Fail("Cannot write " + Quoted(Target), errno);
    // Without O_TMPFILE: a named temporary, removed on every failure below.
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
      named = NameBeside(Target);
      fd = FCalls.Open(named.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
      const int error = errno;
      named.clear();
      Fail("Cannot write " + Quoted(Target), error);
    }
  }
  try {
    if (Old != nullptr) {
      if (FCalls.Fchmod(fd, Old->st_mode & 07777) != 0) {
        Fail("Cannot set the mode of the new " + Quoted(Target), errno);
      }
      // Only root may give a file away; anyone else's save keeps its own
      // ownership, as a plain rewrite would not but a copy does.
      if ((Old->st_uid != ::geteuid() || Old->st_gid != ::getegid()) &&
          FCalls.Fchown(fd, Old->st_uid, Old->st_gid) != 0 && errno != EPERM) {
        Fail("Cannot set the owner of the new " + Quoted(Target), errno);
      }
    }
    {
      DescriptorStream out(FCalls, fd, Target);
      Write(out);
    }
    if (FCalls.Fsync(fd) != 0) Fail("Cannot write " + Quoted(Target) + " to disk", errno);
    bool placed = false;  // linked under the target's own name
    if (unnamed) {
      const std::string path = "/proc/self/fd/" + std::to_string(fd);
      // A new file is linked into place directly: no name but its own ever
      // exists. linkat cannot replace a file, so one that exists (or appeared
      // meanwhile) gets a temporary name for the moment between being linked
      // and being renamed over the target.
      if (Old == nullptr) {
        if (FCalls.LinkAt(AT_FDCWD, path.c_str(), AT_FDCWD, Target.c_str(), AT_SYMLINK_FOLLOW) ==
            0) {
          placed = true;
        } else if (errno != EEXIST) {
          Fail("Cannot create " + Quoted(Target), errno);
        }
      }
      for (int attempt = 0; !placed && named.empty() && attempt < 100; ++attempt) {
        const std::string name = NameBeside(Target);
        if (FCalls.LinkAt(AT_FDCWD, path.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
          named = name;
        } else if (errno != EEXIST) {
          Fail("Cannot write " + Quoted(Target), errno);
        }
      }
      if (!placed && named.empty()) Fail("Cannot write " + Quoted(Target), EEXIST);
    }
    const int handle = fd;
    fd = -1;
    if (FCalls.Close(handle) != 0) {
      const int error = errno;
      // The data may not be on the disk: a new file linked in place goes too.
      if (placed) FCalls.Unlink(Target.c_str());
      Fail("Cannot write " + Quoted(Target), error);
    }
    if (!placed && FCalls.Rename(named.c_str(), Target.c_str()) != 0) {
      Fail("Cannot replace " + Quoted(Target), errno);
    }
    named.clear();
  } catch (...) {
    if (fd >= 0) FCalls.Close(fd);
    if (!named.empty()) FCalls.Unlink(named.c_str());
    throw;
  }
  SyncFolder(folder);
}

void FileWriter::SyncFolder(const std::string& Folder) {
  const int fd = FCalls.Open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) Fail("Cannot open the folder " + Quoted(Folder), errno);
  const int result = FCalls.Fsync(fd);
  const int error = errno;
  FCalls.Close(fd);
  if (result != 0) Fail("Cannot write the folder " + Quoted(Folder) + " to disk", error);
}

}  // namespace wordloom
