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
    if (FBuffer.size() - FStart >= FMaxPiece || !FIn) return;
    searched = FBuffer.size();
    // The unread rest moves to the front before the buffer grows.
    if (FStart > 0) {
      FBuffer.erase(0, FStart);
      searched -= FStart;
      FStart = 0;
    }
    const std::size_t old = FBuffer.size();
    FBuffer.resize(old + kReadBlock);
    FIn.read(FBuffer.data() + old, static_cast<std::streamsize>(kReadBlock));
    FBuffer.resize(old + static_cast<std::size_t>(FIn.gcount()));
  }
}

bool TextPieceReader::Next(std::string& Piece) {
  Piece.clear();
  Fill();
  const std::size_t available = FBuffer.size() - FStart;
  if (available == 0) return false;
  const std::string_view rest = std::string_view(FBuffer).substr(FStart);
  std::size_t length = 0;
  const std::size_t nl = rest.find('\n');
  if (nl != std::string_view::npos && nl < FMaxPiece) {
    length = nl + 1;
    FEndsLine = true;
  } else if (available < FMaxPiece) {
    length = available;  // the end of the input
    FEndsLine = true;
  } else {
    // A long line: cut after the last blank within the bound that follows
    // text on this line, else at the last character boundary.
    const std::string_view window = rest.substr(0, FMaxPiece);
    std::size_t first_text = FLineHasText ? 0 : window.size();
    for (std::size_t i = 0; i < window.size() && !FLineHasText; ++i) {
      if (!IsBlank(window[i])) {
        first_text = i;
        break;
      }
    }
    length = 0;
    for (std::size_t i = window.size(); i > first_text + 1; --i) {
      if (IsBlank(window[i - 1])) {
        length = i;
        break;
      }
    }
    if (length == 0) {
      length = window.size();
      while (length > 1 && length < rest.size() && IsContinuation(rest[length])) --length;
    }
    FEndsLine = false;
  }
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
