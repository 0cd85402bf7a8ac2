// Saves a password-protected dictionary and opens it again. The first byte is
// the password's length (up to 31), then the password, then text whose words
// are learned. Whatever the password: the save either writes a file or is
// refused with an exception of the library (and leaves no file); a written
// file opens with the same password to the same words and frequencies, and a
// wrong password opens nothing and leaves the dictionary empty.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/scratch_folder.h"
#include "wordloom/wordloom.h"

namespace {

using namespace wordloom;

// Files go to a folder of the fuzzer's own, in memory where the machine has
// one: saves force their data to the disk.
const ScratchFolder& Folder() {
  static const ScratchFolder folder(std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "");
  return folder;
}

// Every word of Dict with its frequency, in word-number order.
std::string Listing(TVelkWordloom& dict) {
  std::string out;
  for (std::uint32_t w = 0; w < dict.WordCount(); ++w) {
    const TWordEntry entry = dict.WordTableEntry(w);
    out += dict.ExtractSpellWord(static_cast<std::uint32_t>(entry.Node));
    out += '\t' + std::to_string(entry.Frequency) + '\n';
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 2048) return 0;
  const std::size_t length = std::min<std::size_t>(data[0] & 31, size - 1);
  const std::string password(reinterpret_cast<const char*>(data) + 1, length);
  const std::string text(reinterpret_cast<const char*>(data) + 1 + length, size - 1 - length);
  const std::string file = Folder().File("protected.spl");
  std::filesystem::remove(file);

  TScriptedServices services;
  ScopedApplicationServices scope(services);
  TVelkWordloom dict(nullptr);
  dict.SetSpellFileOptions({});
  dict.SetDelimiterOption(wldExclFirstSucc);
  TMemoryStream stream(text);
  dict.AddStreamToSpell(stream);
  if (dict.WordCount() == 0) return 0;
  services.PasswordNext(password);
  try {
    dict.SaveSpellFile(file, true);
  } catch (const Exception&) {
    if (std::filesystem::exists(file)) std::abort();  // a refused save writes nothing
    return 0;
  }
  if (!std::filesystem::exists(file)) return 0;  // the password request was refused

  TVelkWordloom right(nullptr);
  right.SetSpellFileOptions({});
  services.PasswordNext(password);
  right.OpenSpellFile(file);
  if (right.SpellFileName() != file || Listing(right) != Listing(dict)) std::abort();

  TVelkWordloom wrong(nullptr);
  wrong.SetSpellFileOptions({});
  services.PasswordNext(password + "x");
  try {
    wrong.OpenSpellFile(file);
  } catch (const Exception&) {
  }
  if (wrong.WordCount() != 0 || wrong.SpellFileName() == file) std::abort();
  return 0;
}
