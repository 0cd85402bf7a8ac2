// The Sonnet plugin through Sonnet's own Speller, as a KDE application uses
// it: Sonnet finds the plugin on QT_PLUGIN_PATH (the build folder), and the
// dictionary, Sonnet's settings and the personal list live in a folder of
// this program's own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <Sonnet/Speller>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/scratch_folder.h"

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

ScratchFolder* g_folder = nullptr;

std::string ReadFile(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string PersonalList() { return g_folder->File("data/wordloom/personal/en_US.txt"); }

// A speller as an application gets one: by language only. Sonnet picks the
// most reliable backend, which Wordloom is (above Hunspell's and Aspell's
// plugins, when those are installed too); the personal list shows that it
// answers.
Sonnet::Speller EnglishSpeller() { return Sonnet::Speller(QStringLiteral("en_US")); }

TEST(SonnetPluginTest, IsABackendOfferingTheDictionariesLanguages) {
  Sonnet::Speller speller;
  EXPECT_THAT(speller.availableBackends(), Contains(QStringLiteral("Wordloom")));
  EXPECT_THAT(speller.availableLanguages(), Contains(QStringLiteral("en_US")));
}

TEST(SonnetPluginTest, ChecksAndSuggestsBestFirstInTheWritersCase) {
  Sonnet::Speller speller = EnglishSpeller();
  ASSERT_TRUE(speller.isValid());
  EXPECT_EQ(speller.language(), QStringLiteral("en_US"));
  for (const char* word : {"receive", "Paris", "doesn't", "doesn\u2019t", "e-mail"}) {
    EXPECT_TRUE(speller.isCorrect(QString::fromUtf8(word))) << word;
  }
  EXPECT_TRUE(speller.isMisspelled(QStringLiteral("recieve")));
  EXPECT_TRUE(speller.isMisspelled(QStringLiteral("paris")));

  const QStringList corrections = speller.suggest(QStringLiteral("recieve"));
  ASSERT_FALSE(corrections.isEmpty());
  EXPECT_EQ(corrections.first(), QStringLiteral("receive"));
  EXPECT_LE(corrections.size(), 10);
  EXPECT_EQ(speller.suggest(QStringLiteral("Recieve")).value(0), QStringLiteral("Receive"));
  EXPECT_EQ(speller.suggest(QString::fromUtf8("dosn\u2019t")).value(0),
            QString::fromUtf8("doesn\u2019t"));

  QStringList checked;
  EXPECT_FALSE(speller.checkAndSuggest(QStringLiteral("brwon"), checked));
  EXPECT_EQ(checked.value(0), QStringLiteral("brown"));
}

TEST(SonnetPluginTest, PersonalWordsGoToTheUsersListSessionWordsNowhere) {
  Sonnet::Speller speller = EnglishSpeller();
  ASSERT_TRUE(speller.isValid());
  EXPECT_TRUE(speller.isMisspelled(QStringLiteral("Wordloomy")));
  EXPECT_TRUE(speller.addToPersonal(QStringLiteral("Wordloomy")));
  EXPECT_TRUE(speller.isCorrect(QStringLiteral("Wordloomy")));
  EXPECT_TRUE(speller.addToSession(QStringLiteral("Zyxxq")));
  EXPECT_TRUE(speller.isCorrect(QStringLiteral("Zyxxq")));
  EXPECT_THAT(ReadFile(PersonalList()), HasSubstr("Wordloomy\n"));
  EXPECT_THAT(ReadFile(PersonalList()), Not(HasSubstr("Zyxxq")));
}

TEST(SonnetPluginTest, ALanguageWithoutADictionaryGivesNoSpeller) {
  Sonnet::Speller speller(QStringLiteral("xx_YY"));
  EXPECT_THAT(speller.availableLanguages(), Not(Contains(QStringLiteral("xx_YY"))));
  EXPECT_FALSE(speller.isValid());
}

}  // namespace

int main(int argc, char** argv) {
  ScratchFolder folder;
  g_folder = &folder;
  std::filesystem::create_directories(folder.File("dictionaries"));
  std::filesystem::create_symlink(WORDLOOM_TEST_DICTIONARY, folder.File("dictionaries/en_US.spl"));
  ::setenv("WORDLOOM_PATH", folder.File("dictionaries").c_str(), 1);
  // Sonnet's settings, the personal list and Qt's runtime files stay inside.
  const struct {
    const char* variable;
    const char* folder;
  } kFolders[] = {{"HOME", "home"},
                  {"XDG_CONFIG_HOME", "config"},
                  {"XDG_DATA_HOME", "data"},
                  {"XDG_CACHE_HOME", "cache"},
                  {"XDG_RUNTIME_DIR", "runtime"}};
  for (const auto& f : kFolders) {
    std::filesystem::create_directories(folder.File(f.folder));
    std::filesystem::permissions(folder.File(f.folder), std::filesystem::perms::owner_all);
    ::setenv(f.variable, folder.File(f.folder).c_str(), 1);
  }
  ::setenv("QT_PLUGIN_PATH", WORDLOOM_SONNET_PLUGINS, 1);
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
