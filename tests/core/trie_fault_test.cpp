// WordTrie::FindFault, the check every opened spell file goes through, against
// the tests' own TrieInvariantsHold, which checks the same invariants through
// the public API: both must pass every trie the dictionary builds, and both
// must report every way a trie can be broken.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/word_trie.h"
#include "support/dictionary.h"
#include "support/trie_invariants.h"
#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

using testing_support::AddWords;
using testing_support::TrieInvariantsHold;

// Reaches the trie the dictionary holds.
class Probe : public TVelkWordloom {
 public:
  using TVelkWordloom::TVelkWordloom;
  detail::WordTrie& Trie() { return *FNodeList; }
};

// A dictionary's nodes and word entries as plain records that a test can break.
struct Records {
  std::vector<TSpellNode> Nodes;
  std::vector<TWordEntry> Entries;  // one per word

  explicit Records(const TVelkWordloom& d) {
    for (std::uint32_t i = 0; i < d.NodeCount(); ++i) Nodes.push_back(d.SpellNode(i));
    for (std::uint32_t w = 0; w < d.WordCount(); ++w) Entries.push_back(d.WordTableEntry(w));
  }
  // The node reached from the root along Path. REQUIRES: the path exists.
  TSpellNode& At(std::string_view Path) { return Nodes[static_cast<std::size_t>(IndexOf(Path))]; }
  std::int32_t IndexOf(std::string_view Path) const {
    std::int32_t i = 0;
    for (char c : Path) {
      const TSpellNode& n = Nodes[static_cast<std::size_t>(i)];
      const std::size_t k = n.ChildLetters.find(c);
      EXPECT_NE(k, std::string::npos) << "no path " << Path;
      if (k == std::string::npos) return 0;
      i = n.Children[k];
    }
    return i;
  }
  // Drops the link from Parent to its child by Letter.
  void Unlink(std::string_view Parent, char Letter) {
    TSpellNode& p = At(Parent);
    const std::size_t k = p.ChildLetters.find(Letter);
    p.ChildLetters.erase(k, 1);
    p.Children.erase(p.Children.begin() + static_cast<std::ptrdiff_t>(k));
    --p.ChildCount;
  }
  // Adds a link from Parent to node Child by Letter (nothing else changes).
  void Link(std::string_view Parent, char Letter, std::int32_t Child) {
    TSpellNode& p = At(Parent);
    p.ChildLetters += Letter;
    p.Children.push_back(Child);
    ++p.ChildCount;
  }
  // Replaces Dict's trie and word table with these records, as they are.
  void InstallIn(Probe& Dict) const {
    detail::WordTrie trie;
    for (const TSpellNode& n : Nodes) trie.AppendNode(n);
    trie.SetWordCapacity(static_cast<std::uint32_t>(Entries.size()));
    for (std::uint32_t w = 0; w < Entries.size(); ++w) trie.Entry(w) = Entries[w];
    trie.SetWordCount(static_cast<std::uint32_t>(Entries.size()));
    Dict.Trie().Swap(trie);
  }
};

// Expects both checks to pass Dict's trie. A leaf without a word is allowed:
// a removal takes such nodes away, but a file may hold them harmlessly.
void ExpectBothPass(Probe& Dict) {
  EXPECT_EQ(Dict.Trie().FindFault(), "");
  EXPECT_TRUE(TrieInvariantsHold(Dict, /*AllowDeadEnds=*/true));
}

// Words with shared beginnings and a root with more than 32 children, whose
// children block maps letters to positions.
void FillBase(Probe& d) {
  std::vector<std::string> words = {"a", "ab", "abc", "b", "ba", "cab", "cat", "cats"};
  for (char c = 'A'; c <= 'Z'; ++c) words.push_back(std::string(1, c) + "x");
  for (char c = 'd'; c <= 'k'; ++c) words.push_back(std::string(1, c));
  AddWords(d, words);
}

// Word I of the learned text: I in base 7, a letter a digit, lowest first, so
// that the words share many beginnings.
std::string LearnedWord(int I) {
  std::string w;
  for (int n = I; n > 0; n /= 7) w += static_cast<char>('a' + n % 7);
  return w;
}

TEST(TrieFaultCrossCheckTest, BothPassEveryTrieTheDictionaryBuilds) {
  {
    SCOPED_TRACE("no nodes");
    Probe d(nullptr);
    ExpectBothPass(d);
  }
  {
    SCOPED_TRACE("the root alone");
    Probe d(nullptr);
    d.InitFirstSpellNode();
    ExpectBothPass(d);
  }
  Probe base(nullptr);
  FillBase(base);
  {
    SCOPED_TRACE("added words");
    ExpectBothPass(base);
  }
  {
    SCOPED_TRACE("the same records installed again");
    Probe copy(nullptr);
    Records(base).InstallIn(copy);
    ExpectBothPass(copy);
  }
  Probe learned(nullptr);
  learned.SetDelimiterOption(wldExclFirstSucc);
  std::string text;
  for (int i = 1; i <= 3000; ++i) text += LearnedWord(i) + ' ';
  TMemoryStream stream(text);
  learned.AddStreamToSpell(stream);
  ASSERT_EQ(learned.WordCount(), 3000u);
  {
    SCOPED_TRACE("learned from text");
    ExpectBothPass(learned);
  }
  {
    SCOPED_TRACE("after deleting words");
    for (const char* w : {"a", "ab", "cats", "ba", "Qx", "k"}) base.DeleteFromSpell(w);
    for (int i = 3; i <= 3000; i += 3) learned.DeleteFromSpell(LearnedWord(i));
    ASSERT_EQ(learned.WordCount(), 2000u);
    ExpectBothPass(base);
    ExpectBothPass(learned);
  }
  {
    SCOPED_TRACE("after reduction");
    std::uint32_t count = learned.WordCount() / 3;
    learned.ReduceSpell(count);
    ExpectBothPass(learned);
  }
  {
    SCOPED_TRACE("read back from a spell file");
    TMemoryStream file;
    learned.WriteSpellFileToStream(file);
    file.SetPosition(0);
    Probe back(nullptr);
    back.ReadSpellFileFromStream(file);
    EXPECT_EQ(back.WordCount(), learned.WordCount());
    ExpectBothPass(back);
  }
}

TEST(TrieFaultCrossCheckTest, BothReportEveryCorruption) {
  Probe base(nullptr);
  FillBase(base);
  const Records good(base);
  const std::int32_t nodes = static_cast<std::int32_t>(good.Nodes.size());
  const std::uint32_t words = static_cast<std::uint32_t>(good.Entries.size());

  const struct {
    const char* name;
    std::function<void(Records&)> corrupt;
  } kCorruptions[] = {
      {"a parent that does not link the node",
       [](Records& r) { r.At("ab").Parent = r.IndexOf("b"); }},
      {"a parent past the node list", [&](Records& r) { r.At("ab").Parent = nodes; }},
      {"a letter other than the parent's link", [](Records& r) { r.At("ab").Letter = 'x'; }},
      {"a child index past the node list", [&](Records& r) { r.At("a").Children[0] = nodes; }},
      {"a negative child index", [](Records& r) { r.At("a").Children[0] = -1; }},
      {"the root as a child", [](Records& r) { r.At("a").Children[0] = 0; }},
      {"a child linked twice by one parent", [](Records& r) { r.Link("a", 'b', r.IndexOf("ab")); }},
      {"a child linked by a second parent", [](Records& r) { r.Link("b", 'b', r.IndexOf("ab")); }},
      {"two children with one letter",
       [](Records& r) {
         // "cat" takes the letter of its sibling "cab", link and node alike.
         r.At("cat").Letter = 'b';
         TSpellNode& ca = r.At("ca");
         ca.ChildLetters[ca.ChildLetters.find('t')] = 'b';
       }},
      {"two children with one letter among many",
       [](Records& r) {
         // The root's child "k" takes the letter of its sibling "d".
         const std::int32_t k = r.IndexOf("k");
         r.Nodes[0].ChildLetters[r.Nodes[0].ChildLetters.find('k')] = 'd';
         r.Nodes[static_cast<std::size_t>(k)].Letter = 'd';
       }},
      {"a cycle apart from the root",
       [](Records& r) {
         // "c" leaves the root and hangs below its own grandchild "ca".
         const std::int32_t c = r.IndexOf("c");
         const std::int32_t ca = r.IndexOf("ca");
         r.Link("ca", 'c', c);
         r.Unlink("", 'c');
         r.Nodes[static_cast<std::size_t>(c)].Parent = ca;
       }},
      {"a node that is its own parent",
       [](Records& r) {
         const std::int32_t c = r.IndexOf("c");
         r.Link("c", 'c', c);
         r.Unlink("", 'c');
         r.Nodes[static_cast<std::size_t>(c)].Parent = c;
       }},
      {"a subtree no one links", [](Records& r) { r.Unlink("", 'b'); }},
      {"an extra node no one links",
       [](Records& r) {
         TSpellNode orphan;
         orphan.Parent = 0;
         orphan.Letter = 'z';
         r.Nodes.push_back(orphan);
       }},
      {"a node other than the root without a parent", [](Records& r) { r.At("ab").Parent = -1; }},
      {"a word number above the word count",
       [&](Records& r) { r.At("ab").WordNumber = words + 1; }},
      {"a word entry naming another word's node",
       [](Records& r) { r.Entries[1].Node = r.Entries[0].Node; }},
      {"a word entry naming a node without a word",
       [](Records& r) { r.Entries[0].Node = r.IndexOf("ca"); }},
      {"a word entry past the node list", [&](Records& r) { r.Entries[0].Node = nodes; }},
      {"a negative word entry", [](Records& r) { r.Entries[0].Node = -1; }},
      {"two nodes with one word number",
       [](Records& r) { r.At("ba").WordNumber = r.At("b").WordNumber; }},
      {"a word node without its number", [](Records& r) { r.At("ab").WordNumber = 0; }},
      {"the root with a parent", [](Records& r) { r.Nodes[0].Parent = r.IndexOf("a"); }},
      {"the root with a letter", [](Records& r) { r.Nodes[0].Letter = 'r'; }},
      {"the root carrying a word",
       [](Records& r) {
         // Word 1 ("a") moves to the root; its entry follows, so the table agrees.
         r.At("a").WordNumber = 0;
         r.Nodes[0].WordNumber = 1;
         r.Entries[0].Node = 0;
       }},
  };
  {
    SCOPED_TRACE("uncorrupted");
    Probe d(nullptr);
    good.InstallIn(d);
    ExpectBothPass(d);
  }
  for (const auto& c : kCorruptions) {
    SCOPED_TRACE(c.name);
    Records broken = good;
    c.corrupt(broken);
    Probe d(nullptr);
    broken.InstallIn(d);
    EXPECT_NE(d.Trie().FindFault(), "") << "FindFault missed it";
    EXPECT_FALSE(TrieInvariantsHold(d, /*AllowDeadEnds=*/true)) << "TrieInvariantsHold missed it";
  }
}

}  // namespace
}  // namespace wordloom
