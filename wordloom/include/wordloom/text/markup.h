// Prose inside marked-up text: the markup of TeX, HTML, Markdown or nroff
// blanked out, so that the word finder (unicode_words.h) sees only the text
// a reader sees, at the byte offsets it has in the file.
//
//   FindProseWords("<b>Hello</b> &amp; wrold", MarkupMode::kHtml);  // Hello, wrold
#pragma once

#pragma GCC visibility push(default)

#include <string>
#include <string_view>
#include <vector>

#include "wordloom/text/unicode_words.h"

namespace wordloom {

enum class MarkupMode { kPlain, kTex, kHtml, kMarkdown, kNroff };

// Text with its markup replaced by spaces byte for byte: as long as Text,
// line breaks kept, so offsets in it are offsets in Text.
//   tex:      \commands, % comments, $...$ and $$...$$ math
//   html:     <tags>, <!-- comments -->, &entities;, <script> and <style> bodies
//   markdown: `code`, fenced code blocks, link and image targets, <tags>
//   nroff:    request lines (. or ' first), \f \( \* \s escapes
std::string MaskMarkup(std::string_view Text, MarkupMode Mode);

// The mode a file's name suggests, by its extension in any case: .tex .latex
// .ltx .sty .cls TeX; .html .htm .xhtml .xml .svg HTML; .md .markdown
// Markdown; .1 to .9, .man, .ms, .me, .mm nroff; anything else plain.
MarkupMode MarkupModeForFile(std::string_view FileName);

// The words of Text's prose: FindUnicodeWords on MaskMarkup(Text, Mode).
std::vector<UnicodeWord> FindProseWords(std::string_view Text, MarkupMode Mode);

}  // namespace wordloom

#pragma GCC visibility pop
