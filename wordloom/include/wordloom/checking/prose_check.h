// Checking a memo's text as people write it: the check the front ends run
// (the editor's F7, the terminal's interactive check), on the word layer
// every other front end uses. Words are found by Unicode properties with
// markup left out (FindProseWords), so dashes, curly quotes, URLs and
// numbers are never asked about; a case form of a known word is known
// (IsKnownWord), so "The" at a sentence's start is no question; each
// unknown word goes to the checker's check dialog with corrections in the
// writer's case and apostrophes, computed once per distinct word.
//
//   CheckProse(checker, memo);   // the selection, or the caret to the end
//
// The answers act as in the component's CheckMemo: crAdd adds the word (in
// its lookup form), crReplace replaces this occurrence, crReplaceAll this and
// every later occurrence of the same word in the range (whole words, as
// written), crIgnore passes this one, crIgnoreAll every later one in any
// case until the check ends, crOptions shows the options and asks again,
// crCancel stops with the caret after the word. The text is read once, and
// the time a question costs does not grow with the text. The component's
// own CheckMemo keeps the dictionary's byte tokenizer.
#pragma once

#pragma GCC visibility push(default)

#include "wordloom/checking/velk_spell_checker.h"
#include "wordloom/platform/memo.h"
#include "wordloom/text/markup.h"

namespace wordloom {

struct ProseCheckOptions {
  MarkupMode Mode = MarkupMode::kPlain;
  // When true, a capitalised word needs its own dictionary entry.
  bool CaseSensitive = false;
};

// Checks Memo's selection, or its text from the caret to the end, with
// Checker's dictionary and check dialog. Errors of the dialog, the memo or
// the dictionary propagate; what was changed before stays.
void CheckProse(TVelkSpellChecker& Checker, TCustomMemo& Memo, const ProseCheckOptions& Options = {});

}  // namespace wordloom

#pragma GCC visibility pop
