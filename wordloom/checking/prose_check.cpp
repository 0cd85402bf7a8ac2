// The front ends' memo check on the word layer: see prose_check.h.
//
// The range is taken from the memo once and read in pieces (a line, or part
// of a long one), each masked and cut into words; a replacement shifts every
// later position by the change in length, so the memo is never read again.
#include "wordloom/checking/prose_check.h"

#include <algorithm>
#include <climits>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "wordloom/checking/spelling_rules.h"
#include "wordloom/text/text_pieces.h"
#include "wordloom/text/unicode_case.h"

namespace wordloom {

namespace {

// Pieces of the range: small enough that a piece's words are few.
constexpr std::size_t kPiece = 64 * 1024;

// The dialog's list of corrections has no limit of its own: the checker's
// SuggestionLimit, or all when that is 0.
std::size_t CorrectionLimit(const TVelkSpellChecker& checker) {
  return checker.SuggestionLimit() == 0 ? SIZE_MAX : checker.SuggestionLimit();
}

class ProseCheck {
 public:
  ProseCheck(TVelkSpellChecker& checker, TCustomMemo& memo, const ProseCheckOptions& options)
      : FChecker(checker),
        FMemo(memo),
        FOptions(options),
        FSuggestions(checker, CorrectionLimit(checker), options.CaseSensitive) {}

  void Run() {
    const std::string text = FMemo.Text();
    const int caret = std::max(0, FMemo.SelStart());
    const std::size_t start = std::min<std::size_t>(static_cast<std::size_t>(caret), text.size());
    const int selected = FMemo.SelLength();
    const std::size_t length =
        selected > 0 ? std::min<std::size_t>(static_cast<std::size_t>(selected), text.size() - start)
                     : text.size() - start;
    const std::string_view range = std::string_view(text).substr(start, length);
    MarkupMasker masker(FOptions.Mode);
    bool line_has_text = false;
    for (std::size_t at = 0; at < range.size();) {
      bool ends_line = true;
      const std::size_t n = PieceLength(range.substr(at), kPiece, true, line_has_text, ends_line);
      const std::string_view piece = range.substr(at, n);
      line_has_text = !ends_line && (line_has_text || piece.find_first_not_of(" \t") != piece.npos);
      for (const UnicodeWord& w : FindUnicodeWords(masker.Mask(piece))) {
        if (!Visit(start + at + w.Offset, std::string(piece.substr(w.Offset, w.Length)), w.Lookup)) {
          return;
        }
      }
      at += n;
    }
    FMemo.SetSelStart(static_cast<int>(start + length + FShift));
  }

 private:
  // One word of the range at Offset in the original text; false when the
  // check is cancelled.
  bool Visit(std::size_t offset, const std::string& written, const std::string& lookup) {
    const std::size_t at = offset + FShift;
    if (const auto all = FReplaceAll.find(written); all != FReplaceAll.end()) {
      Replace(at, written.size(), all->second);
      return true;
    }
    if (IsKnownWord(FChecker, lookup, FOptions.CaseSensitive, [this](const std::string& w) {
          return FIgnored.count(LowerCase(w)) != 0;
        })) {
      return true;
    }
    // The caret after the word while the dialog asks about it.
    FMemo.SetSelStart(static_cast<int>(at + written.size()));
    std::string answer = written;
    TCheckResults r;
    for (;;) {
      TStringList shown;
      for (const std::string& s : FSuggestions.For(lookup)) {
        shown.Add(InWritersApostrophes(s, written));
      }
      FChecker.SetSuggestions(shown);
      r = FChecker.CheckDialog()->Execute(&FChecker, answer);
      if (r != crOptions) break;
      FChecker.ShowOptsDialog({sopSuggestions});
      FSuggestions.SetLimit(CorrectionLimit(FChecker));
    }
    switch (r) {
      case crAdd:
        FChecker.AddToSpell(LookupForm(answer));
        FSuggestions.Clear();
        break;
      case crReplace:
        Replace(at, written.size(), answer);
        break;
      case crReplaceAll:
        FReplaceAll[written] = answer;
        Replace(at, written.size(), answer);
        break;
      case crIgnoreAll:
        FIgnored.insert(LowerCase(LookupForm(answer)));
        break;
      case crCancel:
        return false;
      case crIgnore:
      case crOptions:
        break;
    }
    return true;
  }

  void Replace(std::size_t at, std::size_t length, const std::string& by) {
    FMemo.SetSelStart(static_cast<int>(at));
    FMemo.SetSelLength(static_cast<int>(length));
    FMemo.SetSelText(by);
    FShift += static_cast<std::ptrdiff_t>(by.size()) - static_cast<std::ptrdiff_t>(length);
  }

  TVelkSpellChecker& FChecker;
  TCustomMemo& FMemo;
  const ProseCheckOptions& FOptions;
  SuggestionCache FSuggestions;
  // How far the memo's text has moved from the original by replacements.
  std::ptrdiff_t FShift = 0;
  std::unordered_map<std::string, std::string> FReplaceAll;  // written -> replacement
  std::unordered_set<std::string> FIgnored;                  // in lower case
};

}  // namespace

void CheckProse(TVelkSpellChecker& Checker, TCustomMemo& Memo, const ProseCheckOptions& Options) {
  ProseCheck(Checker, Memo, Options).Run();
}

}  // namespace wordloom
