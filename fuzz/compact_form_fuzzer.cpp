// Feeds arbitrary bytes to the compact form reader. The first byte chooses
// whether the checksum is put right before the form is opened, so that most
// inputs reach the sections rather than stopping at the checksum, and the
// language the ranking works in (English with its sound-alike index, German
// or Russian without). Whatever
// the bytes, the reader refuses the form or gives answers, and lookups,
// rebuilding words from ranks, reading their stored texts and the
// likelihood ranking over the form
// neither crash nor run on without end.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "checking/compact_form.h"
#include "checking/likelihood_ranking.h"
#include "wordloom/platform/coding.h"

namespace {

using namespace wordloom::detail;

constexpr std::size_t kChecksumAt = 72;  // the header's checksum field

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool fix_checksum = (data[0] & 1) != 0;
  // The form is read in place as 32- and 64-bit words: an aligned copy.
  std::vector<std::uint64_t> aligned((size - 1 + 7) / 8 + 1);
  auto* bytes = reinterpret_cast<std::uint8_t*>(aligned.data());
  std::memcpy(bytes, data + 1, size - 1);
  const std::size_t length = size - 1;
  if (fix_checksum && length >= CompactForm::kHeaderSize) {
    wordloom::EncodeFixed64(bytes + kChecksumAt, CompactForm::Checksum(bytes, length));
  }
  std::string why;
  auto form = CompactForm::Open(bytes, length, nullptr, why);
  if (!form) return 0;
  // Words from the input's tail, and the words of the first ranks.
  std::vector<std::string> words = {"a", "the", "receive", std::string(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 12))};
  std::string text;
  for (std::uint32_t r = 0; r < std::min<std::uint32_t>(form->WordCount(), 40); ++r) {
    if (r < 16) words.push_back(form->WordAt(r));
    (void)form->TextAt(r, text);
  }
  for (const std::string& w : words) {
    const std::int64_t rank = form->Find(w);
    if (rank >= 0) {
      (void)form->NumberAt(static_cast<std::uint32_t>(rank));
      (void)form->FrequencyAt(static_cast<std::uint32_t>(rank));
    }
  }
  LikelihoodRanker ranker;
  static const char* const kLanguages[] = {"en", "de", "ru", "en"};
  ranker.SetLanguage(TypingLanguageFor(kLanguages[(data[0] >> 1) & 3]));
  CompactView view;
  view.Form = form.get();
  std::vector<std::string> out;
  // Typos of plain and accented letters, a letter cut short, and the form's
  // own words (whatever bytes they hold) with a letter more.
  for (const char* typo : {"recieve", "teh", "definately", "uber", "\xD0\xB5\xD0\xBB\xD0", "\xBC\xC3"}) {
    ranker.Rank(view, typo, 10, out);
  }
  for (std::size_t i = 4; i < words.size(); ++i) ranker.Rank(view, words[i] + "x", 10, out);
  return 0;
}
