#pragma once

#include "Dialogs.h"

class QWidget;

// The desktop's answers to the program's dialogs: Qt's message box, input
// box, file dialog and progress dialog, each modal over the given window and titled "Quillory".
class QtDialogs final : public Dialogs {
 public:
  explicit QtDialogs(QWidget* owner = nullptr) : owner_(owner) {}

  void SetOwner(QWidget* owner) { owner_ = owner; }

  MessageAnswer MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon) override;
  std::string InputBox(const std::string& prompt, const std::string& defaultAnswer) override;
  // The filter may list several types, separated by ";;"; the default
  // extension then follows the type the user picks.
  std::string SaveFileDialog(const SaveFileRequest& request) override;
  std::unique_ptr<ProgressDisplay> ShowProgress(const std::string& text) override;

 private:
  QWidget* owner_;
};
