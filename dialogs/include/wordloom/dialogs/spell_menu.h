// The spelling entries of an editor's context menu: for a word the
// highlighter marks, the checker's suggestions, "Add to dictionary" and
// "Ignore all", each carried out when chosen.
//
//   QMenu* menu = edit->createStandardContextMenu();
//   AddSpellActions(*menu, highlighter, edit->cursorForPosition(pos).position());
//   menu->exec(edit->mapToGlobal(pos));
#pragma once

#include <wordloom/dialogs/highlighter.h>

#include <QMenu>

namespace wordloom::dialogs {

// Puts the spelling entries at the top of Menu for the word at document
// Position, when the highlighter marks it: up to MaxSuggestions of the
// checker's suggestions (through Suggest, so its ranking and limits apply, in
// its order), a separator, "Add to dictionary" (only for a word: not for
// punctuation such as an em dash, which FindUnicodeWords finds no word in)
// and "Ignore all", then a separator if the menu had entries. A suggestion
// replaces the word (one undo step), "Add"
// adds it to the checker's dictionary (a failure is shown through the
// application services' message box), "Ignore all" ignores it in the
// highlighter for the session; the document is re-highlighted. Returns the
// number of entries added, separators not counted (0 when the word is not
// marked or there is none).
// The actions' objectNames: "SuggestionAction", "AddWordAction",
// "IgnoreAllAction".
int AddSpellActions(QMenu& Menu, SpellHighlighter& Highlighter, int Position,
                    int MaxSuggestions = 10);

}  // namespace wordloom::dialogs
