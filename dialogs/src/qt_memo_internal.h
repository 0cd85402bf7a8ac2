// The translation between a Qt string and its bytes in a memo encoding, shared
// by the memo adapters, the highlighter and the spelling menu.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "wordloom/dialogs/qt_memo.h"

namespace wordloom::dialogs::detail {

// A string encoded once, with the byte offset of every character, so that
// positions translate both ways by binary search.
class MemoTextMap {
 public:
  MemoTextMap(const QString& Text, TMemoEncoding Encoding);

  const std::string& Bytes() const { return FBytes; }
  int ByteCount() const { return static_cast<int>(FBytes.size()); }
  int UnitCount() const { return FUnitStarts.back(); }
  // The byte offset of the character at Unit (a unit inside a surrogate pair
  // counts as its pair). REQUIRES: 0 <= Unit <= UnitCount().
  int ByteOf(int Unit) const;
  // The unit where the character holding Byte starts (Byte at or past the end:
  // UnitCount()). REQUIRES: Byte >= 0.
  int UnitAtOrBefore(int Byte) const;
  // The unit where the first character starting at or after Byte starts.
  int UnitAtOrAfter(int Byte) const;
  // The byte offset where the character holding Byte starts.
  int CharStartByte(int Byte) const;
  // The byte offset where the character holding Byte ends (Byte itself when a
  // character starts there).
  int CharEndByte(int Byte) const;

 private:
  std::string FBytes;
  // Per character, in order: where it starts in units and in bytes; one more
  // entry for the end.
  std::vector<int> FUnitStarts;
  std::vector<int> FByteStarts;
};

// The plain text of a document as a memo reads it: paragraph and line
// separators as they are stored, one unit each, so that units are caret
// positions. Frame markers and object characters are kept.
QString DocumentText(const QTextDocument& Document);

}  // namespace wordloom::dialogs::detail
