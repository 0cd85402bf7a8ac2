// The two dialogs the checker talks to, as abstract components: the check
// dialog, which shows a word and its suggestions and returns the user's
// decision, and the options dialog, which edits the checker's settings. An
// application can put its own in place of the supplied ones. The Qt dialogs
// (module dialogs) register themselves as the defaults; without them the
// checker gets headless stand-ins.
#pragma once

#pragma GCC visibility push(default)

#include <cstdint>
#include <functional>
#include <string>

#include "wordloom/platform/component.h"
#include "wordloom/platform/enum_set.h"

namespace wordloom {

class TVelkSpellChecker;

// What the user decided about a word.
enum TCheckResults : std::uint8_t {
  crAdd, crReplace, crReplaceAll, crIgnore, crIgnoreAll, crOptions, crCancel
};

// The pages of the options dialog.
enum TPages : std::uint8_t { sopSuggestions, sopCode, sopTokens };
using TPageSet = EnumSet<TPages, 3>;

class TCustomSpellCheckDlg : public TComponent {
 public:
  WORDLOOM_OBJECT(TCustomSpellCheckDlg)
  using TComponent::TComponent;

  // Shows AWord with the checker's suggestions and returns the decision.
  // AWord receives the text the user chose or typed (for crAdd, crReplace,
  // crReplaceAll, crIgnoreAll) and is left unchanged otherwise.
  virtual TCheckResults Execute(TVelkSpellChecker* Checker, std::string& AWord) = 0;
};

class TCustomSpellOptsDlg : public TComponent {
 public:
  WORDLOOM_OBJECT(TCustomSpellOptsDlg)
  using TComponent::TComponent;

  // Shows the given pages of the checker's settings and applies the changes.
  virtual void Execute(TVelkSpellChecker* Checker, TPageSet Pages) = 0;
};

// The stand-in check dialog of headless programs: it answers crCancel.
class THeadlessSpellCheckDlg : public TCustomSpellCheckDlg {
 public:
  WORDLOOM_OBJECT(THeadlessSpellCheckDlg)
  using TCustomSpellCheckDlg::TCustomSpellCheckDlg;
  TCheckResults Execute(TVelkSpellChecker*, std::string&) override { return crCancel; }
};

// The stand-in options dialog of headless programs: it changes nothing.
class THeadlessSpellOptsDlg : public TCustomSpellOptsDlg {
 public:
  WORDLOOM_OBJECT(THeadlessSpellOptsDlg)
  using TCustomSpellOptsDlg::TCustomSpellOptsDlg;
  void Execute(TVelkSpellChecker*, TPageSet) override {}
};

// How the checker creates its default dialogs; the new dialog belongs to
// AOwner (or to the caller when AOwner is nullptr).
struct SpellDialogFactory {
  std::function<TCustomSpellCheckDlg*(TComponent* AOwner)> CreateCheckDialog;
  std::function<TCustomSpellOptsDlg*(TComponent* AOwner)> CreateOptsDialog;
};

// Installs the factory of default dialogs for checkers created from now on;
// a factory with empty functions restores the headless stand-ins.
void SetSpellDialogFactory(SpellDialogFactory Factory);
const SpellDialogFactory& GetSpellDialogFactory();

}  // namespace wordloom

#pragma GCC visibility pop
