#include "default_dictionary.h"

#include <QCoreApplication>
#include <QFile>

#include "wordloom/import/hunspell_import.h"

namespace wordloom::editor {

namespace {

const DictionaryFolders& EditorFolders() {
  static const DictionaryFolders folders =
      StandardDictionaryFolders(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
  return folders;
}

}  // namespace

EditorDictionary FindEditorDictionary(const QString& Given) {
  const std::string given =
      Given.isEmpty() ? DefaultDictionary() : QFile::encodeName(Given).toStdString();
  FoundDictionary found = FindDictionary(given, EditorFolders());
  // A language only Hunspell has is imported once into the user's cache.
  ImportFoundDictionary(found, {});
  EditorDictionary out;
  out.Path = QFile::decodeName(found.Path.c_str());
  out.Shared = !IsDictionaryPath(given);
  out.PersonalList = PersonalListPath(found.Name, EditorFolders());
  return out;
}

std::string PersonalListFor(const QString& DictionaryFile) {
  // A path is named after its file; FindDictionary says how.
  QString path = DictionaryFile;
  if (!IsDictionaryPath(QFile::encodeName(path).toStdString())) path.prepend(QStringLiteral("./"));
  return PersonalListPath(FindDictionary(QFile::encodeName(path).toStdString(), EditorFolders()).Name,
                          EditorFolders());
}

TCheckResults PersonalListCheckDlg::Execute(TVelkSpellChecker* Checker, std::string& AWord) {
  const TCheckResults result = FInner->Execute(Checker, AWord);
  if (result == crAdd) FOnAdd(AWord);
  return result;
}

}  // namespace wordloom::editor
