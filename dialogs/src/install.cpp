#include "wordloom/dialogs/install.h"

#include "wordloom/checking/spell_dialogs.h"
#include "wordloom/dialogs/qt_services.h"
#include "wordloom/dialogs/spell_check_dialog.h"
#include "wordloom/dialogs/spell_opts_dlg.h"

namespace wordloom::dialogs {

void Install() {
  static TQtServices services;
  SetApplicationServices(&services);
  SpellDialogFactory factory;
  factory.CreateCheckDialog = [](TComponent* AOwner) -> TCustomSpellCheckDlg* {
    return new TSpellCheckDialog(AOwner);
  };
  factory.CreateOptsDialog = [](TComponent* AOwner) -> TCustomSpellOptsDlg* {
    return new TSpellOptsDlg(AOwner);
  };
  SetSpellDialogFactory(std::move(factory));
}

}  // namespace wordloom::dialogs
