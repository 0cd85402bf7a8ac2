#include "wordloom/dialogs/spell_menu.h"

#include <wordloom/platform/application_services.h>
#include <wordloom/platform/exceptions.h>

#include <QAction>
#include <QTextCursor>
#include <QTextDocument>
#include <string>
#include <utility>

#include "wordloom/checking/spelling_rules.h"
#include "wordloom/text/unicode_words.h"

namespace wordloom::dialogs {

namespace {

// A word as a menu entry: '&' would mark a shortcut; the delimiter a
// dictionary word may end with (wldInclFirstSucc) is not shown.
QString MenuText(const std::string& Word, TMemoEncoding Encoding) {
  QString text = DecodeMemoText(Word, Encoding).trimmed();
  text.replace(QLatin1Char('&'), QLatin1String("&&"));
  return text;
}

}  // namespace

int AddSpellActions(QMenu& Menu, SpellHighlighter& Highlighter, int Position, int MaxSuggestions) {
  TVelkSpellChecker* checker = Highlighter.Checker();
  const std::optional<SpellWord> word = Highlighter.WordAt(Position);
  if (checker == nullptr || !Highlighter.Enabled() || !word || Highlighter.Accepts(word->Word)) {
    return 0;
  }
  QTextDocument* document = Highlighter.document();
  const TMemoEncoding encoding = Highlighter.Encoding();
  QAction* before = Menu.actions().value(0);
  const bool had_entries = before != nullptr;
  QList<QAction*> added;

  checker->Suggest(word->Word);
  // A word that keeps its delimiter (wldInclFirstSucc) but ends a line or the
  // text has none in its span: a suggestion's own delimiter stays out there.
  const bool span_lacks_delimiter =
      checker->DelimiterOption() == wldInclFirstSucc && word->Span == word->Length;
  const TCharSet delimiters = checker->GetDelimiters();
  // A correction keeps the writer's apostrophe ("don’t", not "don't").
  QTextCursor typed_cursor(document);
  typed_cursor.setPosition(word->Start);
  typed_cursor.setPosition(word->Start + word->Span, QTextCursor::KeepAnchor);
  const std::string typed = EncodeMemoText(typed_cursor.selectedText(), encoding);
  int shown = 0;
  for (std::string suggestion : checker->Suggestions()) {
    suggestion = InWritersApostrophes(std::move(suggestion), typed);
    if (shown++ == MaxSuggestions) break;
    auto* action = new QAction(MenuText(suggestion, encoding), &Menu);
    action->setObjectName(QStringLiteral("SuggestionAction"));
    if (span_lacks_delimiter && !suggestion.empty() &&
        delimiters.Contains(static_cast<std::uint8_t>(suggestion.back()))) {
      suggestion.pop_back();
    }
    QObject::connect(
        action, &QAction::triggered, &Menu,
        [document, &Highlighter, w = *word, text = DecodeMemoText(suggestion, encoding)] {
          QTextCursor cursor(document);
          cursor.setPosition(w.Start);
          cursor.setPosition(w.Start + w.Span, QTextCursor::KeepAnchor);
          cursor.insertText(text);
          Highlighter.rehighlight();
        });
    added.append(action);
  }
  if (added.isEmpty()) {
    auto* none = new QAction(QObject::tr("(no suggestions)"), &Menu);
    none->setEnabled(false);
    added.append(none);
  }

  auto* separator = new QAction(&Menu);
  separator->setSeparator(true);
  added.append(separator);

  // Only a word goes into the dictionary, not an em dash or other
  // punctuation that the checker's delimiters let through: the word layer
  // decides, as it finds the words of text.
  const bool is_word =
      !FindUnicodeWords(DecodeMemoText(word->Word, encoding).toStdString()).empty();
  auto* add = new QAction(QObject::tr("Add to dictionary"), &Menu);
  add->setObjectName(QStringLiteral("AddWordAction"));
  QObject::connect(add, &QAction::triggered, &Menu, [checker, &Highlighter, w = word->Word] {
    try {
      if (checker->NodeCount() == 0) checker->InitFirstSpellNode();
      checker->AddToSpell(w);
    } catch (const Exception& e) {
      ApplicationServices().ShowMessage(e.what());
    }
    Highlighter.rehighlight();
  });
  if (is_word) {
    added.append(add);
  } else {
    delete add;
  }

  auto* ignore = new QAction(QObject::tr("Ignore all"), &Menu);
  ignore->setObjectName(QStringLiteral("IgnoreAllAction"));
  QObject::connect(ignore, &QAction::triggered, &Menu,
                   [&Highlighter, w = word->Word] { Highlighter.IgnoreAll(w); });
  added.append(ignore);

  Menu.insertActions(before, added);
  if (had_entries) Menu.insertSeparator(before);
  return static_cast<int>(added.size()) - 1;  // the separator is no entry
}

}  // namespace wordloom::dialogs
