// Blanking out markup so that only prose reaches the word finder: see markup.h.
#include "wordloom/text/markup.h"

#include <algorithm>
#include <cctype>

namespace wordloom {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Blanks out Text[From, To) but its line breaks.
void Blank(std::string& text, std::size_t from, std::size_t to) {
  to = std::min(to, text.size());
  for (std::size_t i = from; i < to; ++i) {
    if (text[i] != '\n') text[i] = ' ';
  }
}

// Blanks from At to the end of Close (searched from At + Skip), or to the end.
std::size_t BlankThrough(std::string& text, std::size_t at, std::size_t skip,
                         std::string_view close) {
  const std::size_t found = text.find(close, at + skip);
  const std::size_t end = found == std::string::npos ? text.size() : found + close.size();
  Blank(text, at, end);
  return end;
}

bool StartsWithNoCase(std::string_view s, std::size_t at, std::string_view prefix) {
  if (s.size() - at < prefix.size()) return false;
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
  for (std::string_view c : kCommands) {
    if (c == command) return true;
  }
  return false;
}

// The end of the bracketed groups ([...] and {...}, nested braces counted)
// that follow At, blanks and line breaks between them allowed.
std::size_t EndOfArguments(const std::string& t, std::size_t at) {
  std::size_t end = at;
  for (std::size_t i = at; i < t.size();) {
    if (t[i] == ' ' || t[i] == '\t' || t[i] == '\n') {
      ++i;
      continue;
    }
    if (t[i] != '{' && t[i] != '[') break;
    const char open = t[i];
    const char close = open == '{' ? '}' : ']';
    int depth = 0;
    for (; i < t.size(); ++i) {
      if (t[i] == open) ++depth;
      if (t[i] == close && --depth == 0) break;
    }
    end = i = std::min(i + 1, t.size());
  }
  return end;
}

void MaskTex(std::string& t) {
  for (std::size_t i = 0; i < t.size();) {
    if (t[i] == '\\') {
      std::size_t end = i + 1;
      while (end < t.size() && IsAsciiLetter(t[end])) ++end;
      if (end == i + 1 && end < t.size()) ++end;  // \% \& \\ ...
      if (TakesNonTextArguments(std::string_view(t).substr(i + 1, end - i - 1))) {
        end = EndOfArguments(t, end);
      }
      Blank(t, i, end);
      i = end;
    } else if (t[i] == '%') {
      i = BlankThrough(t, i, 1, "\n");
    } else if (t[i] == '$') {
      i = t.compare(i, 2, "$$") == 0 ? BlankThrough(t, i, 2, "$$") : BlankThrough(t, i, 1, "$");
    } else {
      ++i;
    }
  }
}

void MaskTags(std::string& t, std::size_t i, std::size_t& next) {
  if (t.compare(i, 4, "<!--") == 0) {
    next = BlankThrough(t, i, 4, "-->");
  } else if (i + 1 < t.size() && (IsAsciiLetter(t[i + 1]) || t[i + 1] == '/' || t[i + 1] == '!')) {
    const bool script = StartsWithNoCase(t, i, "<script");
    const bool style = StartsWithNoCase(t, i, "<style");
    next = BlankThrough(t, i, 1, ">");
    // The body of a script or a style runs to its end tag, in any case.
    const std::string_view end_tag = script ? "</script>" : style ? "</style>" : "";
    if (!end_tag.empty()) {
      std::size_t end = next;
      while (end < t.size() && !StartsWithNoCase(t, end, end_tag)) ++end;
      Blank(t, next, end + end_tag.size());
      next = std::min(end + end_tag.size(), t.size());
    }
  } else {
    next = i + 1;
  }
}

void MaskHtml(std::string& t) {
  for (std::size_t i = 0; i < t.size();) {
    if (t[i] == '<') {
      MaskTags(t, i, i);
    } else if (t[i] == '&') {
      std::size_t end = i + 1;
      while (end < t.size() &&
             (std::isalnum(static_cast<unsigned char>(t[end])) || t[end] == '#')) {
        ++end;
      }
      if (end < t.size() && t[end] == ';' && end > i + 1) Blank(t, i, end + 1);
      i = end;
    } else {
      ++i;
    }
  }
}

void MaskMarkdown(std::string& t) {
  bool line_start = true;
  for (std::size_t i = 0; i < t.size();) {
    if (line_start && (t.compare(i, 3, "```") == 0 || t.compare(i, 3, "~~~") == 0)) {
      const std::string fence = t.substr(i, 3);
      const std::size_t close = t.find("\n" + fence, i + 3);
      const std::size_t end = close == std::string::npos ? t.size() : t.find('\n', close + 4);
      Blank(t, i, end == std::string::npos ? t.size() : end);
      i = end == std::string::npos ? t.size() : end;
      continue;
    }
    line_start = t[i] == '\n';
    if (t[i] == '`') {
      std::size_t ticks = i;
      while (ticks < t.size() && t[ticks] == '`') ++ticks;
      i = BlankThrough(t, i, ticks - i, t.substr(i, ticks - i));
    } else if (t.compare(i, 2, "](") == 0) {
      i = BlankThrough(t, i + 1, 1, ")");
    } else if (t[i] == '<') {
      MaskTags(t, i, i);
    } else {
      ++i;
    }
  }
}

void MaskNroff(std::string& t) {
  for (std::size_t i = 0; i < t.size();) {
    const bool line_start = i == 0 || t[i - 1] == '\n';
    if (line_start && (t[i] == '.' || t[i] == '\'')) {
      const std::size_t end = std::min(t.find('\n', i), t.size());
      Blank(t, i, end);
      i = end;
    } else if (t[i] == '\\' && i + 1 < t.size()) {
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
      i = std::min(end, t.size());
    } else {
      ++i;
    }
  }
}

}  // namespace

std::string MaskMarkup(std::string_view Text, MarkupMode Mode) {
  // One masker per mode, in the order of MarkupMode; plain text has none.
  using Masker = void (*)(std::string&);
  static constexpr Masker kMaskers[] = {nullptr, MaskTex, MaskHtml, MaskMarkdown, MaskNroff};
  std::string masked(Text);
  if (const Masker mask = kMaskers[static_cast<int>(Mode)]; mask != nullptr) mask(masked);
  return masked;
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
