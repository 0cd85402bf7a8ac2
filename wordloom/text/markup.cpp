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

void MaskTex(std::string& t) {
  for (std::size_t i = 0; i < t.size();) {
    if (t[i] == '\\') {
      std::size_t end = i + 1;
      while (end < t.size() && IsAsciiLetter(t[end])) ++end;
      if (end == i + 1 && end < t.size()) ++end;  // \% \& \\ ...
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
  std::string masked(Text);
  switch (Mode) {
    case MarkupMode::kPlain:
      break;
    case MarkupMode::kTex:
      MaskTex(masked);
      break;
    case MarkupMode::kHtml:
      MaskHtml(masked);
      break;
    case MarkupMode::kMarkdown:
      MaskMarkdown(masked);
      break;
    case MarkupMode::kNroff:
      MaskNroff(masked);
      break;
  }
  return masked;
}

std::vector<UnicodeWord> FindProseWords(std::string_view Text, MarkupMode Mode) {
  if (Mode == MarkupMode::kPlain) return FindUnicodeWords(Text);
  return FindUnicodeWords(MaskMarkup(Text, Mode));
}

}  // namespace wordloom
