#pragma once

#include "Dialogs.h"
#include "LastFolder.h"

class QWidget;

// The desktop's answers to the program's dialogs: Qt's message box, input
// box, file dialogs and progress dialog, each modal over the given window and
// titled "Quillory". File dialogs open in the folder last used for their kind.
class QtDialogs final : public Dialogs {
 public:
  explicit QtDialogs(QWidget* owner = nullptr, LastFolder folders = LastFolder())
      : owner_(owner), folders_(std::move(folders)) {}

  void SetOwner(QWidget* owner) { owner_ = owner; }

  MessageAnswer MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon) override;
  std::string InputBox(const std::string& prompt, const std::string& defaultAnswer) override;
  // The filter may list several types, separated by ";;"; the default
  // extension then follows the type the user picks.
  std::string SaveFileDialog(const SaveFileRequest& request) override;
  std::unique_ptr<ProgressDisplay> ShowProgress(const std::string& text) override;
  std::string OpenFileDialog(const OpenFileRequest& request) override;

 private:
  QWidget* owner_;
  LastFolder folders_;
};
