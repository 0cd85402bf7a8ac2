// TCustomMemo: the multi-line text the checker reads and edits, with a caret
// and a selection. Positions count bytes of the text from 0.
#pragma once

#pragma GCC visibility push(default)

#include <string>

#include "wordloom/platform/component.h"

namespace wordloom {

class TCustomMemo : public TComponent {
 public:
  WORDLOOM_OBJECT(TCustomMemo)
  using TComponent::TComponent;

  // The whole text, line breaks as stored.
  virtual std::string Text() const = 0;
  // The caret, or the start of the selection.
  virtual int SelStart() const = 0;
  // Moves the caret to Value (clamped to the text) and ends any selection.
  virtual void SetSelStart(int Value) = 0;
  virtual int SelLength() const = 0;
  // Selects Value bytes from the caret (clamped to the text).
  virtual void SetSelLength(int Value) = 0;
  // Replaces the selection by Value; the caret then stands right after it.
  virtual void SetSelText(const std::string& Value) = 0;
};

// A memo held in memory, for tests and headless programs.
class TStringMemo : public TCustomMemo {
 public:
  WORDLOOM_OBJECT(TStringMemo)
  using TCustomMemo::TCustomMemo;

  std::string Text() const override { return FText; }
  // Replaces the whole text; the caret goes to 0.
  void SetText(const std::string& Value);
  int SelStart() const override { return FSelStart; }
  void SetSelStart(int Value) override;
  int SelLength() const override { return FSelLength; }
  void SetSelLength(int Value) override;
  void SetSelText(const std::string& Value) override;

 private:
  std::string FText;
  int FSelStart = 0;
  int FSelLength = 0;
};

}  // namespace wordloom

#pragma GCC visibility pop
