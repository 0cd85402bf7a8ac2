#include "pipe_mode.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wordloom/wordloom.h>

#include <sys/stat.h>

#include <filesystem>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "support/dictionary.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace wordloom::cli {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using testing_support::FileNames;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;


const char kHeader[] = "@(#) International Ispell Version 3.2.06 (but really Wordloom 9.8.7)";

// A checker that knows exactly the given words.
class Dictionary {
 public:
  explicit Dictionary(const std::vector<std::string>& words) : checker(nullptr) {
    testing_support::AddWords(checker, words);
  }
  TVelkSpellChecker checker;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

struct PipeRun {
  int status = -1;
  std::vector<std::string> lines;
  std::string errors;
};

PipeRun Pipe(TVelkSpellChecker& checker, const std::string& input, PipeOptions options = {}) {
  if (options.Version.empty()) options.Version = "9.8.7";
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  PipeRun r;
  r.status = RunPipe(checker, in, out, err, options);
  r.lines = Lines(out.str());
  r.errors = err.str();
  return r;
}

TEST(PipeWords, CutsLettersAndCountsCharacters) {
  auto texts = [](const std::vector<PipeWord>& words) {
    std::vector<std::string> t;
    for (const PipeWord& w : words) t.push_back(w.Text + "@" + std::to_string(w.Offset));
    return t;
  };
  EXPECT_THAT(texts(SplitWords("hello, world!")), ElementsAre("hello@0", "world@7"));
  // Punctuation cuts words, a word holding digits is no word to check; an
  // apostrophe between letters stays, one at either edge does not; names
  // joined by an underscore are identifiers, no prose.
  EXPECT_THAT(texts(SplitWords("abc123def x/y a_b")), ElementsAre("x@10", "y@12"));
  EXPECT_THAT(texts(SplitWords("'don't' rock''n o'")),
              ElementsAre("don't@1", "rock@8", "n@14", "o@16"));
  // Offsets count characters: "café " is five characters but six bytes.
  EXPECT_THAT(texts(SplitWords("café wrold")), ElementsAre("café@0", "wrold@5"));
  EXPECT_THAT(texts(SplitWords("naïve naïvé zzzq")), ElementsAre("naïve@0", "naïvé@6", "zzzq@12"));
  // Non-ASCII punctuation, symbols and emoji part words; each counts as one
  // character, a bad byte too.
  EXPECT_THAT(texts(SplitWords("a–b “c” d…😀e €f \xFFg")),
              ElementsAre("a@0", "b@2", "c@5", "d@8", "e@11", "f@14", "g@17"));
  // Starting further in still counts from the start of the line.
  EXPECT_THAT(texts(SplitWords("^é wrold", 1)), ElementsAre("é@1", "wrold@3"));
  EXPECT_THAT(texts(SplitWords("hello", 2)), ElementsAre("llo@2"));
  EXPECT_THAT(SplitWords(""), IsEmpty());
  EXPECT_THAT(SplitWords(" 12 -- 3. "), IsEmpty());
}

TEST(PipeProtocol, TypographicTextGivesNoFalseAlarmAndOffsetsInCharacters) {
  Dictionary d({"it's", "fine", "John", "book", "then", "quoted", "end", "costs", "see", "or",
                "mail", "on", "the", "world", "don't"});
  const struct {
    const char* Name;
    const char* Line;
    std::vector<std::string> Answers;
  } kCases[] = {
      {"the sample line",
       "It’s fine, it's John's book—then “quoted” end… costs 5€. See https://example.com or "
       "mail me@example.org on the 1st.",
       std::vector<std::string>(14, "*")},
      {"offsets after multibyte punctuation",
       "“wrold”—wrold…\xC2\xA0wrold",
       {"& wrold 1 1: world", "& wrold 1 8: world", "& wrold 1 15: world"}},
      {"the writer's apostrophe is shown, the dictionary's is looked up",
       "😀 Qx’zzv",
       {"# Qx’zzv 2"}},
      {"a correction keeps the writer's apostrophe",
       "dom’t dom't",
       {"& dom’t 1 0: don’t", "& dom't 1 6: don't"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Name);
    const PipeRun r = Pipe(d.checker, std::string(c.Line) + "\n");
    ASSERT_EQ(r.lines.size(), c.Answers.size() + 2);
    EXPECT_EQ(std::vector<std::string>(r.lines.begin() + 1, r.lines.end() - 1), c.Answers);
    EXPECT_EQ(r.lines.back(), "");
  }
}

TEST(PipeProtocol, MarkupModesLeaveCommandsAndTagsUnchecked) {
  Dictionary d({"world", "fine"});
  PipeOptions tex;
  tex.Mode = MarkupMode::kTex;
  PipeRun r = Pipe(d.checker, "\\textbf{wrold} \\emph{fine} % qqqz\n", tex);
  EXPECT_THAT(r.lines, ElementsAre(StartsWith("@(#)"), "& wrold 1 8: world", "*", ""));
  PipeOptions html;
  html.Mode = MarkupMode::kHtml;
  html.ListMode = true;
  r = Pipe(d.checker, "<p class=\"qqqz\">wrold &nbsp;fine</p>\n", html);
  EXPECT_THAT(r.lines, ElementsAre("wrold"));
  // "+" switches TeX mode on and "-" off again, as in ispell.
  r = Pipe(d.checker, "^\\emph{fine}\n+\n^\\emph{fine}\n-\n^\\emph{fine}\n");
  EXPECT_THAT(r.lines, ElementsAre(StartsWith("@(#)"), StartsWith("# emph"), "*", "", "*", "",
                                   StartsWith("# emph"), "*", ""));
}

// Markup open at the end of a line goes on in the next: a script, a
// comment, a TeX math block, a Markdown fence.
TEST(PipeProtocol, MarkupThatSpansLinesStaysUnchecked) {
  Dictionary d({"fine"});
  const struct {
    MarkupMode Mode;
    const char* Input;
  } kCases[] = {
      {MarkupMode::kHtml, "<script>\nvar qqqz;\n</script> fine\n<!--\nqqqz\n-->fine\n"},
      {MarkupMode::kTex, "$$\nqqqz\n$$ fine\n\\cite{\nqqqz} fine\n"},
      {MarkupMode::kMarkdown, "```\nqqqz\n```\nfine\n"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Input);
    PipeOptions options;
    options.Mode = c.Mode;
    options.ListMode = true;
    EXPECT_THAT(Pipe(d.checker, c.Input, options).lines, IsEmpty());
  }
}

// A line longer than the bound is checked in parts; the offsets count from
// the start of the line, and the line still gets one closing empty line.
TEST(PipeProtocol, ALongLineIsCheckedInPartsWithItsOffsets) {
  Dictionary d({"fine", "world"});
  std::string line = "^";
  for (int i = 0; i < 40; ++i) line += "fine \xE2\x80\x94 wrold ";
  PipeOptions small;
  small.MaxPiece = 16;
  small.Terse = true;
  const PipeRun parts = Pipe(d.checker, line + "\nfine\n", small);
  PipeOptions whole_lines;
  whole_lines.Terse = true;
  const PipeRun whole = Pipe(d.checker, line + "\nfine\n", whole_lines);
  EXPECT_EQ(parts.lines, whole.lines);
  ASSERT_EQ(parts.lines.size(), 1u + 40u + 1u + 1u);
  EXPECT_EQ(parts.lines[1], "& wrold 1 8: world");
  EXPECT_EQ(parts.lines[40], "& wrold 1 " + std::to_string(8 + 39 * 13) + ": world");
  EXPECT_EQ(parts.lines[41], "");
  EXPECT_EQ(parts.lines[42], "");
}

TEST(PipeProtocol, AnswersEachLineWithOneResultPerWordAndAnEmptyLine) {
  Dictionary d({"hello", "wonderful", "the", "café", "naïve"});
  const PipeRun r = Pipe(d.checker,
                         "hello wonderfull\n"
                         "^hello wonderfull\n"
                         "\n"
                         "   xyzzq\n"
                         "café wonderfull\n"
                         "naïve naïvé 42 zzzqzzzq\n"
                         "12, 13.\n"
                         "^*hello\n"
                         "the hello\r\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_THAT(r.lines, ElementsAre(kHeader,
                                   // hello wonderfull
                                   "*", "& wonderfull 1 6: wonderful", "",
                                   // ^hello wonderfull: the caret counts
                                   "*", "& wonderfull 1 7: wonderful", "",
                                   // an empty line
                                   "",
                                   // nothing near enough to suggest
                                   "# xyzzq 3", "",
                                   // é is one character, two bytes
                                   "*", "& wonderfull 1 5: wonderful", "", "*",
                                   "& naïvé 1 6: naïve",
                                   "# zzzqzzzq 15", "",
                                   // no words: just the empty line
                                   "",
                                   // ^ checks text that starts with a command character
                                   "*", "",
                                   // a carriage return before the newline is no part of the line
                                   "*", "*", ""));
}

TEST(PipeProtocol, PrintsTheWordAsItStoodAndAtMostTenSuggestions) {
  // Twelve words one substitution away from "bat".
  std::vector<std::string> words;
  for (char c : std::string("cfhmoprsvxyz")) words.push_back(std::string(1, c) + "at");
  Dictionary d(words);
  const PipeRun r = Pipe(d.checker, "bat\n");
  ASSERT_EQ(r.lines.size(), 3u);
  // The pipe ranks by likelihood and leaves the checker's settings as they were.
  EXPECT_EQ(d.checker.SuggestionRanking(), srkSortMethods);
  d.checker.SetSuggestionRanking(srkLikelihood);
  d.checker.Suggest("bat");
  ASSERT_EQ(d.checker.Suggestions().Count(), 12);
  std::string expected = "& bat 10 0:";
  for (int i = 0; i < 10; ++i) expected += (i == 0 ? " " : ", ") + d.checker.Suggestions()[i];
  EXPECT_EQ(r.lines[1], expected);
  EXPECT_EQ(r.lines[2], "");
}

TEST(PipeProtocol, CapitalisedAndAllCapitalWordsAreKnownThroughTheirLowerCase) {
  Dictionary d({"hello", "Paris", "wonderful"});
  const std::string input = "Hello HELLO hello hELLO Paris PARIS paris Wonderfull WONDERFULL\n";
  PipeRun r = Pipe(d.checker, input);
  // Mixed case is no known form, but its suggestions come from the lower case.
  EXPECT_THAT(r.lines, ElementsAre(kHeader, "*", "*", "*", "& hELLO 1 18: hello", "*", "*",
                                   "& paris 1 36: Paris", "& Wonderfull 1 42: Wonderful",
                                   "& WONDERFULL 1 53: WONDERFUL", ""));
  PipeOptions exact;
  exact.CaseSensitive = true;
  r = Pipe(d.checker, "Hello hello Paris PARIS\n", exact);
  ASSERT_EQ(r.lines.size(), 6u);
  EXPECT_THAT(r.lines[1], StartsWith("& Hello "));
  EXPECT_EQ(r.lines[2], "*");
  EXPECT_EQ(r.lines[3], "*");
  EXPECT_THAT(r.lines[4], StartsWith("& PARIS "));
}

TEST(PipeProtocol, CommandsChangeTheSession) {
  const TempDir dir;
  const std::string personal = dir.File("commands.pws");
  Dictionary d({"hello"});
  PipeOptions options;
  options.PersonalFile = personal;
  const PipeRun r = Pipe(d.checker,
                         "qwzz\n"
                         "*qwzz\n"  // add to the personal dictionary
                         "qwzz\n"
                         "&Blorp\n"  // add in lower case
                         "blorp Blorp\n"
                         "@Mnbvcx\n"  // this session only
                         "Mnbvcx mnbvcx\n"
                         "!\n"  // terse: known words print nothing
                         "hello mnbvcx Mnbvcx\n"
                         "%\n"
                         "hello\n"
                         "~hello zyx\n"
                         "+\n"
                         "-\n"
                         "+tex mode\n"
                         "$$xyz\n"
                         "$$cr hello\n"
                         "#\n",
                         options);
  EXPECT_EQ(r.status, 0);
  EXPECT_THAT(r.lines, ElementsAre(kHeader, "# qwzz 0", "", "*", "", "*", "*", "", "*",
                                   "# mnbvcx 7", "", "# mnbvcx 6", "", "*", ""));
  // Only the personal words are saved, and the session word is not.
  EXPECT_EQ(ReadFile(personal), "qwzz\nblorp\n");
  EXPECT_FALSE(std::filesystem::exists(personal + ".wordloom-new"));
  // Personal and session words are known without changing the dictionary.
  EXPECT_EQ(d.checker.WordCount(), 1u);
}

TEST(PipeProtocol, ASingleDollarIsTextAndEmptyCommandsDoNothing) {
  Dictionary d({"hello"});
  const PipeRun r = Pipe(d.checker, "$hello\n*\n&\n@\nhello\n");
  EXPECT_THAT(r.lines, ElementsAre(kHeader, "*", "", "*", ""));
  EXPECT_EQ(d.checker.WordCount(), 1u);
}

TEST(PipeProtocol, StartsTerseWhenAsked) {
  Dictionary d({"hello"});
  PipeOptions options;
  options.Terse = true;
  const PipeRun r = Pipe(d.checker, "hello hullo\n%\nhello\n", options);
  EXPECT_THAT(r.lines, ElementsAre(kHeader, "& hullo 1 6: hello", "", "*", ""));
}

TEST(PipeProtocol, HeaderWithoutVersion) {
  Dictionary d({"hello"});
  std::istringstream in("");
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunPipe(d.checker, in, out, err, PipeOptions{}), 0);
  EXPECT_EQ(out.str(), "@(#) International Ispell Version 3.2.06 (but really Wordloom)\n");
}

TEST(PipeProtocol, PersonalDictionaryIsLoadedAndKeptOnSave) {
  const TempDir dir;
  const std::string personal = dir.File("loaded.pws");
  testing_support::WriteFile(personal, "frobnicate\r\n\n  Grault  \nhello\n");
  EXPECT_THAT(LoadPersonal(personal), ElementsAre("frobnicate", "Grault", "hello"));
  EXPECT_THAT(LoadPersonal(dir.File("no_such_file.pws")), IsEmpty());

  Dictionary d({"hello"});
  PipeOptions options;
  options.PersonalFile = personal;
  const PipeRun r =
      Pipe(d.checker, "frobnicate Grault grault\n*quux\n*quux\n*frobnicate\n#\n", options);
  EXPECT_THAT(r.lines, ElementsAre(kHeader, "*", "*", "& grault 1 18: Grault", ""));
  // A word the dictionary had already is not counted again.
  EXPECT_EQ(d.checker.Frequency("hello"), 1u);
  // The loaded words are written back with the new one, each once.
  EXPECT_EQ(ReadFile(personal), "frobnicate\nGrault\nhello\nquux\n");

  // A missing personal file is not an error; "#" creates it.
  const std::string fresh = dir.File("fresh.pws");
  options.PersonalFile = fresh;
  Dictionary e({"hello"});
  EXPECT_EQ(Pipe(e.checker, "hello\n&Word\n#\n", options).status, 0);
  EXPECT_EQ(ReadFile(fresh), "word\n");
}

TEST(PipeProtocol, FailedSaveIsTheExitStatusAndLeavesNoTemporaryFile) {
  const TempDir temp;
  const std::string dir = temp.File("no_such_dir");
  Dictionary d({"hello"});
  PipeOptions options;
  options.PersonalFile = dir + "/words.pws";
  const PipeRun r = Pipe(d.checker, "*qwzz\n#\nqwzz\n", options);
  EXPECT_EQ(r.status, 1);
  // The session goes on after the failure, which the error stream names.
  EXPECT_THAT(r.lines, ElementsAre(kHeader, "*", ""));
  EXPECT_EQ(r.errors, "wordloom: cannot write the personal dictionary: Cannot write \"" + dir +
                          "/words.pws\". No such file or directory\n");

  // Saving over an existing file replaces it whole.
  const std::string file = temp.File("replace.pws");
  SavePersonal(file, {"alpha", "beta", "gamma"});
  SavePersonal(file, {"delta"});
  EXPECT_EQ(ReadFile(file), "delta\n");
  EXPECT_THAT(FileNames(temp.Path()), ElementsAre("replace.pws"));
  EXPECT_THROW(SavePersonal(dir + "/x.pws", {"alpha"}), EWriteError);
}

TEST(PipeProtocol, SaveFollowsALinkAndRefusesAReadOnlyList) {
  const TempDir temp;
  const std::string real = temp.File("real.pws");
  WriteFile(real, "old\n");
  std::filesystem::create_symlink("real.pws", temp.Path() / "link.pws");
  // A file planted under the name the old save used is neither followed nor touched.
  WriteFile(temp.File("link.pws.wordloom-new"), "planted\n");
  Dictionary d({"hello"});
  PipeOptions options;
  options.PersonalFile = temp.File("link.pws");
  EXPECT_EQ(Pipe(d.checker, "*qwzz\n#\n", options).status, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(temp.Path() / "link.pws"));
  EXPECT_EQ(ReadFile(real), "old\nqwzz\n");
  EXPECT_EQ(ReadFile(temp.File("link.pws.wordloom-new")), "planted\n");

  ASSERT_EQ(::chmod(real.c_str(), 0444), 0);
  const PipeRun r = Pipe(d.checker, "*more\n#\n", options);
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.errors, HasSubstr("read-only"));
  EXPECT_EQ(ReadFile(real), "old\nqwzz\n");
}

TEST(PipeProtocol, ListModePrintsUnknownWordsOnly) {
  Dictionary d({"hello", "world"});
  PipeOptions options;
  options.ListMode = true;
  const PipeRun r = Pipe(d.checker, "hello wrold\n\n*hello Hello xyzzq\n#\n^wrold\n", options);
  // No header, no commands: every line is text.
  EXPECT_THAT(r.lines, ElementsAre("wrold", "xyzzq", "wrold"));
}

// A stream buffer that records what had been written at each flush.
class FlushRecorder : public std::stringbuf {
 public:
  std::vector<std::string> AtFlush;

 protected:
  int sync() override {
    AtFlush.push_back(str());
    return 0;
  }
};

TEST(PipeProtocol, FlushesAfterEveryAnswer) {
  Dictionary d({"hello"});
  FlushRecorder buf;
  std::ostream out(&buf);
  std::istringstream in("hello\n*qwzz\nqwzz hullo\n");
  PipeOptions options;
  options.Version = "1";
  std::ostringstream err;
  ASSERT_EQ(RunPipe(d.checker, in, out, err, options), 0);
  const std::string header = "@(#) International Ispell Version 3.2.06 (but really Wordloom 1)\n";
  // Each answer is on its way before the next line is read.
  std::vector<std::string> complete;
  for (const std::string& s : buf.AtFlush) {
    if (complete.empty() || complete.back() != s) complete.push_back(s);
  }
  EXPECT_THAT(complete,
              ElementsAre(header, header + "*\n\n", header + "*\n\n*\n& hullo 1 5: hello\n\n"));
}

}  // namespace
}  // namespace wordloom::cli
