// Feeds arbitrary bytes to the Hunspell reader and expansion: the input is an
// .aff and a .dic parted by the first NUL byte (no NUL: all .aff, and a .dic
// of one word). Whatever the bytes, the expansion either ends with forms that
// are valid UTF-8 and never empty, or raises EImportError; the limits keep
// each run short, as they keep a hostile dictionary from exhausting memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "wordloom/import/hunspell_import.h"

namespace {

bool ValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : c >= 0xc2 && c <= 0xdf ? 2 : c >= 0xe0 && c <= 0xef ? 3
                                                                 : c >= 0xf0 && c <= 0xf4 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xc0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = input.find('\0');
  const std::string_view aff = input.substr(0, nul);
  const std::string_view dic = nul == std::string_view::npos ? "1\nword/A\n" : input.substr(nul + 1);
  wordloom::HunspellImportOptions options;
  options.MaxForms = 20000;
  options.MaxSteps = 200000;
  try {
    wordloom::ExpandHunspellBytes(aff, dic, options, [](std::string_view form) {
      if (form.empty() || !ValidUtf8(form)) std::abort();
    });
  } catch (const wordloom::EImportError&) {
  }
  return 0;
}
