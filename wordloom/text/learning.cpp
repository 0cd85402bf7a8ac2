// Learning words from text: every word of a stream is added to the dictionary
// (a known word only gains frequency), then a dictionary meant for fixed-width
// codes is cut to the words its code width can number.
#include <memory>

#include "dictionary/word_trie.h"
#include "text/tokenizer.h"
#include "wordloom/platform/exceptions.h"

namespace wordloom {

void TVelkWordloom::AddStreamToSpell(TStream& Stream) {
  // 1.-2.
  if (FSpellFileOptions.Contains(wlsHardCoded)) {
    DoError(ErrorClass::Of<EPropertyError>(), "Cannot add to a hard coded spell file.");
  }
  if (FNodeList->NodeCount() == 0) InitFirstSpellNode();
  // 3.-5.
  BeginStreamPass(Stream, "learn from");
  detail::PassGuard guard{*FProgress, SpellStream};

  // 6.-7.
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
      if (keep) AddToSpell(word);
    }
    if (FShowProgress) {
      FProgress->SetPosition(detail::ProgressValue(FCharsRead));
      ApplicationServices().ProcessMessages();
    }
  }
  FProgress->SetPosition(detail::ProgressValue(FCharsRead));

  // 9. Prepare the dictionary for coding.
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
