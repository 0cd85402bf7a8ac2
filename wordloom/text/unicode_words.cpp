// Words of UTF-8 prose by Unicode general category (utf8proc): see
// unicode_words.h for the rules.
#include "wordloom/text/unicode_words.h"

#include <utf8proc.h>

#include <cstdlib>
#include <memory>

namespace wordloom {

namespace {

// kFormat: an invisible format character (soft hyphen, zero-width joiner,
// word joiner), which a word keeps inside it and its lookup drops.
enum class CharKind { kLetter, kDigit, kJoiner, kFormat, kSpace, kOther };

// One character of the text; Code is -1 for a byte that starts no valid
// UTF-8 sequence.
struct Char {
  std::size_t Offset = 0;
  std::size_t Length = 0;
  utf8proc_int32_t Code = -1;
  CharKind Kind = CharKind::kOther;
};

constexpr utf8proc_int32_t kRightSingleQuote = 0x2019;  // the typographic apostrophe
constexpr utf8proc_int32_t kHyphen = 0x2010;            // the unambiguous hyphen
constexpr utf8proc_int32_t kZeroWidthSpace = 0x200B;    // a break, though of category Cf
constexpr utf8proc_int32_t kByteOrderMark = 0xFEFF;     // starts a file, never part of a word

CharKind KindOf(utf8proc_int32_t code) {
  if (code < 0) return CharKind::kOther;
  if (code == '\'' || code == kRightSingleQuote || code == '-' || code == kHyphen) {
    return CharKind::kJoiner;
  }
  if (code == kZeroWidthSpace) return CharKind::kSpace;
  if (code == kByteOrderMark) return CharKind::kOther;
  switch (utf8proc_category(code)) {
    case UTF8PROC_CATEGORY_LU:
    case UTF8PROC_CATEGORY_LL:
    case UTF8PROC_CATEGORY_LT:
    case UTF8PROC_CATEGORY_LM:
    case UTF8PROC_CATEGORY_LO:
    case UTF8PROC_CATEGORY_MN:
    case UTF8PROC_CATEGORY_MC:
    case UTF8PROC_CATEGORY_ME:
      return CharKind::kLetter;
    case UTF8PROC_CATEGORY_ND:
    case UTF8PROC_CATEGORY_NL:
    case UTF8PROC_CATEGORY_NO:
      return CharKind::kDigit;
    case UTF8PROC_CATEGORY_ZS:
    case UTF8PROC_CATEGORY_ZL:
    case UTF8PROC_CATEGORY_ZP:
    case UTF8PROC_CATEGORY_CC:
      return CharKind::kSpace;
    case UTF8PROC_CATEGORY_CF:
      return CharKind::kFormat;
    default:
      return CharKind::kOther;
  }
}

std::vector<Char> Decode(std::string_view text) {
  std::vector<Char> chars;
  chars.reserve(text.size());
  for (std::size_t offset = 0; offset < text.size();) {
    Char c;
    c.Offset = offset;
    c.Length = Utf8CharAt(text, offset, c.Code);
    c.Kind = KindOf(c.Code);
    chars.push_back(c);
    offset += c.Length;
  }
  return chars;
}

bool IsAsciiAlnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool StartsWithWww(std::string_view s) {
  return s.size() > 4 && (s[0] | 0x20) == 'w' && (s[1] | 0x20) == 'w' && (s[2] | 0x20) == 'w' &&
         s[3] == '.';
}

// Where in Chunk (a run without spaces) a URL or an e-mail address starts,
// or npos: "scheme://...", "www....", "local@domain.tld". It runs to the end
// of the chunk.
std::size_t NonProseStart(std::string_view chunk) {
  std::size_t found = std::string_view::npos;
  const auto keep_first = [&found](std::size_t at) {
    if (at < found) found = at;
  };
  if (const std::size_t sep = chunk.find("://"); sep != std::string_view::npos && sep > 0) {
    std::size_t start = sep;
    while (start > 0 && (IsAsciiAlnum(chunk[start - 1]) || chunk[start - 1] == '+' ||
                         chunk[start - 1] == '.' || chunk[start - 1] == '-')) {
      --start;
    }
    if (start < sep) keep_first(start);
  }
  for (std::size_t at = 0; (at = chunk.find_first_of("wW", at)) != std::string_view::npos; ++at) {
    if ((at == 0 || !IsAsciiAlnum(chunk[at - 1])) && StartsWithWww(chunk.substr(at))) {
      keep_first(at);
      break;
    }
  }
  if (const std::size_t at = chunk.find('@'); at != std::string_view::npos && at > 0) {
    const auto local = [](char c) {
      return IsAsciiAlnum(c) || c == '.' || c == '_' || c == '%' || c == '+' || c == '-';
    };
    std::size_t start = at;
    while (start > 0 && local(chunk[start - 1])) --start;
    std::size_t end = at + 1;
    while (end < chunk.size() &&
           (IsAsciiAlnum(chunk[end]) || chunk[end] == '-' || chunk[end] == '.')) {
      ++end;
    }
    const std::string_view domain = chunk.substr(at + 1, end - at - 1);
    const std::size_t dot = domain.find('.');
    if (start < at && dot != std::string_view::npos && dot > 0 && dot + 1 < domain.size()) {
      keep_first(start);
    }
  }
  return found;
}

bool InWord(CharKind kind) { return kind == CharKind::kLetter || kind == CharKind::kDigit; }

bool IsCode(const Char& c, utf8proc_int32_t code) { return c.Code == code; }

// The first character at or after I in [I, To) that is no format character.
std::size_t SkipFormat(const std::vector<Char>& chars, std::size_t i, std::size_t to) {
  while (i < to && chars[i].Kind == CharKind::kFormat) ++i;
  return i;
}

// Adds the words of Chars[From, To): runs of letters and digits, joined by a
// single apostrophe or hyphen that has one on each side, with format
// characters inside them. A typographic apostrophe before a word that follows
// no letter belongs to it ("’tis", "’90s"). A word joined to the next by a
// dot or an underscore is a file name, a domain or an identifier
// ("README.md", "e.g", "snake_case"), and one after an underscore too: no
// prose, left out whole.
void AddWords(std::string_view text, const std::vector<Char>& chars, std::size_t from,
              std::size_t to, std::vector<UnicodeWord>& out) {
  std::size_t i = from;
  while (i < to) {
    if (!InWord(chars[i].Kind)) {
      ++i;
      continue;
    }
    std::size_t first = i;
    if (first > from && IsCode(chars[first - 1], kRightSingleQuote) &&
        (first - 1 == from || !InWord(chars[first - 2].Kind))) {
      --first;
    }
    const bool after_underscore = first > from && IsCode(chars[first - 1], '_');
    bool has_digit = false;
    std::size_t last = i;  // the last letter or digit
    while (i < to) {
      const std::size_t next = SkipFormat(chars, i, to);
      if (next < to && InWord(chars[next].Kind)) {
        has_digit = has_digit || chars[next].Kind == CharKind::kDigit;
        last = next;
        i = next + 1;
      } else if (next == i && chars[i].Kind == CharKind::kJoiner) {
        const std::size_t after = SkipFormat(chars, i + 1, to);
        if (after >= to || !InWord(chars[after].Kind)) break;
        i = after;
      } else {
        break;
      }
    }
    const bool joined = i + 1 < to && (IsCode(chars[i], '.') || IsCode(chars[i], '_')) &&
                        InWord(chars[i + 1].Kind);
    if (joined || after_underscore) {
      // The rest of the name: words, dots, underscores and joiners.
      while (i < to && (InWord(chars[i].Kind) || chars[i].Kind == CharKind::kJoiner ||
                        chars[i].Kind == CharKind::kFormat || IsCode(chars[i], '.') ||
                        IsCode(chars[i], '_'))) {
        ++i;
      }
      continue;
    }
    if (has_digit) continue;
    // Format characters right after the last letter stay with the word: the
    // padding of a written-out HTML entity ("caf&eacute;").
    while (last + 1 < to && chars[last + 1].Kind == CharKind::kFormat) ++last;
    UnicodeWord word;
    word.Offset = chars[first].Offset;
    word.Length = chars[last].Offset + chars[last].Length - word.Offset;
    word.Lookup = LookupForm(text.substr(word.Offset, word.Length));
    out.push_back(std::move(word));
  }
}

}  // namespace

std::vector<UnicodeWord> FindUnicodeWords(std::string_view Text) {
  std::vector<UnicodeWord> words;
  const std::vector<Char> chars = Decode(Text);
  std::size_t i = 0;
  while (i < chars.size()) {
    if (chars[i].Kind == CharKind::kSpace) {
      ++i;
      continue;
    }
    const std::size_t first = i;
    while (i < chars.size() && chars[i].Kind != CharKind::kSpace) ++i;
    const std::size_t begin = chars[first].Offset;
    const std::size_t end = i < chars.size() ? chars[i].Offset : Text.size();
    const std::size_t skip = NonProseStart(Text.substr(begin, end - begin));
    std::size_t last = i;
    if (skip != std::string_view::npos) {
      // The URL starts at a character boundary: everything before it is ASCII
      // or whole characters of the chunk.
      last = first;
      while (last < i && chars[last].Offset < begin + skip) ++last;
    }
    AddWords(Text, chars, first, last, words);
  }
  return words;
}

std::size_t Utf8CharAt(std::string_view Text, std::size_t At, std::int32_t& Code) {
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(Text.data() + At);
  const utf8proc_ssize_t n =
      utf8proc_iterate(bytes, static_cast<utf8proc_ssize_t>(Text.size() - At), &Code);
  if (n <= 0) {
    Code = -1;
    return 1;
  }
  return static_cast<std::size_t>(n);
}

bool IsValidUtf8(std::string_view Text) {
  std::int32_t code = 0;
  for (std::size_t at = 0; at < Text.size();) {
    at += Utf8CharAt(Text, at, code);
    if (code < 0) return false;
  }
  return true;
}

std::size_t CharacterCount(std::string_view Text) {
  std::size_t count = 0;
  utf8proc_int32_t code = 0;
  for (std::size_t offset = 0; offset < Text.size(); ++count)
    offset += Utf8CharAt(Text, offset, code);
  return count;
}

std::string LookupForm(std::string_view Word) {
  std::string folded;
  folded.reserve(Word.size());
  for (std::size_t i = 0; i < Word.size();) {
    utf8proc_int32_t code = 0;
    const std::size_t n = Utf8CharAt(Word, i, code);
    if (code == kRightSingleQuote) {
      folded += '\'';
    } else if (code == kHyphen) {
      folded += '-';
    } else if (KindOf(code) != CharKind::kFormat) {
      folded.append(Word, i, n);
    }
    i += n;
  }
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(folded.c_str());
  // utf8proc_NFC allocates with malloc; NULL for invalid UTF-8.
  const std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> nfc(utf8proc_NFC(bytes),
                                                                    &std::free);
  if (!nfc) return folded;
  return std::string(reinterpret_cast<const char*>(nfc.get()));
}

}  // namespace wordloom
