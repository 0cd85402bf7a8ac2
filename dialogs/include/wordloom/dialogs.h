// The Qt 6 Widgets face of Wordloom: the standard forms, the Qt application
// services and Install(), which makes them the defaults; memo adapters for
// Qt's text editors, the as-you-type highlighter and its context menu.
#pragma once

#include "wordloom/dialogs/highlighter.h"
#include "wordloom/dialogs/install.h"
#include "wordloom/dialogs/modal_form.h"
#include "wordloom/dialogs/password_dlg.h"
#include "wordloom/dialogs/progress_display.h"
#include "wordloom/dialogs/qt_memo.h"
#include "wordloom/dialogs/qt_services.h"
#include "wordloom/dialogs/spell_check_dialog.h"
#include "wordloom/dialogs/spell_menu.h"
#include "wordloom/dialogs/spell_opts_dlg.h"
