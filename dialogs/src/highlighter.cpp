#include "wordloom/dialogs/highlighter.h"

#include <QTextBlock>
#include <QTextDocument>

#include "qt_memo_internal.h"

namespace wordloom::dialogs {

TSpellHighlighter::TSpellHighlighter(QTextDocument* Document, TVelkSpellChecker* Checker,
                                     TMemoEncoding Encoding)
    : QSyntaxHighlighter(Document), FChecker(Checker), FEncoding(Encoding) {
  // Case-insensitive and without duplicates, like the checker's ignore list.
  FIgnored.SetSorted(true);
}

void TSpellHighlighter::SetEncoding(TMemoEncoding Value) {
  FEncoding = Value;
  rehighlight();
}

void TSpellHighlighter::SetEnabled(bool Value) {
  FEnabled = Value;
  rehighlight();
}

void TSpellHighlighter::SetAcceptCapitalised(bool Value) {
  FAcceptCapitalised = Value;
  rehighlight();
}

void TSpellHighlighter::IgnoreAll(const std::string& Word) {
  FIgnored.Add(Word);
  rehighlight();
}

bool TSpellHighlighter::Accepts(const std::string& Word) {
  if (FChecker == nullptr || FChecker->Frequency(Word) > 0 || IsIgnored(Word)) return true;
  if (!FAcceptCapitalised) return false;
  QString text = DecodeMemoText(Word, FEncoding);
  if (text.isEmpty() || !text[0].isUpper()) return false;
  text[0] = text[0].toLower();
  return FChecker->Frequency(EncodeMemoText(text, FEncoding)) > 0;
}

std::vector<TSpellWord> TSpellHighlighter::WordsOf(const QString& Line, bool Last) const {
  std::vector<TSpellWord> words;
  if (FChecker == nullptr) return words;
  const detail::MemoTextMap map(Line, FEncoding);
  // The line break that ends the line is a delimiter like any other.
  const std::string bytes = Last ? map.Bytes() : map.Bytes() + '\n';
  const int n = map.ByteCount();
  const TCharSet delimiters = FChecker->GetDelimiters();
  const bool include_delimiter = FChecker->DelimiterOption() == wldInclFirstSucc;
  const std::uint8_t token = FChecker->FormatChar()->GetToken();
  const std::string replacement = FChecker->FormatChar()->GetReplBStr().GetString();
  auto is_delimiter = [&](int i) {
    return delimiters.Contains(static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(i)]));
  };
  for (int i = 0; i < n;) {
    while (i < n && is_delimiter(i)) ++i;
    if (i == n) break;
    const int start = i;
    TSpellWord w;
    for (; i < n && !is_delimiter(i); ++i) {
      const char c = bytes[static_cast<std::size_t>(i)];
      if (static_cast<std::uint8_t>(c) == token) {
        w.Word += replacement;
      } else {
        w.Word += c;
      }
    }
    w.Start = map.UnitAtOrBefore(start);
    w.Length = map.UnitAtOrAfter(i) - w.Start;
    w.Span = w.Length;
    if (include_delimiter && i < static_cast<int>(bytes.size())) {
      // The tokenizer keeps the first delimiter after a word with it.
      w.Word += bytes[static_cast<std::size_t>(i)];
      if (i < n) w.Span = map.UnitAtOrAfter(i + 1) - w.Start;
      ++i;
    }
    words.push_back(std::move(w));
  }
  return words;
}

std::optional<TSpellWord> TSpellHighlighter::WordAt(int Position) const {
  const QTextBlock block = document()->findBlock(Position);
  if (!block.isValid()) return std::nullopt;
  const int offset = Position - block.position();
  for (TSpellWord w : WordsOf(block.text(), !block.next().isValid())) {
    if (offset >= w.Start && offset <= w.Start + w.Length) {
      w.Start += block.position();
      return w;
    }
  }
  return std::nullopt;
}

QTextCharFormat TSpellHighlighter::MisspelledFormat() {
  QTextCharFormat format;
  format.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
  format.setUnderlineColor(Qt::red);
  return format;
}

void TSpellHighlighter::highlightBlock(const QString& Text) {
  if (!FEnabled || FChecker == nullptr) return;
  const QTextCharFormat mark = MisspelledFormat();
  for (const TSpellWord& w : WordsOf(Text, !currentBlock().next().isValid())) {
    if (!Accepts(w.Word)) setFormat(w.Start, w.Length, mark);
  }
}

THighlighterCheckDlg::THighlighterCheckDlg(TComponent* AOwner, TSpellHighlighter* Highlighter,
                                           TCustomSpellCheckDlg* Inner)
    : TCustomSpellCheckDlg(AOwner), FHighlighter(Highlighter), FInner(Inner) {}

TCheckResults THighlighterCheckDlg::Execute(TVelkSpellChecker* Checker, std::string& AWord) {
  if (FHighlighter->Accepts(AWord)) return crIgnore;
  const std::string asked = AWord;
  const TCheckResults r = FInner->Execute(Checker, AWord);
  if (r == crIgnoreAll) FHighlighter->IgnoreAll(asked);
  return r;
}

}  // namespace wordloom::dialogs
