// The spell file format and the block stream layer: golden bytes, widths,
// round trips, and files that are cut, flipped or fail to write.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "storage/spell_file_format.h"
#include "support/files.h"
#include "support/hex.h"
#include "support/temp_dir.h"
#include "support/trie_invariants.h"
#include "wordloom/wordloom.h"

namespace wordloom {
namespace {

using ::testing::ThrowsMessage;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::ToHex;
using testing_support::TrieInvariantsHold;
using testing_support::WriteFile;

// Opens the protected members the layer works with.
class Probe : public TVelkWordloom {
 public:
  using TVelkWordloom::SpellStream;
  using TVelkWordloom::StreamPos;
  using TVelkWordloom::TVelkWordloom;
};

// A memory stream that counts transfers and can fail from the k-th write on.
class CountingStream : public TMemoryStream {
 public:
  using TMemoryStream::TMemoryStream;
  int Reads = 0;
  int Writes = 0;
  int FailAtWrite = -1;
  std::size_t Read(void* b, std::size_t n) override {
    ++Reads;
    return TMemoryStream::Read(b, n);
  }
  std::size_t Write(const void* b, std::size_t n) override {
    if (Writes++ == FailAtWrite) return 0;
    return TMemoryStream::Write(b, n);
  }
};

std::string Body(TVelkWordloom& dict) {
  TMemoryStream stream;
  dict.WriteSpellFileToStream(stream);
  return stream.Bytes();
}

TEST(SpellFileFormatTest, BodyOfOneWordIsByteExact) {
  TVelkWordloom dict(nullptr);
  dict.InitFirstSpellNode();
  dict.AddToSpell("a");
  EXPECT_EQ(ToHex(Body(dict)),
            "01 00 00 00 02 00 00 00 "   // N = 1, M = 2
            "01 FF 00 61 01 00 00 00 00 "  // the root: one child 'a' at node 1
            "00 00 61 01 00 00 00 "       // node 1: parent 0, letter 'a', word 1
            "01 01");                     // word 1: node 1, frequency 1
}

TEST(SpellFileFormatTest, DocumentedExampleIsByteExact) {
  TempDir dir;
  TVelkWordloom dict(nullptr);
  dict.InitFirstSpellNode();
  dict.AddToSpell("a");
  dict.SaveSpellFile(dir.File("a.spl"), false);
  EXPECT_EQ(ToHex(ReadFile(dir.File("a.spl"))),
            "50 55 42 4C FE FF FF FF 3F FF FF FF 01 00 00 B8 00 00 00 F8 FF FF FF 6B "
            "FF FF FF FF 00 00 80 00 00 00 80 00 41 00 00 00 00 00 01 00 00 00 02 00 "
            "00 00 01 FF 00 61 01 00 00 00 00 00 00 61 01 00 00 00 01 01");
}

TEST(SpellFileFormatTest, HeaderStoresSettingsAndDelimiterWords) {
  TempDir dir;
  TVelkWordloom dict(nullptr);
  dict.InitFirstSpellNode();
  dict.AddToSpell("a");
  dict.SetDelimiters({' ', ',', '.'});
  dict.SaveSpellFile(dir.File("h.spl"), false);
  const std::string file = ReadFile(dir.File("h.spl"));
  ASSERT_GE(file.size(), 4u + 38u);
  EXPECT_EQ(file.substr(0, 4), "PUBL");
  // Word 1 has bits 0 (space), 12 (comma) and 14 (full stop); all else clear.
  EXPECT_EQ(ToHex(file.substr(4, 32)),
            "00 00 00 00 01 50 00 00 00 00 00 00 00 00 00 00 "
            "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
  // Include-first-successor (1), block size 0, unencoded 4 (x16), text input.
  EXPECT_EQ(ToHex(file.substr(36, 6)), "41 00 00 00 00 00");
  EXPECT_EQ(file.substr(42), Body(dict));

  // Every setting comes back, and an empty replacement stays empty.
  TVelkWordloom other(nullptr);
  other.SetDelimiterOption(wldExclFirstSucc);
  other.SetUnencodedBlockSize(2);
  other.OpenSpellFile(dir.File("h.spl"));
  EXPECT_EQ(other.Delimiters(), TCharSet({' ', ',', '.'}));
  EXPECT_EQ(other.DelimiterOption(), wldInclFirstSucc);
  EXPECT_EQ(other.UnencodedBlockSize(), 4u);
  EXPECT_EQ(other.FormatChar()->GetReplacement(), "");
}

TEST(SpellFileFormatTest, OptionByteAndWidths) {
  EXPECT_EQ(detail::EncodeOptionByte(wldExclFirstSucc, 4, 7, wliFixedBlockSize), 0xF8);
  EXPECT_THROW(detail::EncodeOptionByte(wldInclFirstSucc, 0, 8, wliTextInput), ERangeError)
      << "8 would flip the input type";
  detail::SpellHeader h;
  EXPECT_THAT([&] { detail::DecodeOptionByte(0x0A, h); },
              ThrowsMessage<EReadError>("spell file: encoded block size 5 above 4"));
  const struct {
    std::uint32_t n;
    std::uint8_t width;
  } kWidths[] = {{0, 1},     {1, 1},        {2, 1},        {256, 1},      {257, 2},
                 {65536, 2}, {65537, 3},    {16777216, 3}, {16777217, 4}, {UINT32_MAX, 4}};
  for (const auto& c : kWidths) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(SpellWidth(c.n), c.width);
  }
}

TEST(SpellFileFormatTest, SettingsThatDoNotFitAreRefusedBeforeWriting) {
  TempDir dir;
  TVelkWordloom dict(nullptr);
  dict.InitFirstSpellNode();
  dict.AddToSpell("a");
  dict.SetUnencodedBlockSize(8);
  EXPECT_THROW(dict.SaveSpellFile(dir.File("x.spl"), false), ERangeError);
  EXPECT_FALSE(FileExists(dir.File("x.spl")));
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));

  EXPECT_THROW(dict.SetStreamBufferSize(0), EPropertyError);
  EXPECT_EQ(dict.StreamBufferSize(), 16384u);
}

TEST(SpellFileFormatTest, FrequenciesSaturateAtTheirWidth) {
  TVelkWordloom dict(nullptr);
  dict.InitFirstSpellNode();
  for (int i = 0; i < 200; ++i) dict.AddToSpell("w" + std::to_string(i));
  for (int i = 0; i < 299; ++i) dict.AddToSpell("w7");
  EXPECT_EQ(dict.Frequency("w7"), 300u);
  TMemoryStream body(Body(dict));
  TVelkWordloom back(nullptr);
  back.ReadSpellFileFromStream(body);
  EXPECT_EQ(back.Frequency("w7"), 255u) << "the largest one-byte value, not 300 mod 256";
  EXPECT_EQ(back.Frequency("w8"), 1u);
  EXPECT_FALSE(back.SpellModified());
}

TEST(SpellFileFormatTest, StoredBodyReplacesWhatADesignedDictionaryHeld) {
  TVelkWordloom source(nullptr);
  source.InitFirstSpellNode();
  source.AddToSpell("stored");
  source.SetSpellFileOptions({wlsHardCoded});
  const std::string form = WriteComponentToString(source);

  TVelkWordloom designed(nullptr);
  designed.SetDesigning(true);
  designed.InitFirstSpellNode();
  designed.AddToSpell("leftover");
  ReadComponentIntoFromString(form, designed);
  EXPECT_EQ(designed.WordCount(), 1u);
  EXPECT_EQ(designed.Frequency("stored"), 1u);
  EXPECT_EQ(designed.Frequency("leftover"), 0u);
  EXPECT_TRUE(TrieInvariantsHold(designed));
}

TEST(SpellFileFormatTest, RootIsRecognisedWhenTheNodeCountIsAPowerOf256) {
  TVelkWordloom dict(nullptr);
  dict.InitFirstSpellNode();
  for (int c = 1; c <= 255; ++c) dict.AddToSpell(std::string(1, static_cast<char>(c)));
  ASSERT_EQ(dict.GetNodeCount(), 256u);  // width 1: the root's stored parent is 255
  TMemoryStream body(Body(dict));
  TVelkWordloom back(nullptr);
  back.ReadSpellFileFromStream(body);
  EXPECT_EQ(back.SpellNode(0).Parent, -1);
  EXPECT_EQ(back.ExtractSpellWord(255), "\xFF");
  EXPECT_TRUE(TrieInvariantsHold(back));
}

TEST(SpellFileFormatTest, BlockLayerMovesWholeBuffers) {
  Probe p(nullptr);
  p.SetStreamBufferSize(16);
  std::string data;
  for (int i = 0; i < 200; ++i) data += static_cast<char>(i);
  CountingStream in(data);
  p.SpellStream = &in;
  p.BeginStream();
  char buf[64];
  p.ReadBlockFromStream(buf, 4);
  EXPECT_EQ(in.Reads, 1);
  EXPECT_EQ(p.StreamPos, 4u);
  p.ReadBlockFromStream(buf, 12);  // exactly what is left: no refill yet
  EXPECT_EQ(p.StreamPos, 0u);
  EXPECT_EQ(in.Reads, 1);
  p.ReadBlockFromStream(buf, 10);
  EXPECT_EQ(in.Reads, 2);
  p.ReadBlockFromStream(buf, 3 * 16 + 5);  // from position 10
  EXPECT_EQ(in.Reads, 5);
  EXPECT_EQ(p.StreamPos, 15u);
  EXPECT_EQ(std::string(buf, 53), data.substr(26, 53));
  p.ReadBlockFromStream(buf, 0);
  EXPECT_EQ(in.Reads, 5);

  CountingStream out;
  p.SpellStream = &out;
  p.BeginStream();
  p.WriteBlockToStream(buf, 10);
  p.WriteBlockToStream(buf, 3 * 16 + 5);
  EXPECT_EQ(out.Writes, 3);
  EXPECT_EQ(p.StreamPos, 15u);
  p.WriteBlockToStream(buf, 1);  // fills the buffer exactly: written at once
  EXPECT_EQ(out.Writes, 4);
  EXPECT_EQ(p.StreamPos, 0u);
  p.SpellStream = nullptr;

  // A read past the end of the data is an error, not stale buffer bytes.
  CountingStream short_stream(std::string("abc"));
  p.SpellStream = &short_stream;
  p.BeginStream();
  EXPECT_THAT([&] { p.ReadBlockFromStream(buf, 4); },
              ThrowsMessage<EReadError>("Unexpected end of stream"));
  p.SpellStream = nullptr;
}

TEST(SpellFileFormatTest, ProtectedFileDeciphersToThePlainOne) {
  TempDir dir;
  TScriptedServices services;
  ScopedApplicationServices scope(services);
  TVelkWordloom dict(nullptr);
  dict.InitFirstSpellNode();
  for (const char* w : {"protect", "this", "dictionary"}) dict.AddToSpell(w);
  dict.SaveSpellFile(dir.File("plain.spl"), false);
  services.PasswordNext("pw");
  dict.AddToSpell("this");  // modified again, so that the next save writes
  dict.SaveSpellFile(dir.File("plain2.spl"), false);
  dict.AddToSpell("this");
  dict.SaveSpellFile(dir.File("prot.spl"), true);
  const std::string prot = ReadFile(dir.File("prot.spl"));
  const std::string plain = ReadFile(dir.File("plain.spl"));
  ASSERT_EQ(prot.substr(0, 4), "PROT");

  TWeakCipher cipher("pw");
  cipher.InitVector();
  std::string clear = prot.substr(4);
  for (char& c : clear) {
    auto b = static_cast<std::uint8_t>(c);
    cipher.Decrypt(b);
    c = static_cast<char>(b);
  }
  EXPECT_EQ(clear.substr(0, 2), "pw");
  TVelkWordloom check(nullptr);
  TMemoryStream body(clear.substr(2 + 38));
  check.ReadSpellFileFromStream(body);
  EXPECT_EQ(check.Frequency("this"), 3u);
  EXPECT_EQ(clear.substr(2, 38), plain.substr(4, 38)) << "the same header, enciphered";
}

// Random dictionaries with bytes above 127 and long words come back word for
// word, number for number, frequency for frequency, plain and protected, at
// several transfer sizes.
TEST(SpellFileFormatTest, RandomDictionariesRoundTrip) {
  TempDir dir;
  TScriptedServices services;
  ScopedApplicationServices scope(services);
  std::mt19937 rng(7);
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    TVelkWordloom dict(nullptr);
    dict.InitFirstSpellNode();
    dict.SetStreamBufferSize(round == 1 ? 7 : round == 0 ? 20000 : 16384);  // 20000 grows the buffer
    dict.SetEncodedBlockSize(static_cast<TEncBlockSizeInterval>(round == 2 ? 3 : 0));
    dict.SetTypeOfInput(round % 2 ? wliFixedBlockSize : wliTextInput);
    dict.FormatChar()->SetToken(92);
    const int words = 3000;
    for (int i = 0; i < words; ++i) {
      std::string w;
      const int len = i % 97 == 0 ? 200 : 1 + static_cast<int>(rng() % 12);
      for (int k = 0; k < len; ++k) {
        char c = static_cast<char>(1 + rng() % 255);
        if (c == 92) c = 'x';
        w += c;
      }
      const int times = 1 + static_cast<int>(rng() % 3);
      for (int t = 0; t < times; ++t) dict.AddToSpell(w);
    }
    const bool protect = round >= 2;
    if (protect) services.PasswordNext("round trip");
    const std::string name = dir.File("r" + std::to_string(round) + ".spl");
    dict.SaveSpellFile(name, protect);

    if (protect) services.PasswordNext("round trip");
    TVelkWordloom back(nullptr);
    back.SetStreamBufferSize(round == 3 ? 1 : 16384);
    back.OpenSpellFile(name);
    ASSERT_EQ(back.WordCount(), dict.WordCount());
    ASSERT_EQ(back.GetNodeCount(), dict.GetNodeCount());
    EXPECT_EQ(back.IsFileProtected(), protect);
    for (std::uint32_t w = 0; w < dict.WordCount(); ++w) {
      const TWordEntry a = dict.WordTableEntry(w);
      const TWordEntry b = back.WordTableEntry(w);
      ASSERT_EQ(a.Node, b.Node);
      ASSERT_EQ(a.Frequency, b.Frequency);
      ASSERT_EQ(dict.ExtractSpellWord(static_cast<std::uint32_t>(a.Node)),
                back.ExtractSpellWord(static_cast<std::uint32_t>(b.Node)));
    }
    EXPECT_EQ(back.EncodedBlockSize(), dict.EncodedBlockSize());
    EXPECT_EQ(back.TypeOfInput(), dict.TypeOfInput());
    EXPECT_EQ(back.FormatChar()->GetToken(), 92);
    EXPECT_EQ(back.FormatChar()->GetReplacement(), "Backslash");
    EXPECT_TRUE(TrieInvariantsHold(back));
  }
}

// A file cut at every length, or with bytes flipped, is refused with
// EReadError and changes nothing; a writer whose stream fails at any write
// raises and leaves the dictionary alone.
TEST(SpellFileFormatTest, DamagedFilesAreRefusedCleanly) {
  TempDir dir;
  TVelkWordloom dict(nullptr);
  dict.InitFirstSpellNode();
  for (const char* w : {"alpha", "alps", "beta", "be", "gamma"}) dict.AddToSpell(w);
  dict.FormatChar()->SetToken(36);  // "Dollar"
  const std::string good_name = dir.File("good.spl");
  dict.SaveSpellFile(good_name, false);
  const std::string good = ReadFile(good_name);

  TVelkWordloom target(nullptr);
  target.InitFirstSpellNode();
  target.AddToSpell("keep");
  target.SetSpellFileOptions({});  // no question before the open
  const std::string cut_name = dir.File("cut.spl");
  for (std::size_t length = 0; length < good.size(); ++length) {
    SCOPED_TRACE(length);
    WriteFile(cut_name, good.substr(0, length));
    EXPECT_THROW(target.OpenSpellFile(cut_name), EReadError);
    ASSERT_EQ(target.WordCount(), 1u);
    ASSERT_EQ(target.Frequency("keep"), 1u);
    ASSERT_EQ(target.SpellFileName(), "");
    ASSERT_EQ(target.FormatChar()->GetToken(), 0);
  }

  std::mt19937 rng(99);
  int refused = 0;
  for (int trial = 0; trial < 2000; ++trial) {
    std::string bad = good;
    const int flips = 1 + static_cast<int>(rng() % 3);
    for (int f = 0; f < flips; ++f) bad[4 + rng() % (bad.size() - 4)] ^= static_cast<char>(1 + rng() % 255);
    WriteFile(cut_name, bad);
    TVelkWordloom reader(nullptr);
    try {
      reader.OpenSpellFile(cut_name);
      ASSERT_TRUE(TrieInvariantsHold(reader, /*AllowDeadEnds=*/true)) << "trial " << trial;
    } catch (const EReadError&) {
      ++refused;
      ASSERT_EQ(reader.GetNodeCount(), 0u);
    }
  }
  EXPECT_GT(refused, 100);

  for (int k = 0; k < 40; ++k) {
    SCOPED_TRACE(k);
    dict.SetStreamBufferSize(8);
    CountingStream failing;
    failing.FailAtWrite = k;
    const std::uint32_t count = dict.WordCount();
    try {
      dict.WriteSpellFileToStream(failing);
      EXPECT_LT(failing.Writes, k + 1) << "the write that should fail was never made";
    } catch (const EWriteError&) {
    }
    EXPECT_EQ(dict.WordCount(), count);
    EXPECT_TRUE(TrieInvariantsHold(dict));
  }
}

TEST(SpellFileFormatTest, CountsTheFileCannotBackAreRefusedBeforeAllocating) {
  const struct {
    const char* what;
    std::string body;
    const char* message;
  } kCases[] = {
      {"huge node count", std::string("\x01\x00\x00\x00\xFF\xFF\xFF\x7F", 8), "need at least"},
      {"huge word count", std::string("\x00\x00\x00\x08\x02\x00\x00\x00", 8), "above the limit"},
      {"word count the file cannot back", std::string("\xFF\xFF\xFF\x07\x02\x00\x00\x00", 8),
       "need at least"},
      {"words without nodes", std::string("\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00", 10),
       "but no nodes"},
      {"child outside", std::string("\x00\x00\x00\x00\x01\x00\x00\x00\x01\xFF\x00\x61\x05\x00\x00\x00\x00", 17),
       "child index 5 outside"},
      {"child is the root", std::string("\x00\x00\x00\x00\x02\x00\x00\x00\x01\xFF\x00\x61\x00\x00\x00\x00\x00"
                                        "\x00\x00\x61\x00\x00\x00\x00", 24),
       "child index 0 outside"},
      {"parent mismatch", std::string("\x00\x00\x00\x00\x03\x00\x00\x00\x01\xFF\x00\x61\x01\x00\x00\x00\x00"
                                      "\x01\x00\x61\x62\x02\x00\x00\x00\x00\x00\x00\x62\x00\x00\x00\x00", 33),
       "its parent is 0, but node 1 links it"},
      {"letter mismatch", std::string("\x00\x00\x00\x00\x02\x00\x00\x00\x01\xFF\x00\x61\x01\x00\x00\x00\x00"
                                      "\x00\x00\x62\x00\x00\x00\x00", 24),
       "letter differs"},
      {"word number without entry", std::string("\x00\x00\x00\x00\x02\x00\x00\x00\x01\xFF\x00\x61\x01\x00\x00\x00\x00"
                                                "\x00\x00\x61\x01\x00\x00\x00", 24),
       "above the word count"},
      {"entry names a node without the word", std::string("\x01\x00\x00\x00\x02\x00\x00\x00\x01\xFF\x00\x61\x01\x00\x00\x00\x00"
                                                          "\x00\x00\x61\x00\x00\x00\x00\x01\x01", 26),
       "does not carry that word"},
      {"repeated letters", std::string("\x00\x00\x00\x00\x03\x00\x00\x00\x02\xFF\x00\x61\x01\x61\x02\x00\x00\x00\x00"
                                       "\x00\x00\x61\x00\x00\x00\x00\x00\x00\x61\x00\x00\x00\x00", 33),
       "child letter repeated"},
      {"root with a letter", std::string("\x00\x00\x00\x00\x01\x00\x00\x00\x00\xFF\x41\x00\x00\x00\x00", 15),
       "the root has the letter 65"},
      {"unlinked node", std::string("\x00\x00\x00\x00\x02\x00\x00\x00\x00\xFF\x00\x00\x00\x00\x00"
                                    "\x00\x00\x61\x00\x00\x00\x00", 22),
       "not linked from its parent"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    TMemoryStream body(c.body);
    TVelkWordloom dict(nullptr);
    dict.InitFirstSpellNode();
    dict.AddToSpell("kept");
    EXPECT_THAT([&] { dict.ReadSpellFileFromStream(body); },
                ThrowsMessage<EReadError>(::testing::HasSubstr(c.message)));
    EXPECT_EQ(dict.Frequency("kept"), 1u);
  }
}

}  // namespace
}  // namespace wordloom
