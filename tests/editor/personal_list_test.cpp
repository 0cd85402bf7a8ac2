// The editor's dictionary by name and its personal word list: "Add to
// dictionary" and a check's Add keep the word in the user's personal list
// and never write the shared dictionary.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTextCursor>
#include <cstdlib>
#include <memory>

#include "default_dictionary.h"
#include "editor_window.h"
#include "support/dictionary.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace wordloom::editor {
namespace {

using testing_support::ReadFile;
using testing_support::TempDir;

// A check dialog that answers Add with the word it is given.
class AddingDialog : public TCustomSpellCheckDlg {
 public:
  using TCustomSpellCheckDlg::TCustomSpellCheckDlg;
  TCheckResults Execute(TVelkSpellChecker*, std::string& AWord) override {
    AWord = "Zorkish";
    return crAdd;
  }
};

TEST(EditorPersonalList, AddToDictionaryKeepsTheWordInThePersonalListOnly) {
  // The user's folders and the dictionaries are the test's own. The folders
  // are read once per process, so this is the one test that names them.
  const TempDir dir;
  ASSERT_EQ(setenv("HOME", dir.File("home").c_str(), 1), 0);
  ASSERT_EQ(setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1), 0);
  ASSERT_EQ(setenv("XDG_CACHE_HOME", dir.File("cache").c_str(), 1), 0);
  ASSERT_EQ(setenv("WORDLOOM_PATH", dir.Path().string().c_str(), 1), 0);
  {
    TVelkWordloom dict(nullptr);
    dict.SetDelimiterOption(wldExclFirstSucc);
    dict.SetDelimiters(Utf8Delimiters());
    testing_support::AddWords(dict, {"the", "cat", "sat"});
    dict.SaveSpellFile(dir.File("xx_TS.spl"), false);
  }
  const std::string shared = ReadFile(dir.File("xx_TS.spl"));

  // A name finds the dictionary; a name found nowhere is refused.
  const EditorDictionary found = FindEditorDictionary(QStringLiteral("xx-ts"));
  EXPECT_TRUE(found.Shared);
  EXPECT_EQ(found.PersonalList, dir.File("data") + "/wordloom/personal/xx_TS.txt");
  EXPECT_THROW(FindEditorDictionary(QStringLiteral("no_such_dictionary")), EDictionaryNotFound);

  EditorWindow window;
  window.SetBatch(true);
  ASSERT_TRUE(window.OpenNamedDictionary(QStringLiteral("xx_TS")));
  window.Edit()->setPlainText(QStringLiteral("the cat zork sat"));
  window.show();
  QApplication::processEvents();

  QTextCursor at_zork(window.Edit()->document());
  at_zork.setPosition(9);
  std::unique_ptr<QMenu> menu(
      window.Edit()->SpellContextMenu(window.Edit()->cursorRect(at_zork).center()));
  auto* add = menu->findChild<QAction*>(QStringLiteral("AddWordAction"));
  ASSERT_NE(add, nullptr);
  add->trigger();
  EXPECT_EQ(ReadFile(found.PersonalList), "zork\n");
  EXPECT_EQ(window.MarkedWordCount(), 0);
  // Nothing to save on closing, and the shared file is as it was.
  EXPECT_FALSE(window.Checker().SpellModified());
  EXPECT_EQ(ReadFile(dir.File("xx_TS.spl")), shared);

  // A word added in a check goes to the list too.
  AddingDialog inner(nullptr);
  std::vector<std::string> added;
  PersonalListCheckDlg dialog(&inner, [&](const std::string& w) { added.push_back(w); });
  std::string word = "zorkish";
  EXPECT_EQ(dialog.Execute(&window.Checker(), word), crAdd);
  EXPECT_THAT(added, testing::ElementsAre("Zorkish"));

  // Another window of the same dictionary knows the personal word.
  EditorWindow again;
  again.SetBatch(true);
  ASSERT_TRUE(again.OpenNamedDictionary(QStringLiteral("xx_TS")));
  again.Edit()->setPlainText(QStringLiteral("the zork"));
  again.show();
  QApplication::processEvents();
  EXPECT_EQ(again.MarkedWordCount(), 0);
  EXPECT_THAT(again.PersonalList().Words(), testing::ElementsAre("zork"));
}

}  // namespace
}  // namespace wordloom::editor

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
