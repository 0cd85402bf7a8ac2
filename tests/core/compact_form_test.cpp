// The compact form of a dictionary answers as its trie does: the same words
// with the same numbers and frequencies, the same suggestions in the same
// order, before and after words are added and deleted; and a form that is
// stale, truncated or damaged is never used.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>
#include <wordloom/wordloom.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "checking/compact_form.h"
#include "dictionary/word_trie.h"
#include "storage/compact_files.h"
#include "storage/file_stamp.h"
#include "support/compact_form.h"
#include "support/temp_dir.h"
#include "wordloom/platform/coding.h"
#include "wordloom/platform/file_writer.h"
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
  // Words whose texts share more than 255 bytes, or differ in more; and
  // neighbours that grow past a short word's room and shrink back within it.
  const std::string k(200, 'k');
  for (const std::string& w : {std::string(300, 'q'), std::string(300, 'q') + "z", std::string(600, 'w'), k + "a",
                               k + std::string(40, 'b'), k + std::string(40, 'b') + "c", k + "d"}) {
    dict.AddToSpell(w, 3);
  }
  const detail::WordTrie& trie = dict.Trie();
  std::string why;
  const auto form = testing_support::OpenBuiltForm(detail::CompactForm::Build(trie, {1, 2, 3}), why);
  ASSERT_TRUE(form) << why;
  ASSERT_TRUE(form->HasTexts());
  EXPECT_EQ(form->WordCount(), trie.WordCount());
  // Shared endings make fewer states than the trie has nodes.
  EXPECT_LT(form->StateCount(), trie.NodeCount());
  std::vector<bool> rank_seen(trie.WordCount());
  std::uint32_t every_letter = 0;
  for (std::uint32_t w = 1; w <= trie.WordCount(); ++w) {
    const std::string word = dict.ExtractSpellWord(static_cast<std::uint32_t>(trie.Entry(w - 1).Node));
    SCOPED_TRACE(word);
    const std::int64_t rank = form->Find(word);
    ASSERT_GE(rank, 0);
    // Each state on the word's way has the rest of the word's letters below it.
    std::uint32_t state = form->Root();
    for (std::size_t i = 0; i < word.size(); ++i) {
      std::uint32_t rest = 0;
      for (std::size_t j = i; j < word.size(); ++j) {
        rest |= detail::CompactForm::LetterBit(static_cast<std::uint8_t>(word[j]));
      }
      every_letter |= rest;
      EXPECT_EQ(form->LettersBelow(state) & rest, rest) << i;
      const detail::CompactForm::Arcs arcs = form->ArcsOf(state);
      const auto* at = std::find(arcs.Letters, arcs.Letters + arcs.Count, static_cast<std::uint8_t>(word[i]));
      ASSERT_NE(at, arcs.Letters + arcs.Count);
      state = arcs.Targets[at - arcs.Letters];
    }
    const auto r = static_cast<std::uint32_t>(rank);
    EXPECT_FALSE(rank_seen[r]);
    rank_seen[r] = true;
    EXPECT_EQ(form->WordAt(r), word);
    std::string text;
    EXPECT_TRUE(form->TextAt(r, text));
    EXPECT_EQ(text, word);
    EXPECT_EQ(form->NumberAt(r), w);
    EXPECT_EQ(form->FrequencyAt(r), trie.Entry(w - 1).Frequency);
    for (const std::string& miss : NearMisses(word, rng)) {
      EXPECT_EQ(form->Find(miss) >= 0, dict.Frequency(miss) > 0) << miss;
    }
  }
  EXPECT_EQ(form->WordAt(trie.WordCount()), "");
  std::string past = "x";
  EXPECT_FALSE(form->TextAt(trie.WordCount(), past));
  EXPECT_EQ(past, "");
  // The root has exactly the letters of the words, and nothing is below a
  // state out of range that a search could leave out.
  EXPECT_EQ(form->LettersBelow(form->Root()), every_letter);
  EXPECT_EQ(form->LettersBelow(static_cast<std::uint32_t>(form->ByteSize())), ~0u);

  // One speller spells every rank as WordAt does, whether the ranks come in
  // order (sharing the way down), backwards, or at random.
  std::vector<std::uint32_t> ranks(trie.WordCount());
  for (std::uint32_t r = 0; r < ranks.size(); ++r) ranks[r] = r;
  std::vector<std::uint32_t> backwards(ranks.rbegin(), ranks.rend());
  std::vector<std::uint32_t> shuffled = ranks;
  std::shuffle(shuffled.begin(), shuffled.end(), rng);
  for (const auto* order : {&ranks, &backwards, &shuffled}) {
    detail::CompactForm::Speller speller(*form);
    std::string word;
    for (std::uint32_t r : *order) {
      speller.Spell(r, word);
      ASSERT_EQ(word, form->WordAt(r)) << r;
    }
    speller.Spell(trie.WordCount(), word);
    EXPECT_EQ(word, "");
  }
}

// A form whose checksum holds but whose state records were written wrong
// (as a faulty writer would) gives wrong answers, never a read outside the
// form or a walk in circles.
TEST(CompactFormTest, DamagedStateRecordsAreReadAsNoTransitions) {
  Probe dict;
  dict.InitFirstSpellNode();
  for (const char* w : {"a", "an", "and", "ant", "bee"}) dict.AddToSpell(w, 2);
  const std::string good = detail::CompactForm::Build(dict.Trie(), {1, 2, 3});
  constexpr std::size_t kRoot = 96;  // the root's record starts the states
  auto damaged = [&](const std::function<void(std::uint8_t*)>& Change) {
    std::string bytes = good;
    auto* b = reinterpret_cast<std::uint8_t*>(bytes.data());
    Change(b);
    EncodeFixed64(b + 72, detail::CompactForm::Checksum(b, bytes.size()));
    std::string why;
    auto form = testing_support::OpenBuiltForm(bytes, why);
    EXPECT_TRUE(form) << why;
    return form;
  };
  {
    // More transitions than the section holds.
    const auto form = damaged([](std::uint8_t* b) { EncodeFixed32(b + kRoot, 200); });
    ASSERT_TRUE(form);
    EXPECT_EQ(form->ArcsOf(form->Root()).Count, 0u);
    EXPECT_EQ(form->Find("and"), -1);
    EXPECT_EQ(form->WordAt(2), "");
  }
  {
    // The root's first transition leads back to the root.
    const auto form = damaged([](std::uint8_t* b) {
      const std::uint32_t n = DecodeFixed32(b + kRoot);
      EncodeFixed32(b + kRoot + 8 + 4 * ((n + 3) / 4), 0);
    });
    ASSERT_TRUE(form);
    EXPECT_EQ(form->Find("a"), -1);
    EXPECT_EQ(form->Find("and"), -1);
    EXPECT_EQ(form->WordAt(0), "");
  }
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

// Records in Folder a stamp of kind Kind and value Value for the file Name
// as it is now, as a read of it leaves one: once the clock has passed the
// file's last change, so that any later change gives it another identity.
void StampAsRead(const std::string& folder, detail::StampKind kind, const std::string& name,
                 const detail::StampValue& value) {
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  detail::FileIdentity id;
  ASSERT_TRUE(detail::IdentityOf(fd, id));
  std::int64_t started = 0;
  while ((started = detail::StampClock()) <= id.ChangedNs) usleep(1000);
  detail::RecordStamp(folder, kind, fd, id, value, started);
  close(fd);
  detail::StampValue found;
  EXPECT_TRUE(detail::LookUpStamp(folder, kind, id, found));
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

// How many of the pages of a file the page cache holds.
std::size_t CachedPages(const std::string& name) {
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  const auto size = static_cast<std::size_t>(fs::file_size(name));
  void* data = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
  close(fd);
  if (data == MAP_FAILED) return 0;
  const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  std::vector<unsigned char> resident((size + page - 1) / page);
  std::size_t count = 0;
  if (mincore(data, size, resident.data()) == 0) {
    for (unsigned char r : resident) count += r & 1;
  }
  munmap(data, size);
  return count;
}

// Forms are written out of the page cache, so that lookups bring back single
// pages rather than the large pieces writing leaves there, which a mapping
// maps whole.
TEST_F(CompactFileTest, WrittenFormsLeaveNothingInThePageCache) {
  struct statfs where {};
  if (statfs(dir.File("").c_str(), &where) != 0 || where.f_type == TMPFS_MAGIC) {
    GTEST_SKIP() << "the page cache is where tmpfs keeps its files";
  }
  EXPECT_EQ(CachedPages(beside), 0u);
  Probe cached(dir.File("cache"));
  fs::remove(beside);
  cached.OpenSpellFile(spell);
  ASSERT_TRUE(cached.UsesCompactForm());
  std::vector<fs::path> forms;
  for (const auto& entry : fs::directory_iterator(dir.File("cache"))) {
    if (entry.path().extension() == ".compact") forms.push_back(entry.path());
  }
  ASSERT_EQ(forms.size(), 1u);
  EXPECT_EQ(CachedPages(forms[0].string()), 0u);
  EXPECT_EQ(cached.Frequency("receive"), 5u);
}

// The resident size in KiB of the mapping that starts at Address, as
// /proc/self/smaps gives it; -1 when there is none.
long ResidentKiB(const void* Address) {
  std::ifstream smaps("/proc/self/smaps");
  const auto wanted = reinterpret_cast<std::uintptr_t>(Address);
  bool inside = false;
  for (std::string line; std::getline(smaps, line);) {
    std::uintptr_t start = 0;
    if (std::sscanf(line.c_str(), "%" SCNxPTR "-", &start) == 1 && line.find('-') < 17) {
      inside = start == wanted;
    } else if (inside && line.rfind("Rss:", 0) == 0) {
      return std::stol(line.substr(4));
    }
  }
  return -1;
}

// A lookup holds the pages it touches, not the whole 2 MiB piece of the page
// cache that a file written in one go sits in on current kernels.
TEST(CompactMappingTest, ATouchMapsAFewPagesNotAWholePiece) {
  TempDir dir;
  const std::string name = dir.File("big");
  const std::size_t size = std::size_t{8} << 20;
  FileWriter().SaveBytes(name, std::string(size, 'x'));
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  void* data = detail::MapOffPieces(fd, size);
  close(fd);
  ASSERT_NE(data, MAP_FAILED);
  const auto* bytes = static_cast<const volatile char*>(data);
  EXPECT_EQ(bytes[(std::size_t{5} << 20) + 123], 'x');
  EXPECT_EQ(bytes[size - 1], 'x');
  const long resident = ResidentKiB(data);
  EXPECT_GT(resident, 0);
  EXPECT_LE(resident, 512);
  munmap(data, size);
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
      // What an earlier release left in the cache: whole and with its
      // checksum right, but laid out as that version was.
      {"an older version", [&] {
         std::string b = good;
         auto* bytes = reinterpret_cast<std::uint8_t*>(b.data());
         EncodeFixed32(bytes + 8, detail::CompactForm::kVersion - 1);
         EncodeFixed64(bytes + 72, detail::CompactForm::Checksum(bytes, b.size()));
         return b;
       }()},
  };
  detail::ContentKey key;
  ASSERT_TRUE(detail::SpellFileHandle::Open(spell)->Read(key, nullptr));
  const std::string stamps = dir.File("stamps");
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    // A stamp of the good form, as its first use leaves, vouches for that
    // file as it was, not for what a write made of it.
    Write(beside, good);
    StampAsRead(stamps, detail::StampKind::kFormChecksum, beside,
                {detail::CompactForm::StoredChecksum(reinterpret_cast<const std::uint8_t*>(good.data())), 0});
    Write(beside, c.bytes);
    std::string why;
    EXPECT_FALSE(detail::MapCompactForm(beside, key, why, stamps));
    EXPECT_FALSE(OpensThroughForm(spell));
    // The cache's copy is damaged the same way: made again, then used.
    const std::string cache = dir.File("cache");
    Probe first(cache);
    first.OpenSpellFile(spell);
    ASSERT_TRUE(first.UsesCompactForm());
    auto forms = [&] {
      std::vector<std::string> names;
      for (const auto& e : fs::directory_iterator(cache)) {
        if (e.path().extension() == ".compact") names.push_back(e.path().string());
      }
      return names;
    };
    for (const std::string& name : forms()) Write(name, c.bytes);
    EXPECT_TRUE(OpensThroughForm(spell, cache));
    for (const std::string& name : forms()) EXPECT_EQ(Bytes(name), good);
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

// Stamps spare reading a spell file whose identity is the stamped one, and
// only that: a stamp is made to claim the key of other words, and whichever
// way the file is changed, copied or replaced, it is read again.
TEST_F(CompactFileTest, StampIsTrustedOnlyWhileTheFileIsTheOneStamped) {
  const std::string cache = dir.File("cache");
  // Spell files of the same size as the one of the fixture, with "relieve"
  // counted 3 and 4 times; the form of the first one in the cache.
  auto make = [&](const std::string& name, std::uint32_t relieve) {
    Probe maker;
    maker.InitFirstSpellNode();
    maker.AddToSpell("receive", 5);
    maker.AddToSpell("relieve", relieve);
    maker.SaveSpellFile(dir.File(name), false);
    EXPECT_EQ(fs::file_size(dir.File(name)), fs::file_size(spell));
    detail::ContentKey key;
    EXPECT_TRUE(detail::SpellFileHandle::Open(dir.File(name))->Read(key, nullptr));
    return key;
  };
  const detail::ContentKey key3 = make("three.spl", 3);
  const detail::ContentKey key4 = make("four.spl", 4);
  detail::ContentKey key2;
  ASSERT_TRUE(detail::SpellFileHandle::Open(spell)->Read(key2, nullptr));
  {
    Probe p(cache);
    p.OpenSpellFile(dir.File("three.spl"));
    ASSERT_TRUE(p.UsesCompactForm());
  }
  // Records a stamp giving the spell file, as it is now, the key Key.
  auto stamp = [&](const detail::ContentKey& key) {
    StampAsRead(cache, detail::StampKind::kSpellKey, spell, {key.Low, key.High});
  };
  auto relieve = [&](const std::string& name) {
    Probe p(cache);
    p.OpenSpellFile(name);
    EXPECT_TRUE(p.UsesCompactForm());
    return p.Frequency("relieve");
  };
  auto put_times_back = [&](const struct stat& before) {
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, spell.c_str(), times, 0), 0);
  };
  struct stat before {};

  // While the file is the one stamped, the stamp is all that is read of it.
  stamp(key3);
  EXPECT_EQ(relieve(spell), 3u);
  {
    // The nodes, read from the file when first needed, show the change.
    Probe p(cache);
    p.OpenSpellFile(spell);
    EXPECT_THROW(p.SpellNode(0), EReadError);
  }
  // The modification time put back (touch -d): the status change time moved.
  stat(spell.c_str(), &before);
  stamp(key3);
  put_times_back(before);
  EXPECT_EQ(relieve(spell), 2u);
  // Replaced by a rename with the same content: another inode.
  stamp(key3);
  fs::copy_file(spell, dir.File("copy.spl"));
  fs::rename(dir.File("copy.spl"), spell);
  EXPECT_EQ(relieve(spell), 2u);
  // Read again, the same content found its form beside it: none was made.
  EXPECT_FALSE(fs::exists(detail::CachedCompactForm(cache, key2)));
  // A copy is a file of its own.
  stamp(key3);
  fs::copy_file(spell, dir.File("copy.spl"));
  EXPECT_EQ(relieve(dir.File("copy.spl")), 2u);
  // Edited in place to other words of the same size, its times put back: a
  // true stamp of the old content is passed over, and the form of the new
  // content is made.
  stamp(key2);
  stat(spell.c_str(), &before);
  Write(spell, Bytes(dir.File("four.spl")));
  put_times_back(before);
  EXPECT_FALSE(fs::exists(detail::CachedCompactForm(cache, key4)));
  EXPECT_EQ(relieve(spell), 4u);
  EXPECT_TRUE(fs::exists(detail::CachedCompactForm(cache, key4)));
}

TEST_F(CompactFileTest, FormsAreNamedByWhatWasReadNeverByAStamp) {
  // A stamp whose key has no form: the file is read, and the form made of it
  // is named by the key of what was read.
  const std::string cache = dir.File("cache");
  const detail::ContentKey claimed{1, 2, fs::file_size(spell)};
  StampAsRead(cache, detail::StampKind::kSpellKey, spell, {claimed.Low, claimed.High});
  fs::remove(beside);
  Probe p(cache);
  p.OpenSpellFile(spell);
  EXPECT_TRUE(p.UsesCompactForm());
  EXPECT_EQ(p.Frequency("relieve"), 2u);
  EXPECT_FALSE(fs::exists(detail::CachedCompactForm(cache, claimed)));
  detail::ContentKey real;
  ASSERT_TRUE(detail::SpellFileHandle::Open(spell)->Read(real, nullptr));
  EXPECT_TRUE(fs::exists(detail::CachedCompactForm(cache, real)));
}

// Application services whose progress display runs a step when it is shown,
// as an open shows it after opening the file and before taking its key.
class ServicesWithStepOnShow : public TScriptedServices {
 public:
  std::function<void()> OnShow;
  std::unique_ptr<ProgressDisplay> CreateProgressDisplay() override {
    class Display : public HeadlessProgressDisplay {
     public:
      explicit Display(std::function<void()>& Step) : FStep(Step) {}
      void Show() override {
        HeadlessProgressDisplay::Show();
        if (FStep) std::exchange(FStep, nullptr)();
      }

     private:
      std::function<void()>& FStep;
    };
    return std::make_unique<Display>(OnShow);
  }
};

TEST_F(CompactFileTest, FormIsNamedByTheFileThatWasReadWhenAnotherTakesItsPlace) {
  const std::string cache = dir.File("cache");
  fs::remove(beside);
  Probe maker;
  maker.InitFirstSpellNode();
  maker.AddToSpell("receive", 5);
  maker.AddToSpell("relieve", 4);
  maker.SaveSpellFile(dir.File("four.spl"), false);
  detail::ContentKey read_key, other_key;
  ASSERT_TRUE(detail::SpellFileHandle::Open(spell)->Read(read_key, nullptr));
  ASSERT_TRUE(detail::SpellFileHandle::Open(dir.File("four.spl"))->Read(other_key, nullptr));
  {
    ServicesWithStepOnShow app;
    ScopedApplicationServices scope(app);
    Probe p(cache);
    p.SetShowProgress(true);
    // Saved over while the open is under way.
    app.OnShow = [&] { fs::rename(dir.File("four.spl"), spell); };
    p.OpenSpellFile(spell);
    EXPECT_EQ(p.Frequency("relieve"), 2u);
  }
  EXPECT_TRUE(fs::exists(detail::CachedCompactForm(cache, read_key)));
  EXPECT_FALSE(fs::exists(detail::CachedCompactForm(cache, other_key)));
  Probe later(cache);
  later.OpenSpellFile(spell);
  EXPECT_EQ(later.Frequency("relieve"), 4u);
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
