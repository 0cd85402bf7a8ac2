// Opening a spell file through its compact form, making the form after a
// plain open, and keeping the form in step with the words added and deleted
// afterwards. The form itself: checking/compact_form.h; where forms lie:
// storage/compact_files.h.
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "checking/compact_state.h"
#include "dictionary/word_trie.h"
#include "storage/compact_files.h"
#include "storage/spell_body.h"
#include "storage/spell_file_format.h"
#include "wordloom/dictionary/velk_wordloom.h"
#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/stream.h"
#include "wordloom/storage/dictionary_search.h"

namespace wordloom {

namespace {

// The bytes before a spell file's body: the marker (4), the delimiter set
// (32), the option byte, the token, the replacement's length (4) and the
// replacement.
std::uint64_t BodyOffset(const detail::SpellHeader& Header) {
  return 4 + 32 + 1 + 1 + 4 + std::uint64_t{Header.Replacement.size()};
}

bool IsFile(const std::string& Name) {
  struct stat st {};
  return stat(Name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::string DefaultCompactFormFolder() {
  const std::string cache = UserCacheFolder();
  return cache.empty() ? std::string() : cache + "/compact";
}

bool TVelkWordloom::OpenThroughCompactForm(const std::string& FileName,
                                           const detail::SpellHeader& Header,
                                           std::shared_ptr<detail::KeyedSpellFile>& Keyed) {
  Keyed.reset();
  // Taking the key may read the whole file: only when a form may be there or be made.
  if (FCompactFormFolder.empty() && !IsFile(detail::CompactFormBeside(FileName))) return false;
  auto keyed = std::make_shared<detail::KeyedSpellFile>();
  // The key is taken of the file the header was read from, even if another
  // has been put in its place since.
  const auto* stream = dynamic_cast<const TFileStream*>(FOwnedStream.get());
  keyed->Handle = stream != nullptr ? detail::SpellFileHandle::Duplicate(stream->Handle())
                                    : detail::SpellFileHandle::Open(FileName);
  if (!keyed->Handle ||
      !keyed->Handle->TakeKey(keyed->Key, FCompactFormFolder, /*TrustStamp=*/true, keyed->FromStamp)) {
    return false;
  }
  Keyed = keyed;
  std::shared_ptr<const detail::CompactForm> form =
      detail::FindCompactForm(FileName, keyed->Key, FCompactFormFolder, FCompactSoundIndex);
  if (!form) return false;

  // The nodes are read from the same open file when first needed, after
  // making sure it still holds the bytes the form was made of.
  const std::uint64_t body = BodyOffset(Header);
  FNodeList.Defer([keyed, body](detail::WordTrie& fresh) {
    std::string bytes;
    detail::ContentKey now;
    if (!keyed->Handle->Read(now, &bytes) || !(now == keyed->Key) || bytes.size() < body) {
      throw EReadError("spell file: changed on disk since it was opened");
    }
    std::size_t at = static_cast<std::size_t>(body);
    detail::ReadSpellBody(
        [&](void* block, std::uint32_t size) {
          if (bytes.size() - at < size) throw EReadError("spell file: truncated");
          std::memcpy(block, bytes.data() + at, size);
          at += size;
        },
        bytes.size() - at, fresh, [](std::uint32_t) {}, [](std::uint32_t) {}, [] {});
  });
  ApplySpellHeader(Header);
  FCompact = std::make_unique<detail::CompactState>();
  FCompact->Form = std::move(form);
  FCurrentNode = 0;
  return true;
}

void TVelkWordloom::MakeCompactForm(const detail::KeyedSpellFile& Keyed) {
  FCompact.reset();
  const detail::WordTrie& trie = *FNodeList;
  if (FCompactFormFolder.empty() || trie.NodeCount() == 0) return;
  // A form is named by the key of what was read: a key from a stamp is taken
  // again by reading, so that a stamp that missed a change never names a
  // form of other words.
  detail::ContentKey key = Keyed.Key;
  bool from_stamp = false;
  if (Keyed.FromStamp &&
      !Keyed.Handle->TakeKey(key, FCompactFormFolder, /*TrustStamp=*/false, from_stamp)) {
    return;
  }
  std::shared_ptr<const detail::CompactForm> form =
      detail::StoreCompactForm(FCompactFormFolder, key, FCompactSoundIndex,
                               detail::CompactForm::Build(trie, key, FCompactSoundIndex));
  if (!form) return;
  FCompact = std::make_unique<detail::CompactState>();
  FCompact->Form = std::move(form);
  FCompact->Revision = trie.Revision();
}

void TVelkWordloom::SaveCompactForm(const std::string& FileName) {
  if (FSpellFileName.empty() || FSpellModified || FileProtected) {
    throw EWriteError(FileName + ": a compact form is made of an unprotected spell file as saved");
  }
  detail::KeyedSpellFile keyed;
  keyed.Handle = detail::SpellFileHandle::Open(FSpellFileName);
  if (!keyed.Handle || !keyed.Handle->Read(keyed.Key, nullptr)) {
    throw EReadError(FSpellFileName + ": cannot be read");
  }
  const detail::WordTrie& trie = *FNodeList;
  if (trie.NodeCount() == 0) throw EWriteError(FileName + ": the dictionary has no words");
  detail::SaveCompactFormFile(FileName, detail::CompactForm::Build(trie, keyed.Key, FCompactSoundIndex));
}

void TVelkWordloom::SetCompactSoundIndex(bool Wanted) {
  FCompactSoundIndex = Wanted;
  if (!Wanted || !FCompact || FCompact->Form->HasSoundIndex()) return;
  // The ranking then builds the index of the trie, read now if it waits.
  (void)*FNodeList;
  FCompact.reset();
}

detail::CompactState* TVelkWordloom::CurrentCompact() const {
  if (!FCompact) return nullptr;
  if (FNodeList.Pending()) return FCompact.get();
  const std::uint64_t expected =
      FCompact->Revision != 0 ? FCompact->Revision : FNodeList.LoadedRevision();
  return FNodeList->Revision() == expected ? FCompact.get() : nullptr;
}

void TVelkWordloom::CompactBeforeChange() {
  if (FCompact && CurrentCompact() == nullptr) FCompact.reset();
}

void TVelkWordloom::CompactAfterChange(const TByteString* Added) {
  if (!FCompact) return;
  if (Added != nullptr &&
      !FCompact->Add(std::string_view(reinterpret_cast<const char*>(Added->Data()), Added->Size()))) {
    FCompact.reset();
    return;
  }
  FCompact->Revision = FNodeList->Revision();
}

}  // namespace wordloom
