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
//   tex:      \commands and the arguments of those that take names, keys or
//             files (\cite, \ref, \begin, ...), % comments, $$...$$ math and
//             $...$ math (which a blank line ends, as in TeX)
//   html:     <tags>, <!-- comments -->, <script> and <style> bodies, and
//             &entities; but those of a letter or an apostrophe, which are
//             written as that character padded with invisible format
//             characters, so that "caf&eacute;" and "you&rsquo;ve" stay words
//   markdown: `code` (to the end of its line when it is not closed), fenced
//             and indented code blocks, link and
//             image targets, <tags>
//   nroff:    request lines (. or ' first), \f \( \* \s escapes
std::string MaskMarkup(std::string_view Text, MarkupMode Mode);

// MaskMarkup over a text that comes in pieces (the blocks of a stream, the
// lines of the pipe): what one piece leaves open goes on in the next, so
// the pieces come out as the whole text would. Pieces end at line breaks,
// or inside a line at a blank that follows some text on that line (a long
// line cut in parts): never inside a markup token or a line's indentation.
class MarkupMasker {
 public:
  explicit MarkupMasker(MarkupMode Mode);
  MarkupMode Mode() const { return FMode; }
  // The next piece, masked; as long as Piece.
  std::string Mask(std::string_view Piece);

 private:
  enum class Pending { kNone, kUntil, kUntilNoCase, kMath, kCode, kTag, kArguments, kFence };
  std::size_t Open(std::string& t, std::size_t from, std::size_t skip, Pending kind,
                   std::string close);
  std::size_t GoOnPending(std::string& t, std::size_t i);
  bool LineBlankBefore(const std::string& t, std::size_t nl) const;
  std::size_t TexAt(std::string& t, std::size_t i);
  std::size_t TagAt(std::string& t, std::size_t i);
  std::size_t HtmlAt(std::string& t, std::size_t i);
  std::size_t MarkdownLineStart(std::string& t, std::size_t i);
  std::size_t MarkdownAt(std::string& t, std::size_t i);
  std::size_t NroffAt(std::string& t, std::size_t i, bool line_start);

  MarkupMode FMode;
  Pending FPending = Pending::kNone;
  std::string FClose;     // what ends the pending construct
  std::string FAfterTag;  // the end tag of a script or style whose tag is open
  int FDepth = 0;         // of the bracketed group of a command's arguments
  char FOpen = '{';
  bool FAtLineStart = true;     // the next piece starts a line
  bool FLineBlank = true;       // the line going on into the next piece is blank so far
  bool FPreviousBlank = true;   // Markdown: the last line was blank
  bool FInIndentedCode = false; // Markdown: in an indented code block
};

// The mode a file's name suggests, by its extension in any case: .tex .latex
// .ltx .sty .cls TeX; .html .htm .xhtml .xml .svg HTML; .md .markdown
// Markdown; .1 to .9, .man, .ms, .me, .mm nroff; anything else plain.
MarkupMode MarkupModeForFile(std::string_view FileName);

// The words of Text's prose: FindUnicodeWords on MaskMarkup(Text, Mode).
std::vector<UnicodeWord> FindProseWords(std::string_view Text, MarkupMode Mode);

}  // namespace wordloom

#pragma GCC visibility pop
