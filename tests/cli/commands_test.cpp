// The subcommands driven without the binary, on small dictionaries learned in
// the test: what check, suggest, count, list and info print, what add, delete
// and learn --counts leave in the dictionary, and that suggest and the pipe
// agree on the order of corrections.
#include "commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wordloom/wordloom.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "interactive_check.h"
#include "pipe_mode.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace wordloom::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

// The user's folders (personal word lists, imported dictionaries) are the
// tests' own, set before the tool first reads them.
class OwnUserFolders : public ::testing::Environment {
 public:
  void SetUp() override {
    const std::string home = ::testing::TempDir() + "wordloom-cli-home-" + std::to_string(::getpid());
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home + "/cache").c_str(), 1);
    for (const char* name : {"WORDLOOM_PATH", "WORDLOOM_DICT", "DICPATH"}) ::unsetenv(name);
    FHome = home;
  }
  void TearDown() override { fs::remove_all(FHome); }

 private:
  std::string FHome;
};
::testing::Environment* const kOwnUserFolders =
    ::testing::AddGlobalTestEnvironment(new OwnUserFolders);

// Test files in a folder of their own: Path names one, Write makes it.
class TempFolder {
 public:
  std::string Path(const std::string& name) const { return FDir.File(name); }
  std::string Write(const std::string& name, const std::string& text) const {
    testing_support::WriteFile(Path(name), text);
    return Path(name);
  }

 private:
  testing_support::TempDir FDir;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest() : FScope(FServices) {}

  // A UTF-8 dictionary learned from Text, in the test's folder.
  std::string Learn(const std::string& text, const std::string& name = "words.spl") {
    LearnOptions options;
    options.Files = {FFolder.Write(name + ".txt", text)};
    options.Output = FFolder.Path(name);
    options.Utf8 = true;
    EXPECT_EQ(RunLearn(options, FServices), kExitOk);
    return options.Output;
  }
  CheckOptions Options(const std::string& dictionary) {
    CheckOptions options;
    options.Dictionary = dictionary;
    return options;
  }

  TempFolder FFolder;
  TerminalServices FServices;
  ScopedApplicationServices FScope;
  std::ostringstream FOut;
  std::ostringstream FErr;
};

TEST_F(CommandsTest, CheckPrintsPlaceWordAndCorrections) {
  const std::string dict = Learn("the the the cat sat on mat world don't caf\xC3\xA9");
  const std::string text = FFolder.Write(
      "text.txt", "the cat sat on teh mat\n'Wrold' don\xE2\x80\x99t 1984\ncaf\xC3\xA9 xqzzy\n");
  CheckOptions options = Options(dict);
  options.Files = {text};
  options.MaxSuggestions = 1;
  EXPECT_EQ(RunCheck(options, FServices, FOut), kExitMisspelled);
  // Columns count characters; quotes are not part of the word, a typographic
  // apostrophe is an apostrophe, a number is no word, a capital is no fault.
  EXPECT_THAT(Lines(FOut.str()), ElementsAre(text + ":1:16: teh: the", text + ":2:2: Wrold: World",
                                             text + ":3:6: xqzzy"));

  const std::string clean = FFolder.Write("clean.txt", "The cat, THE MAT.\n");
  options.Files = {clean};
  std::ostringstream out;
  EXPECT_EQ(RunCheck(options, FServices, out), kExitOk);
  EXPECT_EQ(out.str(), "");
  options.CaseSensitive = true;
  EXPECT_EQ(RunCheck(options, FServices, out), kExitMisspelled);
  EXPECT_THAT(Lines(out.str()), ElementsAre(StartsWith(clean + ":1:1: The"),
                                            StartsWith(clean + ":1:10: THE"),
                                            StartsWith(clean + ":1:14: MAT")));
}

// Dashes, curly quotes, ellipses and currency signs once glued onto words,
// and URLs, e-mail addresses and ordinals were checked piece by piece.
TEST_F(CommandsTest, CheckPassesTypographyUrlsAndNumbers) {
  const std::string dict =
      Learn("it's fine John book then quoted end costs see or mail on the caf\xC3\xA9 well known");
  const std::string text = FFolder.Write(
      "text.txt",
      "It\xE2\x80\x99s fine, it's John's book\xE2\x80\x94then \xE2\x80\x9Cquoted\xE2\x80\x9D "
      "end\xE2\x80\xA6 costs 5\xE2\x82\xAC. See https://example.com or mail me@example.org on "
      "the 1st.\n"
      "\xE2\x80\x9Cqoted\xE2\x80\x9D\xE2\x80\x94thne\xE2\x80\xA6 5\xE2\x82\xAC cafe\xCC\x81 "
      "wel-known well-known\xC2\xA0seee\n");
  CheckOptions options = Options(dict);
  options.Files = {text};
  options.MaxSuggestions = 0;
  EXPECT_EQ(RunCheck(options, FServices, FOut), kExitMisspelled);
  // Columns count characters; a decomposed accent is looked up composed; a
  // hyphenated word is shown whole.
  EXPECT_THAT(Lines(FOut.str()), ElementsAre(text + ":2:2: qoted", text + ":2:9: thne",
                                             text + ":2:24: wel-known", text + ":2:45: seee"));
}

// check reads its text in pieces: small pieces find the same words at the
// same places as the whole text, markup open across pieces included.
TEST_F(CommandsTest, CheckFindsTheSameWordsPieceByPiece) {
  const std::string dict = Learn("fine world the");
  ToolChecker dictionary(false);
  dictionary.OpenSpellFile(dict);
  DictionarySet checker;
  checker.Add(dictionary);
  std::string text;
  for (int i = 0; i < 30; ++i) {
    text += "fine wrold <!-- qqqz\nqqqz --> the\xE2\x80\x94" "caf\xC3\xA9 " + std::string(i, ' ') +
            "<b\nclass=x>fien</b>\n";
  }
  const auto shown = [](const std::vector<UnknownWord>& words) {
    std::vector<std::string> out;
    for (const UnknownWord& u : words) {
      out.push_back(std::to_string(u.Line) + ":" + std::to_string(u.Column) + " " + u.Word);
    }
    return out;
  };
  const std::vector<std::string> whole =
      shown(FindUnknownWords(checker, text, false, MarkupMode::kHtml));
  ASSERT_EQ(whole.size(), 90u);
  EXPECT_EQ(whole[0], "1:6 wrold");
  EXPECT_EQ(whole[1], "2:14 caf\xC3\xA9");
  EXPECT_EQ(whole[2], "3:9 fien");
  std::istringstream in(text);
  std::vector<UnknownWord> pieces;
  ForEachUnknownWord(checker, in, "-", false, MarkupMode::kHtml,
                     [&](const UnknownWord& u) { pieces.push_back(u); }, 24);
  EXPECT_EQ(shown(pieces), whole);
  // A NUL byte is binary input, wherever it comes.
  std::istringstream binary(text + std::string(1, '\0'));
  EXPECT_THROW(ForEachUnknownWord(checker, binary, "-", false, MarkupMode::kPlain,
                                  [](const UnknownWord&) {}, 24),
               CliError);
}

TEST_F(CommandsTest, SuggestNamesCorrectWordsAndLimitsCorrections) {
  const std::string dict = Learn("the the the ten tea tech cat");
  CheckOptions options = Options(dict);
  options.MaxSuggestions = 2;
  EXPECT_EQ(RunSuggest({"the", "The", "cat"}, options, FServices, FOut), kExitOk);
  EXPECT_THAT(Lines(FOut.str()),
              ElementsAre("the: (correct)", "The: (correct)", "cat: (correct)"));
  std::ostringstream out;
  EXPECT_EQ(RunSuggest({"Teh", "qqqqqqqq"}, options, FServices, out), kExitMisspelled);
  const std::string printed = out.str();
  EXPECT_THAT(Lines(printed), ElementsAre(StartsWith("Teh: The, "), "qqqqqqqq:"));
  EXPECT_EQ(std::count(printed.begin(), printed.end(), ','), 1);
}

// The prompts and the file's text after an interactive check of Text with
// Commands, against a dictionary learned from Words.
struct Session {
  std::string Prompts, Text;
};

class InteractiveCheckTest : public CommandsTest {
 protected:
  Session Run(const std::string& words, const std::string& text, const std::string& commands) {
    FDictionary = Learn(words);
    FFile = FFolder.Write("text.txt", text);
    CheckOptions options = Options(FDictionary);
    options.Files = {FFile};
    std::istringstream in(commands);
    std::ostringstream prompts;
    EXPECT_EQ(RunInteractiveCheck(options, FServices, in, prompts), kExitOk);
    return {prompts.str(), testing_support::ReadFile(FFile)};
  }
  std::string FDictionary, FFile;
};

TEST_F(InteractiveCheckTest, CorrectsTheFileAndStopsOnRequest) {
  const Session s = Run("the the cat sat on mat", "teh cat\n'The' mta\nsta\n", "0\nr Mat\nq\n");
  // "'The'" is no question: capitalised and quoted, it is a known word.
  EXPECT_EQ(s.Text, "the cat\n'The' Mat\nsta\n");
  EXPECT_THAT(s.Prompts, HasSubstr(FFile + ":1:1: teh\n  teh cat\n  ^^^\n  0) the\n"));
  EXPECT_THAT(s.Prompts, HasSubstr(FFile + ":2:7: mta\n"));
  EXPECT_THAT(s.Prompts, HasSubstr(FFile + ":3:1: sta\n"));
  EXPECT_THAT(s.Prompts, Not(HasSubstr("The'\n")));
}

// A quoted word once got no corrections (they were sought with the quotes)
// and was added to the dictionary with its quotes, so it stayed unknown.
TEST_F(InteractiveCheckTest, CorrectsAndAddsAQuotedWordWithoutItsQuotes) {
  const Session s = Run("the the cat sat on mat", "'Teh' \xE2\x80\x99zork\xE2\x80\x99 'zork'\n", "0\na\n");
  EXPECT_EQ(s.Text, "'The' \xE2\x80\x99zork\xE2\x80\x99 'zork'\n");
  EXPECT_THAT(s.Prompts, HasSubstr(":1:1: 'Teh'\n  'Teh' \xE2\x80\x99zork\xE2\x80\x99 'zork'\n  ^^^^^\n  0) The\n"));
  // Added once without quotes, the word is known at its next occurrence.
  EXPECT_EQ(std::count(s.Prompts.begin(), s.Prompts.end(), '>'), 2);
  ToolChecker checker(false);
  OpenDictionary(checker, FDictionary, FServices);
  EXPECT_EQ(checker.Frequency("zork"), 1u);
}

// The checker's pass cuts with the dictionary's byte delimiters; the
// dialog asks only about what plain check would report.
TEST_F(InteractiveCheckTest, AsksOnlyWhatCheckReports) {
  const Session s = Run("the book then see or mail on",
                        "the book\xE2\x80\x94then, see https://example.com/x or mail "
                        "me@example.org on the 1st\xE2\x80\xA6 teh\n",
                        "0\n");
  EXPECT_EQ(s.Text,
            "the book\xE2\x80\x94then, see https://example.com/x or mail me@example.org on the "
            "1st\xE2\x80\xA6 the\n");
  EXPECT_EQ(std::count(s.Prompts.begin(), s.Prompts.end(), '>'), 1);
  EXPECT_THAT(s.Prompts, HasSubstr(": teh\n"));
}

// Suggest and the pipe once ordered a capitalised word's corrections
// differently with the sort methods; one function serves both now.
TEST_F(CommandsTest, SuggestAndThePipeGiveTheSameOrderInBothRankings) {
  const std::string dict =
      Learn("the the the then than ten tea tech teeth cat cot cut cart recieve receive relieve");
  for (const TSuggestionRanking ranking : {srkLikelihood, srkSortMethods}) {
    SCOPED_TRACE(ranking);
    const std::vector<std::string> words = {"Teh", "TEH", "teh", "Caat", "Recieev"};
    CheckOptions options = Options(dict);
    options.Ranking = ranking;
    std::ostringstream suggested;
    RunSuggest(words, options, FServices, suggested);

    ToolChecker checker(false);
    OpenDictionary(checker, dict, FServices);
    std::istringstream in("Teh TEH teh Caat Recieev\n");
    std::ostringstream out, err;
    PipeOptions pipe;
    pipe.Ranking = ranking;
    ASSERT_EQ(RunPipe(checker, in, out, err, pipe), 0);
    std::vector<std::string> from_pipe;
    for (const std::string& line : Lines(out.str())) {
      // "& WORD N OFFSET: a, b" becomes "WORD: a, b", as suggest prints it.
      if (!line.starts_with("& ")) continue;
      const std::size_t colon = line.find(':');
      from_pipe.push_back(line.substr(2, line.find(' ', 2) - 2) + line.substr(colon));
    }
    EXPECT_EQ(Lines(suggested.str()), from_pipe);
    EXPECT_EQ(from_pipe.size(), words.size());
  }
}

TEST_F(CommandsTest, CountPrintsWordsInByteOrder) {
  const std::string text = FFolder.Write("count.txt", "b a B b\n\xC3\xA9t\xC3\xA9 a-b a");
  EXPECT_EQ(RunCount({text}, true, FServices, FOut), kExitOk);
  EXPECT_EQ(FOut.str(), "B\t1\na\t3\nb\t3\n\xC3\xA9t\xC3\xA9\t1\n");
}

TEST_F(CommandsTest, AddDeleteListAndInfo) {
  const std::string dict = FFolder.Path("new.spl");
  EXPECT_EQ(RunModify(dict, {"zebra", "apple", "mango"}, true, FServices, FErr), kExitOk);
  EXPECT_EQ(RunModify(dict, {"mango", "kiwi"}, false, FServices, FErr), kExitOk);
  EXPECT_EQ(FErr.str(), "wordloom: kiwi: not in the dictionary\n");
  EXPECT_EQ(RunList(dict, "", "", FServices, FOut), kExitOk);
  EXPECT_EQ(FOut.str(), "apple\nzebra\n");
  std::ostringstream from_b;
  RunList(dict, "b", "", FServices, from_b);
  EXPECT_EQ(from_b.str(), "zebra\n");

  std::ostringstream info;
  EXPECT_EQ(RunInfo(dict, FServices, info), kExitOk);
  EXPECT_THAT(Lines(info.str()),
              ElementsAre("file:                " + dict, "protected:           no",
                          "words:               2", StartsWith("nodes:"),
                          "total frequency:     2", "node index width:    1 byte",
                          "word number width:   1 byte", StartsWith("delimiters:          UTF-8 set"),
                          "delimiter after word: excluded", "input:               text",
                          "encoded block size:  variable"));
  // Deleting from a dictionary that is not there changes nothing.
  EXPECT_THROW(RunModify(FFolder.Path("missing.spl"), {"x"}, false, FServices, FErr), CliError);
  EXPECT_FALSE(fs::exists(FFolder.Path("missing.spl")));
}

// A new dictionary from counts alone once failed ("List index out of
// bounds"), and a count of billions was added one at a time.
TEST_F(CommandsTest, LearnAddsCountsAndRefusesBadLines) {
  // A new dictionary learned from Counts, opened again.
  const auto learned = [this](const std::string& name, const std::string& counts) {
    LearnOptions options;
    options.CountsFile = FFolder.Write(name + ".tsv", counts);
    options.Output = FFolder.Path(name + ".spl");
    EXPECT_EQ(RunLearn(options, FServices), kExitOk);
    auto checker = std::make_unique<ToolChecker>(false);
    OpenDictionary(*checker, options.Output, FServices);
    return checker;
  };
  const auto counted = learned("counted", "apple\t3\nbanana\t1\r\n\napple\t2\n");
  EXPECT_EQ(counted->Frequency("apple"), 5u);
  EXPECT_EQ(counted->Frequency("banana"), 1u);
  // The file keeps frequencies in fewer bytes; the word is what counts here.
  EXPECT_GT(learned("largest", "the\t4294967295\n")->Frequency("the"), 0u);
  // Sums past the largest frequency saturate where the file stores them,
  // instead of refusing, and leave the other words' sums alone.
  const auto summed = learned("summed", "the\t4294967295\nthe\t7\nof\t3\nthe\t1\nof\t2\n");
  EXPECT_EQ(summed->Frequency("of"), 5u);
  EXPECT_EQ(summed->Frequency("the"), WidthMax(SpellWidth(summed->WordCount())));

  const struct {
    const char* lines;
    const char* message;
  } kBad[] = {
      {"apple 3\n", ":1: expected word<TAB>count"},
      {"ok\t1\n\t4\n", ":2: expected word<TAB>count"},
      {"apple\t0\n", ":1: the count must be a whole number"},
      {"apple\t3x\n", ":1: the count must be a whole number"},
  };
  for (const auto& bad : kBad) {
    SCOPED_TRACE(bad.lines);
    LearnOptions refused;
    refused.CountsFile = FFolder.Write("bad.tsv", bad.lines);
    refused.Output = FFolder.Path("refused.spl");
    try {
      RunLearn(refused, FServices);
      ADD_FAILURE() << "no error";
    } catch (const CliError& e) {
      EXPECT_THAT(e.what(), HasSubstr(refused.CountsFile + bad.message));
    }
    EXPECT_FALSE(fs::exists(refused.Output));
  }
}

TEST_F(CommandsTest, TheDictionarysNameGivesTheLanguageOfItsSuggestions) {
  // The same words as an English and as a German dictionary: English
  // spellings by ear count only in the first.
  const std::string text = "phonetic fanatic Tür";
  const std::string english = Learn(text, "words.spl");
  const std::string german = Learn(text, "de_DE.spl");
  std::ostringstream from_english, from_german;
  RunSuggest({"fonetik", "Tur"}, Options(english), FServices, from_english);
  RunSuggest({"fonetik", "Tur"}, Options(german), FServices, from_german);
  EXPECT_THAT(Lines(from_english.str()), ElementsAre(HasSubstr("phonetic"), "Tur: Tür"));
  EXPECT_THAT(Lines(from_german.str()), ElementsAre(Not(HasSubstr("phonetic")), "Tur: Tür"));
}

TEST(ErrorText, NonPrintableBytesAreEscapedAndUtf8Kept) {
  EXPECT_EQ(PrintableText("plain words: 1, 2"), "plain words: 1, 2");
  EXPECT_EQ(PrintableText(std::string("a\x01\nb\x7f", 5)), "a\\x01\\x0ab\\x7f");
  EXPECT_EQ(PrintableText(std::string("nul\0", 4)), "nul\\x00");
  // Valid UTF-8 of two, three and four bytes stays as it is.
  EXPECT_EQ(PrintableText("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"),
            "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80");
  // A lone lead byte, a stray continuation, an overlong form and a surrogate do not.
  EXPECT_EQ(PrintableText("\xc3x \x80 \xc0\xaf \xed\xa0\x80"),
            "\\xc3x \\x80 \\xc0\\xaf \\xed\\xa0\\x80");
  EXPECT_EQ(PrintableText("\xe2\x82"), "\\xe2\\x82");  // cut short at the end

  std::ostringstream err;
  EXPECT_EQ(ReportError(err, "x\x1b[31m: bad"), kExitError);
  EXPECT_EQ(err.str(), "wordloom: x\\x1b[31m: bad\n");
}

}  // namespace
}  // namespace wordloom::cli
