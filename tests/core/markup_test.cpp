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

}  // namespace
}  // namespace wordloom
