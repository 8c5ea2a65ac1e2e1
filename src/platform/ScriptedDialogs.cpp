#include "ScriptedDialogs.h"

std::vector<std::string> ScriptedDialogs::Messages() const {
  std::vector<std::string> texts;
  for (const Shown& shown : history_)
    if (shown.kind == Kind::Message) texts.push_back(shown.text);
  return texts;
}

MessageAnswer ScriptedDialogs::MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon) {
  history_.push_back({Kind::Message, text, buttons, icon, {}});
  if (buttons == MessageButtons::Ok) {
    if (!messageAnswers_.empty() && messageAnswers_.front() == MessageAnswer::Ok) messageAnswers_.pop_front();
    return MessageAnswer::Ok;
  }
  if (messageAnswers_.empty()) return MessageAnswer::No;
  const MessageAnswer answer = messageAnswers_.front();
  messageAnswers_.pop_front();
  return answer;
}

std::string ScriptedDialogs::InputBox(const std::string& prompt, const std::string& defaultAnswer) {
  history_.push_back({Kind::Input, prompt, MessageButtons::Ok, MessageIcon::None, defaultAnswer});
  if (inputAnswers_.empty()) return {};
  std::string answer = std::move(inputAnswers_.front());
  inputAnswers_.pop_front();
  return answer;
}

std::string ScriptedDialogs::SaveFileDialog(const SaveFileRequest& request) {
  history_.push_back({Kind::SaveFile, request.filter, MessageButtons::Ok, MessageIcon::None, request.defaultExtension});
  if (saveAnswers_.empty()) return {};
  std::string path = std::move(saveAnswers_.front());
  saveAnswers_.pop_front();
  return path;
}

class ScriptedDialogs::ScriptedProgress final : public ProgressDisplay {
 public:
  ScriptedProgress(std::vector<double>& reports, double cancelAt) : reports_(reports), cancelAt_(cancelAt) {}

  bool Report(double fraction) override {
    reports_.push_back(fraction);
    return fraction < cancelAt_;
  }

 private:
  std::vector<double>& reports_;
  double cancelAt_;
};

std::unique_ptr<ProgressDisplay> ScriptedDialogs::ShowProgress(const std::string& text) {
  history_.push_back({Kind::Progress, text, MessageButtons::Ok, MessageIcon::None, {}});
  const double cancelAt = cancelAt_;
  cancelAt_ = 2.0;
  return std::make_unique<ScriptedProgress>(progressReports_, cancelAt);
}

std::string ScriptedDialogs::OpenFileDialog(const OpenFileRequest& request) {
  history_.push_back({Kind::OpenFile, request.filter, MessageButtons::Ok, MessageIcon::None, {}});
  if (openAnswers_.empty()) return {};
  std::string path = std::move(openAnswers_.front());
  openAnswers_.pop_front();
  return path;
}
