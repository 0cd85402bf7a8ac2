// As-you-type spelling marks: a QSyntaxHighlighter that underlines, with a red
// wavy line, every word of a QTextDocument that its checker does not know.
// In UTF-8 text, when the checker's words end before their delimiter
// (wldExclFirstSucc), the words are those the command-line tool checks
// (FindUnicodeWords: no URLs, e-mail addresses or numbers; dashes, quotes and
// emoji part words). Otherwise they are cut with the checker's delimiters and
// delimiter option, the way CheckMemo cuts them.
//
//   SpellHighlighter highlighter(edit.document(), &checker);
//   highlighter.IgnoreAll("Wordloom");  // no longer underlined
#pragma once

#include <wordloom/checking/velk_spell_checker.h>
#include <wordloom/dialogs/qt_memo.h>
#include <wordloom/platform/string_list.h>

#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <optional>
#include <string>
#include <vector>

namespace wordloom::dialogs {

// One word of the text as the highlighter finds it.
struct SpellWord {
  // Where the word's characters stand: document positions (or positions in a
  // block's text, for WordsOf).
  int Start = 0;
  int Length = 0;
  // The characters the word takes in the text: with wldInclFirstSucc also
  // the delimiter that ends it. A replacement replaces these.
  int Span = 0;
  // The bytes the dictionary is asked about: the word (and in
  // wldInclFirstSucc mode its delimiter), the format character's token
  // written as its replacement; in UTF-8 text the word's lookup form
  // (UnicodeWord::Lookup).
  std::string Word;
};

class SpellHighlighter : public QSyntaxHighlighter {
  Q_OBJECT

 public:
  // Marks the words of Document the checker lacks. Neither the document nor
  // the checker is owned; the highlighter belongs to the document.
  SpellHighlighter(QTextDocument* Document, TVelkSpellChecker* Checker,
                   TMemoEncoding Encoding = meUtf8);

  TVelkSpellChecker* Checker() const { return FChecker; }
  TMemoEncoding Encoding() const { return FEncoding; }
  void SetEncoding(TMemoEncoding Value);
  // Off: no marks at all.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // On: the case forms of a dictionary word are known, as the command-line
  // tool knows them (IsKnownWord): "The" and "THE" for "the", "PARIS" for
  // "Paris"; also a word whose first letter is a capital outside ASCII and
  // is known with that letter in lower case. Off (the default), exactly the
  // dictionary's words are known, as in a check.
  bool AcceptCapitalised() const { return FAcceptCapitalised; }
  void SetAcceptCapitalised(bool Value);

  // Words ignored for this session, compared without regard to case like
  // the checker's own "Ignore all" list; re-highlights.
  void IgnoreAll(const std::string& Word);
  bool IsIgnored(const std::string& Word) const { return FIgnored.IndexOf(Word) >= 0; }
  // Whether Word passes: a dictionary word, an ignored one or (with
  // AcceptCapitalised) a case form of a dictionary word.
  bool Accepts(const std::string& Word);

  // The words of one line of text (no line break in it). Last: whether it is
  // the document's last line; a line break ends the others' last word.
  std::vector<SpellWord> WordsOf(const QString& Line, bool Last) const;
  // The word at document Position, or the one that ends there; none when
  // only delimiters touch it.
  std::optional<SpellWord> WordAt(int Position) const;

  // The mark of a word the checker lacks: a red wavy underline.
  static QTextCharFormat MisspelledFormat();

 protected:
  void highlightBlock(const QString& Text) override;

 private:
  TVelkSpellChecker* FChecker;
  TMemoEncoding FEncoding;
  bool FEnabled = true;
  bool FAcceptCapitalised = false;
  TStringList FIgnored;
};

// A check dialog for a check over a highlighted text: it passes over the
// words the highlighter accepts (answering crIgnore without showing
// anything), asks the dialog it stands in front of about the others, and
// tells the highlighter the words ignored for all. So a check and the marks
// agree on which words are wrong. While the dialog is open, the word asked
// about is selected in the checker's memo. Neither the highlighter nor Inner
// is owned.
class THighlighterCheckDlg : public TCustomSpellCheckDlg {
 public:
  WORDLOOM_OBJECT(THighlighterCheckDlg)
  THighlighterCheckDlg(TComponent* AOwner, SpellHighlighter* Highlighter,
                       TCustomSpellCheckDlg* Inner);
  TCheckResults Execute(TVelkSpellChecker* Checker, std::string& AWord) override;

 private:
  SpellHighlighter* FHighlighter;
  TCustomSpellCheckDlg* FInner;
};

// The names these had before the prefix rule (README, Names); they go in a
// later release.
using TSpellHighlighter [[deprecated("use SpellHighlighter")]] = SpellHighlighter;
using TSpellWord [[deprecated("use SpellWord")]] = SpellWord;

}  // namespace wordloom::dialogs
