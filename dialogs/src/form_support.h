// What the forms of this module share: the byte/text conversion of words,
// the stored font, centring, the modal-result convention, and how an error
// raised inside an event handler reaches the user.
#pragma once

#include <QString>
#include <exception>
#include <string>

#include "wordloom/dialogs/modal_form.h"

class QWidget;

namespace wordloom::dialogs::detail {

// Words are bytes in the core; the forms show them as UTF-8.
QString ToQString(const std::string& Bytes);
std::string ToBytes(const QString& Text);

// The forms were laid out for an 8-point "MS Sans Serif"; where that font is
// missing, a face of similar width or else the system's sans-serif face.
void ApplyFormFont(QWidget* Form);

// Moves a top-level form to the middle of the screen it is on.
void CenterOnScreen(QWidget* Form);

// An error raised by an event handler is shown to the user as an error
// message through the application services; the form stays as it is.
void ReportException(const std::exception& Error);

}  // namespace wordloom::dialogs::detail
