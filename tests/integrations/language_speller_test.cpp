#include "language_speller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "language_dictionaries.h"
#include "support/dictionary.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace wordloom::integrations {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::Not;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : FName(name) {
    if (const char* old = std::getenv(name)) FOld = old, FHadOld = true;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (FHadOld) {
      ::setenv(FName, FOld.c_str(), 1);
    } else {
      ::unsetenv(FName);
    }
  }

 private:
  const char* FName;
  std::string FOld;
  bool FHadOld = false;
};

void SaveDictionary(const std::string& file, const std::vector<std::string>& words) {
  TVelkWordloom dict(nullptr);
  testing_support::AddWords(dict, words);
  dict.SaveSpellFile(file, false);
}

// Folders and files of one test: two dictionary folders on WORDLOOM_PATH and
// the user's data folder, all inside the test's own folder.
class LanguageFolders : public ::testing::Test {
 protected:
  TempDir FDir;
  std::string FFirst = FDir.File("first");
  std::string FSecond = FDir.File("second");
  ScopedEnv FPath{"WORDLOOM_PATH", FFirst + ":" + FSecond};
  ScopedEnv FHome{"HOME", FDir.File("home")};
  ScopedEnv FData{"XDG_DATA_HOME", FDir.File("data")};
  ScopedEnv FCache{"XDG_CACHE_HOME", FDir.File("cache")};

  void SetUp() override {
    std::filesystem::create_directories(FFirst);
    std::filesystem::create_directories(FSecond);
  }
};

TEST(LanguageTagTest, AcceptsOnlyNamesThatStayInsideTheFolders) {
  for (const char* tag : {"en", "en_US", "de-CH", "sr_RS-latin", "x1"}) {
    EXPECT_TRUE(IsLanguageTag(tag)) << tag;
  }
  for (const char* tag : {"", "..", "../en", "en/US", "en US", "en.spl", "en\n", "ü"}) {
    EXPECT_FALSE(IsLanguageTag(tag)) << tag;
  }
  EXPECT_FALSE(IsLanguageTag(std::string(65, 'a')));
  EXPECT_EQ(FindLanguage("../first/en"), "");
  EXPECT_EQ(PersonalListFile("../en"), "");
}

TEST_F(LanguageFolders, FindsTheFirstFolderAndFallsBackToTheLanguage) {
  SaveDictionary(FSecond + "/en.spl", {"colour"});
  SaveDictionary(FSecond + "/en_GB.spl", {"colour"});
  SaveDictionary(FFirst + "/en_GB.spl", {"colour"});
  EXPECT_EQ(FindLanguage("en_GB"), FFirst + "/en_GB.spl");
  EXPECT_EQ(FindLanguage("en"), FSecond + "/en.spl");
  EXPECT_EQ(FindLanguage("en_US"), FSecond + "/en.spl");
  EXPECT_EQ(FindLanguage("en-AU"), FSecond + "/en.spl");
  EXPECT_EQ(FindLanguage("de_DE"), "");
  EXPECT_EQ(FindLanguage("_en"), "");
}

TEST_F(LanguageFolders, ListsEachSpellFileOnceInOrder) {
  SaveDictionary(FSecond + "/fr.spl", {"chat"});
  SaveDictionary(FSecond + "/en.spl", {"cat"});
  SaveDictionary(FFirst + "/en.spl", {"cat"});
  WriteFile(FFirst + "/notes.txt", "not a dictionary\n");
  WriteFile(FFirst + "/bad name.spl", "ignored\n");
  std::filesystem::create_directories(FFirst + "/folder.spl");
  const std::vector<std::string> tags = AvailableLanguages();
  // Listed by the names the library files them under: en.spl is en_US's.
  EXPECT_THAT(tags, IsSupersetOf({"en_US", "fr"}));
  EXPECT_THAT(tags, Not(::testing::Contains("bad name")));
  EXPECT_THAT(tags, Not(::testing::Contains("folder")));
  EXPECT_TRUE(std::is_sorted(tags.begin(), tags.end()));
  EXPECT_EQ(std::adjacent_find(tags.begin(), tags.end()), tags.end());
}

TEST_F(LanguageFolders, PersonalListsLiveInTheUsersDataFolder) {
  EXPECT_EQ(PersonalListFile("en_US"), FDir.File("data") + "/wordloom/personal/en_US.txt");
  EXPECT_EQ(PersonalListFile("en"), PersonalListFile("en_US"));
  ScopedEnv no_xdg("XDG_DATA_HOME", "");
  EXPECT_EQ(PersonalListFile("en_US"),
            FDir.File("home") + "/.local/share/wordloom/personal/en_US.txt");
}

class LanguageSpellerTest : public LanguageFolders {
 protected:
  void SetUp() override {
    LanguageFolders::SetUp();
    SaveDictionary(FDictionary, {"the", "the", "the", "receive", "receive", "relieve", "brown",
                                 "Paris", "doesn't", "e", "mail", "quick"});
  }
  std::string FDictionary = FFirst + "/en.spl";
  std::string FPersonal = PersonalListFile("en");
};

TEST_F(LanguageSpellerTest, ChecksWordsAsTheToolDoes) {
  LanguageSpeller speller("en", FDictionary, FPersonal);
  for (const char* word :
       {"receive", "Receive", "RECEIVE", "Paris", "PARIS", "doesn't", "doesn\xE2\x80\x99t",
        "'quick'", "e-mail", "2024", "mp3", "http://example.org/recieve", "--"}) {
    EXPECT_TRUE(speller.IsCorrect(word)) << word;
  }
  for (const char* word : {"recieve", "paris", "Brwon", "e-mial", "dosn\xE2\x80\x99t"}) {
    EXPECT_FALSE(speller.IsCorrect(word)) << word;
  }
}

TEST_F(LanguageSpellerTest, LeavesACompactFormInTheUsersCacheForTheNextApplication) {
  { LanguageSpeller first("en", FDictionary, FPersonal); }
  const std::filesystem::path forms = FDir.File("cache") + "/wordloom/compact";
  std::vector<std::string> made;
  for (const auto& entry : std::filesystem::directory_iterator(forms)) {
    if (entry.path().extension() == ".compact") made.push_back(entry.path().filename());
  }
  EXPECT_EQ(made.size(), 1u);
  LanguageSpeller next("en", FDictionary, FPersonal);
  EXPECT_TRUE(next.IsCorrect("receive"));
  EXPECT_FALSE(next.IsCorrect("recieve"));
}

TEST_F(LanguageSpellerTest, SuggestsInTheWritersCaseAndQuotes) {
  LanguageSpeller speller("en", FDictionary, FPersonal);
  EXPECT_THAT(speller.Suggest("recieve", 2), ElementsAre("receive", "relieve"));
  EXPECT_EQ(speller.Suggest("Recieve", 1), std::vector<std::string>{"Receive"});
  EXPECT_EQ(speller.Suggest("RECIEVE", 1), std::vector<std::string>{"RECEIVE"});
  EXPECT_EQ(speller.Suggest("'recieve'", 1), std::vector<std::string>{"'receive'"});
  EXPECT_EQ(speller.Suggest("dosn\xE2\x80\x99t", 1),
            std::vector<std::string>{"doesn\xE2\x80\x99t"});
  EXPECT_TRUE(speller.Suggest("receive", 5).empty());
  EXPECT_TRUE(speller.Suggest("recieve", 0).empty());
  EXPECT_TRUE(speller.Suggest("", 5).empty());
}

TEST_F(LanguageSpellerTest, RanksInTheLanguageOfItsDictionary) {
  // English spellings by ear find "phonetic" in an English dictionary only.
  const std::string german = FFirst + "/de_DE.spl";
  SaveDictionary(german, {"phonetic", "fanatic"});
  SaveDictionary(FFirst + "/en_GB.spl", {"phonetic", "fanatic"});
  LanguageSpeller de("de_DE", german, PersonalListFile("de_DE"));
  LanguageSpeller en("en_GB", FFirst + "/en_GB.spl", PersonalListFile("en_GB"));
  EXPECT_THAT(de.Suggest("fonetik", 5), Not(::testing::Contains("phonetic")));
  EXPECT_THAT(en.Suggest("fonetik", 5), ::testing::Contains("phonetic"));
}

TEST_F(LanguageSpellerTest, SessionWordsAreForgottenPersonalWordsKept) {
  {
    LanguageSpeller speller("en", FDictionary, FPersonal);
    speller.AddToSession("Zyxxq");
    speller.AddToPersonal("Wordloomy");
    speller.AddToPersonal("Wordloomy");
    speller.AddToPersonal("two\nlines");
    EXPECT_TRUE(speller.IsCorrect("Zyxxq"));
    EXPECT_TRUE(speller.IsCorrect("WORDLOOMY"));
    EXPECT_FALSE(speller.IsCorrect("two\nlines"));
    EXPECT_EQ(speller.Suggest("Wordlomy", 1), std::vector<std::string>{"Wordloomy"});
  }
  EXPECT_EQ(ReadFile(FPersonal), "Wordloomy\n");
  LanguageSpeller next("en", FDictionary, FPersonal);
  EXPECT_TRUE(next.IsCorrect("Wordloomy"));
  EXPECT_FALSE(next.IsCorrect("Zyxxq"));
  // The dictionary file itself is never written.
  EXPECT_THAT(ReadFile(FDictionary), Not(HasSubstr("Wordloomy")));
}

TEST_F(LanguageSpellerTest, AReadOnlyPersonalListIsReadNotWritten) {
  std::filesystem::create_directories(std::filesystem::path(FPersonal).parent_path());
  WriteFile(FPersonal, "  Wordloomy \n\n");
  LanguageSpeller speller("en", FDictionary, FPersonal, PersonalListUse::kReadOnly);
  EXPECT_TRUE(speller.IsCorrect("Wordloomy"));
  speller.AddToPersonal("Zyxxq");
  EXPECT_TRUE(speller.IsCorrect("Zyxxq"));
  EXPECT_EQ(ReadFile(FPersonal), "  Wordloomy \n\n");
}

TEST_F(LanguageSpellerTest, AnotherListsWordsAreAcceptedAndRankedNotWritten) {
  const std::string other = FDir.File("other.dic");
  WriteFile(other, "\xEF\xBB\xBFPythonloom\nZyxxq\n");
  LanguageSpeller speller("en", FDictionary, FPersonal);
  speller.LoadPersonalWords(other);
  speller.LoadPersonalWords(FDir.File("missing.dic"));
  EXPECT_TRUE(speller.IsCorrect("Pythonloom"));
  EXPECT_TRUE(speller.IsCorrect("Zyxxq"));
  EXPECT_EQ(speller.Suggest("Pythonlom", 1), std::vector<std::string>{"Pythonloom"});
  speller.AddToPersonal("Wordloomy");
  EXPECT_EQ(ReadFile(FPersonal), "Wordloomy\n");
}

TEST_F(LanguageSpellerTest, AnUnwritablePersonalListIsReportedAndTheWordStillAccepted) {
  // The personal list's folder is a file: nothing can be written there.
  std::filesystem::create_directories(FDir.File("data"));
  WriteFile(FDir.File("data") + "/wordloom", "in the way\n");
  LanguageSpeller speller("en", FDictionary, FPersonal);
  EXPECT_THROW(speller.AddToPersonal("Wordloomy"), Exception);
  EXPECT_TRUE(speller.IsCorrect("Wordloomy"));
}

TEST_F(LanguageSpellerTest, ADictionaryThatCannotBeOpenedIsAnError) {
  EXPECT_THROW(LanguageSpeller("en", FFirst + "/missing.spl", ""), Exception);
  WriteFile(FFirst + "/broken.spl", "not a spell file");
  EXPECT_THROW(LanguageSpeller("en", FFirst + "/broken.spl", ""), Exception);
  EXPECT_THROW(LanguageSpeller("en", FFirst, ""), Exception);
}

}  // namespace
}  // namespace wordloom::integrations
