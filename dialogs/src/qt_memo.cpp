#include "wordloom/dialogs/qt_memo.h"

#include <QTextDocument>
#include <algorithm>
#include <cstdint>

#include "qt_memo_internal.h"

namespace wordloom::dialogs {

namespace {

// Windows-1252 from 0x80 to 0x9F. The five values the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 control
// character of the same value, so that every byte reads and writes back.
// 0xA0 to 0xFF are the Latin-1 characters of the same value.
constexpr char16_t k1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& Out, char32_t C) {
  if (C < 0x80) {
    Out += static_cast<char>(C);
  } else if (C < 0x800) {
    Out += static_cast<char>(0xC0 | (C >> 6));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else if (C < 0x10000) {
    Out += static_cast<char>(0xE0 | (C >> 12));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (C >> 18));
    Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  }
}

void Append1252(std::string& Out, char32_t C) {
  if (C < 0x80 || (C >= 0xA0 && C <= 0xFF)) {
    Out += static_cast<char>(C);
    return;
  }
  const auto* end = std::end(k1252High);
  const auto* at = std::find(std::begin(k1252High), end, C);
  Out += at == end ? '?' : static_cast<char>(0x80 + (at - std::begin(k1252High)));
}

// Calls Each(code point, units) for every character of Text. A lone
// surrogate is one character, U+FFFD.
template <typename Fn>
void ForEachCodePoint(QStringView Text, Fn&& Each) {
  const qsizetype n = Text.size();
  for (qsizetype i = 0; i < n;) {
    const char16_t u = Text[i].unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(Text[i + 1].unicode())) {
      Each(QChar::surrogateToUcs4(u, Text[i + 1].unicode()), 2);
      i += 2;
    } else {
      Each(QChar::isSurrogate(u) ? char32_t{0xFFFD} : char32_t{u}, 1);
      ++i;
    }
  }
}

void AppendCodePoint(std::string& Out, char32_t C, TMemoEncoding Encoding) {
  if (C == QChar::LineSeparator || C == QChar::ParagraphSeparator) C = U'\n';
  if (Encoding == meWindows1252) {
    Append1252(Out, C);
  } else {
    AppendUtf8(Out, C);
  }
}

// "\r\n" and a lone "\r" as "\n".
std::string UnixLineBreaks(const std::string& Value) {
  std::string out;
  out.reserve(Value.size());
  for (std::size_t i = 0; i < Value.size(); ++i) {
    if (Value[i] == '\r') {
      out += '\n';
      if (i + 1 < Value.size() && Value[i + 1] == '\n') ++i;
    } else {
      out += Value[i];
    }
  }
  return out;
}

int ClampToInt(std::int64_t Value, int Low, int High) {
  return static_cast<int>(std::clamp<std::int64_t>(Value, Low, High));
}

}  // namespace

std::string EncodeMemoText(QStringView Text, TMemoEncoding Encoding) {
  std::string out;
  out.reserve(static_cast<std::size_t>(Text.size()));
  ForEachCodePoint(Text, [&](char32_t c, int) { AppendCodePoint(out, c, Encoding); });
  return out;
}

QString DecodeMemoText(std::string_view Bytes, TMemoEncoding Encoding) {
  if (Encoding == meUtf8)
    return QString::fromUtf8(Bytes.data(), static_cast<qsizetype>(Bytes.size()));
  QString out;
  out.reserve(static_cast<qsizetype>(Bytes.size()));
  for (const char b : Bytes) {
    const auto v = static_cast<std::uint8_t>(b);
    out += QChar(v >= 0x80 && v < 0xA0 ? k1252High[v - 0x80] : char16_t{v});
  }
  return out;
}

namespace detail {

MemoTextMap::MemoTextMap(const QString& Text, TMemoEncoding Encoding) {
  FBytes.reserve(static_cast<std::size_t>(Text.size()));
  FUnitStarts.reserve(static_cast<std::size_t>(Text.size()) + 1);
  FByteStarts.reserve(static_cast<std::size_t>(Text.size()) + 1);
  int unit = 0;
  ForEachCodePoint(Text, [&](char32_t c, int units) {
    FUnitStarts.push_back(unit);
    FByteStarts.push_back(static_cast<int>(FBytes.size()));
    AppendCodePoint(FBytes, c, Encoding);
    unit += units;
  });
  FUnitStarts.push_back(unit);
  FByteStarts.push_back(static_cast<int>(FBytes.size()));
}

int MemoTextMap::ByteOf(int Unit) const {
  const auto it = std::upper_bound(FUnitStarts.begin(), FUnitStarts.end(), Unit);
  return FByteStarts[static_cast<std::size_t>(it - FUnitStarts.begin() - 1)];
}

int MemoTextMap::UnitAtOrBefore(int Byte) const {
  const auto it = std::upper_bound(FByteStarts.begin(), FByteStarts.end(), Byte);
  return FUnitStarts[static_cast<std::size_t>(it - FByteStarts.begin() - 1)];
}

int MemoTextMap::UnitAtOrAfter(int Byte) const {
  const auto it = std::lower_bound(FByteStarts.begin(), FByteStarts.end(), Byte);
  return it == FByteStarts.end() ? UnitCount()
                                 : FUnitStarts[static_cast<std::size_t>(it - FByteStarts.begin())];
}

int MemoTextMap::CharStartByte(int Byte) const {
  return *(std::upper_bound(FByteStarts.begin(), FByteStarts.end(), Byte) - 1);
}

int MemoTextMap::CharEndByte(int Byte) const {
  const auto it = std::lower_bound(FByteStarts.begin(), FByteStarts.end(), Byte);
  return it == FByteStarts.end() ? ByteCount() : *it;
}

QString DocumentText(const QTextDocument& Document) { return Document.toRawText(); }

}  // namespace detail

TQtMemo::TQtMemo(TComponent* AOwner, TMemoEncoding Encoding)
    : TCustomMemo(AOwner), FEncoding(Encoding) {}

std::string TQtMemo::Text() const {
  const QTextDocument* doc = Document();
  return doc == nullptr ? std::string() : EncodeMemoText(detail::DocumentText(*doc), FEncoding);
}

TQtMemo::Selection TQtMemo::CurrentSelection() const {
  const QTextDocument* doc = Document();
  if (doc == nullptr) return {};
  const QTextCursor cursor = TextCursor();
  if (cursor.anchor() == FCursorAnchor && cursor.position() == FCursorPosition &&
      doc->revision() == FRevision && doc->characterCount() == FCharacterCount) {
    return FSelection;
  }
  const detail::MemoTextMap map(detail::DocumentText(*doc), FEncoding);
  const int start = map.ByteOf(cursor.selectionStart());
  return {start, map.ByteOf(cursor.selectionEnd()) - start};
}

int TQtMemo::SelStart() const { return CurrentSelection().Start; }

int TQtMemo::SelLength() const { return CurrentSelection().Length; }

void TQtMemo::Select(int Start, int Length) {
  QTextDocument* doc = Document();
  if (doc == nullptr) return;
  const detail::MemoTextMap map(detail::DocumentText(*doc), FEncoding);
  Start = std::clamp(Start, 0, map.ByteCount());
  Length = ClampToInt(std::int64_t{Length}, 0, map.ByteCount() - Start);
  QTextCursor cursor = TextCursor();
  cursor.setPosition(map.UnitAtOrBefore(Start));
  // A selection ending inside a character shows the whole character.
  if (Length > 0) cursor.setPosition(map.UnitAtOrAfter(Start + Length), QTextCursor::KeepAnchor);
  SetTextCursor(cursor);
  const QTextCursor now = TextCursor();
  FSelection = {Start, Length};
  FCursorAnchor = now.anchor();
  FCursorPosition = now.position();
  FRevision = doc->revision();
  FCharacterCount = doc->characterCount();
}

void TQtMemo::SetSelStart(int Value) { Select(Value, 0); }

void TQtMemo::SetSelLength(int Value) { Select(CurrentSelection().Start, Value); }

void TQtMemo::SetSelText(const std::string& Value) {
  QTextDocument* doc = Document();
  if (doc == nullptr) return;
  const Selection sel = CurrentSelection();
  const detail::MemoTextMap map(detail::DocumentText(*doc), FEncoding);
  const int start = std::clamp(sel.Start, 0, map.ByteCount());
  const int end = ClampToInt(std::int64_t{start} + sel.Length, start, map.ByteCount());
  // Qt replaces whole characters: the bytes of the characters the selection
  // cuts into are kept around the new text.
  const int char_start = map.CharStartByte(start);
  const int char_end = map.CharEndByte(end);
  const std::string inserted = UnixLineBreaks(Value);
  const std::string bytes =
      map.Bytes().substr(static_cast<std::size_t>(char_start),
                         static_cast<std::size_t>(start - char_start)) +
      inserted +
      map.Bytes().substr(static_cast<std::size_t>(end), static_cast<std::size_t>(char_end - end));
  const QString text = DecodeMemoText(bytes, FEncoding);
  QTextCursor cursor = TextCursor();
  cursor.beginEditBlock();
  cursor.setPosition(map.UnitAtOrBefore(char_start));
  cursor.setPosition(map.UnitAtOrAfter(char_end), QTextCursor::KeepAnchor);
  cursor.insertText(text);
  cursor.endEditBlock();
  SetTextCursor(cursor);
  if (EncodeMemoText(text, FEncoding) == bytes) {
    Select(start + static_cast<int>(inserted.size()), 0);
  } else {
    // Bytes the encoding cannot hold were replaced: the caret after what the
    // document now holds.
    const detail::MemoTextMap now(detail::DocumentText(*doc), FEncoding);
    Select(now.ByteOf(TextCursor().position()), 0);
  }
}

}  // namespace wordloom::dialogs
