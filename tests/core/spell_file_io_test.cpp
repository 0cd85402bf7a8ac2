#include <gtest/gtest.h>
#include <wordloom/platform/application_services.h>
#include <wordloom/platform/form_file.h>
#include <wordloom/platform/scripted_services.h>
#include <wordloom/wordloom.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/dictionary.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace wordloom {
namespace {

namespace fs = std::filesystem;
using Dict = std::map<std::string, std::uint32_t>;
using Names = std::vector<std::string>;

const std::string kProtected = "File is protected";
const std::string kNewPassword = "Enter password for new dictionary";

using testing_support::AddWords;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WordFrequencies;

class SpellFileIoTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.File(name); }
  Names Listing() const {
    Names names;
    for (const auto& e : fs::directory_iterator(dir_.Path()))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // Writes a plain spell file holding Words, replacing any file there.
  static void MakeFile(const std::string& path, const Names& words) {
    TVelkWordloom d(nullptr);
    d.SetSpellFileOptions({});
    AddWords(d, words);
    d.SaveSpellFile(path, false);
    ASSERT_EQ(d.SpellFileName(), path);
  }
  // What a fresh dictionary reads from the file (answering a password request with Password).
  static Dict Contents(TScriptedServices& app, const std::string& path,
                       std::optional<std::string> password = std::nullopt) {
    if (password) app.PasswordNext(password);
    TVelkWordloom d(nullptr);
    d.OpenSpellFile(path);
    EXPECT_EQ(d.SpellFileName(), path);
    EXPECT_EQ(d.IsFileProtected(), password.has_value());
    EXPECT_FALSE(d.SpellModified());
    return WordFrequencies(d);
  }

  TempDir dir_;
};

TEST_F(SpellFileIoTest, SaveAndOpenRoundTripAndTheNoOpCases) {
  TScriptedServices app;
  ScopedApplicationServices scope(app);
  const std::string a = Path("a.wl");
  TVelkWordloom empty(nullptr);
  empty.InitFirstSpellNode();
  empty.SaveSpellFile(a, false);  // no words: nothing written
  EXPECT_EQ(empty.SpellFileName(), "");
  EXPECT_TRUE(Listing().empty());

  TVelkWordloom d(nullptr);
  AddWords(d, {"alpha", "beta", "beta", "gamma"});
  d.SaveSpellFile(a, false);
  EXPECT_EQ(ReadFile(a).substr(0, 4), "PUBL");
  EXPECT_EQ(d.SpellFileName(), a);
  EXPECT_FALSE(d.SpellModified());
  EXPECT_FALSE(d.IsFileProtected());
  EXPECT_EQ(Contents(app, a), (Dict{{"alpha", 1}, {"beta", 2}, {"gamma", 1}}));

  TVelkWordloom e(nullptr);
  e.OpenSpellFile(Path("missing.wl"));
  EXPECT_EQ(e.WordCount(), 0u);
  EXPECT_EQ(e.SpellFileName(), "");
  e.OpenSpellFile(a);
  EXPECT_EQ(e.NodeCount(), d.NodeCount());

  // The current, unmodified file is neither reloaded nor saved again: a file
  // swapped behind the dictionaries' backs shows which happened.
  MakeFile(a, {"zeta"});
  const std::string swapped = ReadFile(a);
  e.OpenSpellFile(a);
  EXPECT_EQ(WordFrequencies(e), WordFrequencies(d));
  d.SaveSpellFile(a, false);
  EXPECT_EQ(ReadFile(a), swapped);

  // A deletion is a change: saving to the current file writes it, unasked.
  d.DeleteFromSpell("gamma");
  EXPECT_TRUE(d.SpellModified());
  d.SaveSpellFile(a, false);
  EXPECT_FALSE(d.SpellModified());
  EXPECT_EQ(Contents(app, a), (Dict{{"alpha", 1}, {"beta", 2}}));
  EXPECT_TRUE(app.Questions().empty());
  EXPECT_TRUE(app.PasswordCaptions().empty());
  EXPECT_TRUE(app.Messages().empty());
}

TEST_F(SpellFileIoTest, SaveWritesThroughALinkAndRefusesAReadOnlyFile) {
  TScriptedServices app;
  ScopedApplicationServices scope(app);
  fs::create_directory(dir_.Path() / "real");
  const std::string real = Path("real/a.wl");
  MakeFile(real, {"zeta"});
  fs::create_symlink("real/a.wl", dir_.Path() / "link.wl");
  TVelkWordloom d(nullptr);
  d.SetSpellFileOptions({});
  AddWords(d, {"alpha", "beta"});
  d.SaveSpellFile(Path("link.wl"), false);
  EXPECT_TRUE(fs::is_symlink(dir_.Path() / "link.wl"));
  EXPECT_EQ(Contents(app, real), (Dict{{"alpha", 1}, {"beta", 1}}));
  EXPECT_EQ(Listing(), (Names{"link.wl", "real"}));

  // Refused before a byte is written; the dictionary stays modified.
  const std::string before = ReadFile(real);
  fs::permissions(real, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  d.AddToSpell("gamma");
  EXPECT_THROW(d.SaveSpellFile(Path("link.wl"), false), EWriteError);
  EXPECT_TRUE(d.SpellModified());
  EXPECT_EQ(ReadFile(real), before);
}

TEST_F(SpellFileIoTest, RevertQuestionYesReloadsNoKeepsChanges) {
  TScriptedServices app;
  ScopedApplicationServices scope(app);
  const std::string a = Path("a.wl");
  TVelkWordloom d(nullptr);
  AddWords(d, {"one"});
  d.SaveSpellFile(a, false);
  const std::string saved = ReadFile(a);
  d.AddToSpell("two");

  app.AnswerNext(mrNo);
  d.OpenSpellFile(a);
  ASSERT_EQ(app.Questions().size(), 1u);
  EXPECT_EQ(app.Questions()[0].Text,
            "Revert to saved spell file: " + a +
                "? (If you choose \"Yes\" then all changes will be lost.)");
  EXPECT_EQ(app.Questions()[0].Type, mtConfirmation);
  EXPECT_TRUE(app.Questions()[0].Buttons == (TMsgDlgButtons{mbYes, mbNo}));
  EXPECT_EQ(WordFrequencies(d), (Dict{{"one", 1}, {"two", 1}}));
  EXPECT_TRUE(d.SpellModified());

  app.AnswerNext(mrYes);
  d.OpenSpellFile(a);
  EXPECT_EQ(app.Questions().size(), 2u);
  EXPECT_EQ(WordFrequencies(d), (Dict{{"one", 1}}));
  EXPECT_FALSE(d.SpellModified());
  EXPECT_EQ(ReadFile(a), saved);
}

TEST_F(SpellFileIoTest, OpenAnotherFileWithChangesFollowsTheAnswer) {
  const std::string a = Path("a.wl"), b = Path("b.wl");
  for (TModalResult answer : {mrYes, mrNo, mrAbort, mrCancel}) {
    SCOPED_TRACE(answer);
    fs::remove(a);
    TScriptedServices app;
    ScopedApplicationServices scope(app);
    MakeFile(b, {"other"});
    TVelkWordloom d(nullptr);
    AddWords(d, {"one"});
    d.SaveSpellFile(a, false);
    const std::string a_before = ReadFile(a);
    d.AddToSpell("two");

    app.AnswerNext(answer);
    d.OpenSpellFile(b);
    ASSERT_EQ(app.Questions().size(), 1u);
    EXPECT_EQ(app.Questions()[0].Text,
              "Opening " + b + " will cause the changes made to " + a + " to be lost. Save " + a +
                  " first? (Choose \"Abort\" if you no longer want to open " + b + ".)");
    EXPECT_TRUE(app.Questions()[0].Buttons == (TMsgDlgButtons{mbYes, mbNo, mbAbort}));
    const bool opened = answer == mrYes || answer == mrNo;
    EXPECT_EQ(d.SpellFileName(), opened ? b : a);
    EXPECT_EQ(d.SpellModified(), !opened);
    EXPECT_EQ(WordFrequencies(d), (opened ? Dict{{"other", 1}} : Dict{{"one", 1}, {"two", 1}}));
    if (answer == mrYes) {
      EXPECT_EQ(Contents(app, a), (Dict{{"one", 1}, {"two", 1}}));
    } else {
      EXPECT_EQ(ReadFile(a), a_before);
    }
    d.SetSpellFileOptions({});  // no save on destruction
  }
}

TEST_F(SpellFileIoTest, OverwriteQuestionGuardsOtherExistingFiles) {
  TScriptedServices app;
  ScopedApplicationServices scope(app);
  const std::string b = Path("b.wl"), c = Path("c.wl");
  MakeFile(b, {"other"});
  const std::string before = ReadFile(b);
  TVelkWordloom d(nullptr);
  AddWords(d, {"mine"});

  app.AnswerNext(mrNo);
  d.SaveSpellFile(b, false);
  ASSERT_EQ(app.Questions().size(), 1u);
  EXPECT_EQ(app.Questions()[0].Text, "File " + b + " already exists. Overwrite?");
  EXPECT_TRUE(app.Questions()[0].Buttons == (TMsgDlgButtons{mbYes, mbNo}));
  EXPECT_EQ(ReadFile(b), before);
  EXPECT_EQ(d.SpellFileName(), "");
  EXPECT_TRUE(d.SpellModified());
  EXPECT_EQ(Listing(), Names{"b.wl"});

  app.AnswerNext(mrYes);
  d.SaveSpellFile(b, false);
  EXPECT_EQ(d.SpellFileName(), b);
  EXPECT_FALSE(d.SpellModified());
  EXPECT_EQ(Contents(app, b), (Dict{{"mine", 1}}));

  // The current file, modified, is saved unasked; so is another file without
  // wlsPromptOnReplace.
  d.AddToSpell("more");
  d.SaveSpellFile(b, false);
  MakeFile(c, {"third"});
  d.SetSpellFileOptions({wlsPromptOnModified});
  d.AddToSpell("again");
  d.SaveSpellFile(c, false);
  EXPECT_EQ(app.Questions().size(), 2u);
  EXPECT_EQ(Contents(app, b), (Dict{{"mine", 1}, {"more", 1}}));
  EXPECT_EQ(Contents(app, c), (Dict{{"mine", 1}, {"more", 1}, {"again", 1}}));
  EXPECT_EQ(Listing(), (Names{"b.wl", "c.wl"}));
}

TEST_F(SpellFileIoTest, ProtectedFileNeedsTheRightPassword) {
  TScriptedServices app;
  ScopedApplicationServices scope(app);
  const std::string p = Path("p.wl"), c = Path("c.wl");
  TVelkWordloom d(nullptr);
  AddWords(d, {"secretword", "hidden", "hidden"});
  app.PasswordNext("secret");
  d.SaveSpellFile(p, true);
  EXPECT_EQ(app.PasswordCaptions(), Names{kNewPassword});
  const std::string bytes = ReadFile(p);
  EXPECT_EQ(bytes.substr(0, 4), "PROT");
  EXPECT_EQ(bytes.find("secret"), std::string::npos);  // password and words enciphered
  EXPECT_EQ(bytes.find("hidden"), std::string::npos);
  EXPECT_EQ(d.SpellFileName(), p);
  EXPECT_FALSE(d.IsFileProtected());  // follows the file last opened, not saved

  // A dictionary with its own file, which failed attempts must not disturb.
  TVelkWordloom e(nullptr);
  AddWords(e, {"mine"});
  e.SaveSpellFile(c, false);
  for (std::optional<std::string> pw :
       {std::optional<std::string>("wrong"), std::optional<std::string>("secre"),
        std::optional<std::string>("secretx"), std::optional<std::string>(std::nullopt)}) {
    SCOPED_TRACE(pw.value_or("<cancel>"));
    const std::size_t messages = app.Messages().size();
    app.PasswordNext(pw);
    e.OpenSpellFile(p);
    EXPECT_EQ(app.PasswordCaptions().back(), kProtected);
    ASSERT_EQ(app.Messages().size(), messages + (pw ? 1 : 0));
    if (pw) {
      EXPECT_EQ(app.Messages().back(), "Wrong password");
    }
    EXPECT_EQ(e.SpellFileName(), c);
    EXPECT_EQ(WordFrequencies(e), (Dict{{"mine", 1}}));
    EXPECT_FALSE(e.IsFileProtected());
    EXPECT_FALSE(e.SpellModified());
  }
  EXPECT_EQ(ReadFile(p), bytes);

  app.PasswordNext("secret");
  e.OpenSpellFile(p);
  EXPECT_EQ(e.SpellFileName(), p);
  EXPECT_TRUE(e.IsFileProtected());
  EXPECT_EQ(WordFrequencies(e), WordFrequencies(d));
  EXPECT_EQ(app.Messages().size(), 3u);
  EXPECT_TRUE(app.Questions().empty());
}

TEST_F(SpellFileIoTest, OverwritingAProtectedFileAsksForItsPassword) {
  TScriptedServices app;
  ScopedApplicationServices scope(app);
  const std::string p = Path("p.wl");
  {
    TVelkWordloom owner(nullptr);
    AddWords(owner, {"old"});
    app.PasswordNext("secret");
    owner.SaveSpellFile(p, true);
  }
  const std::string before = ReadFile(p);
  TVelkWordloom d(nullptr);
  AddWords(d, {"new"});

  app.AnswerNext(mrYes);
  app.PasswordNext("wrong");
  d.SaveSpellFile(p, false);
  EXPECT_EQ(app.PasswordCaptions(), (Names{kNewPassword, kProtected}));
  EXPECT_EQ(app.Messages(), Names{"Wrong password"});
  EXPECT_EQ(ReadFile(p), before);
  EXPECT_EQ(d.SpellFileName(), "");
  EXPECT_TRUE(d.SpellModified());

  app.AnswerNext(mrYes);
  app.PasswordNext(std::nullopt);
  d.SaveSpellFile(p, false);
  EXPECT_EQ(app.PasswordCaptions().size(), 3u);
  EXPECT_EQ(app.Messages().size(), 1u);
  EXPECT_EQ(ReadFile(p), before);

  // The old password lets it through; the new file is protected by the new one.
  app.AnswerNext(mrYes);
  app.PasswordNext("secret");
  app.PasswordNext("fresh");
  d.SaveSpellFile(p, true);
  EXPECT_EQ(app.PasswordCaptions(),
            (Names{kNewPassword, kProtected, kProtected, kProtected, kNewPassword}));
  EXPECT_EQ(app.Messages().size(), 1u);
  EXPECT_EQ(d.SpellFileName(), p);
  EXPECT_EQ(ReadFile(p).substr(0, 4), "PROT");
  EXPECT_EQ(Contents(app, p, "fresh"), (Dict{{"new", 1}}));
  EXPECT_EQ(Listing(), Names{"p.wl"});
}

TEST_F(SpellFileIoTest, RefusedNewPasswordWritesNothing) {
  TScriptedServices app;
  ScopedApplicationServices scope(app);
  const std::string t = Path("t.wl"), n = Path("n.wl");
  MakeFile(t, {"kept"});
  const std::string before = ReadFile(t);
  TVelkWordloom d(nullptr);
  AddWords(d, {"word"});

  app.AnswerNext(mrYes);
  app.PasswordNext("");
  try {
    d.SaveSpellFile(t, true);
    ADD_FAILURE() << "an empty password was accepted";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "No password");
  }
  app.AnswerNext(mrYes);
  app.PasswordNext("x");
  EXPECT_THROW(d.SaveSpellFile(t, true), EIntOverflow);
  app.PasswordNext("x");
  EXPECT_THROW(d.SaveSpellFile(n, true), EIntOverflow);
  app.PasswordNext(std::nullopt);  // Cancel: nothing written, nothing raised
  d.SaveSpellFile(n, true);

  EXPECT_EQ(ReadFile(t), before);
  EXPECT_EQ(Listing(), Names{"t.wl"});
  EXPECT_EQ(d.SpellFileName(), "");
  EXPECT_TRUE(d.SpellModified());
  EXPECT_TRUE(app.Messages().empty());
}

TEST_F(SpellFileIoTest, FilesAreHandledOnlyWhenDesigningMatchesHardCoded) {
  TScriptedServices app;
  ScopedApplicationServices scope(app);
  const std::string other = Path("other.wl"), h = Path("h.wl");
  MakeFile(other, {"other"});

  TVelkWordloom designing(nullptr);
  AddWords(designing, {"one"});
  designing.SetDesigning(true);
  designing.SaveSpellFile(Path("d.wl"), false);
  designing.OpenSpellFile(other);
  EXPECT_EQ(designing.SpellFileName(), "");
  EXPECT_EQ(WordFrequencies(designing), (Dict{{"one", 1}}));

  TVelkWordloom hard(nullptr);
  AddWords(hard, {"two"});  // before the option: a hard-coded dictionary refuses words
  hard.SetSpellFileOptions({wlsHardCoded});
  hard.SaveSpellFile(h, false);
  hard.OpenSpellFile(other);
  EXPECT_EQ(hard.SpellFileName(), "");
  EXPECT_EQ(WordFrequencies(hard), (Dict{{"two", 1}}));
  EXPECT_EQ(Listing(), Names{"other.wl"});

  hard.SetDesigning(true);  // hard-coded and designed: both work
  hard.SaveSpellFile(h, false);
  EXPECT_EQ(hard.SpellFileName(), h);
  EXPECT_EQ(Contents(app, h), (Dict{{"two", 1}}));
  hard.OpenSpellFile(other);
  EXPECT_EQ(hard.SpellFileName(), other);
  EXPECT_EQ(WordFrequencies(hard), (Dict{{"other", 1}}));
  EXPECT_TRUE(app.Questions().empty());
}

TEST_F(SpellFileIoTest, SetSpellFileNameOpensOrSaves) {
  TScriptedServices app;
  ScopedApplicationServices scope(app);
  const std::string a = Path("a.wl"), fresh = Path("fresh.wl");
  MakeFile(a, {"stored"});
  const std::string a_bytes = ReadFile(a);

  TVelkWordloom empty(nullptr);
  empty.InitFirstSpellNode();
  empty.SetSpellFileName(fresh);
  EXPECT_EQ(empty.SpellFileName(), "");
  EXPECT_FALSE(fs::exists(fresh));

  TVelkWordloom d(nullptr);
  AddWords(d, {"mine"});
  d.SaveSpellFile(Path("mine.wl"), false);
  d.SetSpellFileName(a);  // existing: opened, not written
  EXPECT_EQ(d.SpellFileName(), a);
  EXPECT_EQ(WordFrequencies(d), (Dict{{"stored", 1}}));
  EXPECT_EQ(ReadFile(a), a_bytes);
  d.SetSpellFileName(fresh);  // new: saved there
  EXPECT_EQ(d.SpellFileName(), fresh);
  EXPECT_EQ(ReadFile(fresh).substr(0, 4), "PUBL");
  EXPECT_EQ(Contents(app, fresh), (Dict{{"stored", 1}}));

  // After a protected file was opened, a new name is saved protected.
  const std::string p = Path("p.wl"), q = Path("q.wl");
  app.PasswordNext("secret");
  d.SaveSpellFile(p, true);
  TVelkWordloom e(nullptr);
  app.PasswordNext("secret");
  e.OpenSpellFile(p);
  ASSERT_TRUE(e.IsFileProtected());
  app.PasswordNext("other");
  e.SetSpellFileName(q);
  EXPECT_EQ(app.PasswordCaptions().back(), kNewPassword);
  EXPECT_EQ(e.SpellFileName(), q);
  EXPECT_EQ(Contents(app, q, "other"), (Dict{{"stored", 1}}));
  EXPECT_TRUE(app.Questions().empty());
}

TEST_F(SpellFileIoTest, FailedOpenKeepsTheDictionary) {
  TScriptedServices app;
  ScopedApplicationServices scope(app);
  const std::string p = Path("p.wl"), good = Path("good.wl");
  MakeFile(good, {"a", "bb", "ccc", "dddd", "eeeee"});
  const std::string good_bytes = ReadFile(good);
  TVelkWordloom d(nullptr);
  AddWords(d, {"keep", "keep"});
  app.PasswordNext("secret");
  d.SaveSpellFile(p, true);
  d.SetSpellFileOptions({});  // no questions, no save on destruction
  d.AddToSpell("extra");
  app.PasswordNext("secret");
  d.OpenSpellFile(p);  // reloads unasked: protected now
  ASSERT_TRUE(d.IsFileProtected());
  d.AddToSpell("extra");
  const Dict words{{"keep", 2}, {"extra", 1}};
  ASSERT_EQ(WordFrequencies(d), words);

  const Names corrupt = {"PUBLgarbage", "PUBL" + std::string(40, '\xFF'),
                         good_bytes.substr(0, good_bytes.size() - 3), good_bytes.substr(0, 40)};
  for (std::size_t i = 0; i < corrupt.size(); ++i) {
    SCOPED_TRACE(i);
    const std::string bad = Path("bad" + std::to_string(i) + ".wl");
    testing_support::WriteFile(bad, corrupt[i]);
    EXPECT_THROW(d.OpenSpellFile(bad), EReadError);
    EXPECT_EQ(d.SpellFileName(), p);
    EXPECT_TRUE(d.IsFileProtected());
    EXPECT_TRUE(d.SpellModified());
    EXPECT_EQ(WordFrequencies(d), words);
  }
  d.OpenSpellFile(good);  // and it still opens files afterwards
  EXPECT_EQ(d.WordCount(), 5u);
  EXPECT_FALSE(d.IsFileProtected());
}

TEST_F(SpellFileIoTest, DestroyingAModifiedDictionarySavesIt) {
  TScriptedServices app;
  ScopedApplicationServices scope(app);
  const std::string a = Path("a.wl"), b = Path("b.wl");
  {
    TVelkWordloom d(nullptr);
    AddWords(d, {"one"});
    d.SaveSpellFile(a, false);
    d.AddToSpell("two");
  }
  EXPECT_EQ(Contents(app, a), (Dict{{"one", 1}, {"two", 1}}));

  MakeFile(b, {"one"});
  const std::string b_bytes = ReadFile(b);
  {
    TVelkWordloom d(nullptr);
    d.OpenSpellFile(b);
    d.AddToSpell("two");
    d.SetSpellFileOptions({wlsPromptOnReplace});
  }
  EXPECT_EQ(ReadFile(b), b_bytes);
  {
    TVelkWordloom d(nullptr);  // no file name
    AddWords(d, {"lost"});
  }
  EXPECT_EQ(Listing(), (Names{"a.wl", "b.wl"}));
  EXPECT_TRUE(app.Questions().empty());
}

TEST_F(SpellFileIoTest, HardCodedBodyIsStoredWithTheComponent) {
  Register();
  TVelkWordloom d(nullptr);
  AddWords(d, {"alpha", "beta", "beta", "gamma", "gamma", "gamma"});
  EXPECT_EQ(WriteComponentToString(d).find("SpellFile ="), std::string::npos);

  d.SetSpellFileOptions({wlsHardCoded});
  const std::string text = WriteComponentToString(d);
  EXPECT_NE(text.find("SpellFile = <"), std::string::npos);
  EXPECT_EQ(text.find("5055424C"), std::string::npos);  // the body alone, no marker
  std::unique_ptr<TVelkWordloom> back = ReadComponentAs<TVelkWordloom>(text);
  EXPECT_EQ(WordFrequencies(*back), (Dict{{"alpha", 1}, {"beta", 2}, {"gamma", 3}}));
  EXPECT_EQ(back->NodeCount(), d.NodeCount());
  EXPECT_TRUE(back->SpellFileOptions().Contains(wlsHardCoded));
}

TEST_F(SpellFileIoTest, SaveMovesTheProgressDisplay) {
  TScriptedServices app;
  ScopedApplicationServices scope(app);
  TVelkWordloom d(nullptr);  // takes its progress display from app
  ASSERT_EQ(app.Progress().size(), 1u);
  const auto& log = *app.Progress()[0];
  AddWords(d, {"alpha", "alpine", "beta", "beta"});
  const int total = static_cast<int>(d.NodeCount() + d.WordCount());

  d.SetShowProgress(true);
  d.SaveSpellFile(Path("a.wl"), false);
  EXPECT_EQ(log.Shows, 1);
  EXPECT_EQ(log.Hides, 1);
  EXPECT_FALSE(log.Visible);
  EXPECT_EQ(log.Position, total);
  EXPECT_EQ(log.Max, total);
  EXPECT_EQ(app.ProcessMessagesCalls(), 1);

  d.SetShowProgress(false);
  d.AddToSpell("gamma");
  const int total2 = static_cast<int>(d.NodeCount() + d.WordCount());
  d.SaveSpellFile(Path("a.wl"), false);
  EXPECT_EQ(log.Shows, 1);
  EXPECT_FALSE(log.Visible);
  EXPECT_EQ(log.Position, total2);
  EXPECT_EQ(log.Max, total2);
  EXPECT_EQ(app.ProcessMessagesCalls(), 2);
}

}  // namespace
}  // namespace wordloom
