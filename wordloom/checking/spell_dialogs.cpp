#include "wordloom/checking/spell_dialogs.h"

namespace wordloom {

namespace {

SpellDialogFactory& Factory() {
  static SpellDialogFactory factory;
  return factory;
}

}  // namespace

void SetSpellDialogFactory(SpellDialogFactory Factory_) {
  if (!Factory_.CreateCheckDialog) {
    Factory_.CreateCheckDialog = [](TComponent* AOwner) -> TCustomSpellCheckDlg* {
      return new THeadlessSpellCheckDlg(AOwner);
    };
  }
  if (!Factory_.CreateOptsDialog) {
    Factory_.CreateOptsDialog = [](TComponent* AOwner) -> TCustomSpellOptsDlg* {
      return new THeadlessSpellOptsDlg(AOwner);
    };
  }
  Factory() = std::move(Factory_);
}

const SpellDialogFactory& GetSpellDialogFactory() {
  if (!Factory().CreateCheckDialog) SetSpellDialogFactory({});
  return Factory();
}

}  // namespace wordloom
