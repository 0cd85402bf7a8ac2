// Reading a text in pieces of bounded size: lines whole, long lines cut at
// blanks, nothing lost or repeated.
#include "wordloom/text/text_pieces.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace wordloom {
namespace {

// The pieces of Text with a bound of Max, each marked "|" where it ends its
// line.
std::vector<std::string> Pieces(const std::string& text, std::size_t max) {
  std::istringstream in(text);
  TextPieceReader reader(in, max);
  std::vector<std::string> pieces;
  std::string piece;
  while (reader.Next(piece)) pieces.push_back(piece + (reader.EndsLine() ? "|" : ""));
  EXPECT_TRUE(piece.empty());
  return pieces;
}

TEST(TextPiecesTest, LinesWholeAndLongLinesCutAtBlanks) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Pieces("", 16), V{});
  EXPECT_EQ(Pieces("one\ntwo\n\nend", 16), (V{"one\n|", "two\n|", "\n|", "end|"}));
  // A long line: cut after a blank that follows text, within the bound.
  EXPECT_EQ(Pieces("alpha beta gamma delta\nz\n", 12),
            (V{"alpha beta ", "gamma delta\n|", "z\n|"}));
  // Leading blanks are no place to cut: the indentation stays with its text.
  EXPECT_EQ(Pieces("    indented words here\n", 16),
            (V{"    indented ", "words here\n|"}));
  // Without a blank in reach the cut falls on a character boundary: "é" and
  // "€" are never split.
  const std::string accents = "\xC3\xA9\xC3\xA9\xC3\xA9\xE2\x82\xAC\xE2\x82\xAC";
  const V cut = Pieces(accents, 8);
  std::string joined;
  for (const std::string& p : cut) {
    EXPECT_LE(p.size(), 9u);
    joined += p.back() == '|' ? p.substr(0, p.size() - 1) : p;
  }
  EXPECT_EQ(joined, accents);
  EXPECT_EQ(cut.front(), "\xC3\xA9\xC3\xA9\xC3\xA9");
}

TEST(TextPiecesTest, ABigTextComesBackWholeInBoundedPieces) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += (i % 97 == 0 ? "\n" : "word ") + std::to_string(i) + ' ';
  std::istringstream in(text);
  TextPieceReader reader(in, 1000);
  std::string piece, joined;
  while (reader.Next(piece)) {
    EXPECT_LE(piece.size(), 1000u);
    joined += piece;
  }
  EXPECT_EQ(joined, text);
}

}  // namespace
}  // namespace wordloom
