// Dictionaries by name: the names and aliases, the order of the folders, the
// Hunspell pairs and their imports, the list of `-D`, the personal lists.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/files.h"
#include "support/temp_dir.h"
#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(DictionaryNames, AliasesLocalesAndPaths) {
  const struct {
    const char* given;
    const char* canonical;
  } kCases[] = {
      {"en", "en_US"},       {"english", "en_US"},   {"American", "en_US"},
      {"british", "en_GB"},  {"en-gb", "en_GB"},     {"EN_us", "en_US"},
      {"deutsch", "de_DE"},  {"francais", "fr_FR"},  {"russian", "ru_RU"},
      {"pt-br", "pt_BR"},    {"fr", "fr"},           {"book", "book"},
      {"en_GBR", "en_GBR"},  {"e1_GB", "e1_GB"},     {"en-", "en-"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.given);
    EXPECT_EQ(CanonicalDictionaryName(c.given), c.canonical);
  }
  EXPECT_THAT(DictionaryAliases("en_US"), ElementsAre("american", "en", "english"));
  EXPECT_THAT(DictionaryAliases("en_GB"), ElementsAre("british"));

  EXPECT_TRUE(IsDictionaryPath("notes/book"));
  EXPECT_TRUE(IsDictionaryPath("book.spl"));
  EXPECT_FALSE(IsDictionaryPath("en_GB"));

  EXPECT_THAT(SplitDictionaryList(" en_US , en_GB,"), ElementsAre("en_US", "en_GB"));
  EXPECT_THAT(SplitDictionaryList(",,"), ElementsAre());
  // A file whose name holds a comma is one dictionary.
  const TempDir dir;
  const std::string odd = dir.File("a,b.spl");
  WriteFile(odd, "x");
  EXPECT_THAT(SplitDictionaryList(odd), ElementsAre(odd));
}

// Folders of spell files and Hunspell pairs made in a temporary folder.
class DictionarySearchTest : public ::testing::Test {
 protected:
  DictionarySearchTest() {
    for (const char* f : {"first", "second", "hunspell", "cache", "data"}) {
      fs::create_directories(FDir.Path() / f);
    }
    FFolders.Spell = {FDir.File("first"), FDir.File("second")};
    FFolders.Hunspell = {FDir.File("missing"), FDir.File("hunspell")};
    FFolders.Cache = FDir.File("cache");
    FFolders.UserData = FDir.File("data");
  }
  std::string Put(const std::string& Name) {
    const std::string path = FDir.File(Name);
    WriteFile(path, Name);
    return path;
  }
  TempDir FDir;
  DictionaryFolders FFolders;
};

TEST_F(DictionarySearchTest, NamesAreLookedUpFolderByFolder) {
  const std::string first_gb = Put("first/en_GB.spl");
  Put("second/en_GB.spl");
  const std::string us = Put("second/en_US.spl");
  const std::string old = Put("first/en.spl");
  const std::string book = Put("second/book.spl");

  const FoundDictionary gb = FindDictionary("british", FFolders);
  EXPECT_EQ(gb.Kind, DictionaryKind::kSpellFile);
  EXPECT_EQ(gb.Name, "en_GB");
  EXPECT_EQ(gb.Path, first_gb);
  // en.spl, the old default, stands for en_US in a folder without en_US.spl.
  EXPECT_EQ(FindDictionary("american", FFolders).Path, old);
  fs::remove(old);
  EXPECT_EQ(FindDictionary("en", FFolders).Path, us);
  EXPECT_EQ(FindDictionary("book", FFolders).Path, book);
  // A path stays a path, found or not.
  const FoundDictionary path = FindDictionary("elsewhere/notes.spl", FFolders);
  EXPECT_EQ(path.Path, "elsewhere/notes.spl");
  EXPECT_EQ(path.Name, "notes");

  EXPECT_THAT([&] { FindDictionary("xx_YY", FFolders); },
              ThrowsMessage<EDictionaryNotFound>(HasSubstr("no dictionary named xx_YY in " +
                                                           FDir.File("first"))));
  EXPECT_THROW(FindDictionary("", FFolders), EDictionaryNotFound);
}

TEST_F(DictionarySearchTest, AHunspellPairIsToImportUntilAnImportIsNewer) {
  Put("hunspell/de_DE.aff");
  const std::string dic = Put("hunspell/de_DE.dic");
  Put("hunspell/fr.aff");  // no fr.dic: no dictionary

  FoundDictionary de = FindDictionary("deutsch", FFolders);
  EXPECT_EQ(de.Kind, DictionaryKind::kHunspell);
  EXPECT_EQ(de.Name, "de_DE");
  EXPECT_EQ(de.Path, dic);
  EXPECT_EQ(de.Affix, FDir.File("hunspell/de_DE.aff"));
  EXPECT_EQ(de.ImportPath, FDir.File("cache/de_DE.spl"));
  EXPECT_THAT(HunspellNotImportedMessage(de), HasSubstr("only a Hunspell dictionary"));
  EXPECT_THROW(FindDictionary("fr", FFolders), EDictionaryNotFound);

  // Once imported, the import is the dictionary...
  const std::string imported = Put("cache/de_DE.spl");
  de = FindDictionary("de_DE", FFolders);
  EXPECT_EQ(de.Kind, DictionaryKind::kSpellFile);
  EXPECT_EQ(de.Path, imported);
  // ...until the Hunspell files change after it.
  fs::last_write_time(dic, fs::last_write_time(imported) + std::chrono::hours(1));
  EXPECT_EQ(FindDictionary("de_DE", FFolders).Kind, DictionaryKind::kHunspell);
  // A spell file of the name comes before both.
  const std::string own = Put("second/de_DE.spl");
  EXPECT_EQ(FindDictionary("de_DE", FFolders).Path, own);
}

TEST_F(DictionarySearchTest, TheListHasEachNameOnceWithItsAliases) {
  Put("first/en_US.spl");
  fs::create_symlink("en_US.spl", FDir.Path() / "first" / "en.spl");
  Put("second/en_US.spl");  // hidden by the first folder's
  Put("second/en_GB.spl");
  Put("second/notes.txt");
  Put("hunspell/en_US.aff");  // hidden by the spell file
  Put("hunspell/en_US.dic");
  Put("hunspell/nl.aff");
  Put("hunspell/nl.dic");

  const std::vector<AvailableDictionary> list = ListDictionaries(FFolders);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].Found.Name, "en_GB");
  EXPECT_THAT(list[0].Aliases, ElementsAre("british"));
  EXPECT_EQ(list[1].Found.Name, "en_US");
  EXPECT_EQ(list[1].Found.Path, FDir.File("first/en_US.spl"));
  EXPECT_THAT(list[1].Aliases, ElementsAre("american", "en", "english"));
  EXPECT_EQ(list[2].Found.Name, "nl");
  EXPECT_EQ(list[2].Found.Kind, DictionaryKind::kHunspell);
  EXPECT_EQ(list[2].Found.ImportPath, FDir.File("cache/nl.spl"));

  EXPECT_EQ(PersonalListPath("en_GB", FFolders), FDir.File("data/personal/en_GB.txt"));
  FFolders.UserData.clear();
  EXPECT_EQ(PersonalListPath("en_GB", FFolders), "");
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* Name, const std::string& Value) : FName(Name) {
    if (const char* old = std::getenv(Name)) FOld = old;
    ::setenv(Name, Value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (FOld) {
      ::setenv(FName, FOld->c_str(), 1);
    } else {
      ::unsetenv(FName);
    }
  }

 private:
  const char* FName;
  std::optional<std::string> FOld;
};

TEST(StandardDictionaryFolders, TheEnvironmentsFoldersInOrder) {
  const ScopedEnv path("WORDLOOM_PATH", "/p1::/p2");
  const ScopedEnv home("HOME", "/home/u");
  const ScopedEnv data("XDG_DATA_HOME", "relative/ignored");
  const ScopedEnv cache("XDG_CACHE_HOME", "/c");
  const ScopedEnv dicpath("DICPATH", "/h1");
  const ScopedEnv dict("WORDLOOM_DICT", "en_GB");

  const DictionaryFolders f = StandardDictionaryFolders("/opt/wl/bin");
  ASSERT_GE(f.Spell.size(), 6u);
  EXPECT_THAT(std::vector<std::string>(f.Spell.begin(), f.Spell.begin() + 6),
              ElementsAre("/p1", "/p2", "/home/u/.local/share/wordloom", "/opt/wl/bin",
                          "/opt/wl/cli", "/opt/wl/share/wordloom"));
  EXPECT_EQ(f.UserData, "/home/u/.local/share/wordloom");
  EXPECT_EQ(f.Cache, "/c/wordloom");
  EXPECT_EQ(f.Hunspell.front(), "/h1");
  EXPECT_THAT(f.Hunspell, ::testing::Contains("/usr/share/hunspell"));
  EXPECT_EQ(DefaultDictionary(), "en_GB");
}

}  // namespace
}  // namespace wordloom
