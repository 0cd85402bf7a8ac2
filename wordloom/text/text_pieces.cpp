// Reading a text in pieces of bounded size: see text_pieces.h.
#include "wordloom/text/text_pieces.h"

#include <algorithm>

namespace wordloom {

namespace {

constexpr std::size_t kReadBlock = 64 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

TextPieceReader::TextPieceReader(std::istream& In, std::size_t MaxPiece)
    : FIn(In), FMaxPiece(std::max<std::size_t>(MaxPiece, 8)) {}

void TextPieceReader::Fill() {
  std::size_t searched = FStart;
  for (;;) {
    if (FBuffer.find('\n', searched) != std::string::npos) return;
    if (FBuffer.size() - FStart >= FMaxPiece || !FIn || FIn.eof()) return;
    searched = FBuffer.size();
    // The unread rest moves to the front before the buffer grows.
    if (FStart > 0) {
      FBuffer.erase(0, FStart);
      searched -= FStart;
      FStart = 0;
    }
    // Up to the next line break, never past it: a program that talks to us
    // line by line (an editor in pipe mode) waits for the answer to each
    // line before it sends the next, so a read must not wait for more.
    const std::size_t old = FBuffer.size();
    FBuffer.resize(old + kReadBlock + 1);
    FIn.get(FBuffer.data() + old, static_cast<std::streamsize>(kReadBlock + 1), '\n');
    FBuffer.resize(old + static_cast<std::size_t>(FIn.gcount()));
    if (FIn.eof()) return;
    // get() fails when the line break comes first; that is no error.
    if (FIn.fail() && !FIn.bad() && FIn.gcount() == 0) FIn.clear();
    if (FIn.peek() == '\n') {
      FIn.ignore();
      FBuffer.push_back('\n');
    }
  }
}

std::size_t PieceLength(std::string_view Rest, std::size_t MaxPiece, bool AtEnd, bool LineHasText,
                        bool& EndsLine) {
  MaxPiece = std::max<std::size_t>(MaxPiece, 8);
  const std::size_t nl = Rest.find('\n');
  EndsLine = true;
  if (nl != std::string_view::npos && nl < MaxPiece) return nl + 1;
  if (Rest.size() < MaxPiece && AtEnd) return Rest.size();
  // A long line: cut after the last blank within the bound that follows
  // text on this line, else at the last character boundary.
  EndsLine = false;
  const std::string_view window = Rest.substr(0, MaxPiece);
  std::size_t first_text = 0;
  if (!LineHasText) {
    first_text = window.size();
    for (std::size_t i = 0; i < window.size(); ++i) {
      if (!IsBlank(window[i])) {
        first_text = i;
        break;
      }
    }
  }
  for (std::size_t i = window.size(); i > first_text + 1; --i) {
    if (IsBlank(window[i - 1])) return i;
  }
  std::size_t length = window.size();
  while (length > 1 && length < Rest.size() && IsContinuation(Rest[length])) --length;
  return length;
}

bool TextPieceReader::Next(std::string& Piece) {
  Piece.clear();
  Fill();
  const std::size_t available = FBuffer.size() - FStart;
  if (available == 0) return false;
  const std::string_view rest = std::string_view(FBuffer).substr(FStart);
  const std::size_t length = PieceLength(rest, FMaxPiece, !FIn || FIn.eof(), FLineHasText, FEndsLine);
  Piece.assign(rest.substr(0, length));
  FStart += length;
  FLineHasText = !FEndsLine && (FLineHasText || !std::all_of(Piece.begin(), Piece.end(), IsBlank));
  if (FStart == FBuffer.size()) {
    FBuffer.clear();
    FStart = 0;
  }
  return true;
}

}  // namespace wordloom
