#include <gtest/gtest.h>
#include <wordloom/dialogs/qt_memo.h>

#include <QPlainTextEdit>
#include <QTextEdit>
#include <memory>
#include <string>

namespace wordloom::dialogs {
namespace {

// The same checks over both editors.
struct Editors {
  QPlainTextEdit plain;
  QTextEdit rich;
  TQtPlainTextMemo plain_memo{nullptr, &plain};
  TQtTextEditMemo rich_memo{nullptr, &rich};

  void SetText(const QString& text) {
    plain.setPlainText(text);
    rich.setPlainText(text);
  }
  template <typename Fn>
  void ForBoth(Fn&& fn) {
    {
      SCOPED_TRACE("QPlainTextEdit");
      fn(plain_memo, plain.textCursor(), [&] { return plain.textCursor(); });
    }
    {
      SCOPED_TRACE("QTextEdit");
      fn(rich_memo, rich.textCursor(), [&] { return rich.textCursor(); });
    }
  }
};

// Selects Length bytes from Start and replaces them by Text.
void Replace(TCustomMemo& memo, int start, int length, const std::string& text) {
  memo.SetSelStart(start);
  memo.SetSelLength(length);
  memo.SetSelText(text);
}

// The selected text as a memo reads it: paragraph breaks as "\n".
std::string Selected(const QTextCursor& cursor) {
  return EncodeMemoText(cursor.selectedText(), meUtf8);
}

TEST(QtMemoTest, BytePositionsAndSelectionsRoundTrip) {
  const struct {
    const char* name;
    std::string bytes;
  } kCases[] = {
      {"ascii", "the cat sat"},
      {"two- and three-byte characters",
       "na\xC3\xAFve caf\xC3\xA9 \xE2\x82\xAC"
       "5"},
      {"a character beyond the BMP",
       "a\xF0\x9F\x98\x80"
       "b \xF0\x9F\x98\x80"},
      {"line breaks", "one\ntwo\n\n\xC3\xA9t\xC3\xA9\n"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    Editors e;
    e.SetText(QString::fromUtf8(c.bytes.data(), static_cast<qsizetype>(c.bytes.size())));
    e.ForBoth([&](TQtMemo& memo, const QTextCursor&, auto cursor) {
      ASSERT_EQ(memo.Text(), c.bytes);
      const int n = static_cast<int>(c.bytes.size());
      for (int b = 0; b <= n; ++b) {
        const bool boundary = b == n || (static_cast<unsigned char>(c.bytes[b]) & 0xC0) != 0x80;
        if (!boundary) continue;
        memo.SetSelStart(b);
        EXPECT_EQ(memo.SelStart(), b);
        EXPECT_EQ(memo.SelLength(), 0);
        // Qt's caret stands where the bytes before it end.
        EXPECT_EQ(cursor().position(), QString::fromUtf8(c.bytes.data(), b).size());
        for (int l = 0; b + l <= n; ++l) {
          if (b + l < n && (static_cast<unsigned char>(c.bytes[b + l]) & 0xC0) == 0x80) continue;
          memo.SetSelStart(b);
          memo.SetSelLength(l);
          EXPECT_EQ(memo.SelStart(), b);
          EXPECT_EQ(memo.SelLength(), l);
          EXPECT_EQ(Selected(cursor()), c.bytes.substr(b, l));
        }
      }
      // Read byte by byte through the caret, as the checker's character
      // source does: a position inside a character holds.
      memo.SetSelStart(0);
      std::string read;
      for (int at = memo.SelStart(); at < n; at = memo.SelStart()) {
        read += memo.Text()[static_cast<std::size_t>(at)];
        memo.SetSelStart(at + 1);
      }
      EXPECT_EQ(read, c.bytes);
      // Out of range clamps to the text.
      memo.SetSelStart(n + 5);
      EXPECT_EQ(memo.SelStart(), n);
      memo.SetSelStart(-3);
      memo.SetSelLength(n + 9);
      EXPECT_EQ(memo.SelLength(), n);
    });
  }

  // A selection made in the editor, backwards, and a text loaded with CRLF.
  Editors e;
  e.SetText(QString::fromUtf8("x\r\n\xC3\xA9t\xC3\xA9 y"));
  e.ForBoth([&](TQtMemo& memo, const QTextCursor& start, auto) {
    EXPECT_EQ(memo.Text(), "x\n\xC3\xA9t\xC3\xA9 y");
    QTextCursor c = start;
    c.setPosition(6);
    c.setPosition(2, QTextCursor::KeepAnchor);
    if (auto* p = dynamic_cast<TQtPlainTextMemo*>(&memo)) p->Edit()->setTextCursor(c);
    if (auto* r = dynamic_cast<TQtTextEditMemo*>(&memo)) r->Edit()->setTextCursor(c);
    EXPECT_EQ(memo.SelStart(), 2);
    EXPECT_EQ(memo.SelLength(), 6);
  });
}

TEST(QtMemoTest, SetSelTextReplacesAndPutsTheCaretAfter) {
  Editors e;
  e.SetText(QString::fromUtf8("na\xC3\xAFve \xF0\x9F\x98\x80 caf\xC3\xA9"));
  e.ForBoth([&](TQtMemo& memo, const QTextCursor&, auto cursor) {
    Replace(memo, 7, 4, "x\r\ny\rz");
    EXPECT_EQ(memo.Text(), "na\xC3\xAFve x\ny\nz caf\xC3\xA9");
    EXPECT_EQ(memo.SelStart(), 12);
    EXPECT_EQ(memo.SelLength(), 0);
    EXPECT_EQ(cursor().position(), 11);  // after the two paragraph breaks of "x\ny\nz"
    // Only the last byte of "é": the character becomes "è", the caret after it.
    Replace(memo, 17, 1, "\xA8");
    EXPECT_EQ(memo.Text(), "na\xC3\xAFve x\ny\nz caf\xC3\xA8");
    EXPECT_EQ(memo.SelStart(), 18);
    // A replacement that is not UTF-8 is read as U+FFFD; the caret after it.
    Replace(memo, 0, 2, "\xFF");
    EXPECT_EQ(memo.Text().substr(0, 5), "\xEF\xBF\xBD\xC3\xAF");
    EXPECT_EQ(memo.SelStart(), 3);
  });
}

TEST(QtMemoTest, Windows1252BothWays) {
  EXPECT_EQ(EncodeMemoText(QString::fromUtf8("\xE2\x82\xAC caf\xC3\xA9 \xE2\x80\x98q\xE2\x80\x99 "
                                             "\xC5\xB8 \xF0\x9F\x98\x80 \xE2\x80\xA9"),
                           meWindows1252),
            "\x80 caf\xE9 \x91q\x92 \x9F ? \n");
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const QString decoded = DecodeMemoText(all, meWindows1252);
  ASSERT_EQ(decoded.size(), 256);
  EXPECT_EQ(decoded[0x80], QChar(0x20AC));
  EXPECT_EQ(decoded[0x9F], QChar(0x0178));
  EXPECT_EQ(decoded[0xE9], QChar(0xE9));
  EXPECT_EQ(EncodeMemoText(decoded, meWindows1252), all);

  // A memo in Windows-1252: one byte a character.
  QPlainTextEdit edit(
      QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC"
                        "5"));
  TQtPlainTextMemo memo(nullptr, &edit, meWindows1252);
  EXPECT_EQ(memo.Text(),
            "caf\xE9 \x80"
            "5");
  Replace(memo, 3, 1, "\xE8\x9C");
  EXPECT_EQ(edit.toPlainText(), QString::fromUtf8("caf\xC3\xA8\xC5\x93 \xE2\x82\xAC"
                                                  "5"));
  EXPECT_EQ(memo.SelStart(), 5);
  EXPECT_EQ(edit.textCursor().position(), 5);
}

TEST(QtMemoTest, AGoneEditorReadsAsEmpty) {
  auto edit = std::make_unique<QPlainTextEdit>(QStringLiteral("some text"));
  TQtPlainTextMemo memo(nullptr, edit.get());
  memo.SetSelStart(4);
  EXPECT_EQ(memo.SelStart(), 4);
  edit.reset();
  EXPECT_EQ(memo.Text(), "");
  EXPECT_EQ(memo.SelStart(), 0);
  memo.SetSelText("more");
  EXPECT_EQ(memo.Text(), "");
}

}  // namespace
}  // namespace wordloom::dialogs
