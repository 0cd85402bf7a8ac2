// A text read from a stream in pieces of bounded size, so that checking a
// text of any size, or a line of any length, holds only one piece at a time.
// A piece ends after a line break; a line longer than the bound is cut at a
// blank that follows some text on it (so no word and no markup token is cut,
// and MarkupMasker may mask the pieces one by one), or, where the line holds
// no such blank within the bound, at a character boundary.
//
//   TextPieceReader reader(std::cin);
//   std::string piece;
//   while (reader.Next(piece)) { ... reader.EndsLine() ... }
#pragma once

#pragma GCC visibility push(default)

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

namespace wordloom {

// The length of the next piece of Rest by the rule above: through its first
// line break when that lies within MaxPiece bytes, all of Rest when it is
// shorter than MaxPiece and AtEnd (nothing follows it), else a cut in a long
// line. LineHasText: the line already holds a non-blank before Rest.
// EndsLine receives whether the piece ends its line.
std::size_t PieceLength(std::string_view Rest, std::size_t MaxPiece, bool AtEnd, bool LineHasText,
                        bool& EndsLine);

class TextPieceReader {
 public:
  // The bound of the pieces of a long line.
  static constexpr std::size_t kDefaultMaxPiece = std::size_t{1} << 20;

  explicit TextPieceReader(std::istream& In, std::size_t MaxPiece = kDefaultMaxPiece);

  // The next piece into Piece, its line break included; false, Piece empty,
  // at the end of the input.
  bool Next(std::string& Piece);
  // Whether the last piece ended its line (a line break, or the end of the
  // input), or a long line goes on in the next piece.
  bool EndsLine() const { return FEndsLine; }
  // Whether the stream failed while reading (not the end of the input).
  bool Failed() const { return FIn.bad(); }

 private:
  // Reads until the buffer holds a line break from Searched on, MaxPiece
  // bytes, or the rest of the input.
  void Fill();

  std::istream& FIn;
  std::size_t FMaxPiece;
  std::string FBuffer;
  std::size_t FStart = 0;  // where the unread part of FBuffer starts
  bool FEndsLine = true;
  bool FLineHasText = false;  // the line that goes on holds a non-blank
};

}  // namespace wordloom

#pragma GCC visibility pop
