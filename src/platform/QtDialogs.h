#pragma once

#include "Dialogs.h"

class QWidget;

// The desktop's answers to the program's dialogs: Qt's message box, input
// box and file dialog, each modal over the given window and titled "Quillory".
class QtDialogs final : public Dialogs {
 public:
  explicit QtDialogs(QWidget* owner = nullptr) : owner_(owner) {}

  void SetOwner(QWidget* owner) { owner_ = owner; }

  MessageAnswer MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon) override;
  std::string InputBox(const std::string& prompt, const std::string& defaultAnswer) override;
  std::string SaveFileDialog(const SaveFileRequest& request) override;

 private:
  QWidget* owner_;
};
