#include "wordloom/dialogs/highlighter.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <utility>

#include "qt_memo_internal.h"
#include "wordloom/checking/spelling_rules.h"
#include "wordloom/text/text_words.h"
#include "wordloom/text/unicode_words.h"

namespace wordloom::dialogs {

SpellHighlighter::SpellHighlighter(QTextDocument* Document, TVelkSpellChecker* Checker,
                                   TMemoEncoding Encoding)
    : QSyntaxHighlighter(Document), FChecker(Checker), FEncoding(Encoding) {
  // Case-insensitive and without duplicates, like the checker's ignore list.
  FIgnored.SetSorted(true);
}

void SpellHighlighter::SetEncoding(TMemoEncoding Value) {
  FEncoding = Value;
  rehighlight();
}

void SpellHighlighter::SetEnabled(bool Value) {
  FEnabled = Value;
  rehighlight();
}

void SpellHighlighter::SetAcceptCapitalised(bool Value) {
  FAcceptCapitalised = Value;
  rehighlight();
}

void SpellHighlighter::IgnoreAll(const std::string& Word) {
  FIgnored.Add(Word);
  rehighlight();
}

bool SpellHighlighter::Accepts(const std::string& Word) {
  if (FChecker == nullptr || IsIgnored(Word)) return true;
  if (IsKnownWord(*FChecker, Word, !FAcceptCapitalised)) return true;
  if (!FAcceptCapitalised) return false;
  // A capital outside ASCII (an accented letter): what its lower case is in bytes
  // depends on the text's encoding, which only the memo side knows.
  QString text = DecodeMemoText(Word, FEncoding);
  if (text.isEmpty() || text[0].unicode() < 128 || !text[0].isUpper()) return false;
  text[0] = text[0].toLower();
  return FChecker->Frequency(EncodeMemoText(text, FEncoding)) > 0;
}

std::vector<SpellWord> SpellHighlighter::WordsOf(const QString& Line, bool Last) const {
  std::vector<SpellWord> words;
  if (FChecker == nullptr) return words;
  const detail::MemoTextMap map(Line, FEncoding);
  // UTF-8 text checked for words that end before their delimiter: the words
  // the command-line tool checks (FindUnicodeWords), so that dashes, quotation
  // marks and emoji part words and URLs, e-mail addresses and numbers are
  // left alone. Other texts and modes keep the tokenizer's cut.
  if (FEncoding == meUtf8 && FChecker->DelimiterOption() == wldExclFirstSucc) {
    for (UnicodeWord& found : FindUnicodeWords(map.Bytes())) {
      SpellWord w;
      w.Start = map.UnitAtOrBefore(static_cast<int>(found.Offset));
      w.Length = map.UnitAtOrAfter(static_cast<int>(found.Offset + found.Length)) - w.Start;
      w.Span = w.Length;
      w.Word = std::move(found.Lookup);
      words.push_back(std::move(w));
    }
    return words;
  }
  // The line break that ends the line is a delimiter like any other.
  const std::string bytes = Last ? map.Bytes() : map.Bytes() + '\n';
  const auto n = static_cast<std::size_t>(map.ByteCount());
  for (TextWord& cut : WordsOfText(*FChecker, bytes)) {
    // A cut that starts at the line break is the next line's business.
    if (cut.Start >= n) break;
    SpellWord w;
    w.Start = map.UnitAtOrBefore(static_cast<int>(cut.Start));
    w.Length = map.UnitAtOrAfter(static_cast<int>(cut.Start + cut.Length)) - w.Start;
    // An included line break is no character of the line.
    w.Span = map.UnitAtOrAfter(static_cast<int>(std::min(cut.Start + cut.Span, n))) - w.Start;
    w.Word = std::move(cut.Word);
    words.push_back(std::move(w));
  }
  return words;
}

std::optional<SpellWord> SpellHighlighter::WordAt(int Position) const {
  const QTextBlock block = document()->findBlock(Position);
  if (!block.isValid()) return std::nullopt;
  const int offset = Position - block.position();
  for (SpellWord w : WordsOf(block.text(), !block.next().isValid())) {
    if (offset >= w.Start && offset <= w.Start + w.Length) {
      w.Start += block.position();
      return w;
    }
  }
  return std::nullopt;
}

QTextCharFormat SpellHighlighter::MisspelledFormat() {
  QTextCharFormat format;
  format.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
  format.setUnderlineColor(Qt::red);
  return format;
}

void SpellHighlighter::highlightBlock(const QString& Text) {
  if (!FEnabled || FChecker == nullptr) return;
  const QTextCharFormat mark = MisspelledFormat();
  for (const SpellWord& w : WordsOf(Text, !currentBlock().next().isValid())) {
    if (!Accepts(w.Word)) setFormat(w.Start, w.Length, mark);
  }
}

THighlighterCheckDlg::THighlighterCheckDlg(TComponent* AOwner, SpellHighlighter* Highlighter,
                                           TCustomSpellCheckDlg* Inner)
    : TCustomSpellCheckDlg(AOwner), FHighlighter(Highlighter), FInner(Inner) {}

namespace {

// Selects Word in the memo where a check that asks about it stands: it ends
// at the caret, or one delimiter before it, or (when the word was asked in
// its lookup form, "don't" for "don’t") it is the last word of the line
// before the caret with that lookup form. False, and nothing selected, when
// it is not there.
bool SelectAskedWord(TCustomMemo& Memo, const std::string& Word) {
  const std::string text = Memo.Text();
  const int caret = Memo.SelStart();
  if (Word.empty() || caret < 0 || static_cast<std::size_t>(caret) > text.size()) return false;
  const auto at = static_cast<std::size_t>(caret);
  for (const std::size_t end : {at, at - 1}) {
    if (end > at || end < Word.size() || text.compare(end - Word.size(), Word.size(), Word) != 0) {
      continue;
    }
    Memo.SetSelStart(static_cast<int>(end - Word.size()));
    Memo.SetSelLength(static_cast<int>(Word.size()));
    return true;
  }
  const std::size_t line = at == 0 ? 0 : text.rfind('\n', at - 1);
  const std::size_t start = line == std::string::npos || at == 0 ? 0 : line + 1;
  const std::vector<UnicodeWord> words =
      FindUnicodeWords(std::string_view(text).substr(start, at - start));
  for (auto w = words.rbegin(); w != words.rend(); ++w) {
    if (w->Lookup != Word) continue;
    Memo.SetSelStart(static_cast<int>(start + w->Offset));
    Memo.SetSelLength(static_cast<int>(w->Length));
    return true;
  }
  return false;
}

}  // namespace

TCheckResults THighlighterCheckDlg::Execute(TVelkSpellChecker* Checker, std::string& AWord) {
  if (FHighlighter->Accepts(AWord)) return crIgnore;
  const std::string asked = AWord;
  // The word asked about is selected in the text while the dialog is open;
  // then the caret goes back where the check put it.
  TCustomMemo* memo = Checker != nullptr ? Checker->Memo() : nullptr;
  const int caret = memo != nullptr ? memo->SelStart() : 0;
  const bool selected = memo != nullptr && SelectAskedWord(*memo, asked);
  const TCheckResults r = FInner->Execute(Checker, AWord);
  if (selected) memo->SetSelStart(caret);
  if (r == crIgnoreAll) FHighlighter->IgnoreAll(asked);
  return r;
}

}  // namespace wordloom::dialogs
