#pragma once

#include <deque>
#include <string>
#include <vector>

#include "Dialogs.h"

// Answers dialogs from a script and records every text shown, so tests never
// block on a modal dialog. A dialog with no scripted answer gets the
// cancelling one (No, an empty text, an empty path) and is still recorded.
class ScriptedDialogs final : public Dialogs {
 public:
  enum class Kind { Message, Input, SaveFile, Progress, OpenFile };

  struct Shown {
    Kind kind;
    std::string text;  // message text, input prompt, the file filter, or the progress text
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    std::string defaultAnswer;  // input box default, or the save default extension
  };

  void AnswerMessage(MessageAnswer answer) { messageAnswers_.push_back(answer); }
  void AnswerInput(std::string answer) { inputAnswers_.push_back(std::move(answer)); }
  void AnswerSaveFile(std::string path) { saveAnswers_.push_back(std::move(path)); }
  // The next progress display is cancelled once its share reaches fraction.
  void CancelProgressAt(double fraction) { cancelAt_ = fraction; }
  // The shares reported to the progress displays so far, in order.
  const std::vector<double>& ProgressReports() const { return progressReports_; }
  void AnswerOpenFile(std::string path) { openAnswers_.push_back(std::move(path)); }

  const std::vector<Shown>& History() const { return history_; }
  // The texts of the message boxes shown so far, in order.
  std::vector<std::string> Messages() const;
  void ClearHistory() { history_.clear(); }

  MessageAnswer MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon) override;
  std::string InputBox(const std::string& prompt, const std::string& defaultAnswer) override;
  std::string SaveFileDialog(const SaveFileRequest& request) override;
  std::unique_ptr<ProgressDisplay> ShowProgress(const std::string& text) override;
  std::string OpenFileDialog(const OpenFileRequest& request) override;

 private:
  class ScriptedProgress;

  double cancelAt_ = 2.0;  // never
  std::vector<double> progressReports_;
  std::deque<MessageAnswer> messageAnswers_;
  std::deque<std::string> inputAnswers_;
  std::deque<std::string> saveAnswers_;
  std::deque<std::string> openAnswers_;
  std::vector<Shown> history_;
};
