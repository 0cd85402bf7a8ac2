// Masks arbitrary text in each markup mode, whole and in pieces, and finds
// its words. The first byte chooses the mode (mod 5) and the bound of the
// pieces (8 to 71 bytes); the rest is the text. The masked text is as long as
// the text with its line breaks where they were, the pieces come out as the
// whole (TextPieceReader's cuts, as check and the pipe make them), and every
// word found lies inside the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "wordloom/wordloom.h"

using namespace wordloom;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 8192) return 0;
  const auto mode = static_cast<MarkupMode>(data[0] % 5);
  const std::size_t max_piece = 8 + (data[0] >> 2);
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  const std::string whole = MaskMarkup(text, mode);
  if (whole.size() != text.size()) std::abort();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((whole[i] == '\n') != (text[i] == '\n')) std::abort();
  }
  std::istringstream in(text);
  TextPieceReader reader(in, max_piece);
  MarkupMasker masker(mode);
  std::string piece, pieces, joined;
  while (reader.Next(piece)) {
    if (piece.size() > max_piece) std::abort();
    joined += piece;
    pieces += masker.Mask(piece);
  }
  if (joined != text) std::abort();
  // A forced cut inside a long run without blanks may part a markup token;
  // cuts at blanks and line breaks never change the result.
  const bool forced = text.find_first_of(" \t") == std::string::npos && text.size() > max_piece;
  if (!forced && pieces.size() != whole.size()) std::abort();
  for (const UnicodeWord& w : FindUnicodeWords(whole)) {
    if (w.Length == 0 || w.Offset + w.Length > text.size() || w.Lookup.empty()) std::abort();
  }
  return 0;
}
