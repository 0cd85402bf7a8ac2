// Feeds arbitrary bytes to the spell file reader: the first byte chooses a bare
// body (the stored "SpellFile" property) or a whole file (marker, password
// check, header, body; the password asked for is "pw"). Whatever the bytes,
// the reader either loads a dictionary that saves and loads again to the same
// words, or raises EReadError and leaves the dictionary as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/scratch_folder.h"
#include "wordloom/wordloom.h"

namespace {

using namespace wordloom;

// The file a whole-file input is written to, in a folder of the fuzzer's own.
std::string TempName() {
  static const ScratchFolder folder;
  static const std::string name = folder.File("input.spl");
  return name;
}

// The bytes of a dictionary's body.
std::string Body(TVelkWordloom& dict) {
  TMemoryStream out;
  dict.WriteSpellFileToStream(out);
  return out.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  TScriptedServices services;
  ScopedApplicationServices scope(services);
  services.PasswordNext("pw");

  TVelkWordloom dict(nullptr);
  dict.SetSpellFileOptions({});
  try {
    if ((data[0] & 1) == 0) {
      TMemoryStream in(bytes);
      dict.ReadSpellFileFromStream(in);
    } else {
      TMemoryStream(bytes).SaveToFile(TempName());
      dict.OpenSpellFile(TempName());
    }
  } catch (const EReadError&) {
    if (dict.GetNodeCount() != 0 || dict.WordCount() != 0) std::abort();
    return 0;
  }
  // What was read is a sound dictionary: it writes and reads back the same.
  const std::string once = Body(dict);
  TMemoryStream again_in(once);
  TVelkWordloom again(nullptr);
  again.ReadSpellFileFromStream(again_in);
  if (Body(again) != once) std::abort();
  // Every word is found again by its letters, with its frequency.
  for (std::uint32_t w = 0; w < dict.WordCount(); ++w) {
    const TWordEntry entry = dict.WordTableEntry(w);
    const std::string word = dict.ExtractSpellWord(static_cast<std::uint32_t>(entry.Node));
    if (dict.Frequency(word) != entry.Frequency) std::abort();
  }
  return 0;
}
