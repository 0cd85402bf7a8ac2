// The dictionary component: construction, destruction, published properties
// and registration. The trie operations are in trie_operations.cpp, the word
// operations in word_operations.cpp, the reduction in reduction.cpp.
#include "wordloom/dictionary/velk_wordloom.h"

#include "checking/compact_state.h"
#include "dictionary/word_trie.h"
#include "wordloom/weaksecurity/weak_cipher.h"
#include "wordloom/platform/exceptions.h"

namespace wordloom {

TCharSet InitialDefDelimiters() {
  TCharSet s;
  s.IncludeRange(0, 37).IncludeRange(40, 64).IncludeRange(91, 93).Include(95);
  s.IncludeRange(123, 153).Include(155).Include(157).Include(158);
  s.IncludeRange(160, 191).Include(215).Include(247);
  return s;
}

TCharSet DefDelimiters = InitialDefDelimiters();

TCharSet Utf8Delimiters() {
  TCharSet s = InitialDefDelimiters();
  for (unsigned c = 128; c < 256; ++c) s.Exclude(static_cast<std::uint8_t>(c));
  return s;
}

TVelkWordloom::TVelkWordloom(TComponent* AOwner) : TRndComponent(AOwner) {
  // The block stream buffer.
  FStreamBufferSize = kStreamBufferSize;
  StreamBuffer.reset(new std::uint8_t[kStreamBufferSize]());
  FStreamBufferCapacity = kStreamBufferSize;
  // The format character (a member: token 0, no replacement).
  // The node list (a member) is empty: no root, no word table.
  // The default settings of a new dictionary.
  FSpellFileOptions = {wlsPromptOnReplace, wlsPromptOnModified};
  FDelimiterOption = wldInclFirstSucc;
  FDelimiters = DefDelimiters;
  FTypeOfInput = wliTextInput;
  FUnencodedBlockSize = 4;
  // The progress display, hidden.
  FProgress = ApplicationServices().CreateProgressDisplay();
  // The tokenizer's byte strings are members, created empty.
}

TVelkWordloom::~TVelkWordloom() {
  // A modified dictionary goes back to its file. A destructor cannot
  // raise: a failed save is told to the user, and the file keeps its old
  // content (saves replace files only when complete).
  if (FSpellModified && FSpellFileOptions.Contains(wlsPromptOnModified) &&
      !FSpellFileName.empty()) {
    try {
      SaveSpellFile(FSpellFileName, FileProtected);
    } catch (const std::exception& e) {
      try {
        ApplicationServices().ShowMessage("The dictionary could not be saved to " +
                                          FSpellFileName + ": " + e.what());
      } catch (...) {
      }
    }
  }
  // Free the word table and the node list.
  DisposeList();
}

void TVelkWordloom::SetFormatChar(TFormatChar* Value) { FFormatChar.Assign(Value); }

TCharSet TVelkWordloom::GetDelimiters() const {
  TCharSet set = FDelimiters == TCharSet() ? DefDelimiters : FDelimiters;
  set.Exclude(FFormatChar.GetToken());
  return set;
}

TWLFormatCharOptions TVelkWordloom::GetFormatCharOptions() const {
  if (FEncodedBlockSize == 0) return {wlcAlwaysPrefix, wlcCondSuffix};
  if (FDelimiterOption == wldExclFirstSucc) return {wlcAlwaysPrefix};
  return {wlcCondSuffix};
}

void TVelkWordloom::SetEncodedBlockSize(TEncBlockSizeInterval Value) {
  if (Value > kMaxEncodedBlockSize) throw ERangeError(kRangeErrorMessage);
  FEncodedBlockSize = Value;
  if (Value == 0) return;
  const std::uint32_t limit = CodeLimit();
  if (limit != 0) SetWordCount(std::min(WordCount(), limit));
}

void TVelkWordloom::SetUnencodedBlockSize(std::uint32_t Value) {
  if (Value != 0) FUnencodedBlockSize = Value;
}

std::uint32_t TVelkWordloom::WordCapacity() const { return FNodeList->WordCapacity(); }
std::uint32_t TVelkWordloom::WordCount() const {
  // A dictionary opened through a compact form counts its words without reading its nodes.
  if (FNodeList.Pending()) return FCompact->Form->WordCount();
  return FNodeList->WordCount();
}

void TVelkWordloom::GetProperties(PropertyList& List) {
  TRndComponent::GetProperties(List);
  List.Enum<TWLDelimiterOptions>(
      "DelimiterOption", [this] { return FDelimiterOption; },
      [this](TWLDelimiterOptions v) { SetDelimiterOption(v); },
      {"wldExclFirstSucc", "wldInclFirstSucc"});
  List.Integer(
      "EncodedBlockSize", [this] { return std::int64_t{FEncodedBlockSize}; },
      [this](std::int64_t v) { SetEncodedBlockSize(static_cast<TEncBlockSizeInterval>(v)); }, 0,
      kMaxEncodedBlockSize);
  List.Object("FormatChar", [this] { return &FFormatChar; });
  List.Set<TWLFormatCharOptions>(
      "FormatCharOptions", [this] { return GetFormatCharOptions(); },
      [this](TWLFormatCharOptions v) { SetFormatCharOptions(v); },
      {"wlcAlwaysPrefix", "wlcCondSuffix"});
  List.Boolean("ShowProgress", [this] { return FShowProgress; },
               [this](bool v) { SetShowProgress(v); });
  List.Set<TWLSpellFileOptions>(
      "SpellFileOptions", [this] { return FSpellFileOptions; },
      [this](TWLSpellFileOptions v) { SetSpellFileOptions(v); },
      {"wlsHardCoded", "wlsPromptOnReplace", "wlsPromptOnModified"});
  List.Enum<TWLInputOptions>(
      "TypeOfInput", [this] { return FTypeOfInput; },
      [this](TWLInputOptions v) { SetTypeOfInput(v); }, {"wliTextInput", "wliFixedBlockSize"});
  List.Integer(
      "UnencodedBlockSize", [this] { return std::int64_t{FUnencodedBlockSize}; },
      [this](std::int64_t v) { SetUnencodedBlockSize(static_cast<std::uint32_t>(v)); }, 0,
      UINT32_MAX);
  List.Integer(
      "WordCapacity", [this] { return std::int64_t{WordCapacity()}; },
      [this](std::int64_t v) { SetCapacity(static_cast<std::uint32_t>(v)); }, 0, UINT32_MAX)
      .NotStored();
  List.Integer(
      "WordCount", [this] { return std::int64_t{WordCount()}; },
      [this](std::int64_t v) { SetWordCount(static_cast<std::uint32_t>(v)); }, 0, UINT32_MAX)
      .NotStored();
  List.String("SpellFileName", [this] { return FSpellFileName; },
              [this](const std::string& v) { SetSpellFileName(v); });
  List.Integer(
      "StreamBufferSize", [this] { return std::int64_t{FStreamBufferSize}; },
      [this](std::int64_t v) { SetStreamBufferSize(static_cast<std::uint32_t>(v)); }, 0,
      UINT32_MAX)
      .WithDefault(kStreamBufferSizeDefault);
}

}  // namespace wordloom
