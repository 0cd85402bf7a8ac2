// Opening and saving spell files: whether anything is done at all, the
// questions to the user, passwords, and the file streams. The bytes are
// produced and consumed by the format code below and spell_file_format.cpp,
// through the block stream layer.
//
// Two promises beyond the plain algorithm: a failed open changes nothing (the
// file is read into fresh structures that replace the dictionary's only when
// all of it was read and checked), and a failed save changes nothing (the new
// file is written beside the old one and renamed over it when complete).
#include <cstring>
#include <string>

#include "checking/compact_state.h"
#include "storage/compact_files.h"
#include "storage/spell_body.h"
#include "storage/spell_file_format.h"
#include "wordloom/dictionary/velk_wordloom.h"
#include "wordloom/platform/coding.h"
#include "wordloom/platform/exceptions.h"
#include "wordloom/platform/file_writer.h"
#include "wordloom/platform/form_file.h"
#include "wordloom/platform/wipe.h"
#include "wordloom/weaksecurity/weak_cipher.h"

namespace wordloom {

namespace {

// Runs a clean-up when the scope ends, however it ends.
template <typename F>
class Finally {
 public:
  explicit Finally(F f) : FAction(std::move(f)) {}
  ~Finally() { FAction(); }
  Finally(const Finally&) = delete;
  Finally& operator=(const Finally&) = delete;

 private:
  F FAction;
};

constexpr const char* kAskPasswordCaption = "File is protected";
constexpr const char* kNewPasswordCaption = "Enter password for new dictionary";
constexpr const char* kWrongPassword = "Wrong password";

std::string RevertQuestion(const std::string& file) {
  return "Revert to saved spell file: " + file +
         "? (If you choose \"Yes\" then all changes will be lost.)";
}

std::string OpenAnotherQuestion(const std::string& file, const std::string& current) {
  return "Opening " + file + " will cause the changes made to " + current +
         " to be lost. Save " + current + " first? (Choose \"Abort\" if you no longer want to open " +
         file + ".)";
}

std::string OverwriteQuestion(const std::string& file) {
  return "File " + file + " already exists. Overwrite?";
}

std::uint32_t ReadU32(const TReadBlockMethod& read) {
  std::uint8_t b[4];
  read(b, 4);
  return DecodeFixed(b, 4);
}

void WriteU32(const TWriteBlockMethod& write, std::uint32_t v) {
  std::uint8_t b[4];
  EncodeFixed(b, v, 4);
  write(b, 4);
}

// The format character a header describes, built from a neutral one so that
// any token and replacement that agree with each other are accepted, whatever
// the dictionary held before. EReadError when they do not agree.
void BuildFormatChar(const detail::SpellHeader& header, bool no_replacement, TFormatChar& out) {
  out.SetNoReplacement(no_replacement);
  try {
    out.SetToken(header.Token);
    out.SetReplacement(header.Replacement);
  } catch (const EPropertyError& e) {
    throw EReadError(std::string("spell file: ") + e.what());
  }
}

}  // namespace

bool TVelkWordloom::FileAccessAllowed() const {
  return Designing() == FSpellFileOptions.Contains(wlsHardCoded);
}

// ---- the header and the body ----

void TVelkWordloom::WriteSpellHeader() {
  // The delimiter set as eight little-endian words: code c at bit c mod 32 of
  // word c div 32, which is the set's own byte layout.
  const TCharSet::Bytes bytes = GetDelimiters().ToBytes();
  for (int w = 0; w < 8; ++w) {
    std::uint8_t word[4];
    std::memcpy(word, bytes.data() + 4 * w, 4);
    WriteBlock(word, 4);
  }
  std::uint8_t option = detail::EncodeOptionByte(FDelimiterOption, FEncodedBlockSize,
                                                 FUnencodedBlockSize, FTypeOfInput);
  WriteBlock(&option, 1);
  std::uint8_t token = FFormatChar.GetToken();
  WriteBlock(&token, 1);
  std::string replacement = FFormatChar.GetReplacement();
  WriteU32(WriteBlock, static_cast<std::uint32_t>(replacement.size()));
  if (!replacement.empty()) {
    WriteBlock(replacement.data(), static_cast<std::uint32_t>(replacement.size()));
  }
}

detail::SpellHeader TVelkWordloom::ReadSpellHeader() {
  detail::SpellHeader header;
  TCharSet::Bytes bytes{};
  for (int w = 0; w < 8; ++w) ReadBlock(bytes.data() + 4 * w, 4);
  header.Delimiters = TCharSet::FromBytes(bytes);
  std::uint8_t option = 0;
  ReadBlock(&option, 1);
  detail::DecodeOptionByte(option, header);
  ReadBlock(&header.Token, 1);
  const std::uint32_t length = ReadU32(ReadBlock);
  if (SpellStream != nullptr && length > StreamBytesLeft()) {
    throw EReadError("spell file: replacement length " + std::to_string(length) +
                     " larger than the file");
  }
  header.Replacement.resize(length);
  if (length > 0) ReadBlock(header.Replacement.data(), length);
  TFormatChar check;
  BuildFormatChar(header, FFormatChar.NoReplacement(), check);
  return header;
}

void TVelkWordloom::ApplySpellHeader(const detail::SpellHeader& Header) {
  TFormatChar format_char;
  BuildFormatChar(Header, FFormatChar.NoReplacement(), format_char);
  SetDelimiters(Header.Delimiters);
  SetDelimiterOption(Header.DelimiterOption);
  // Set directly: the words that come with the header fit it, and a reduction
  // at this point would cut the file's own words.
  FEncodedBlockSize = Header.EncodedBlockSize;
  SetUnencodedBlockSize(Header.UnencodedBlockSize);  // a stored 0 keeps the value
  SetTypeOfInput(Header.TypeOfInput);
  FFormatChar.Assign(&format_char);
}

void TVelkWordloom::WriteSpellFile() {
  int position = FProgress->GetPosition();
  detail::WriteSpellBody(
      *FNodeList, WriteBlock, [&] { FProgress->SetPosition(++position); },
      [] { ApplicationServices().ProcessMessages(); });
}

void TVelkWordloom::ReadSpellFile() {
  detail::WordTrie fresh;
  ReadSpellBodyInto(fresh);
  FNodeList.Reset();
  FNodeList->Swap(fresh);
  FCompact.reset();
  FCurrentNode = 0;
  FSpellModified = false;
}

void TVelkWordloom::ReadSpellBodyInto(detail::WordTrie& Fresh) {
  const std::uint64_t remaining = SpellStream != nullptr ? StreamBytesLeft() : UINT64_MAX;
  detail::ReadSpellBody(
      ReadBlock, remaining, Fresh,
      [&](std::uint32_t total) {
        FProgress->SetMax(static_cast<int>(std::min<std::uint64_t>(total, INT32_MAX)));
      },
      [this](std::uint32_t done) { FProgress->SetPosition(static_cast<int>(done)); },
      [] { ApplicationServices().ProcessMessages(); });
}

std::uint64_t TVelkWordloom::StreamBytesLeft() {
  // StreamPos 0 means the load is used up (or none was made).
  const std::uint64_t buffered = StreamPos != 0 && FStreamFill > StreamPos ? FStreamFill - StreamPos : 0;
  const std::int64_t rest = SpellStream->Size() - SpellStream->Position();
  return buffered + static_cast<std::uint64_t>(rest > 0 ? rest : 0);
}

// ---- opening ----

bool TVelkWordloom::RequestSpellAccess(std::string& Password, const std::string& FileName) {
  if (!ApplicationServices().AskFilePassword(kAskPasswordCaption, FileName, Password)) return false;
  try {
    Cipher = std::make_unique<TWeakCipher>(Password);
  } catch (const Exception&) {
    // A password the cipher refuses cannot be the one the file was saved with.
    ApplicationServices().ShowMessage(kWrongPassword);
    return false;
  }
  Cipher->InitVector();
  ReadBlock = [this](void* b, std::uint32_t n) { ReadCiphBlockFromStream(b, n); };
  std::string check(Password.size(), '\0');
  if (!check.empty()) ReadBlock(check.data(), static_cast<std::uint32_t>(check.size()));
  const bool same = check == Password;
  Wipe(check);
  if (!same) {
    ApplicationServices().ShowMessage(kWrongPassword);
    Cipher.reset();
    return false;
  }
  return true;
}

void TVelkWordloom::OpenSpellFile(const std::string& FileName) {
  // Whether to open at all.
  if (!FileExists(FileName) || !FileAccessAllowed()) return;
  TApplicationServices& app = ApplicationServices();
  if (FileName == FSpellFileName) {
    if (!FSpellModified) return;  // already loaded
    if (FSpellFileOptions.Contains(wlsPromptOnModified) &&
        app.MessageDlg(RevertQuestion(FileName), mtConfirmation, {mbYes, mbNo}) != mrYes) {
      return;
    }
  } else if (FSpellModified && FSpellFileOptions.Contains(wlsPromptOnModified)) {
    const TModalResult answer = app.MessageDlg(OpenAnotherQuestion(FileName, FSpellFileName),
                                               mtConfirmation, {mbYes, mbNo, mbAbort});
    // Only Yes and No go on: a dialog closed without an answer loses nothing.
    if (answer != mrYes && answer != mrNo) return;
    if (answer == mrYes) SaveSpellFile(FSpellFileName, FileProtected);
  }

  // The stream, with its clean-up however the open ends; the marker; a
  // protected file asks for its password.
  Finally cleanup([this] { EndStreamRead(); });
  bool is_protected = false;
  if (!BeginFileRead(FileName, /*ShortIsPlain=*/false, is_protected)) return;

  // Read everything before anything changes.
  FProgress->SetPosition(0);
  if (FShowProgress) FProgress->Show();
  const detail::SpellHeader header = ReadSpellHeader();
  // An unprotected file with a compact form is opened through it: its nodes
  // are read when first needed. The form of a protected file would keep its
  // words in the clear, so it has none.
  std::shared_ptr<detail::KeyedSpellFile> keyed;
  if (!is_protected && OpenThroughCompactForm(FileName, header, keyed)) {
    FSpellFileName = FileName;
    FileProtected = false;
    FSpellModified = false;
    return;
  }
  detail::WordTrie fresh;
  ReadSpellBodyInto(fresh);

  // The file was read and checked: it becomes the dictionary.
  ApplySpellHeader(header);
  FNodeList.Reset();
  FNodeList->Swap(fresh);
  FCurrentNode = 0;
  FSpellFileName = FileName;
  FileProtected = is_protected;
  FSpellModified = false;
  FCompact.reset();
  if (keyed) MakeCompactForm(*keyed);
}

// ---- saving ----

bool TVelkWordloom::BeginFileRead(const std::string& FileName, bool ShortIsPlain,
                                  bool& IsProtected) {
  FOwnedStream = std::make_unique<TFileStream>(FileName, fmOpenRead | fmShareDenyWrite);
  BeginStreamRead(*FOwnedStream);
  IsProtected = false;
  if (ShortIsPlain && SpellStream->Size() < 4) return true;
  char marker[4];
  ReadBlock(marker, 4);
  IsProtected = std::memcmp(marker, detail::kProtectedMarker, 4) == 0;
  if (!IsProtected) return true;
  std::string password;
  const bool granted = RequestSpellAccess(password, FileName);
  Wipe(password);
  // The calls that held the password left copies in their frames.
  WipeStack();
  return granted;
}

void TVelkWordloom::EndStreamRead() {
  SpellStream = nullptr;
  FOwnedStream.reset();
  Cipher.reset();
  FProgress->Hide();
}

bool TVelkWordloom::CheckProtectedFile(const std::string& FileName) {
  Finally cleanup([this] { EndStreamRead(); });
  bool is_protected = false;
  return BeginFileRead(FileName, /*ShortIsPlain=*/true, is_protected);
}

void TVelkWordloom::WriteWholeSpellFile(TStream& Stream, const std::string* Password) {
  BeginStreamWrite(Stream);
  if (Password != nullptr) {
    char marker[4];
    std::memcpy(marker, detail::kProtectedMarker, 4);
    WriteBlock(marker, 4);
    WriteBlock = [this](void* b, std::uint32_t n) { WriteCiphBlockToStream(b, n); };
    Cipher->InitVector();
    // The password enciphers in place: a scratch copy, wiped afterwards.
    std::string scratch = *Password;
    WriteBlock(scratch.data(), static_cast<std::uint32_t>(scratch.size()));
    Wipe(scratch);
  } else {
    char marker[4];
    std::memcpy(marker, detail::kPublicMarker, 4);
    WriteBlock(marker, 4);
  }
  const std::uint64_t total = std::uint64_t{FNodeList->NodeCount()} + FNodeList->WordCount();
  FProgress->SetMax(static_cast<int>(std::min<std::uint64_t>(total, INT32_MAX)));
  FProgress->SetPosition(0);
  if (FShowProgress) FProgress->Show();
  WriteSpellHeader();
  WriteSpellFile();
  FlushStreamWrite();
}

void TVelkWordloom::SaveSpellFile(const std::string& FileName, bool Protect) {
  // Whether to save at all.
  // Counted without reading the nodes of a dictionary opened through its
  // compact form: an up-to-date file is not written, and needs no nodes.
  if (GetNodeCount() == 0 || WordCount() == 0) return;
  if (!FileAccessAllowed()) return;
  TApplicationServices& app = ApplicationServices();
  const bool current = FileName == FSpellFileName;
  if (current && !FSpellModified) return;  // up to date
  const bool exists = FileExists(FileName);
  if (!current && exists && FSpellFileOptions.Contains(wlsPromptOnReplace) &&
      app.MessageDlg(OverwriteQuestion(FileName), mtConfirmation, {mbYes, mbNo}) != mrYes) {
    return;
  }
  // A protected file is replaced only by who knows its password.
  if (exists && !CheckProtectedFile(FileName)) return;
  // The new password, asked once.
  std::string password;
  Finally wipe_password([&password] {
    Wipe(password);
    WipeStack();  // what the calls that had it left in their frames
  });
  if (Protect && !app.AskFilePassword(kNewPasswordCaption, FileName, password)) return;

  // Everything that can refuse does so before a byte is written: the option
  // byte and the cipher of the new password.
  detail::EncodeOptionByte(FDelimiterOption, FEncodedBlockSize, FUnencodedBlockSize, FTypeOfInput);
  Finally release_cipher([this] { Cipher.reset(); });
  if (Protect) Cipher = std::make_unique<TWeakCipher>(password);

  // Written to a temporary, forced to disk and put in place by FileWriter,
  // which follows links, writes special files in place and refuses read-only
  // targets.
  FileWriter().Save(FileName, [&](TStream& file) {
    Finally cleanup([this] {
      SpellStream = nullptr;
      FProgress->Hide();
    });
    WriteWholeSpellFile(file, Protect ? &password : nullptr);
  });
  FSpellFileName = FileName;
  FSpellModified = false;
}

void TVelkWordloom::SetSpellFileName(const std::string& Value) {
  OpenSpellFile(Value);
  SaveSpellFile(Value, FileProtected);
}

// ---- the "SpellFile" property of a hard-coded dictionary ----

void TVelkWordloom::DefineProperties(TFiler& Filer) {
  Filer.DefineBinaryProperty(
      "SpellFile", [this](TStream& s) { ReadSpellFileFromStream(s); },
      [this](TStream& s) { WriteSpellFileToStream(s); },
      FSpellFileOptions.Contains(wlsHardCoded));
  TRndComponent::DefineProperties(Filer);
}

void TVelkWordloom::ReadSpellFileFromStream(TStream& Stream) {
  BeginStreamRead(Stream);
  Finally cleanup([this] { SpellStream = nullptr; });
  // Into a fresh trie: whatever the dictionary held is replaced.
  ReadSpellFile();
}

void TVelkWordloom::WriteSpellFileToStream(TStream& Stream) {
  BeginStreamWrite(Stream);
  Finally cleanup([this] { SpellStream = nullptr; });
  FProgress->SetPosition(0);
  WriteSpellFile();
  FlushStreamWrite();
}

}  // namespace wordloom
