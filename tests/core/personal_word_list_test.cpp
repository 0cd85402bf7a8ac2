// The personal word list: read as Hunspell's and Aspell's are written, added
// to once per word, saved whole through the file writer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "support/files.h"
#include "support/temp_dir.h"
#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using testing_support::FileNames;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(PersonalWordList, LoadsAddsAndSavesEachWordOnce) {
  const TempDir dir;
  const std::string file = dir.File("en_US.txt");
  WriteFile(file, "caf\xC3\xA9\r\n\n  Grault \nhello\ncaf\xC3\xA9\n");
  PersonalWordList list(file);
  list.Load();
  EXPECT_THAT(list.Words(), ElementsAre("caf\xC3\xA9", "Grault", "hello"));
  EXPECT_FALSE(list.Modified());

  EXPECT_TRUE(list.Add("quux"));
  EXPECT_FALSE(list.Add("hello"));
  EXPECT_FALSE(list.Add(""));
  EXPECT_FALSE(list.Add("two\nlines"));
  EXPECT_TRUE(list.Contains("quux"));
  EXPECT_TRUE(list.Modified());
  list.Save();
  EXPECT_FALSE(list.Modified());
  EXPECT_EQ(ReadFile(file), "caf\xC3\xA9\nGrault\nhello\nquux\n");
  EXPECT_THAT(FileNames(dir.Path()), ElementsAre("en_US.txt"));

  // A missing file is an empty list; a list without a file saves nothing.
  PersonalWordList missing(dir.File("none.txt"));
  missing.Load();
  EXPECT_THAT(missing.Words(), ElementsAre());
  PersonalWordList memory;
  memory.Add("x");
  memory.Save();
  EXPECT_THAT(FileNames(dir.Path()), ElementsAre("en_US.txt"));
}

TEST(PersonalWordList, RefusesBinaryDataAndMakesOnlyTheFolderItIsTold) {
  const TempDir dir;
  const std::string binary = dir.File("binary.txt");
  WriteFile(binary, std::string("word\nMZ\0\1", 9));
  PersonalWordList list(binary);
  EXPECT_THAT([&] { list.Load(); }, ThrowsMessage<EReadError>(HasSubstr("NUL byte")));
  EXPECT_THAT(list.Words(), ElementsAre());

  // A folder named by the user must exist; the data folder is made.
  PersonalWordList named(dir.File("no/such/list.txt"));
  named.Add("word");
  EXPECT_THROW(named.Save(), EWriteError);
  PersonalWordList data(dir.File("data/wordloom/personal/en_GB.txt"));
  data.SetMakeFolder(true);
  data.Add("colour");
  data.Save();
  EXPECT_EQ(ReadFile(dir.File("data/wordloom/personal/en_GB.txt")), "colour\n");
}

}  // namespace
}  // namespace wordloom
