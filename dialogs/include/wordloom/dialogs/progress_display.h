// TProgressDisplay: the small window with a progress bar that the dictionary
// shows while it reads or writes a spell file, learns from a stream, or
// encodes or decodes one. The dictionary drives it through the ProgressDisplay
// interface: maximum, position, Show and Hide.
#pragma once

#include <QDialog>

#include "wordloom/platform/application_services.h"

class QProgressBar;

namespace wordloom {

class TProgressDisplay : public QDialog, public ProgressDisplay {
  Q_OBJECT

 public:
  explicit TProgressDisplay(QWidget* Parent = nullptr);

  // All four forward to ProgressBar1.
  int GetMax() const override;
  void SetMax(int Value) override;
  int GetPosition() const override;
  void SetPosition(int Value) override;
  // Shows the window without making it modal, centred on the screen.
  void Show() override;
  void Hide() override;
  bool Visible() const override;

  // Fills the client area; range 0 to 100 until the caller sets a maximum.
  QProgressBar* ProgressBar1;
};

}  // namespace wordloom
