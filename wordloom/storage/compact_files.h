// Where compact forms of spell files live and how they are found, checked,
// made and mapped into memory. A spell file's form lies beside it
// (SPELLFILE.compact, made when the dictionary is built or installed) or in
// a cache folder under the key of the spell file's content and whether it
// holds the sound-alike index (FOLDER/KEY.compact, FOLDER/KEY-nosound.compact).
// A form is used only when its header names the spell file's current key
// and its sizes and checksum hold; otherwise it is passed over, and the one
// in the cache folder is made again. Stamps in the cache
// folder (storage/file_stamp.h) spare reading a spell file or a form that
// has not changed since it was last read in full.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "checking/compact_form.h"

namespace wordloom::detail {

// The most forms the cache folder keeps; the ones written longest ago go first.
inline constexpr std::size_t kMaxCachedForms = 8;

// A spell file kept open, so that its nodes can be read later from the very
// bytes its key was taken of, even when the file is replaced meanwhile.
class SpellFileHandle {
 public:
  // Opens FileName; nullptr when it cannot be opened.
  static std::shared_ptr<SpellFileHandle> Open(const std::string& FileName);
  // A handle of its own on the file open as Fd (a duplicate descriptor), so
  // that the key is taken of the very file a stream is reading; nullptr when
  // Fd cannot be duplicated.
  static std::shared_ptr<SpellFileHandle> Duplicate(int Fd);
  ~SpellFileHandle();
  SpellFileHandle(const SpellFileHandle&) = delete;
  SpellFileHandle& operator=(const SpellFileHandle&) = delete;

  // Reads the whole file (into Bytes when not null) and takes its key. False
  // on a read error.
  bool Read(ContentKey& Key, std::string* Bytes) const;
  // Takes the file's key from its stamp in Folder while the file is the one
  // stamped (FromStamp set), else by reading it, and stamps it then. With
  // TrustStamp false, the file is always read. False on a read error.
  bool TakeKey(ContentKey& Key, const std::string& Folder, bool TrustStamp, bool& FromStamp) const;

 private:
  explicit SpellFileHandle(int Fd) : FFd(Fd) {}
  int FFd;
};

// A spell file kept open with the key of its content.
struct KeyedSpellFile {
  std::shared_ptr<SpellFileHandle> Handle;
  ContentKey Key;
  // The key came from a stamp, not from reading the file: good for finding
  // a form, not for naming one made of what was read.
  bool FromStamp = false;
};

// The form beside a spell file, and the one a cache folder keeps for a key,
// with or without the sound-alike index.
std::string CompactFormBeside(const std::string& SpellFile);
std::string CachedCompactForm(const std::string& Folder, const ContentKey& Key,
                              bool SoundIndex = true);

// Maps the form in FileName and checks it against Key (header, sizes,
// checksum). nullptr, with the reason in Why, when it is missing, stale or
// damaged. The checksum is taken only of a form that Folder (when not
// empty) holds no stamp of as it is now, and stamped then.
std::shared_ptr<const CompactForm> MapCompactForm(const std::string& FileName,
                                                  const ContentKey& Key, std::string& Why,
                                                  const std::string& Folder = {});

// The form for a spell file of key Key, with the sound-alike index when
// SoundIndex: the one beside it (which may have the index when none is
// wanted), else the one in Folder (when not empty), whose stamps spare
// reading forms already checked. nullptr when neither is usable.
std::shared_ptr<const CompactForm> FindCompactForm(const std::string& SpellFile,
                                                   const ContentKey& Key,
                                                   const std::string& Folder, bool SoundIndex);

// Maps Size bytes of Fd read-only (MAP_FAILED when it cannot), one page past
// a 2 MiB boundary of the address space. Current kernels keep a file in the
// page cache in large pieces (up to 2 MiB, at file offsets aligned to their
// size) when it is written or read ahead, and on a fault map the whole piece
// wherever it fits inside one page table. Off those boundaries no 2 MiB
// piece fits, and a fault there maps its page and a few neighbours.
void* MapOffPieces(int Fd, std::size_t Size);

// Saves Bytes, the bytes of a form, as FileName (FileWriter: all or
// nothing), leaving none of it in the page cache.
void SaveCompactFormFile(const std::string& FileName, std::string_view Bytes);
// Drops the pages of FileName, saved to disk, from the page cache.
void DropCachedPages(const std::string& FileName);

// Writes Bytes, a form of key Key (with the sound-alike index when
// SoundIndex), into Folder (made when missing) and maps it; drops the
// oldest forms beyond kMaxCachedForms. nullptr when the folder
// cannot be written: a cache that cannot be kept is done without.
std::shared_ptr<const CompactForm> StoreCompactForm(const std::string& Folder,
                                                    const ContentKey& Key, bool SoundIndex,
                                                    const std::string& Bytes);

}  // namespace wordloom::detail
