// Blanking out markup so that only prose reaches the word finder: see markup.h.
//
// The masker reads its text in pieces and keeps what a piece leaves open (a
// TeX math block or argument, an HTML comment, tag, script or style, a
// Markdown fence, link target or indented code block) as its pending state,
// so that the pieces of a stream or the lines of the pipe are masked as the
// whole text would be.
#include "wordloom/text/markup.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace wordloom {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Blanks out Text[From, To) but its line breaks.
void Blank(std::string& text, std::size_t from, std::size_t to) {
  to = std::min(to, text.size());
  for (std::size_t i = from; i < to; ++i) {
    if (text[i] != '\n') text[i] = ' ';
  }
}

bool StartsWithNoCase(std::string_view s, std::size_t at, std::string_view prefix) {
  if (at > s.size() || s.size() - at < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(s[at + i])) != prefix[i]) return false;
  }
  return true;
}

// Commands whose arguments are names, keys, files or code rather than prose.
bool TakesNonTextArguments(std::string_view command) {
  static constexpr std::string_view kCommands[] = {
      "begin",     "end",        "cite",          "citep",   "citet",      "nocite",
      "ref",       "eqref",      "pageref",       "autoref", "cref",       "label",
      "usepackage", "documentclass", "input",     "include", "includegraphics",
      "bibliography", "bibliographystyle", "url", "href",    "newcommand", "renewcommand",
      "newenvironment", "setlength", "addtolength", "hypersetup", "lstinputlisting"};
  return std::find(std::begin(kCommands), std::end(kCommands), command) != std::end(kCommands);
}

// What an HTML entity that stands for a letter or an apostrophe stands for,
// in UTF-8; empty for any other entity (it is markup, and parts words).
std::string EntityText(std::string_view entity) {
  static const struct {
    std::string_view Name;
    std::string_view Text;
  } kNamed[] = {{"rsquo", "\xE2\x80\x99"}, {"apos", "'"},         {"shy", "\xC2\xAD"},
                {"eacute", "\xC3\xA9"},    {"egrave", "\xC3\xA8"}, {"ecirc", "\xC3\xAA"},
                {"euml", "\xC3\xAB"},      {"aacute", "\xC3\xA1"}, {"agrave", "\xC3\xA0"},
                {"acirc", "\xC3\xA2"},     {"auml", "\xC3\xA4"},   {"iuml", "\xC3\xAF"},
                {"icirc", "\xC3\xAE"},     {"ouml", "\xC3\xB6"},   {"ocirc", "\xC3\xB4"},
                {"uuml", "\xC3\xBC"},      {"ucirc", "\xC3\xBB"},  {"ccedil", "\xC3\xA7"},
                {"ntilde", "\xC3\xB1"},    {"szlig", "\xC3\x9F"},  {"Eacute", "\xC3\x89"}};
  for (const auto& e : kNamed) {
    if (e.Name == entity) return std::string(e.Text);
  }
  if (entity.size() < 2 || entity[0] != '#') return {};
  std::uint32_t code = 0;
  const bool hex = entity[1] == 'x' || entity[1] == 'X';
  const std::string_view digits = entity.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 6) return {};
  for (char c : digits) {
    const int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                  : hex && std::isxdigit(static_cast<unsigned char>(c))
                      ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                      : -1;
    if (v < 0) return {};
    code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
  }
  // The apostrophes, and the Latin letters with accents (U+00C0 to U+024F but
  // the two signs among them).
  if (code == 0x27) return "'";
  if (code == 0x2019) return "\xE2\x80\x99";
  if (code < 0xC0 || code > 0x24F || code == 0xD7 || code == 0xF7) return {};
  std::string out;
  out += static_cast<char>(0xC0 | (code >> 6));
  out += static_cast<char>(0x80 | (code & 0x3F));
  return out;
}

// Writes Replacement over Text[At, At + Length) and fills the rest with
// invisible format characters (soft hyphens and word joiners, which the word
// finder keeps inside a word), so that "you&rsquo;ve" reads as one word at
// the offsets it has. False, Text untouched, when they do not fit.
bool WriteInPlace(std::string& text, std::size_t at, std::size_t length,
                  std::string_view replacement) {
  if (replacement.size() + 2 > length) return false;
  std::size_t rest = length - replacement.size();
  std::string fill(replacement);
  if (rest % 3 == 1) {
    fill += "\xC2\xAD\xC2\xAD";  // two soft hyphens
    rest -= 4;
  } else if (rest % 3 == 2) {
    fill += "\xC2\xAD";
    rest -= 2;
  }
  for (; rest > 0; rest -= 3) fill += "\xE2\x81\xA0";  // word joiners
  text.replace(at, length, fill);
  return true;
}

}  // namespace

MarkupMasker::MarkupMasker(MarkupMode Mode) : FMode(Mode) {}

std::string MarkupMasker::Mask(std::string_view Piece) {
  std::string t(Piece);
  if (FMode == MarkupMode::kPlain) return t;
  std::size_t line_seen = std::string::npos;  // the line start looked at last
  for (std::size_t i = 0; i < t.size();) {
    const bool line_start = i == 0 ? FAtLineStart : t[i - 1] == '\n';
    if (line_start && i != line_seen && FMode == MarkupMode::kMarkdown &&
        FPending == Pending::kNone) {
      line_seen = i;
      i = MarkdownLineStart(t, i);
      continue;
    }
    if (FPending != Pending::kNone) {
      i = GoOnPending(t, i);
      continue;
    }
    switch (FMode) {
      case MarkupMode::kTex:
        i = TexAt(t, i);
        break;
      case MarkupMode::kHtml:
        i = HtmlAt(t, i);
        break;
      case MarkupMode::kMarkdown:
        i = MarkdownAt(t, i);
        break;
      case MarkupMode::kNroff:
        i = NroffAt(t, i, line_start);
        break;
      case MarkupMode::kPlain:
        i = t.size();
        break;
    }
  }
  if (!t.empty()) {
    // Whether the line that goes on into the next piece holds only blanks.
    const std::size_t nl = t.find_last_of('\n');
    const std::string_view tail =
        std::string_view(Piece).substr(nl == std::string::npos ? 0 : nl + 1);
    const bool tail_blank = std::all_of(tail.begin(), tail.end(), IsBlank);
    FLineBlank = nl == std::string::npos ? FLineBlank && tail_blank : tail_blank;
    FAtLineStart = t.back() == '\n';
  }
  return t;
}

// ---- what stays open ----

std::size_t MarkupMasker::Open(std::string& t, std::size_t from, std::size_t skip, Pending kind,
                               std::string close) {
  Blank(t, from, from + skip);
  FPending = kind;
  FClose = std::move(close);
  return std::min(from + skip, t.size());
}

std::size_t MarkupMasker::GoOnPending(std::string& t, std::size_t i) {
  const std::size_t start = i;
  switch (FPending) {
    case Pending::kNone:
      return i;
    case Pending::kUntil:
    case Pending::kUntilNoCase: {
      for (; i < t.size(); ++i) {
        const bool found = FPending == Pending::kUntil ? t.compare(i, FClose.size(), FClose) == 0
                                                       : StartsWithNoCase(t, i, FClose);
        if (found) {
          i += FClose.size();
          FPending = Pending::kNone;
          break;
        }
      }
      Blank(t, start, i);
      return i;
    }
    case Pending::kCode: {
      bool ended = false;
      for (; i < t.size(); ++i) {
        if (t[i] == '\n') {
          ended = true;
          break;
        }
        if (t.compare(i, FClose.size(), FClose) == 0) {
          i += FClose.size();
          ended = true;
          break;
        }
      }
      if (ended) FPending = Pending::kNone;
      Blank(t, start, i);
      return i;
    }
    case Pending::kMath: {
      // Inline math ends at its dollar, or at the end of the paragraph: a
      // blank line (TeX stops there too).
      for (; i < t.size(); ++i) {
        if (t[i] == '\\' && i + 1 < t.size()) {
          ++i;
        } else if (t[i] == '$') {
          ++i;
          FPending = Pending::kNone;
          break;
        } else if (t[i] == '\n' && LineBlankBefore(t, i)) {
          FPending = Pending::kNone;
          break;
        }
      }
      Blank(t, start, i);
      return i;
    }
    case Pending::kTag: {
      // A tag may span lines; a script's or a style's body follows it.
      const std::size_t end = t.find('>', i);
      i = end == std::string::npos ? t.size() : end + 1;
      Blank(t, start, i);
      if (end != std::string::npos) {
        FPending = FAfterTag.empty() ? Pending::kNone : Pending::kUntilNoCase;
        FClose = FAfterTag;
      }
      return i;
    }
    case Pending::kArguments: {
      // The bracketed groups of a command, nested braces counted, blanks and
      // line breaks between them allowed.
      for (; i < t.size(); ++i) {
        const char c = t[i];
        if (FDepth == 0) {
          if (c == '{' || c == '[') {
            FOpen = c;
            FDepth = 1;
          } else if (!IsBlank(c) && c != '\n') {
            FPending = Pending::kNone;
            break;
          }
        } else if (c == FOpen) {
          ++FDepth;
        } else if (c == (FOpen == '{' ? '}' : ']')) {
          --FDepth;
        }
      }
      Blank(t, start, i);
      return i;
    }
    case Pending::kFence:
      // To a line that starts with the fence, and to the end of that line.
      for (; i < t.size(); ++i) {
        const bool line_start = i == 0 ? FAtLineStart : t[i - 1] == '\n';
        if (line_start && t.compare(i, FClose.size(), FClose) == 0) {
          const std::size_t end = t.find('\n', i);
          i = end == std::string::npos ? t.size() : end;
          FPending = Pending::kNone;
          break;
        }
      }
      Blank(t, start, i);
      return i;
  }
  return t.size();
}

bool MarkupMasker::LineBlankBefore(const std::string& t, std::size_t nl) const {
  for (std::size_t j = nl; j > 0; --j) {
    if (t[j - 1] == '\n') return true;
    if (!IsBlank(t[j - 1])) return false;
  }
  return FAtLineStart ? true : FLineBlank;
}

// ---- TeX ----

std::size_t MarkupMasker::TexAt(std::string& t, std::size_t i) {
  if (t[i] == '\\') {
    std::size_t end = i + 1;
    while (end < t.size() && IsAsciiLetter(t[end])) ++end;
    if (end == i + 1 && end < t.size()) ++end;  // \% \& \\ ...
    const bool arguments = TakesNonTextArguments(std::string_view(t).substr(i + 1, end - i - 1));
    Blank(t, i, end);
    if (arguments) {
      FPending = Pending::kArguments;
      FDepth = 0;
    }
    return end;
  }
  if (t[i] == '%') return Open(t, i, 1, Pending::kUntil, "\n");
  if (t[i] == '$') {
    if (t.compare(i, 2, "$$") == 0) return Open(t, i, 2, Pending::kUntil, "$$");
    return Open(t, i, 1, Pending::kMath, "$");
  }
  return i + 1;
}

// ---- HTML ----

std::size_t MarkupMasker::TagAt(std::string& t, std::size_t i) {
  if (t.compare(i, 4, "<!--") == 0) return Open(t, i, 4, Pending::kUntil, "-->");
  if (i + 1 < t.size() && (IsAsciiLetter(t[i + 1]) || t[i + 1] == '/' || t[i + 1] == '!')) {
    // The body of a script or a style runs to its end tag, in any case.
    if (StartsWithNoCase(t, i, "<script")) {
      FAfterTag = "</script>";
    } else if (StartsWithNoCase(t, i, "<style")) {
      FAfterTag = "</style>";
    } else {
      FAfterTag.clear();
    }
    return Open(t, i, 1, Pending::kTag, ">");
  }
  return i + 1;
}

std::size_t MarkupMasker::HtmlAt(std::string& t, std::size_t i) {
  if (t[i] == '<') return TagAt(t, i);
  if (t[i] != '&') return i + 1;
  std::size_t end = i + 1;
  while (end < t.size() && (std::isalnum(static_cast<unsigned char>(t[end])) || t[end] == '#')) {
    ++end;
  }
  if (end >= t.size() || t[end] != ';' || end == i + 1) return end;
  const std::string text = EntityText(std::string_view(t).substr(i + 1, end - i - 1));
  if (text.empty() || !WriteInPlace(t, i, end + 1 - i, text)) Blank(t, i, end + 1);
  return end + 1;
}

// ---- Markdown ----

std::size_t MarkupMasker::MarkdownLineStart(std::string& t, std::size_t i) {
  if (t.compare(i, 3, "```") == 0 || t.compare(i, 3, "~~~") == 0) {
    const std::string fence = t.substr(i, 3);
    const std::size_t end = std::min(t.find('\n', i), t.size());
    Blank(t, i, end);
    FPending = Pending::kFence;
    FClose = fence;
    FLineBlank = false;
    return end;
  }
  const std::size_t line_end = std::min(t.find('\n', i), t.size());
  const std::string_view line = std::string_view(t).substr(i, line_end - i);
  const bool blank = std::all_of(line.begin(), line.end(), IsBlank);
  const bool indented = line.starts_with("    ") || line.starts_with("\t");
  // Indented code: after a blank line, or going on from one; blank lines
  // inside it do not end it.
  if (!blank && indented && (FPreviousBlank || FInIndentedCode)) {
    FInIndentedCode = true;
    Blank(t, i, line_end);
    FPreviousBlank = false;
    return line_end;
  }
  if (!blank) FInIndentedCode = false;
  FPreviousBlank = blank;
  return i;
}

std::size_t MarkupMasker::MarkdownAt(std::string& t, std::size_t i) {
  if (t[i] == '`') {
    // Inline code runs to the same number of backticks, or to the end of its
    // line where they never come.
    std::size_t ticks = i;
    while (ticks < t.size() && t[ticks] == '`') ++ticks;
    return Open(t, i, ticks - i, Pending::kCode, t.substr(i, ticks - i));
  }
  if (t.compare(i, 2, "](") == 0) return Open(t, i + 1, 1, Pending::kUntil, ")");
  if (t[i] == '<') return TagAt(t, i);
  return i + 1;
}

// ---- nroff ----

std::size_t MarkupMasker::NroffAt(std::string& t, std::size_t i, bool line_start) {
  if (line_start && (t[i] == '.' || t[i] == '\'')) return Open(t, i, 1, Pending::kUntil, "\n");
  if (t[i] != '\\' || i + 1 >= t.size()) return i + 1;
  std::size_t end = i + 2;
  const char kind = t[i + 1];
  if (kind == '(') {
    end = i + 4;  // \(xx: a two-character glyph name
  } else if ((kind == 'f' || kind == '*' || kind == 's' || kind == 'n') && end < t.size()) {
    if (t[end] == '(') {
      end += 3;
    } else if (t[end] == '[') {
      end = std::min(t.find(']', end), t.size() - 1) + 1;
    } else {
      end += (t[end] == '-' || t[end] == '+') && kind == 's' ? 2 : 1;
    }
  }
  Blank(t, i, end);
  return std::min(end, t.size());
}

std::string MaskMarkup(std::string_view Text, MarkupMode Mode) {
  return MarkupMasker(Mode).Mask(Text);
}

MarkupMode MarkupModeForFile(std::string_view FileName) {
  const std::size_t slash = FileName.find_last_of('/');
  const std::string_view base = slash == std::string_view::npos ? FileName : FileName.substr(slash + 1);
  const std::size_t dot = base.find_last_of('.');
  if (dot == std::string_view::npos || dot == 0) return MarkupMode::kPlain;
  std::string ext(base.substr(dot + 1));
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  static const struct {
    std::string_view Extension;
    MarkupMode Mode;
  } kModes[] = {{"tex", MarkupMode::kTex},      {"latex", MarkupMode::kTex},
                {"ltx", MarkupMode::kTex},      {"sty", MarkupMode::kTex},
                {"cls", MarkupMode::kTex},      {"html", MarkupMode::kHtml},
                {"htm", MarkupMode::kHtml},     {"xhtml", MarkupMode::kHtml},
                {"xml", MarkupMode::kHtml},     {"svg", MarkupMode::kHtml},
                {"md", MarkupMode::kMarkdown},  {"markdown", MarkupMode::kMarkdown},
                {"man", MarkupMode::kNroff},    {"ms", MarkupMode::kNroff},
                {"me", MarkupMode::kNroff},     {"mm", MarkupMode::kNroff}};
  for (const auto& m : kModes) {
    if (m.Extension == ext) return m.Mode;
  }
  if (ext.size() == 1 && ext[0] >= '1' && ext[0] <= '9') return MarkupMode::kNroff;
  return MarkupMode::kPlain;
}

std::vector<UnicodeWord> FindProseWords(std::string_view Text, MarkupMode Mode) {
  if (Mode == MarkupMode::kPlain) return FindUnicodeWords(Text);
  return FindUnicodeWords(MaskMarkup(Text, Mode));
}

}  // namespace wordloom
