// Prose in marked-up text: what each mode blanks out, and that offsets
// stay those of the original text.
#include "wordloom/text/markup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wordloom {
namespace {

std::vector<std::string> Prose(std::string_view text, MarkupMode mode) {
  std::vector<std::string> found;
  for (const UnicodeWord& w : FindProseWords(text, mode)) {
    found.emplace_back(text.substr(w.Offset, w.Length));
  }
  return found;
}

TEST(MarkupTest, EachModeLeavesOnlyProse) {
  const struct {
    const char* Name;
    MarkupMode Mode;
    std::string Text;
    std::vector<std::string> Words;
  } kCases[] = {
      {"plain keeps everything",
       MarkupMode::kPlain,
       "<b>bold</b> \\emph",
       {"b", "bold", "b", "emph"}},
      {"tex commands",
       MarkupMode::kTex,
       "\\section{Intro} \\textbf{bold} wrold\\\\ next",
       {"Intro", "bold", "wrold", "next"}},
      {"tex comments and math",
       MarkupMode::kTex,
       "one % a comment\ntwo $x+y$ three $$\\alpha$$ four",
       {"one", "two", "three", "four"}},
      {"tex escaped percent", MarkupMode::kTex, "50\\% off", {"off"}},
      {"tex arguments that are keys, names and files",
       MarkupMode::kTex,
       "see \\cite[p.~4]{knuth84, lamprt} and \\ref{sec:intro}\n"
       "\\begin{itemize} \\usepackage{graphicx}\\label{x{y}} ok \\end{itemize}",
       {"see", "and", "ok"}},
      {"html tags and attributes",
       MarkupMode::kHtml,
       "<p class=\"intro\">Hello <a href=\"https://x.y/z\">wrold</a></p>",
       {"Hello", "wrold"}},
      {"html entities and comments",
       MarkupMode::kHtml,
       "fish&amp;chips <!-- hidden\nnote --> end",
       {"fish", "chips", "end"}},
      {"html script and style",
       MarkupMode::kHtml,
       "a<script>var qq = 1;</script>b<STYLE>p { color: red }</STYLE>c",
       {"a", "b", "c"}},
      {"html a lone less-than", MarkupMode::kHtml, "a < b", {"a", "b"}},
      {"markdown code and links",
       MarkupMode::kMarkdown,
       "Use `grep -rn` and [the guide](docs/guide-page.md) or ![logo](img/logo.png).",
       {"Use", "and", "the", "guide", "or", "logo"}},
      {"markdown fenced block",
       MarkupMode::kMarkdown,
       "Before\n```sh\nmake qqq\n```\nAfter",
       {"Before", "After"}},
      {"nroff requests and escapes",
       MarkupMode::kNroff,
       ".TH WORDLOOM 1\n.SH NAME\n\\fBwordloom\\fR \\- check \\(emspelling\\*(Tm\n'br\nend",
       {"wordloom", "check", "spelling", "end"}},
      {"unclosed markup blanks to the end", MarkupMode::kHtml, "text <b unclosed", {"text"}},
      {"html entities of letters and apostrophes stay in their words",
       MarkupMode::kHtml,
       "caf&eacute; you&rsquo;ve it&#39;s don&#x2019;t &lt;b&gt;",
       {"caf&eacute;", "you&rsquo;ve", "it&#39;s", "don&#x2019;t", "b"}},
      {"tex inline math ends at a paragraph's end",
       MarkupMode::kTex,
       "a $x\ny$ b $unclosed\n\nnext",
       {"a", "b", "next"}},
      {"markdown indented code after a blank line",
       MarkupMode::kMarkdown,
       "Text\n    not code\n\n    qqq code\n\n    more code\nback",
       {"Text", "not", "code", "back"}},
      {"markdown code not closed on its line ends there",
       MarkupMode::kMarkdown,
       "a `b c\nd ``e f`` g",
       {"a", "d", "g"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Prose(c.Text, c.Mode), c.Words);
  }
}

TEST(MarkupTest, TheFileNameChoosesTheMode) {
  const struct {
    const char* Name;
    MarkupMode Mode;
  } kCases[] = {{"paper.tex", MarkupMode::kTex},          {"dir.d/Notes.LaTeX", MarkupMode::kTex},
                {"index.html", MarkupMode::kHtml},        {"feed.XML", MarkupMode::kHtml},
                {"README.md", MarkupMode::kMarkdown},     {"wordloom.1", MarkupMode::kNroff},
                {"notes.txt", MarkupMode::kPlain},        {"Makefile", MarkupMode::kPlain},
                {".tex", MarkupMode::kPlain},             {"tex.d/plain", MarkupMode::kPlain},
                {"-", MarkupMode::kPlain},                {"v1.10", MarkupMode::kPlain}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(MarkupModeForFile(c.Name), c.Mode);
  }
}

TEST(MarkupTest, MaskKeepsLengthAndLineBreaks) {
  const std::string text = "<p>caf\xC3\xA9\n<!-- a\nb --></p>\n\\fBx\\fR";
  for (MarkupMode mode : {MarkupMode::kPlain, MarkupMode::kTex, MarkupMode::kHtml,
                          MarkupMode::kMarkdown, MarkupMode::kNroff}) {
    const std::string masked = MaskMarkup(text, mode);
    ASSERT_EQ(masked.size(), text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(masked[i] == '\n', text[i] == '\n');
      EXPECT_TRUE(masked[i] == text[i] || masked[i] == ' ');
    }
  }
  EXPECT_EQ(MaskMarkup(text, MarkupMode::kHtml), "   caf\xC3\xA9\n      \n         \n\\fBx\\fR");
}

// The pieces of a stream or the lines of the pipe are masked as the whole
// text is: a comment, a script, a math block, a fence or a command's
// arguments left open by one piece go on in the next.
TEST(MarkupTest, PiecesAreMaskedAsTheWholeText) {
  const struct {
    MarkupMode Mode;
    std::string Text;
  } kCases[] = {
      {MarkupMode::kTex,
       "Intro $$\na + b\n$$ and $x\ny$ text % note\n\\cite{a,\n b} \\begin\n{x}\nend\n"},
      {MarkupMode::kHtml,
       "<p>One <!-- a\nb --> two <a\n href=x>three</a>\n<script>\nvar q;\n</script>\nfour "
       "&amp; caf&eacute;\n"},
      {MarkupMode::kMarkdown,
       "Top\n```\ncode here\n```\nafter [link](\nhttp://x) `c d` e `open f\n\n    indented\n\nend\n"},
      {MarkupMode::kNroff, ".TH X\nword \\fBbold\\fR\n.SH Y\nmore\n"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Text);
    const std::string whole = MaskMarkup(c.Text, c.Mode);
    // Cut at every line break, and at every blank that follows some text on
    // its line.
    for (const char cut : {'\n', ' '}) {
      MarkupMasker masker(c.Mode);
      std::string pieces;
      std::size_t from = 0;
      bool line_has_text = false;
      for (std::size_t at = 0; at < c.Text.size(); ++at) {
        const bool cut_here = c.Text[at] == cut && (cut == '\n' || line_has_text);
        line_has_text = c.Text[at] != '\n' && (line_has_text || c.Text[at] != ' ');
        if (cut_here) {
          pieces += masker.Mask(std::string_view(c.Text).substr(from, at + 1 - from));
          from = at + 1;
        }
      }
      pieces += masker.Mask(std::string_view(c.Text).substr(from));
      EXPECT_EQ(pieces, whole) << "cut at " << (cut == ' ' ? "blanks" : "lines");
    }
  }
}

}  // namespace
}  // namespace wordloom
