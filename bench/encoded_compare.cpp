// Whether the word codes help a general compressor: the tool's encoded files
// (WriteEncodedFile) with zstd over them, beside zstd and gzip on the text
// itself, in one run. It decides whether encoded files get a zstd layer, and
// prints every figure so the decision can be checked again:
//   - gzip -6 and zstd at levels 3, 6, 9, 19 and its highest on the text
//     (zlib and libzstd in process);
//   - the encoded file with the default dictionary, alone and under zstd, in
//     its own coding (variable-width codes), with 3-byte codes, and reduced
//     to the words 2-byte codes number, which renumbers them by frequency;
//   - the encoded file with a dictionary learned from the text itself, words
//     with their delimiter, variable and 2-byte codes; its "+ dictionary"
//     column adds the spell file as zstd -19 makes it, since a reader needs it;
//   - two layouts outside the codec, as a bound on what a friendlier layout
//     could gain: the default dictionary's words numbered by frequency,
//     byte-aligned codes inline, or in a stream of their own apart from the
//     literal text.
// Speeds are megabytes of text a second, best of three (one run from level 19);
// every row decodes back and says whether it gave the text. It measures and
// never fails.
//
//   build/noqt/bench/encoded_compare [TEXT...]
// Without TEXT: ../shared/data/big.txt, then the four texts of bench/texts
// together (small files, where a header and a frame weigh more).
#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <numeric>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "bench_files.h"
#include "support/scratch_folder.h"
#include "wordloom/wordloom.h"

namespace {

using namespace wordloom;
using Clock = std::chrono::steady_clock;

// Best time of Runs calls of F, in seconds.
double Best(int Runs, const std::function<void()>& F) {
  double best = 1e30;
  for (int i = 0; i < Runs; ++i) {
    const auto start = Clock::now();
    F();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

// A way from the text to bytes and back.
struct Method {
  std::string Name;
  std::function<std::string(const std::string&)> Encode;
  std::function<std::string(const std::string&)> Decode;
  int Runs = 3;
  std::size_t Extra = 0;  // bytes a reader needs besides the file (a learned dictionary)
};

std::string Zstd(const std::string& In, int Level) {
  std::string out(ZSTD_compressBound(In.size()), '\0');
  const std::size_t n = ZSTD_compress(out.data(), out.size(), In.data(), In.size(), Level);
  if (ZSTD_isError(n)) throw std::runtime_error(ZSTD_getErrorName(n));
  out.resize(n);
  return out;
}

std::string Unzstd(const std::string& In) {
  const unsigned long long size = ZSTD_getFrameContentSize(In.data(), In.size());
  if (size == ZSTD_CONTENTSIZE_ERROR || size == ZSTD_CONTENTSIZE_UNKNOWN) {
    throw std::runtime_error("not a zstd frame with its size");
  }
  std::string out(size, '\0');
  const std::size_t n = ZSTD_decompress(out.data(), out.size(), In.data(), In.size());
  if (ZSTD_isError(n)) throw std::runtime_error(ZSTD_getErrorName(n));
  out.resize(n);
  return out;
}

// gzip's format at gzip's level 6, as `gzip -6` writes it (but for the
// file name and time in its header).
std::string Gzip(const std::string& In) {
  z_stream z{};
  deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, In.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(In.data()));
  z.avail_in = static_cast<uInt>(In.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

std::string Gunzip(const std::string& In) {
  z_stream z{};
  inflateInit2(&z, 15 + 16);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(In.data()));
  z.avail_in = static_cast<uInt>(In.size());
  std::string out;
  char buffer[1 << 16];
  int rc = Z_OK;
  while (rc == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    rc = inflate(&z, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - z.avail_out);
  }
  inflateEnd(&z);
  return out;
}

// The tool's encoded file of Text with Dict, and back.
std::string EncodeWith(TVelkWordloom& Dict, const std::string& Text) {
  TMemoryStream in(Text), out;
  WriteEncodedFile(Dict, in, out);
  return out.Bytes();
}

std::string DecodeWith(TVelkWordloom& Dict, const std::string& Encoded) {
  TMemoryStream in(Encoded), out;
  ReadEncodedFile(Dict, in, out);
  return out.Bytes();
}

// A layout outside the codec, for comparison only: words of the dictionary
// numbered by falling frequency, each written as a byte-aligned code
//   80-BF          the 64 most frequent words
//   C0-EF xx       the next 12,288
//   F0-FD xx xx    the next 917,504
// and every other byte as it is, FE before a byte from 80 up. Split: the
// codes go to a stream of their own and a lone 80 marks each word's place;
// the two are compressed apart.
class RankedLayout {
 public:
  explicit RankedLayout(TVelkWordloom& Dict) : FDelimiters(Dict.GetDelimiters()) {
    std::vector<std::pair<std::uint32_t, std::string>> words;
    TByteString word;
    for (std::uint32_t i = 0; i < Dict.WordCount(); ++i) {
      const TWordEntry entry = Dict.WordTableEntry(i);
      if (entry.Node <= 0) continue;
      word.SetSize(0);
      Dict.ExtractSpellBStr(static_cast<std::uint32_t>(entry.Node), word);
      words.emplace_back(entry.Frequency, std::string(word.View()));
    }
    std::stable_sort(words.begin(), words.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (auto& [frequency, w] : words) {
      if (FWords.size() >= kCodes) break;
      FWords.push_back(std::move(w));
    }
    // The keys point into FWords, which no longer moves.
    for (std::size_t r = 0; r < FWords.size(); ++r) FRank.emplace(FWords[r], static_cast<std::uint32_t>(r));
  }

  // The layout's bytes; with Split the codes follow the text, behind the
  // text's length (8 bytes).
  std::string Encode(const std::string& Text, bool Split) const {
    std::string literal, codes;
    std::string& code_out = Split ? codes : literal;
    for (std::size_t i = 0; i < Text.size();) {
      std::size_t end = i;
      while (end < Text.size() && !FDelimiters.Contains(Text[end])) ++end;
      if (end > i) {
        const auto it = FRank.find(std::string_view(Text).substr(i, end - i));
        if (it != FRank.end()) {
          if (Split) literal.push_back(static_cast<char>(0x80));
          PutCode(code_out, it->second);
          i = end;
          continue;
        }
      } else {
        end = i + 1;
      }
      for (; i < end; ++i) {
        if (static_cast<std::uint8_t>(Text[i]) >= 0x80) literal.push_back(static_cast<char>(0xFE));
        literal.push_back(Text[i]);
      }
    }
    if (!Split) return literal;
    std::string out(8, '\0');
    for (int b = 0; b < 8; ++b) out[b] = static_cast<char>(literal.size() >> (8 * b));
    return out + literal + codes;
  }

  std::string Decode(const std::string& Bytes, bool Split) const {
    std::size_t literal_end = Bytes.size(), at = 0, code_at = 0;
    if (Split) {
      std::uint64_t n = 0;
      for (int b = 7; b >= 0; --b) n = n << 8 | static_cast<std::uint8_t>(Bytes.at(b));
      at = 8;
      literal_end = 8 + n;
      code_at = literal_end;
    }
    const auto byte = [&Bytes](std::size_t& p) { return static_cast<std::uint8_t>(Bytes.at(p++)); };
    std::string out;
    while (at < literal_end) {
      const std::uint8_t b = byte(at);
      if (b < 0x80) {
        out.push_back(static_cast<char>(b));
      } else if (b == 0xFE) {
        out.push_back(static_cast<char>(byte(at)));
      } else {
        std::size_t& p = Split ? code_at : at;
        if (Split) {
          out += FWords.at(TakeCode(byte(p), Bytes, p));
        } else {
          out += FWords.at(TakeCode(b, Bytes, p));
        }
      }
    }
    return out;
  }

 private:
  static constexpr std::size_t kCodes = 64 + 48 * 256 + 14 * 65536;

  static void PutCode(std::string& Out, std::uint32_t R) {
    if (R < 64) {
      Out.push_back(static_cast<char>(0x80 + R));
      return;
    }
    R -= 64;
    if (R < 48 * 256) {
      Out.push_back(static_cast<char>(0xC0 + (R >> 8)));
      Out.push_back(static_cast<char>(R));
      return;
    }
    R -= 48 * 256;
    Out.push_back(static_cast<char>(0xF0 + (R >> 16)));
    Out.push_back(static_cast<char>(R >> 8));
    Out.push_back(static_cast<char>(R));
  }

  static std::uint32_t TakeCode(std::uint8_t Lead, const std::string& Bytes, std::size_t& P) {
    const auto next = [&]() -> std::uint32_t { return static_cast<std::uint8_t>(Bytes.at(P++)); };
    if (Lead < 0xC0) return Lead - 0x80u;
    if (Lead < 0xF0) return 64 + ((Lead - 0xC0u) << 8 | next());
    const std::uint32_t high = Lead - 0xF0u;
    const std::uint32_t mid = next();
    return 64 + 48 * 256 + (high << 16 | mid << 8 | next());
  }

  TCharSet FDelimiters;
  std::unordered_map<std::string_view, std::uint32_t> FRank;
  std::vector<std::string> FWords;
};

void Measure(const std::string& Label, const std::string& Text, const std::vector<Method>& Methods) {
  const double mb = static_cast<double>(Text.size()) / (1 << 20);
  std::printf("\ntext: %s, %zu bytes\n", Label.c_str(), Text.size());
  std::printf("%-62s %10s %7s %10s %10s %12s %s\n", "method", "bytes", "ratio", "enc MB/s",
              "dec MB/s", "+ dictionary", "round trip");
  for (const Method& m : Methods) {
    std::string encoded, decoded;
    double enc = 0, dec = 0;
    try {
      enc = Best(m.Runs, [&] { encoded = m.Encode(Text); });
      dec = Best(m.Runs, [&] { decoded = m.Decode(encoded); });
    } catch (const std::exception& e) {
      std::printf("%-62s failed: %s\n", m.Name.c_str(), e.what());
      continue;
    }
    const auto ratio = [&](std::size_t n) { return static_cast<double>(Text.size()) / static_cast<double>(n); };
    char with_dictionary[32] = "";
    if (m.Extra > 0) std::snprintf(with_dictionary, sizeof with_dictionary, "%.3f", ratio(encoded.size() + m.Extra));
    std::printf("%-62s %10zu %7.3f %10.1f %10.1f %12s %s\n", m.Name.c_str(), encoded.size(),
                ratio(encoded.size()), mb / enc, mb / dec, with_dictionary,
                decoded == Text ? "yes" : "NO: differs");
    std::fflush(stdout);
  }
}

// Every method on Text: the compressors alone, then each coding alone and
// under zstd -3 and -19.
void Compare(const std::string& Label, const std::string& Text, const ScratchFolder& Folder) {
  TVelkWordloom standard(nullptr);
  standard.OpenSpellFile(WORDLOOM_DEFAULT_DICTIONARY);
  TVelkWordloom fixed3(nullptr);
  fixed3.OpenSpellFile(WORDLOOM_DEFAULT_DICTIONARY);
  fixed3.SetEncodedBlockSize(3);
  // Two bytes number 65,535 words: setting the width reduces the dictionary
  // to its 65,535 most frequent words and numbers them by falling frequency
  // (the default dictionary numbers its words in byte order); it keeps a few
  // more that begin kept words. The others stay literal text. A reader needs
  // the same reduced dictionary.
  TVelkWordloom fixed2(nullptr);
  fixed2.OpenSpellFile(WORDLOOM_DEFAULT_DICTIONARY);
  fixed2.SetEncodedBlockSize(2);

  // Dictionaries learned from the text itself, words with their delimiter.
  const std::string text_file = Folder.File("text");
  std::ofstream(text_file, std::ios::binary) << Text;
  const auto learned = [&](std::uint8_t Width, std::size_t& SpellBytes) {
    auto dict = std::make_unique<TVelkWordloom>(nullptr);
    dict->SetSpellFileOptions({});
    dict->SetDelimiterOption(wldInclFirstSucc);
    dict->SetEncodedBlockSize(Width);
    dict->AddFileToSpell(text_file);
    const std::string spell = Folder.File("learned.spl");
    dict->SaveSpellFile(spell, false);
    SpellBytes = Zstd(Slurp(spell), 19).size();
    return dict;
  };
  std::size_t variable_spell = 0, two_byte_spell = 0;
  const auto variable = learned(0, variable_spell);
  const auto two_byte = learned(2, two_byte_spell);
  const RankedLayout ranked(standard);

  std::vector<Method> methods;
  const auto runs = [](int Level) { return Level >= 19 ? 1 : 3; };
  methods.push_back({"gzip -6", Gzip, Gunzip});
  // zstd's levels between and beyond, to see what a level alone reaches.
  for (int level : {3, 6, 9, 19, ZSTD_maxCLevel()}) {
    methods.push_back({"zstd -" + std::to_string(level), [level](const std::string& t) { return Zstd(t, level); },
                       Unzstd, runs(level)});
  }
  // A coding alone, then under zstd at each level.
  const auto coding = [&](const std::string& Name, const std::function<std::string(const std::string&)>& Enc,
                          const std::function<std::string(const std::string&)>& Dec, std::size_t Extra) {
    methods.push_back({Name, Enc, Dec, 3, Extra});
    for (int level : {3, 19}) {
      methods.push_back({Name + " + zstd -" + std::to_string(level),
                         [Enc, level](const std::string& t) { return Zstd(Enc(t), level); },
                         [Dec](const std::string& b) { return Dec(Unzstd(b)); }, runs(level), Extra});
    }
  };
  const auto file_with = [&coding](const std::string& Name, TVelkWordloom& Dict, std::size_t Extra) {
    coding(Name, [&Dict](const std::string& t) { return EncodeWith(Dict, t); },
           [&Dict](const std::string& b) { return DecodeWith(Dict, b); }, Extra);
  };
  file_with("codes, default dictionary", standard, 0);
  file_with("codes, default dictionary, 3-byte codes", fixed3, 0);
  file_with("codes, default dictionary reduced to " + std::to_string(fixed2.WordCount()) + " words, 2-byte",
            fixed2, 0);
  file_with("codes, learned from the text", *variable, variable_spell);
  file_with("codes, learned from the text, 2-byte codes", *two_byte, two_byte_spell);
  for (const bool split : {false, true}) {
    coding(split ? "layout: ranked codes apart from literals" : "layout: ranked codes inline",
           [&ranked, split](const std::string& t) { return ranked.Encode(t, split); },
           [&ranked, split](const std::string& b) { return ranked.Decode(b, split); }, 0);
  }
  Measure(Label, Text, methods);
}

}  // namespace

int main(int argc, char** argv) {
  const ScratchFolder folder;
  // Opening a dictionary may keep a compact form in the user's cache: keep
  // it in the scratch folder instead.
  setenv("XDG_CACHE_HOME", folder.File("cache").c_str(), 1);
  std::printf("zstd %s, zlib %s; the default dictionary: %s\n", ZSTD_versionString(), zlibVersion(),
              WORDLOOM_DEFAULT_DICTIONARY);
  std::printf("ratio: text bytes / encoded bytes; + dictionary: the same with the learned\n"
              "dictionary's spell file (zstd -19) counted\n");
  try {
    if (argc > 1) {
      for (int i = 1; i < argc; ++i) Compare(argv[i], Slurp(argv[i]), folder);
      return 0;
    }
    const std::string big = Slurp("../shared/data/big.txt");
    if (big.empty()) {
      std::fprintf(stderr, "no ../shared/data/big.txt: run from the project root, or name texts\n");
    } else {
      Compare("../shared/data/big.txt", big, folder);
    }
    std::string small;
    for (const char* name : {"guide.md", "page.html", "paper.tex", "prose.txt"}) {
      small += Slurp(std::string(WORDLOOM_BENCH_TEXTS) + "/" + name);
    }
    Compare("bench/texts (four texts together)", small, folder);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "encoded_compare: %s\n", e.what());
  }
  return 0;
}
