// What a user or a file names a dictionary with, and the bytes of a personal
// word list: the name rules never fail and are stable (a canonical name is
// its own canonical name), the list keeps only non-empty, trimmed words, each
// once, and refuses a NUL byte with EReadError.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_set>

#include "wordloom/wordloom.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace wordloom;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const std::string canonical = CanonicalDictionaryName(bytes);
  if (CanonicalDictionaryName(canonical) != canonical) std::abort();
  (void)IsDictionaryPath(bytes);
  (void)DictionaryAliases(canonical);
  // A list that names an existing file is that file; names with a '/' are
  // left out so that the fuzzer looks at no folder but its own.
  if (bytes.find('\0') == std::string_view::npos && bytes.find('/') == std::string_view::npos) {
    for (const std::string& entry : SplitDictionaryList(bytes)) {
      if (entry.empty() || entry.find(',') != std::string::npos) std::abort();
    }
  }

  PersonalWordList list;
  try {
    list.SetText(bytes);
  } catch (const EReadError&) {
    if (bytes.find('\0') == std::string_view::npos || !list.Words().empty()) std::abort();
    return 0;
  }
  std::unordered_set<std::string> seen;
  for (const std::string& w : list.Words()) {
    if (w.empty() || w.find('\n') != std::string::npos || w.front() == ' ' || w.back() == ' ' ||
        !seen.insert(w).second) {
      std::abort();
    }
  }
  return 0;
}
