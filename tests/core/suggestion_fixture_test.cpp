// The order of suggestions, from the fixture files in tests/data/suggestions/
// (the format is described in the README there). Every fixture runs under both
// rankings; each case line says which ranking it expects.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wordloom/wordloom.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace wordloom {
namespace {

using ::testing::ElementsAreArray;
using Words = std::vector<std::string>;

// Relative to the project root, where the tests run.
const char kFixtureFolder[] = "tests/data/suggestions";
// Listed by name, so that a fixture missing from the folder fails rather than
// silently not running.
const char* const kFixtures[] = {"examples", "capital_twins", "common_typos"};

// One line of a fixture that does something: adds a word, changes a
// property, or checks the suggestions for a misspelling.
struct Step {
  enum Kind { kWord, kSet, kCase } What;
  int Line;
  std::string Word;            // kWord: the word; kCase: the misspelling
  std::uint32_t Times = 1;     // kWord
  std::string Property;        // kSet
  std::string Value;           // kSet
  bool Sort = false;           // kCase: checked under srkSortMethods
  bool Likelihood = false;     // kCase: checked under srkLikelihood
  Words Expected;              // kCase
  bool MoreMayFollow = false;  // kCase: the line ended with "...": only the first are fixed
};

[[noreturn]] void Malformed(const std::string& file, int line, const std::string& why) {
  throw std::runtime_error(file + ":" + std::to_string(line) + ": " + why);
}

Words Tokens(const std::string& text) {
  std::istringstream in(text);
  Words tokens;
  for (std::string t; in >> t;) tokens.push_back(t);
  return tokens;
}

// Each group of consecutive case lines must check every misspelling under
// both rankings, so that no case runs under one ranking only.
void CheckBothRankings(const std::string& file, const std::vector<Step>& steps, std::size_t first) {
  std::map<std::string, int> sort, likelihood;
  for (std::size_t i = first; i < steps.size(); ++i) {
    if (steps[i].Sort) ++sort[steps[i].Word];
    if (steps[i].Likelihood) ++likelihood[steps[i].Word];
  }
  if (sort != likelihood) {
    Malformed(file, steps[first].Line,
              "the cases from here on do not name the same misspellings under both rankings");
  }
}

std::vector<Step> ReadFixture(const std::string& file) {
  std::ifstream in(file);
  if (!in) throw std::runtime_error("cannot open " + file);
  std::vector<Step> steps;
  constexpr std::size_t kNoGroup = static_cast<std::size_t>(-1);
  std::size_t group = kNoGroup;  // the first case line of the current group
  auto end_group = [&] {
    if (group != kNoGroup) CheckBothRankings(file, steps, group);
    group = kNoGroup;
  };
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    Step s;
    s.Line = number;
    const std::size_t colon = line.find(':');
    const Words head = Tokens(line.substr(0, colon));
    if (head.empty()) Malformed(file, number, "no keyword");
    if (head[0] == "word" && colon == std::string::npos && (head.size() == 2 || head.size() == 3)) {
      end_group();
      s.What = Step::kWord;
      s.Word = head[1];
      if (head.size() == 3) s.Times = static_cast<std::uint32_t>(std::stoul(head[2]));
    } else if (head[0] == "set" && colon == std::string::npos && head.size() == 3) {
      end_group();
      s.What = Step::kSet;
      s.Property = head[1];
      s.Value = head[2];
    } else if ((head[0] == "sort" || head[0] == "likelihood" || head[0] == "both") &&
               colon != std::string::npos && head.size() == 2) {
      if (group == kNoGroup) group = steps.size();
      s.What = Step::kCase;
      s.Sort = head[0] != "likelihood";
      s.Likelihood = head[0] != "sort";
      s.Word = head[1] == "\"\"" ? "" : head[1];
      s.Expected = Tokens(line.substr(colon + 1));
      if (!s.Expected.empty() && s.Expected.back() == "...") {
        s.Expected.pop_back();
        s.MoreMayFollow = true;
      }
    } else {
      Malformed(file, number, "not a word, set or case line: " + line);
    }
    steps.push_back(s);
  }
  end_group();
  return steps;
}

TSortMethod SortMethodNamed(const std::string& name, int line) {
  const std::pair<const char*, TSortMethod> kNames[] = {{"alphabetic", scpAlphabetic},
                                                        {"frequency", scpFrequency},
                                                        {"deviation", scpDeviation},
                                                        {"none", scpNone}};
  for (const auto& [n, m] : kNames) {
    if (name == n) return m;
  }
  throw std::runtime_error("line " + std::to_string(line) + ": no sort method " + name);
}

void Apply(TVelkSpellChecker& c, const Step& s) {
  const auto number = [&] { return static_cast<std::uint32_t>(std::stoul(s.Value)); };
  if (s.Property == "MaxDevAppend") {
    c.SetMaxDevAppend(number());
  } else if (s.Property == "MaxDevInsert") {
    c.SetMaxDevInsert(number());
  } else if (s.Property == "MaxDevDelete") {
    c.SetMaxDevDelete(number());
  } else if (s.Property == "MaxDevSubstitute") {
    c.SetMaxDevSubstitute(number());
  } else if (s.Property == "SuggestionLimit") {
    c.SetSuggestionLimit(number());
  } else if (s.Property == "SortMethod1") {
    c.SetSortMethod1(SortMethodNamed(s.Value, s.Line));
  } else if (s.Property == "SortMethod2") {
    c.SetSortMethod2(SortMethodNamed(s.Value, s.Line));
  } else {
    throw std::runtime_error("line " + std::to_string(s.Line) + ": no property " + s.Property);
  }
}

std::string RankingName(TSuggestionRanking r) {
  return r == srkSortMethods ? "sort" : "likelihood";
}

// One fixture under one ranking; printed as its test name ("examples_sort").
struct FixtureRun {
  std::string Name;
  TSuggestionRanking Ranking;
  friend void PrintTo(const FixtureRun& r, std::ostream* out) {
    *out << r.Name << "_" << RankingName(r.Ranking);
  }
};

std::vector<FixtureRun> AllRuns() {
  std::vector<FixtureRun> runs;
  for (const char* name : kFixtures) {
    for (TSuggestionRanking r : {srkSortMethods, srkLikelihood}) runs.push_back({name, r});
  }
  return runs;
}

class SuggestionFixtureTest : public ::testing::TestWithParam<FixtureRun> {};

TEST_P(SuggestionFixtureTest, SuggestsInTheExpectedOrder) {
  const TSuggestionRanking ranking = GetParam().Ranking;
  const std::string file = std::string(kFixtureFolder) + "/" + GetParam().Name + ".txt";
  std::vector<Step> steps;
  ASSERT_NO_THROW(steps = ReadFixture(file));

  TVelkSpellChecker c(nullptr);
  c.InitFirstSpellNode();
  c.SetSuggestionRanking(ranking);
  int checked = 0;
  for (const Step& s : steps) {
    switch (s.What) {
      case Step::kWord:
        c.AddToSpell(s.Word, s.Times);
        break;
      case Step::kSet:
        ASSERT_NO_THROW(Apply(c, s));
        break;
      case Step::kCase: {
        if (!(ranking == srkSortMethods ? s.Sort : s.Likelihood)) break;
        SCOPED_TRACE(file + ":" + std::to_string(s.Line) + ": \"" + s.Word + "\"");
        c.Suggest(s.Word);
        Words got(c.Suggestions().begin(), c.Suggestions().end());
        if (s.MoreMayFollow && got.size() > s.Expected.size()) got.resize(s.Expected.size());
        EXPECT_THAT(got, ElementsAreArray(s.Expected));
        ++checked;
        break;
      }
    }
  }
  EXPECT_GT(checked, 0) << "no case for the " << RankingName(ranking) << " ranking";
}

INSTANTIATE_TEST_SUITE_P(Fixtures, SuggestionFixtureTest, ::testing::ValuesIn(AllRuns()),
                         [](const ::testing::TestParamInfo<FixtureRun>& info) {
                           return ::testing::PrintToString(info.param);
                         });

TEST(SuggestionFixtureFilesTest, EveryFixtureFileIsListed) {
  Words on_disk;
  for (const auto& e : std::filesystem::directory_iterator(kFixtureFolder)) {
    if (e.path().extension() == ".txt") on_disk.push_back(e.path().stem().string());
  }
  Words listed(std::begin(kFixtures), std::end(kFixtures));
  std::sort(on_disk.begin(), on_disk.end());
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(on_disk, listed);
}

}  // namespace
}  // namespace wordloom
