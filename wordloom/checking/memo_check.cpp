// Checking the text of a memo: the selection, or the text from the caret to
// the end, is cut into words by the tokenizer; every word the dictionary
// lacks is shown to the check dialog, and the answer is carried out.
//
// The text is read once and again only after the check changed it, so a
// check costs time in proportion to the text. Words are located by the
// characters the tokenizer consumed, so that a replacement lands on the
// original characters even where the token was written as its replacement.
#include <algorithm>

#include "text/tokenizer.h"
#include "wordloom/checking/velk_spell_checker.h"
#include "wordloom/platform/exceptions.h"

namespace wordloom {

void TVelkSpellChecker::ReadCharFromMemo(char& Block) {
  const std::string text = FMemo->Text();
  const int at = FMemo->SelStart();
  if (at < 0 || static_cast<std::size_t>(at) >= text.size()) {
    throw EListError("Memo position " + std::to_string(at) + " beyond the text");
  }
  Block = text[static_cast<std::size_t>(at)];
  FMemo->SetSelStart(at + 1);
}

TCheckResults TVelkSpellChecker::Ask(std::string& W) {
  TCheckResults r;
  do {
    Suggest(W);
    r = FCheckDialog->Execute(this, W);
    if (r == crOptions) ShowOptsDialog({sopSuggestions});
  } while (r == crOptions);
  return r;
}

void TVelkSpellChecker::CheckMemo() {
  // Without a memo there is nothing to check; each check starts with an empty
  // ignore list.
  if (FMemo == nullptr) return;
  TCustomMemo& memo = *FMemo;
  FIgnoreList.Clear();
  // The range: the selection, or the caret to the end.
  FMemoText = memo.Text();
  const auto size = static_cast<std::uint32_t>(FMemoText.size());
  const std::uint32_t range_start =
      std::min<std::uint32_t>(static_cast<std::uint32_t>(std::max(0, memo.SelStart())), size);
  const int selected = memo.SelLength();
  FCharsToRead = selected > 0 ? std::min<std::uint32_t>(static_cast<std::uint32_t>(selected),
                                                        size - range_start)
                              : size - range_start;
  FCharsRead = 0;
  std::uint32_t pos = range_start;  // the caret, while the check reads
  memo.SetSelStart(static_cast<int>(range_start));

  auto next = [this, &pos]() -> std::uint8_t {
    if (pos >= FMemoText.size()) throw EListError("Memo position beyond the text");
    return static_cast<std::uint8_t>(FMemoText[pos++]);
  };
  // Replaces Length characters at Start by N in the memo and reads its text again.
  auto replace_in_memo = [&](std::uint32_t start, std::uint32_t length, const std::string& n) {
    memo.SetSelStart(static_cast<int>(start));
    memo.SetSelLength(static_cast<int>(length));
    memo.SetSelText(n);
    FMemoText = memo.Text();
  };

  TByteString block;
  while (FCharsRead < FCharsToRead) {
    // The next word, and where it stands in the text.
    const std::uint32_t before = FCharsRead;
    ExtractTextBlockFrom(block, next);
    const std::uint32_t consumed = FCharsRead - before;
    const std::uint32_t span = consumed - FPrecedingDelimiters.Size() - FSucceedingDelimiter.Size();
    const std::uint32_t word_start = range_start + before + FPrecedingDelimiters.Size();
    std::string w = block.GetString();
    // Known, ignored, or nothing to ask about (the end of a delimiter run).
    if (w.empty() || Frequency(w) > 0 || FIgnoreList.IndexOf(w) >= 0) continue;
    // Put the caret after the word and ask the dialog about it.
    memo.SetSelStart(static_cast<int>(pos));
    const std::string original = FMemoText.substr(word_start, span);
    const TCheckResults r = Ask(w);
    // Carry out the answer.
    switch (r) {
      case crAdd:
        AddToSpell(w);
        break;
      case crReplace:
        replace_in_memo(word_start, span, w);
        FCharsToRead = FCharsToRead + static_cast<std::uint32_t>(w.size()) - span;
        pos = word_start + static_cast<std::uint32_t>(w.size());
        FCharsRead = pos - range_start;
        break;
      case crReplaceAll: {
        // Every occurrence that stands as a whole word in the rest of the
        // range: after a delimiter or at the range's start, and before a
        // delimiter or at its end (or ending with a delimiter itself).
        const TCharSet delimiters = GetDelimiters();
        const bool ends_with_delimiter =
            !original.empty() && delimiters.Contains(static_cast<std::uint8_t>(original.back()));
        std::uint32_t end = range_start + FCharsToRead;
        std::size_t p = word_start;
        while (!original.empty()) {
          const std::size_t at = FMemoText.find(original, p);
          if (at == std::string::npos || at + original.size() > end) break;
          const std::size_t after = at + original.size();
          const bool starts_word =
              at == range_start || delimiters.Contains(static_cast<std::uint8_t>(FMemoText[at - 1]));
          const bool ends_word =
              after == end || ends_with_delimiter ||
              delimiters.Contains(static_cast<std::uint8_t>(FMemoText[after]));
          if (!starts_word || !ends_word) {
            p = at + 1;
            continue;
          }
          replace_in_memo(static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(original.size()), w);
          end = end + static_cast<std::uint32_t>(w.size()) - static_cast<std::uint32_t>(original.size());
          p = at + w.size();
        }
        if (original.empty()) replace_in_memo(word_start, span, w);
        FCharsToRead = end - range_start;
        pos = word_start + static_cast<std::uint32_t>(w.size());
        FCharsRead = pos - range_start;
        break;
      }
      case crIgnore:
        break;
      case crIgnoreAll:
        FIgnoreList.Add(w);
        break;
      case crCancel:
        memo.SetSelStart(static_cast<int>(pos));
        return;
      case crOptions:
        break;  // Ask never returns it
    }
  }
  memo.SetSelStart(static_cast<int>(range_start + FCharsToRead));
}

}  // namespace wordloom
