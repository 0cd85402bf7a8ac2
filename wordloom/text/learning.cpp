// Learning words from text: every word of a stream is added to the dictionary
// (a known word only gains frequency), then a dictionary meant for fixed-width
// codes is cut to the words its code width can number.
#include <cstring>
#include <memory>
#include <vector>

#include "dictionary/word_trie.h"
#include "text/tokenizer.h"
#include "wordloom/platform/exceptions.h"

namespace wordloom {

void TVelkWordloom::AddStreamToSpell(TStream& Stream) {
  // A hard-coded dictionary learns nothing; an empty one gets its root.
  if (FSpellFileOptions.Contains(wlsHardCoded)) {
    DoError(ErrorClass::Of<EPropertyError>(), "Cannot add to a hard coded spell file.");
  }
  if (FNodeList->NodeCount() == 0) InitFirstSpellNode();
  // Read the whole stream, with progress shown while it is read.
  BeginStreamPass(Stream, "learn from");
  detail::PassGuard guard{*FProgress, SpellStream};

  // Frequent words are met again and again: a small cache from a word's
  // bytes to its node saves walking the trie for them. Nodes stay where they
  // are while a pass only adds words; a handler of OnAddWord could change the
  // dictionary, so the cache serves only passes without one. A fixed block
  // holding the format character's token never enters the cache: adding it
  // reports the token every time, which a cache hit would skip.
  struct CachedWord {
    std::int32_t Node = -1;
    std::uint8_t Size = 0;
    char Bytes[27] = {};
  };
  constexpr std::size_t kCacheSize = 4096;
  std::vector<CachedWord> cache;
  const bool use_cache = !FOnAddWord && !FSpellFileOptions.Contains(wlsHardCoded);
  if (use_cache) cache.resize(kCacheSize);
  auto add = [&](const TByteString& w) {
    if (!use_cache || w.Size() > sizeof(CachedWord::Bytes) ||
        std::memchr(w.Data(), FFormatChar.GetToken(), w.Size()) != nullptr) {
      AddToSpell(w);
      return;
    }
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (std::uint32_t i = 0; i < w.Size(); ++i) hash = (hash ^ w.Data()[i]) * 16777619u;
    CachedWord& entry = cache[hash % kCacheSize];
    const auto same = [&] {
      for (std::uint32_t i = 0; i < w.Size(); ++i) {
        if (entry.Bytes[i] != static_cast<char>(w.Data()[i])) return false;
      }
      return true;
    };
    if (entry.Node >= 0 && entry.Size == w.Size() && same()) {
      std::int32_t node = entry.Node;
      FCurrentNode = node;
      EndWord(node);  // a known word: its frequency goes up
      return;
    }
    entry.Node = AddWordNode(w);
    entry.Size = static_cast<std::uint8_t>(w.Size());
    std::memcpy(entry.Bytes, w.Data(), w.Size());
  };

  // Each word (or fixed block) of the stream, offered to OnAddWord first.
  TByteString word;
  const bool fixed = FTypeOfInput == wliFixedBlockSize;
  if (fixed) word.SetSize(FUnencodedBlockSize);
  while (FCharsRead < FCharsToRead) {
    if (fixed) {
      const std::uint32_t want = std::min(FUnencodedBlockSize, FCharsToRead - FCharsRead);
      word.SetSize(want);
      const auto got = static_cast<std::uint32_t>(Stream.Read(word.Data(), want));
      word.SetSize(got);
      FCharsRead += got;
      if (got == 0) break;  // the stream ended before its size said
    } else {
      ExtractTextBlockFrom(word, [this] { return NextStreamByte(); });
    }
    if (word.Size() > 0) {
      bool keep = true;
      if (FOnAddWord) FOnAddWord(word.GetString(), keep);
      if (keep) add(word);
    }
    if (FShowProgress) {
      FProgress->SetPosition(detail::ProgressValue(FCharsRead));
      ApplicationServices().ProcessMessages();
    }
  }
  FProgress->SetPosition(detail::ProgressValue(FCharsRead));

  // Prepare the dictionary for coding.
  if (FEncodedBlockSize == 0) {
    std::uint32_t count = FNodeList->WordCount();
    ReduceSpell(count);
  } else if (const std::uint32_t limit = CodeLimit(); limit != 0) {
    SetWordCount(std::min(FNodeList->WordCount(), limit));
  }
}

void TVelkWordloom::AddFileToSpell(const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead);
  AddStreamToSpell(file);
}

}  // namespace wordloom
