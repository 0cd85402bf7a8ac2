// Learning, encoding and decoding a large text, beside the tools people
// compare them with: `wc -w` for learning, `gzip -6` and `zstd -3` for the
// codec. Prints one table; it measures and never fails.
//
//   build/default/bench/text_compare [TEXT]
// Without TEXT it concatenates ../shared/data/big.txt to about 50 MB.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "bench_files.h"
#include "support/scratch_folder.h"
#include "wordloom/wordloom.h"

namespace {

using namespace wordloom;
using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& f) {
  const auto start = Clock::now();
  f();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::int64_t FileSize(const std::string& name) {
  std::ifstream in(name, std::ios::binary | std::ios::ate);
  return in ? static_cast<std::int64_t>(in.tellg()) : -1;
}

// Seconds a shell command takes, best of three.
double Command(const std::string& command) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    best = std::min(best, Seconds([&] {
      if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
    }));
  }
  return best;
}

std::string MakeCorpus(const ScratchFolder& folder) {
  const std::string source = "../shared/data/big.txt";
  const std::string corpus = folder.File("corpus.txt");
  const std::string text = Slurp(source);
  if (text.empty()) return std::string();
  std::ofstream out(corpus, std::ios::binary);
  for (std::size_t written = 0; written < 50u << 20; written += text.size()) out << text;
  return corpus;
}

void Row(const char* what, double seconds, double mb, const std::string& extra) {
  std::printf("%-34s %8.3f s %9.1f MB/s  %s\n", what, seconds, mb / seconds, extra.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const ScratchFolder folder;
  const std::string corpus = argc > 1 ? argv[1] : MakeCorpus(folder);
  const std::int64_t size = corpus.empty() ? -1 : FileSize(corpus);
  if (size <= 0) {
    std::fprintf(stderr, "no text: run from the project root with ../shared/data present\n");
    return 0;
  }
  const double mb = static_cast<double>(size) / (1 << 20);
  std::printf("text: %s, %.1f MB\n\n", corpus.c_str(), mb);

  const double wc = Command("wc -w " + corpus + " > /dev/null");
  Row("wc -w", wc, mb, "");

  TVelkWordloom dict(nullptr);
  dict.SetSpellFileOptions({});
  const double learn = Seconds([&] { dict.AddFileToSpell(corpus); });
  Row("learn (words with their delimiter)", learn, mb,
      std::to_string(dict.WordCount()) + " words, " + std::to_string(learn / wc) + " x wc -w");

  const std::string original = Slurp(corpus);
  auto codec = [&](const char* name, std::uint8_t width) {
    TVelkWordloom book(nullptr);
    book.SetSpellFileOptions({});
    book.SetEncodedBlockSize(width);
    book.AddFileToSpell(corpus);
    const std::string encoded = folder.File("corpus.enc");
    const std::string decoded = folder.File("corpus.dec");
    const double enc = Seconds([&] { book.EncodeFile(corpus, encoded); });
    const double dec = Seconds([&] { book.DecodeFile(encoded, decoded); });
    const double ratio = static_cast<double>(FileSize(encoded)) / static_cast<double>(size);
    char extra[160];
    std::snprintf(extra, sizeof extra, "size %.3f of the text, %u words", ratio, book.WordCount());
    Row((std::string("encode ") + name).c_str(), enc, mb, extra);
    Row((std::string("decode ") + name).c_str(), dec, mb,
        Slurp(decoded) == original ? "decodes to the text" : "DIFFERS from the text");
  };
  codec("form A (variable width)", 0);
  codec("form C (2-byte codes)", 2);

  // A compressor, then its decompressor, on the same text.
  auto compressor = [&](const char* name, const std::string& compress, const std::string& out,
                        const char* unname, const std::string& decompress) {
    const double seconds = Command(compress);
    Row(name, seconds, mb,
        "size " + std::to_string(static_cast<double>(FileSize(out)) / static_cast<double>(size)));
    Row(unname, Command(decompress), mb, "");
  };
  const std::string gz = folder.File("corpus.gz");
  const std::string zst = folder.File("corpus.zst");
  compressor("gzip -6", "gzip -6 -c " + corpus + " > " + gz, gz, "gzip -d",
             "gzip -d -c " + gz + " > /dev/null");
  compressor("zstd -3", "zstd -q -3 -f " + corpus + " -o " + zst, zst, "zstd -d",
             "zstd -q -d -c " + zst + " > /dev/null");
  return 0;
}
