// A user's personal word list: plain UTF-8, one word a line, as Hunspell and
// Aspell keep theirs. The words a user adds while checking go here, never
// into a shared dictionary; saving goes through FileWriter.
//
//   PersonalWordList list(PersonalListPath("en_US", folders));
//   list.Load();              // when the file exists
//   list.Add("Wordloom");
//   list.Save();              // creates the folder when needed
#pragma once

#pragma GCC visibility push(default)

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace wordloom {

class PersonalWordList {
 public:
  explicit PersonalWordList(std::string File = {}) : FFile(std::move(File)) {}

  // The file; empty for a list kept in memory only.
  const std::string& File() const { return FFile; }
  // Reads File's words when it exists (a missing or unreadable file leaves
  // the list empty): surrounding blanks and empty lines dropped, each word
  // once. EReadError for a file holding a NUL byte: it is no word list, and
  // a later save would replace it.
  void Load();
  // Replaces the words by those of Text, the bytes of a list, as Load reads
  // them. EReadError (naming File) for a NUL byte; the list is then empty.
  void SetText(std::string_view Text);
  // Adds Word; false when it is empty, holds a line break or is there already.
  bool Add(std::string_view Word);
  bool Contains(const std::string& Word) const { return FSeen.count(Word) != 0; }
  // The words in the order they were read and added.
  const std::vector<std::string>& Words() const { return FWords; }
  // Whether words were added since the last Load or Save.
  bool Modified() const { return FModified; }
  // Whether Save makes the file's folder when it is missing (the user's data
  // folder before the first save); off, a missing folder is an error.
  void SetMakeFolder(bool Value) { FMakeFolder = Value; }
  // Writes the words to File, one a line, through FileWriter (replaced only
  // once completely written). EWriteError (naming the file and the reason)
  // on failure; nothing to do without File.
  void Save();

 private:
  std::string FFile;
  std::vector<std::string> FWords;
  std::unordered_set<std::string> FSeen;
  bool FModified = false;
  bool FMakeFolder = false;
};

}  // namespace wordloom

#pragma GCC visibility pop
