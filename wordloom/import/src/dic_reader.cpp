// Reads .dic lines the way Hunspell splits them: the morphological fields
// start at a tab or at a field "xx:..." after white space; the flags follow
// the first slash that is not escaped as "\/".
#include "dic_reader.h"

#include "wordloom/import/hunspell_import.h"

namespace wordloom::detail {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Where the morphological fields of Line start (npos: none): at the first
// tab, or at a two-letter field name and colon ("po:noun") after white space.
std::size_t MorphologyStart(std::string_view line) {
  std::size_t cut = line.find('\t');
  for (std::size_t colon = line.find(':'); colon != std::string_view::npos && colon < cut;
       colon = line.find(':', colon + 1)) {
    if (colon > 3 && IsBlank(line[colon - 3])) {
      cut = colon - 3;
      break;
    }
  }
  return cut;
}

}  // namespace

std::size_t CountLines(std::string_view Dic) {
  std::size_t n = 0;
  for (char c : Dic) n += c == '\n';
  return n + 1;
}

DicCounts ForEachDicEntry(std::string_view Dic, const std::string& Name, AffixRules& Rules,
                          const std::function<void(const std::string&)>& Warn,
                          const std::function<void(const std::string&, const FlagSet&)>& Entry) {
  if (Dic.substr(0, 3) == "\xEF\xBB\xBF") Dic.remove_prefix(3);  // a byte-order mark
  DicCounts counts;
  std::size_t start = 0, number = 0;
  std::string word;
  while (start < Dic.size()) {
    std::size_t end = Dic.find('\n', start);
    if (end == std::string_view::npos) end = Dic.size();
    std::string_view line = Dic.substr(start, end - start);
    start = end + 1;
    ++number;
    const std::string where = Name + ":" + std::to_string(number) + ": ";
    if (number == 1) {
      // The word count: only checked to be one, as Hunspell insists on it.
      while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
      if (line.empty() || line.find_first_not_of("0123456789") != std::string_view::npos) {
        throw EImportError(where + "the first line must be the number of words");
      }
      continue;
    }
    if (const std::size_t cut = MorphologyStart(line); cut != std::string_view::npos) {
      line = line.substr(0, cut);
    }
    while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
    if (line.empty()) continue;
    std::string raw;
    std::string_view flags;
    bool has_flags = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '/') {
        raw += '/';
        ++i;
      } else if (line[i] == '/' && i > 0) {
        flags = line.substr(i + 1);
        has_flags = true;
        break;
      } else {
        raw += line[i];
      }
    }
    ++counts.Entries;
    if (raw.find('\0') != std::string::npos || !Rules.Converter().ToUtf8(raw, word)) {
      ++counts.Skipped;
      Warn(where + "not " + Rules.Encoding() + " text; line passed over");
      continue;
    }
    word = Rules.WithoutIgnored(word);
    if (word.empty()) continue;
    if (word.find(' ') != std::string::npos) {
      // A phrase: no word of a text is one.
      ++counts.Skipped;
      continue;
    }
    const FlagSet decoded = has_flags ? Rules.DecodeFlags(flags, [&](const std::string& m) {
      Warn(where + m);
    }) : FlagSet();
    Entry(word, decoded);
  }
  return counts;
}

}  // namespace wordloom::detail
