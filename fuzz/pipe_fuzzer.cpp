// Runs the ispell pipe over arbitrary lines on a small dictionary. The first
// byte chooses terse mode (bit 0), list mode (bit 1), case-sensitive lookups
// (bit 2) and the sort methods instead of the likelihood ranking (bit 3); the
// rest is what the editor sends. Whatever the lines, the session ends with
// status 0, answers with the header first (not in list mode), and every
// "& WORD N OFFSET: ..." line carries N suggestions, at most the pipe's limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "pipe_mode.h"
#include "wordloom/wordloom.h"

namespace {

using namespace wordloom;

constexpr const char* kWords[] = {"the", "cat", "sat", "on", "mat", "Paris", "don't",
                                  "caf\xC3\xA9", "NASA", "receive", "believe", "a"};

// Checks one "& WORD N OFFSET: s1, s2, ..." line.
void CheckNearMiss(const std::string& line) {
  std::istringstream in(line.substr(2));
  std::string word;
  int count = -1;
  if (!(in >> word >> count) || count < 1 || count > cli::kMaxPipeSuggestions) std::abort();
  const std::size_t colon = line.find(':');
  if (colon == std::string::npos) std::abort();
  int listed = 1;
  for (std::size_t i = colon; (i = line.find(", ", i)) != std::string::npos; i += 2) ++listed;
  // A suggestion may itself hold ", " only if the dictionary had such a word.
  if (listed != count) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 4096) return 0;
  TVelkSpellChecker checker(nullptr);
  checker.SetSpellFileOptions({});
  checker.SetDelimiterOption(wldExclFirstSucc);
  checker.SetDelimiters(Utf8Delimiters());
  checker.InitFirstSpellNode();
  for (const char* w : kWords) checker.AddToSpell(std::string(w));

  cli::PipeOptions options;
  options.Terse = (data[0] & 1) != 0;
  options.ListMode = (data[0] & 2) != 0;
  options.CaseSensitive = (data[0] & 4) != 0;
  options.Ranking = (data[0] & 8) != 0 ? srkSortMethods : srkLikelihood;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  std::ostringstream out;
  std::ostringstream err;
  if (cli::RunPipe(checker, in, out, err, options) != 0) std::abort();

  std::istringstream answers(out.str());
  std::string line;
  bool first = true;
  while (std::getline(answers, line)) {
    if (first && !options.ListMode && line.rfind("@(#) ", 0) != 0) std::abort();
    first = false;
    if (!options.ListMode && line.rfind("& ", 0) == 0) CheckNearMiss(line);
  }
  return 0;
}
