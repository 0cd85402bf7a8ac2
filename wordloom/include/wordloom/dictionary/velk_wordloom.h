// TVelkWordloom: the dictionary component. It learns words and how often they
// occur, keeps them in a word trie with a word table, and publishes the
// settings that decide how text is cut into words and how words are encoded.
//
//   TVelkWordloom dict(nullptr);
//   dict.InitFirstSpellNode();
//   dict.AddToSpell("the");
//   dict.Frequency("the");  // 1
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "wordloom/dictionary/byte_string.h"
#include "wordloom/dictionary/format_char.h"
#include "wordloom/dictionary/options.h"
#include "wordloom/dictionary/spell_node.h"
#include "wordloom/dictionary/trie_slot.h"
#include "wordloom/platform/application_services.h"
#include "wordloom/platform/stream.h"
#include "wordloom/randomobject/random_object.h"

namespace wordloom {

class TWeakCipher;

// Internals of the library, not exported from the shared one.
#pragma GCC visibility push(hidden)
namespace detail {
class WordTrie;
struct SpellHeader;
}
#pragma GCC visibility pop
// Held by pointer in the component's fields: declared with the component's
// visibility, so that the class is no more visible than its fields in code
// built without hidden visibility.
namespace detail {
struct CompactState;
struct KeyedSpellFile;
}

// Where the spell file reader takes its bytes from and the writer gives them
// to: Size bytes at Block. The cipher variants change the bytes in place.
using TReadBlockMethod = std::function<void(void* Block, std::uint32_t Size)>;
using TWriteBlockMethod = std::function<void(void* Block, std::uint32_t Size)>;
// A character source of the tokenizer: each call stores the next character in Block.
using TReadCharMethod = std::function<void(char& Block)>;

// The code value that stands for no code.
inline constexpr std::uint32_t kNoCode = 0xFFFFFFFFu;

// The members are implemented in several files of wordloom/, named per group
// below; the small internal classes they delegate to sit beside them.
class TVelkWordloom : public TRndComponent {
 public:
  WORDLOOM_OBJECT(TVelkWordloom)

  // The size of the block stream buffer the constructor allocates.
  static constexpr std::uint32_t kStreamBufferSize = 16384;
  // The declared default of StreamBufferSize: a stored form leaves out this
  // value, so a component set to exactly 100 reads back 16384.
  static constexpr std::uint32_t kStreamBufferSizeDefault = 100;

  // An empty dictionary: no root node, no words, the default settings.
  explicit TVelkWordloom(TComponent* AOwner);
  ~TVelkWordloom() override;

  // ---- published properties, in stored order ----
  // Construction, properties: dictionary/velk_wordloom.cpp; SetSpellFileName:
  // storage/spell_file_io.cpp; SetStreamBufferSize: storage/block_stream.cpp.
  TWLDelimiterOptions DelimiterOption() const { return FDelimiterOption; }
  void SetDelimiterOption(TWLDelimiterOptions Value) { FDelimiterOption = Value; }
  TEncBlockSizeInterval EncodedBlockSize() const { return FEncodedBlockSize; }
  // Stores the width and limits WordCount to the words a code of that width can
  // number (reducing the dictionary). REQUIRES: Value <= 4 (ERangeError).
  void SetEncodedBlockSize(TEncBlockSizeInterval Value);
  // The component's own format character (lent).
  TFormatChar* FormatChar() { return &FFormatChar; }
  // Copies Value into the component's own format character (Assign).
  void SetFormatChar(TFormatChar* Value);
  // Derived from EncodedBlockSize and DelimiterOption on every read.
  TWLFormatCharOptions FormatCharOptions() const { return GetFormatCharOptions(); }
  TWLFormatCharOptions GetFormatCharOptions() const;
  // Ignores its value.
  void SetFormatCharOptions(TWLFormatCharOptions) {}
  bool ShowProgress() const { return FShowProgress; }
  void SetShowProgress(bool Value) { FShowProgress = Value; }
  TWLSpellFileOptions SpellFileOptions() const { return FSpellFileOptions; }
  void SetSpellFileOptions(TWLSpellFileOptions Value) { FSpellFileOptions = Value; }
  TWLInputOptions TypeOfInput() const { return FTypeOfInput; }
  void SetTypeOfInput(TWLInputOptions Value) { FTypeOfInput = Value; }
  std::uint32_t UnencodedBlockSize() const { return FUnencodedBlockSize; }
  // 0 is ignored.
  void SetUnencodedBlockSize(std::uint32_t Value);
  std::uint32_t WordCapacity() const;
  std::uint32_t WordCount() const;
  // The file last opened or saved.
  const std::string& SpellFileName() const { return FSpellFileName; }
  // Opens the named file (OpenSpellFile), then saves the dictionary under the
  // name if no such file was there (SaveSpellFile with FileProtected).
  void SetSpellFileName(const std::string& Value);
  // How many bytes one stream transfer of the block stream layer moves.
  std::uint32_t StreamBufferSize() const { return FStreamBufferSize; }
  // 1 to kMaxStreamBufferSize; the buffer grows to hold a value above 16384.
  // 0 and larger values raise EPropertyError.
  void SetStreamBufferSize(std::uint32_t Value);
  static constexpr std::uint32_t kMaxStreamBufferSize = 1u << 24;

  // ---- events ----
  const TKeepWordEvent& OnAddWord() const { return FOnAddWord; }
  void SetOnAddWord(TKeepWordEvent Value) { FOnAddWord = std::move(Value); }
  const TKeepWordEvent& OnDeleteWord() const { return FOnDeleteWord; }
  void SetOnDeleteWord(TKeepWordEvent Value) { FOnDeleteWord = std::move(Value); }

  // ---- public, not published ----
  // True after a new word was added or a word deleted.
  bool SpellModified() const { return FSpellModified; }
  // The delimiters property: read, it is the effective set (GetDelimiters);
  // written, it sets the component's own set.
  TCharSet Delimiters() const { return GetDelimiters(); }
  void SetDelimiters(const TCharSet& Value) { FDelimiters = Value; }
  // The effective delimiters: the own set, or DefDelimiters when it is empty,
  // without the format character's token.
  TCharSet GetDelimiters() const;
  // The component's own delimiter set as stored (empty: DefDelimiters applies;
  // it may hold the token).
  const TCharSet& OwnDelimiters() const { return FDelimiters; }
  // Whether the spell file last opened was protected by a password.
  bool IsFileProtected() const { return FileProtected; }
  std::uint32_t NodeCount() const { return GetNodeCount(); }

  // ---- words ----
  // dictionary/word_operations.cpp; ReduceSpell: dictionary/reduction.cpp.
  // Adds a word, or counts it once more. Reports (through DoError) a hard-coded
  // dictionary, an empty word, a word containing the format character's token.
  // REQUIRES: a root node (EListError otherwise).
  void AddToSpell(const TByteString& Word);
  void AddToSpell(std::string_view Word);
  // Adds Word Times times in one step (for counts learned elsewhere): a new
  // word gets the frequency Times, a known one Times more. Raises
  // EIntOverflow, changing nothing, when the frequency would pass 4294967295.
  void AddToSpell(std::string_view Word, std::uint32_t Times);
  // How often the word was added; 0 when it is not a word of the dictionary.
  std::uint32_t Frequency(std::string_view Word);
  // Removes a word and the nodes that lead to no other word; the last word
  // takes over its number. Nothing happens when it is not a word.
  void DeleteFromSpell(std::string_view Word);
  // Prunes the dictionary towards Count words, keeping the most frequent, and
  // returns in Count the number it holds. Words that begin longer words stay,
  // and OnDeleteWord may keep any word. Survivors are renumbered most frequent first.
  void ReduceSpell(std::uint32_t& Count);

  // ---- text ----
  // The tokenizer: text/tokenizer.cpp; learning: text/learning.cpp; codes of
  // single words: text/block_codec.cpp.
  // Cuts the next word from ReadChar: skips a run of delimiters (kept in
  // the preceding delimiters) and returns the word that follows, ending at a
  // delimiter, which belongs to the word (wldInclFirstSucc) or is kept apart
  // as the succeeding delimiter (wldExclFirstSucc). The token is written as
  // its replacement bytes. REQUIRES: CharsRead() < CharsToRead().
  std::unique_ptr<TByteString> ExtractTextBlock(const TReadCharMethod& ReadChar);
  // The character source for streams: the next byte of SpellStream, through
  // the block stream buffer.
  void ReadCharFromStream(char& Block);
  // The tokenizer's counters: characters consumed and available.
  std::uint32_t CharsRead() const { return FCharsRead; }
  void SetCharsRead(std::uint32_t Value) { FCharsRead = Value; }
  std::uint32_t CharsToRead() const { return FCharsToRead; }
  void SetCharsToRead(std::uint32_t Value) { FCharsToRead = Value; }
  // The delimiters skipped before the last word, and the one that ended it.
  const TByteString& PrecedingDelimiters() const { return FPrecedingDelimiters; }
  const TByteString& SucceedingDelimiter() const { return FSucceedingDelimiter; }
  // Sets SpellStream for a pass over Stream (which the caller keeps) and
  // starts the block stream layer on it.
  void BeginStreamOn(TStream& Stream);

  // Learns the words of Stream, from its position to its end: each word is
  // added (OnAddWord may skip it), then a dictionary for fixed-width codes is
  // cut to the words its code width can number. Reports a hard-coded
  // dictionary ("Cannot add to a hard coded spell file.").
  void AddStreamToSpell(TStream& Stream);
  void AddFileToSpell(const std::string& FileName);

  // The code value of the word in Block: its word number, in the base-255
  // form unless FormatCharOptions holds wlcAlwaysPrefix. kNoCode after
  // reporting an empty or a missing word.
  std::uint32_t EncodeBlock(const TByteString& Block);
  // The word with the code value Code; empty after reporting a code that
  // names no word.
  std::string DecodeBlock(std::uint32_t Code);
  void DecodeBlockBStr(std::uint32_t Code, TByteString& Block);
  // The largest word number a code of the current width and form carries
  // (0: no limit).
  std::uint32_t CodeLimit() const;

  // ---- encoding and decoding streams ----
  // text/stream_codec.cpp.
  // Encodes Source from its position to its end and writes the result to Dest
  // at its position: dictionary words become codes, everything else is copied,
  // marked with the format character's token (docs/encoded-format.md). Reports
  // a dictionary of fewer than two words ("Cannot use empty spell file for
  // encoding"); a block that is no word is written as it is.
  void EncodeStream(TStream& Source, TStream& Dest);
  // Turns what EncodeStream wrote back into the text. REQUIRES: the words,
  // word numbers, token, replacement, EncodedBlockSize and DelimiterOption the
  // stream was written with. Reports a code that names no word ("Cannot decode
  // $0000012C.") and a malformed code; a handled report writes nothing for it.
  void DecodeStream(TStream& Source, TStream& Dest);
  // The same for files. The destination is created or truncated, so that it
  // holds exactly the bytes written; both files are closed also on errors.
  // A destination that is the source itself is refused (EFCreateError).
  void EncodeFile(const std::string& SourceFile, const std::string& DestFile);
  void DecodeFile(const std::string& SourceFile, const std::string& DestFile);

 private:
  // EncodeBlock as a pass needs it: kNoCode for a block that is no word, and
  // the report, which the OnException handler sees, is not raised.
  std::uint32_t StreamBlockCode(const TByteString& Block);
  // Opens both files and runs EncodeStream (Encode) or DecodeStream over them.
  void CodeFile(const std::string& SourceFile, const std::string& DestFile, bool Encode);

 public:

  // ---- the trie and the word table ----
  // dictionary/trie_operations.cpp, over dictionary/word_trie.h; the node
  // record layout: storage/spell_body.cpp.
  // A node as InitSpellNode makes it: parent, letter, room for N children.
  void InitSpellNode(std::uint32_t Parent, std::uint8_t Letter, TSpellNode& Node, std::uint8_t N);
  // Creates the root and appends it to the node list.
  void InitFirstSpellNode();
  // Steps from Node to its child for C, creating it if missing. REQUIRES:
  // CurrentNode() == Node. Raises EIntOverflow for a 256th child.
  void MakeLink(std::int32_t& Node, std::uint8_t C);
  // Ends a word at Node: counts it (a new word gets the next number), then
  // returns Node and the cursor to the root.
  void EndWord(std::int32_t& Node);
  // The word that ends at node I (not the root).
  std::string ExtractSpellWord(std::uint32_t I) const;
  void ExtractSpellBStr(std::uint32_t I, TByteString& B) const;
  // Appends node I's record with node indices Width (1..4) bytes wide: child
  // count (1), parent (Width), letter (1), per child its letter (1) and index
  // (Width), word number (4); all little-endian.
  void GetNode(std::uint32_t I, TByteString& B, std::uint8_t Width) const;
  // Withdraws one record from the front of B and appends the node it describes.
  void AddNode(TByteString& B, std::uint8_t Width);
  // Frees all nodes and the word table.
  void DisposeList();
  std::uint32_t GetNodeCount() const;
  // Does nothing while designing; else drops nodes behind N or adds empty ones.
  void SetNodeCount(std::uint32_t N);
  // Reports "Word frequency table capacity out of bounds " for N below
  // WordCount or above 134217727.
  void SetCapacity(std::uint32_t N);
  // Does nothing while designing. Raising it adds zeroed entries; lowering it
  // reduces the dictionary (ReduceSpell); a hard-coded dictionary reports
  // "List count out of bounds" for any value not above the current count.
  void SetWordCount(std::uint32_t N);

  // A copy of node I. REQUIRES: I < NodeCount() (EListError).
  TSpellNode SpellNode(std::uint32_t I) const;
  // Word table entry Index (word number Index + 1). REQUIRES: Index < WordCapacity().
  TWordEntry WordTableEntry(std::uint32_t Index) const;
  // The walk cursor: the node the last walk stood on.
  std::int32_t CurrentNode() const { return FCurrentNode; }
  // Bytes allocated for the trie and the word table.
  std::size_t TrieAllocatedBytes() const;

  // ---- spell files ----
  // storage/spell_file_io.cpp; the header's option byte:
  // storage/spell_file_format.cpp; the body: storage/spell_body.cpp.
  // Loads the named spell file, asking the application (through its services)
  // before changes would be lost and for the password of a protected file.
  // Does nothing for a missing file or when the designing state does not match
  // wlsHardCoded. On any error the dictionary and its file settings stay as
  // they were. Raises EReadError for a malformed file.
  void OpenSpellFile(const std::string& FileName);
  // Stores the dictionary, protected with a password asked for now when
  // Protect is true. Does nothing for an empty dictionary, an up-to-date file
  // or a designing state that does not match wlsHardCoded. The file is replaced
  // only once the new one is completely written.
  void SaveSpellFile(const std::string& FileName, bool Protect);
  // Asks for the password of the protected file being read (FileName, for
  // the question) and checks it. True: Password holds it, and Cipher and
  // ReadBlock read the rest.
  bool RequestSpellAccess(std::string& Password, const std::string& FileName = {});
  // The stored "SpellFile" property: the body of a hard-coded dictionary.
  void DefineProperties(TFiler& Filer) override;
  void ReadSpellFileFromStream(TStream& Stream);
  void WriteSpellFileToStream(TStream& Stream);

  // The sections of a spell file, through ReadBlock and WriteBlock.
  void WriteSpellHeader();
  // Reads a header; it is applied to the dictionary with ApplySpellHeader.
  detail::SpellHeader ReadSpellHeader();
  void ApplySpellHeader(const detail::SpellHeader& Header);
  void WriteSpellFile();
  // Reads a body into a fresh trie and swaps it in once it is read and checked.
  void ReadSpellFile();

  // ---- compact forms ----
  // storage/compact_open.cpp; the form: docs/compact-form.md.
  // A spell file may have a compact form: a read-only image of its words and
  // their suggestion index, mapped into memory, with which OpenSpellFile
  // opens it in a moment and Frequency and the likelihood ranking answer
  // exactly as from the trie. A form lies beside the spell file
  // (FILE.compact) or in this folder, where OpenSpellFile makes one for each
  // unprotected spell file it opens. Empty (the default): none are made, and
  // only forms beside a spell file are used.
  const std::string& CompactFormFolder() const { return FCompactFormFolder; }
  void SetCompactFormFolder(const std::string& Value) { FCompactFormFolder = Value; }
  // Whether words are looked up and suggested through a compact form now:
  // after an open that found or made one, until the dictionary changes in
  // another way than by adding and deleting words.
  bool UsesCompactForm() const { return CurrentCompact() != nullptr; }
  // Writes the compact form of the spell file last opened or saved to
  // FileName, as an installation ships it beside the file. REQUIRES: the
  // dictionary unchanged since and its file unprotected (EWriteError
  // otherwise, as for a file that cannot be written).
  void SaveCompactForm(const std::string& FileName);

  // ---- the block stream layer ----
  // storage/block_stream.cpp.
  // Starts a transfer on SpellStream: the buffer is empty.
  void BeginStream();
  void ReadBlockFromStream(void* Block, std::uint32_t Size);
  void WriteBlockToStream(void* Block, std::uint32_t Size);
  // As above, deciphering the bytes in place after reading.
  void ReadCiphBlockFromStream(void* Block, std::uint32_t Size);
  // As above, enciphering the caller's bytes in place before writing.
  void WriteCiphBlockToStream(void* Block, std::uint32_t Size);
  // Writes what waits in the buffer and releases the stream the layer owns.
  void EndStreamWrite();

  // dictionary/velk_wordloom.cpp.
  void GetProperties(PropertyList& List) override;

 protected:
  // Passes over streams: text/tokenizer.h and text/tokenizer.cpp; AddWordNode:
  // dictionary/word_operations.cpp.

  // The tokenizer over any source of bytes (text/tokenizer.h); Word receives
  // the word. For the passes of this class and its descendants.
  template <typename Source>
  void ExtractTextBlockFrom(TByteString& Word, Source&& Next);
  // Appends C to a word, the token as its replacement bytes.
  void AppendWordChar(TByteString& Word, std::uint8_t C);
  // AddToSpell, returning the node of the word's last byte (-1 when the word
  // was refused).
  std::int32_t AddWordNode(const TByteString& Word);
  // Starts a pass over Source from its position to its end: the tokenizer's
  // counters, the progress display (shown if ShowProgress), the stream layer.
  // What names the pass for the error of a stream above 4 GiB.
  void BeginStreamPass(TStream& Source, const char* What);
  // Whether the dictionary can serve as a code book (two words at least);
  // else reports it through DoError, naming the Use ("encoding").
  bool HasCodeBook(const char* Use);

  // The compact form in use and the words added since (null: none). It
  // answers while the trie waits to be read (FNodeList.Pending()), and
  // alongside the trie as long as only AddWordNode and DeleteFromSpell
  // changed it.
  std::unique_ptr<detail::CompactState> FCompact;
  // FCompact when it still describes the dictionary, else nullptr.
  detail::CompactState* CurrentCompact() const;
  // Whether the compact forms this dictionary opens and makes carry the
  // sound-alike index of the likelihood ranking, which only English
  // dictionaries use (the checker sets it with its language). A form in use
  // that lacks the index is let go when the index becomes wanted.
  void SetCompactSoundIndex(bool Wanted);
  bool FCompactSoundIndex = true;
  // The block stream buffer (kStreamBufferSize bytes) and its position.
  std::unique_ptr<std::uint8_t[]> StreamBuffer;
  std::uint32_t StreamPos = 0;
  std::uint32_t FStreamBufferCapacity = 0;  // bytes allocated at StreamBuffer
  std::uint32_t FStreamFill = 0;  // reading: bytes the last refill really got
  std::int32_t FCurrentNode = 0;
  TByteString FPrecedingDelimiters;
  std::unique_ptr<ProgressDisplay> FProgress;
  bool FileProtected = false;
  TReadBlockMethod ReadBlock;
  TStream* SpellStream = nullptr;
  std::unique_ptr<TStream> FOwnedStream;  // a file stream the layer opened
  TByteString FSucceedingDelimiter;
  std::uint32_t FCharsRead = 0;
  std::uint32_t FCharsToRead = 0;
  std::unique_ptr<TWeakCipher> Cipher;
  TWriteBlockMethod WriteBlock;
  TWLDelimiterOptions FDelimiterOption = wldInclFirstSucc;
  TCharSet FDelimiters;
  TEncBlockSizeInterval FEncodedBlockSize = 0;
  TFormatChar FFormatChar;
  detail::TrieSlot FNodeList;  // the nodes and the word table, read when first needed
  std::string FSpellFileName;
  TWLSpellFileOptions FSpellFileOptions;
  bool FSpellModified = false;
  TWLInputOptions FTypeOfInput = wliTextInput;
  std::uint32_t FUnencodedBlockSize = 4;
  TKeepWordEvent FOnAddWord;
  TKeepWordEvent FOnDeleteWord;
  bool FShowProgress = false;
  std::uint32_t FStreamBufferSize = 0;

 private:
  // WalkDown, RemoveWord: dictionary/word_operations.cpp; the stream buffer:
  // storage/block_stream.cpp and text/tokenizer.cpp; the rest: storage/spell_file_io.cpp.

  // The node reached from the root along Word, or -1; the cursor follows.
  std::int32_t WalkDown(std::string_view Word);
  // Removes the word at node I: its nodes, its table entry (the last word
  // takes its number). Returns nothing; closes up the node list.
  void RemoveWord(std::uint32_t I);
  // Refills the buffer from SpellStream.
  void RefillStreamBuffer();
  // Starts reading or writing Stream (which the caller keeps) through the
  // buffer, unenciphered.
  void BeginStreamRead(TStream& Stream);
  void BeginStreamWrite(TStream& Stream);
  // Gives SpellStream what waits in the buffer.
  void FlushStreamWrite();
  // The next byte of the stream buffer (ReadCharFromStream without the call).
  std::uint8_t NextStreamByte() {
    if (StreamPos == 0) RefillStreamBuffer();
    if (StreamPos >= FStreamFill) StreamEndError();
    const std::uint8_t c = StreamBuffer[StreamPos];
    if (++StreamPos == FStreamBufferSize) StreamPos = 0;
    return c;
  }
  [[noreturn]] static void StreamEndError();

  // Bytes still to be read: those waiting in the buffer and those the stream has left.
  std::uint64_t StreamBytesLeft();
  // Reads a body through ReadBlock into Fresh (empty), with progress.
  void ReadSpellBodyInto(detail::WordTrie& Fresh);
  // Whether the designing state matches wlsHardCoded, as file operations need.
  bool FileAccessAllowed() const;
  // Opens FileName for reading as SpellStream and reads its marker; a
  // protected file asks for its password (RequestSpellAccess). False when
  // access was not granted. A file under 4 bytes counts as unprotected when
  // ShortIsPlain, else its marker cannot be read (EReadError).
  bool BeginFileRead(const std::string& FileName, bool ShortIsPlain, bool& IsProtected);
  // Releases what a read set up: the stream, the cipher, the progress display.
  void EndStreamRead();
  // Whether an existing file may be replaced: true unless it is protected and
  // the user does not know its password.
  bool CheckProtectedFile(const std::string& FileName);
  // Opens FileName through its compact form when it has a usable one:
  // applies Header, maps the form, and leaves the nodes to be read when
  // first needed. False (nothing changed) when it has none; Keyed is then
  // the open file with its key, or null when no form is wanted.
  bool OpenThroughCompactForm(const std::string& FileName, const detail::SpellHeader& Header,
                              std::shared_ptr<detail::KeyedSpellFile>& Keyed);
  // After a plain open: makes the form of the trie just read in the compact
  // form folder and uses it.
  void MakeCompactForm(const detail::KeyedSpellFile& Keyed);
  // Around a change by AddWordNode or DeleteFromSpell: before it, drops a
  // form that no longer describes the dictionary; after it, records an
  // added word (Added, when the change made a new one) and the trie's new
  // revision.
  void CompactBeforeChange();
  void CompactAfterChange(const TByteString* Added);
  std::string FCompactFormFolder;
  // Writes the dictionary as a complete spell file to Stream.
  void WriteWholeSpellFile(TStream& Stream, const std::string* Password);
};

// The user's folder for compact forms, as applications pass it to
// SetCompactFormFolder: $XDG_CACHE_HOME/wordloom/compact, else
// $HOME/.cache/wordloom/compact; empty when neither variable is set.
std::string DefaultCompactFormFolder();

// Puts TVelkWordloom and TVelkSpellChecker on the component palette page
// "Velk" (register.cpp).
void Register();

}  // namespace wordloom

#pragma GCC visibility pop
