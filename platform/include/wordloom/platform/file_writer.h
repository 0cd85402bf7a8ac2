// The one way every save writes a file: the new content goes to an unnamed
// temporary in the target's folder, forced to the disk and put in place in one
// step, so that a failure or a crash leaves the old file as it was.
//
//   FileWriter writer;
//   writer.Save("words.spl", [&](TStream& out) { out.WriteBuffer(data, size); });
#pragma once

#pragma GCC visibility push(default)

#include <sys/stat.h>
#include <sys/types.h>

#include <functional>
#include <string>

#include "wordloom/platform/stream.h"

namespace wordloom {

// The system calls FileWriter makes, virtual so that a test can make any of
// them fail. Each returns what the call of the same name returns and sets errno.
class FileCalls {
 public:
  virtual ~FileCalls() = default;
  virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t Write(int fd, const void* buffer, size_t count);
  virtual int Fsync(int fd);
  virtual int LinkAt(int old_dir, const char* old_path, int new_dir, const char* new_path,
                     int flags);
  virtual int Rename(const char* from, const char* to);
  virtual int Close(int fd);
  virtual int Unlink(const char* path);
  virtual int Fchmod(int fd, mode_t mode);
  virtual int Fchown(int fd, uid_t owner, gid_t group);
};

// The real calls, shared by every writer that is given no others.
FileCalls& SystemFileCalls();

// Saves files so that a reader sees either the old or the whole new content:
// - a symlink is followed; the file it names is replaced and the link stays;
// - a target that is no regular file (a FIFO, a device) is written in place;
// - a read-only target (no write bit for its owner, or not writable for this
//   user) is refused before anything is written;
// - a replaced file keeps its owner and mode; a new one gets 0666 less umask;
// - a file with more than one hard link is written in place, so that every
//   name sees the new content (as Vim, Hunspell and Aspell do): the content is
//   made completely in a temporary first and the room it needs is taken, so
//   only a crash during the copy itself can leave it half written;
// - the data and the folder are forced to the disk;
// - a temporary of this writer's naming left by a killed save (TARGET.wordloom-
//   PID-N-N, a plain file of this user whose process is gone) is removed by
//   the next save of the same target.
// Failures raise EWriteError (EFCreateError when the file cannot be made)
// naming the file and the system's reason.
class FileWriter {
 public:
  // Writes the content of a file to the stream it is given.
  using Content = std::function<void(TStream&)>;

  // REQUIRES: Calls outlives the writer.
  explicit FileWriter(FileCalls& Calls = SystemFileCalls()) : FCalls(Calls) {}

  // Replaces (or creates, or writes into) FileName with what Write writes.
  // An exception from Write leaves the old file and is passed on.
  void Save(const std::string& FileName, const Content& Write);
  // The same for a content already in memory.
  void SaveBytes(const std::string& FileName, std::string_view Bytes);

 private:
  void Replace(const std::string& Target, const struct stat* Old, const Content& Write);
  void WriteInPlace(const std::string& Target, const Content& Write);
  void RewriteLinked(const std::string& Target, const struct stat& Old, const Content& Write);
  void RemoveStaleTemporaries(const std::string& Target);
  void SyncFolder(const std::string& Folder);

  FileCalls& FCalls;
};

// The file a path finally names after following its symlinks (the path itself
// when it is none); a link to a missing file gives the missing file's path.
// EWriteError for a loop of links.
std::string FollowSymlinks(const std::string& FileName);

}  // namespace wordloom

#pragma GCC visibility pop
