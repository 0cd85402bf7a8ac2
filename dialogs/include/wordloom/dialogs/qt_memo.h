// Memo adapters: a QPlainTextEdit or a QTextEdit as the memo the checker reads
// and edits (TCustomMemo).
//
// The checker counts positions in bytes of the text; Qt counts UTF-16 code
// units of its document. The adapters translate between the two in one way:
//
// - Text() is the document encoded with the adapter's encoding: UTF-8 (the
//   default) or Windows-1252 (for dictionaries kept in that encoding). A
//   character Windows-1252 cannot hold is written as '?'.
// - Every line break is one byte, "\n": a paragraph break of the document
//   (U+2029) and a line separator inside a paragraph (U+2028) alike, so that
//   one caret position of the document is one line-break byte. SetSelText
//   turns "\r\n" and a lone "\r" into "\n" before inserting, as Qt would make
//   one paragraph break of them anyway.
// - A byte position inside a multi-byte character is kept as given until the
//   caret or the document changes (so reading the text byte by byte through
//   the caret works); Qt's own caret stands at the start of that character.
//
//   QPlainTextEdit edit;
//   TQtPlainTextMemo memo(nullptr, &edit);
//   checker.SetMemo(&memo);
//   checker.CheckMemo();
#pragma once

#include <wordloom/platform/memo.h>

#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QStringView>
#include <QTextCursor>
#include <QTextEdit>
#include <cstdint>
#include <string>
#include <string_view>

namespace wordloom::dialogs {

// How the memo's text becomes bytes.
enum TMemoEncoding : std::uint8_t { meUtf8, meWindows1252 };

// The bytes of Text in the encoding. Line and paragraph separators (U+2028,
// U+2029) become "\n"; characters Windows-1252 lacks become '?'.
std::string EncodeMemoText(QStringView Text, TMemoEncoding Encoding);
// The text of Bytes in the encoding. Invalid UTF-8 becomes U+FFFD; every byte
// of Windows-1252 has a character (the five it leaves unassigned stand for
// the control characters of the same value), so that encoding reverses it.
QString DecodeMemoText(std::string_view Bytes, TMemoEncoding Encoding);

// What the two adapters share: the translation of positions over a document
// and a text cursor. A memo whose editor was destroyed reads as empty and
// ignores changes.
class TQtMemo : public TCustomMemo {
 public:
  WORDLOOM_OBJECT(TQtMemo)
  TQtMemo(TComponent* AOwner, TMemoEncoding Encoding);

  TMemoEncoding Encoding() const { return FEncoding; }
  void SetEncoding(TMemoEncoding Value) { FEncoding = Value; }

  std::string Text() const override;
  int SelStart() const override;
  void SetSelStart(int Value) override;
  int SelLength() const override;
  void SetSelLength(int Value) override;
  void SetSelText(const std::string& Value) override;

 protected:
  // The editor's document and caret; nullptr once the editor is gone.
  virtual QTextDocument* Document() const = 0;
  virtual QTextCursor TextCursor() const = 0;
  virtual void SetTextCursor(const QTextCursor& Cursor) = 0;

 private:
  struct Selection {
    int Start = 0;
    int Length = 0;
  };
  // The selection in bytes: the one last set, while the editor's caret and
  // text are as that left them; otherwise translated from the caret.
  Selection CurrentSelection() const;
  // Selects the bytes [Start, Start + Length) in the editor and remembers them.
  void Select(int Start, int Length);

  TMemoEncoding FEncoding;
  // The selection last set, and the caret and document state it was set on.
  Selection FSelection;
  int FCursorAnchor = -1;
  int FCursorPosition = -1;
  int FRevision = -1;
  int FCharacterCount = -1;
};

// The editor access of the adapters: QPlainTextEdit and QTextEdit offer the
// same calls.
template <typename EditT>
class TQtEditorMemo : public TQtMemo {
 public:
  TQtEditorMemo(TComponent* AOwner, EditT* Edit, TMemoEncoding Encoding)
      : TQtMemo(AOwner, Encoding), FEdit(Edit) {}
  EditT* Edit() const { return FEdit; }

 protected:
  QTextDocument* Document() const override { return FEdit ? FEdit->document() : nullptr; }
  QTextCursor TextCursor() const override { return FEdit ? FEdit->textCursor() : QTextCursor(); }
  void SetTextCursor(const QTextCursor& Cursor) override {
    if (FEdit) FEdit->setTextCursor(Cursor);
  }

 private:
  QPointer<EditT> FEdit;
};

// A QPlainTextEdit as the memo; the editor is not owned.
class TQtPlainTextMemo : public TQtEditorMemo<QPlainTextEdit> {
 public:
  WORDLOOM_OBJECT(TQtPlainTextMemo)
  TQtPlainTextMemo(TComponent* AOwner, QPlainTextEdit* Edit, TMemoEncoding Encoding = meUtf8)
      : TQtEditorMemo(AOwner, Edit, Encoding) {}
};

// A QTextEdit as the memo; the editor is not owned. Its rich text reads as
// plain text: formatting is not seen, and a replacement gets the format Qt
// gives text typed where the replaced text starts.
class TQtTextEditMemo : public TQtEditorMemo<QTextEdit> {
 public:
  WORDLOOM_OBJECT(TQtTextEditMemo)
  TQtTextEditMemo(TComponent* AOwner, QTextEdit* Edit, TMemoEncoding Encoding = meUtf8)
      : TQtEditorMemo(AOwner, Edit, Encoding) {}
};

}  // namespace wordloom::dialogs
