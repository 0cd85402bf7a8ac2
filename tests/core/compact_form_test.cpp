// The compact form of a dictionary answers as its trie does: the same words
// with the same numbers and frequencies, the same suggestions in the same
// order, before and after words are added and deleted; and a form that is
// stale, truncated or damaged is never used.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wordloom/wordloom.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "checking/compact_form.h"
#include "dictionary/word_trie.h"
#include "support/temp_dir.h"
#include "wordloom/platform/scripted_services.h"

namespace wordloom {
namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;
using Words = std::vector<std::string>;

// A checker with its trie in reach.
class Probe : public TVelkSpellChecker {
 public:
  explicit Probe(const std::string& folder = {}) : TVelkSpellChecker(nullptr) {
    SetSpellFileOptions({});
    SetSuggestionRanking(srkLikelihood);
    SetCompactFormFolder(folder);
  }
  const detail::WordTrie& Trie() const { return *FNodeList; }
  Words Suggested(const std::string& typo) {
    Suggest(typo);
    return Words(Suggestions().begin(), Suggestions().end());
  }
};

// Words of an inflected toy language: stems and endings shared among many
// words, some capitalised, with counts.
Words RandomWords(std::mt19937& rng, int count) {
  static const char* const kStems[] = {"re",   "ceiv", "form", "nat",  "un",  "pre", "tell",
                                       "walk", "ion",  "par",  "ish",  "def", "in",  "it",
                                       "occ",  "ur",   "ten",  "the",  "ab",  "x"};
  static const char* const kEnds[] = {"", "e", "ed", "ing", "s", "er", "est", "ly", "ion", "'s"};
  Words words;
  std::uniform_int_distribution<int> stem(0, std::size(kStems) - 1), end(0, std::size(kEnds) - 1),
      parts(1, 3), capital(0, 9);
  for (int i = 0; i < count; ++i) {
    std::string w;
    for (int p = parts(rng); p > 0; --p) w += kStems[stem(rng)];
    w += kEnds[end(rng)];
    if (capital(rng) == 0) w[0] = static_cast<char>(w[0] - 32 * (w[0] >= 'a' && w[0] <= 'z'));
    words.push_back(w);
  }
  return words;
}

// Misspellings near Word: a letter left out, doubled, changed, two swapped.
Words NearMisses(const std::string& word, std::mt19937& rng) {
  Words out;
  std::uniform_int_distribution<std::size_t> at(0, word.size() - 1);
  std::uniform_int_distribution<int> letter('a', 'z');
  std::string w = word;
  w.erase(at(rng), 1);
  out.push_back(w);
  w = word;
  w.insert(at(rng), 1, static_cast<char>(letter(rng)));
  out.push_back(w);
  w = word;
  w[at(rng)] = static_cast<char>(letter(rng));
  out.push_back(w);
  if (word.size() > 1) {
    w = word;
    const std::size_t i = at(rng) % (word.size() - 1);
    std::swap(w[i], w[i + 1]);
    out.push_back(w);
  }
  return out;
}

// Every word of Plain, and near misses, have the same frequency and the same
// suggestions in Compact.
void ExpectSameAnswers(Probe& plain, Probe& compact, const Words& words, std::mt19937& rng) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    SCOPED_TRACE(words[i]);
    ASSERT_EQ(compact.Frequency(words[i]), plain.Frequency(words[i]));
    if (i % 4 != 0) continue;  // suggestions for a sample: each takes a search
    for (const std::string& typo : NearMisses(words[i], rng)) {
      SCOPED_TRACE(typo);
      ASSERT_EQ(compact.Frequency(typo), plain.Frequency(typo));
      ASSERT_EQ(compact.Suggested(typo), plain.Suggested(typo));
    }
  }
}

TEST(CompactFormTest, FormGivesEveryWordItsRankNumberAndFrequency) {
  std::mt19937 rng(7);
  Probe dict;
  dict.InitFirstSpellNode();
  for (const std::string& w : RandomWords(rng, 400)) dict.AddToSpell(w, 1 + rng() % 1000);
  const detail::WordTrie& trie = dict.Trie();
  const std::string bytes = detail::CompactForm::Build(trie, {1, 2, 3});
  std::vector<std::uint64_t> aligned((bytes.size() + 7) / 8);
  std::memcpy(aligned.data(), bytes.data(), bytes.size());
  std::string why;
  auto form = detail::CompactForm::Open(reinterpret_cast<const std::uint8_t*>(aligned.data()),
                                        bytes.size(), nullptr, why);
  ASSERT_TRUE(form) << why;
  EXPECT_EQ(form->WordCount(), trie.WordCount());
  // Shared endings make fewer states than the trie has nodes.
  EXPECT_LT(form->StateCount(), trie.NodeCount());
  std::vector<bool> rank_seen(trie.WordCount());
  for (std::uint32_t w = 1; w <= trie.WordCount(); ++w) {
    const std::string word = dict.ExtractSpellWord(static_cast<std::uint32_t>(trie.Entry(w - 1).Node));
    SCOPED_TRACE(word);
    const std::int64_t rank = form->Find(word);
    ASSERT_GE(rank, 0);
    const auto r = static_cast<std::uint32_t>(rank);
    EXPECT_FALSE(rank_seen[r]);
    rank_seen[r] = true;
    EXPECT_EQ(form->WordAt(r), word);
    EXPECT_EQ(form->NumberAt(r), w);
    EXPECT_EQ(form->FrequencyAt(r), trie.Entry(w - 1).Frequency);
    for (const std::string& miss : NearMisses(word, rng)) {
      EXPECT_EQ(form->Find(miss) >= 0, dict.Frequency(miss) > 0) << miss;
    }
  }
  EXPECT_EQ(form->WordAt(trie.WordCount()), "");
}

// A property over random dictionaries: opened through the form, then
// changed by adding and deleting words, a dictionary answers as the same
// dictionary read as a trie.
TEST(CompactFormTest, SameAnswersAsTheTrieBeforeAndAfterChanges) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    TempDir dir;
    const std::string spell = dir.File("d.spl");
    Words words = RandomWords(rng, 150 + 60 * static_cast<int>(seed));
    {
      Probe maker;
      maker.InitFirstSpellNode();
      for (const std::string& w : words) maker.AddToSpell(w, 1 + rng() % 3000);
      maker.SaveSpellFile(spell, false);
    }
    Probe plain;
    plain.OpenSpellFile(spell);
    ASSERT_FALSE(plain.UsesCompactForm());
    {
      // The first open makes the form in the folder and uses it at once.
      Probe first(dir.File("cache"));
      first.OpenSpellFile(spell);
      ASSERT_TRUE(first.UsesCompactForm());
      ExpectSameAnswers(plain, first, words, rng);
    }
    Probe compact(dir.File("cache"));
    compact.OpenSpellFile(spell);
    ASSERT_TRUE(compact.UsesCompactForm());
    EXPECT_EQ(compact.WordCount(), plain.WordCount());
    EXPECT_EQ(compact.NodeCount(), plain.NodeCount());
    ASSERT_TRUE(compact.UsesCompactForm());
    ExpectSameAnswers(plain, compact, words, rng);

    // Words added (new and known ones), deleted, added again.
    const Words added = RandomWords(rng, 40);
    for (std::size_t i = 0; i < added.size(); ++i) {
      for (Probe* p : {&plain, &compact}) p->AddToSpell(added[i], 1 + static_cast<std::uint32_t>(i));
      if (i % 3 == 0) {
        const std::string& gone = i % 2 == 0 ? words[i] : added[i / 2];
        for (Probe* p : {&plain, &compact}) p->DeleteFromSpell(gone);
      }
    }
    for (Probe* p : {&plain, &compact}) p->AddToSpell(words[0]);
    ASSERT_TRUE(compact.UsesCompactForm());
    Words all = words;
    all.insert(all.end(), added.begin(), added.end());
    ExpectSameAnswers(plain, compact, all, rng);
    EXPECT_EQ(compact.WordCount(), plain.WordCount());
  }
}

TEST(CompactFormTest, OtherChangesLeaveTheFormForTheTrie) {
  TempDir dir;
  Probe maker;
  maker.InitFirstSpellNode();
  const Words words = {"receive", "relieve", "deceive", "believe", "recede"};
  for (std::size_t i = 0; i < words.size(); ++i) maker.AddToSpell(words[i], 10 - static_cast<std::uint32_t>(i));
  maker.SaveSpellFile(dir.File("d.spl"), false);
  Probe plain;
  plain.OpenSpellFile(dir.File("d.spl"));
  Probe compact(dir.File("cache"));
  compact.OpenSpellFile(dir.File("d.spl"));
  ASSERT_TRUE(compact.UsesCompactForm());
  // A reduction renumbers and drops words: the trie answers from then on.
  for (Probe* p : {&plain, &compact}) {
    std::uint32_t count = 2;
    p->ReduceSpell(count);
  }
  EXPECT_FALSE(compact.UsesCompactForm());
  EXPECT_EQ(compact.WordCount(), plain.WordCount());
  for (const std::string& w : words) EXPECT_EQ(compact.Frequency(w), plain.Frequency(w)) << w;
  EXPECT_EQ(compact.Suggested("recieve"), plain.Suggested("recieve"));
}

// Opens Spell with forms looked for beside it and in Folder.
bool OpensThroughForm(const std::string& spell, const std::string& folder = {}) {
  Probe p(folder);
  p.OpenSpellFile(spell);
  return p.UsesCompactForm() && p.Frequency("receive") == 5 && p.Frequency("recieve") == 0;
}

class CompactFileTest : public ::testing::Test {
 protected:
  CompactFileTest() {
    Probe maker;
    maker.InitFirstSpellNode();
    maker.AddToSpell("receive", 5);
    maker.AddToSpell("relieve", 2);
    maker.SaveSpellFile(spell, false);
    maker.SaveCompactForm(beside);
  }
  std::string Bytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
  }
  TempDir dir;
  std::string spell = dir.File("d.spl");
  std::string beside = spell + ".compact";
};

TEST_F(CompactFileTest, FormBesideTheFileIsUsedWhileItIsCurrent) {
  EXPECT_TRUE(OpensThroughForm(spell));
  // Stale: the spell file changed since the form was made.
  Probe changer;
  changer.OpenSpellFile(spell);
  changer.AddToSpell("deceive");
  changer.SaveSpellFile(dir.File("other.spl"), false);
  fs::copy_file(dir.File("other.spl"), spell, fs::copy_options::overwrite_existing);
  Probe reader;
  reader.OpenSpellFile(spell);
  EXPECT_FALSE(reader.UsesCompactForm());
  EXPECT_EQ(reader.Frequency("deceive"), 1u);
  // With a cache folder, a current form is made there instead.
  EXPECT_TRUE(fs::exists(beside));
  Probe cached(dir.File("cache"));
  cached.OpenSpellFile(spell);
  EXPECT_TRUE(cached.UsesCompactForm());
  EXPECT_EQ(cached.Frequency("deceive"), 1u);
}

TEST_F(CompactFileTest, DamagedFormsAreNeverTrustedAndRemadeInTheCache) {
  const std::string good = Bytes(beside);
  const struct {
    const char* what;
    std::string bytes;
  } kCases[] = {
      {"truncated", good.substr(0, good.size() - 8)},
      {"header only", good.substr(0, 96)},
      {"a bit flipped in the words", [&] {
         std::string b = good;
         b[200] = static_cast<char>(b[200] ^ 0x10);
         return b;
       }()},
      {"a bit flipped in the header", [&] {
         std::string b = good;
         b[44] = static_cast<char>(b[44] ^ 0x01);
         return b;
       }()},
      {"longer", good + std::string(8, '\0')},
      {"empty", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    Write(beside, c.bytes);
    EXPECT_FALSE(OpensThroughForm(spell));
    // The cache's copy is damaged the same way: made again, then used.
    const std::string cache = dir.File("cache");
    Probe first(cache);
    first.OpenSpellFile(spell);
    ASSERT_TRUE(first.UsesCompactForm());
    for (const auto& e : fs::directory_iterator(cache)) Write(e.path().string(), c.bytes);
    EXPECT_TRUE(OpensThroughForm(spell, cache));
    for (const auto& e : fs::directory_iterator(cache)) EXPECT_EQ(Bytes(e.path().string()), good);
  }
}

TEST_F(CompactFileTest, NodesAreReadFromTheOpenedFileWhenFirstNeeded) {
  Probe p;
  p.OpenSpellFile(spell);
  ASSERT_TRUE(p.UsesCompactForm());
  // Replaced on disk (a save renames a new file over it): the trie is read
  // from the file that was opened.
  Probe other;
  other.InitFirstSpellNode();
  other.AddToSpell("other");
  other.SaveSpellFile(spell, false);
  EXPECT_EQ(p.SpellNode(0).Parent, -1);  // reads the nodes
  EXPECT_EQ(p.Frequency("receive"), 5u);
  EXPECT_EQ(p.Frequency("other"), 0u);
  EXPECT_TRUE(p.UsesCompactForm());
}

TEST_F(CompactFileTest, ProtectedFilesGetNoForm) {
  // A form would keep the words of a protected file in the clear.
  TScriptedServices app;
  ScopedApplicationServices scope(app);
  app.PasswordNext("secret1");
  Probe maker;
  maker.InitFirstSpellNode();
  maker.AddToSpell("hidden");
  maker.SaveSpellFile(dir.File("p.spl"), true);
  app.PasswordNext("secret1");
  Probe reader(dir.File("cache"));
  reader.OpenSpellFile(dir.File("p.spl"));
  EXPECT_EQ(reader.SpellFileName(), dir.File("p.spl"));
  EXPECT_FALSE(reader.UsesCompactForm());
  EXPECT_FALSE(fs::exists(dir.File("cache")));
  EXPECT_THROW(reader.SaveCompactForm(dir.File("p.spl.compact")), EWriteError);
}

}  // namespace
}  // namespace wordloom
