// Which dictionary the editor opens, found as the command-line tool finds it
// (wordloom/storage/dictionary_search.h), and the personal word list that
// goes with it.
#pragma once

#include <wordloom/wordloom.h>

#include <QString>
#include <functional>
#include <string>

namespace wordloom::editor {

struct EditorDictionary {
  // The spell file to open.
  QString Path;
  // Found by name (not given as a path): a shared dictionary, which the
  // editor never writes.
  bool Shared = false;
  // The personal word list of the dictionary's name, in the user's data folder.
  std::string PersonalList;
};

// The dictionary Given names: a path, a name ("en_GB", "british") or, when
// empty, DefaultDictionary(). Raises EDictionaryNotFound (one line) when
// there is none, also when only a Hunspell dictionary of that name is
// installed.
EditorDictionary FindEditorDictionary(const QString& Given);

// The personal word list of a dictionary opened by path: the one of its
// file's name.
std::string PersonalListFor(const QString& DictionaryFile);

// A check dialog in front of another that tells OnAdd each word the user
// adds, so that it goes to the personal word list too. Inner is not owned.
class PersonalListCheckDlg : public TCustomSpellCheckDlg {
 public:
  WORDLOOM_OBJECT(PersonalListCheckDlg)
  PersonalListCheckDlg(TCustomSpellCheckDlg* Inner, std::function<void(const std::string&)> OnAdd)
      : TCustomSpellCheckDlg(nullptr), FInner(Inner), FOnAdd(std::move(OnAdd)) {}
  TCheckResults Execute(TVelkSpellChecker* Checker, std::string& AWord) override;

 private:
  TCustomSpellCheckDlg* FInner;
  std::function<void(const std::string&)> FOnAdd;
};

}  // namespace wordloom::editor
