#include "SilentDialogs.h"

std::string SilentDialogs::Summary() const {
  std::string summary;
  for (const std::string& message : messages_) {
    if (!summary.empty()) summary += "; ";
    bool lastWasBreak = false;
    for (const char character : message) {
      const bool isBreak = character == '\r' || character == '\n';
      if (isBreak && !lastWasBreak) summary += ' ';
      if (!isBreak) summary += character;
      lastWasBreak = isBreak;
    }
  }
  return summary;
}

MessageAnswer SilentDialogs::MessageBox(const std::string& text, MessageButtons buttons, MessageIcon /*icon*/) {
  messages_.push_back(text);
  return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

std::string SilentDialogs::InputBox(const std::string& /*prompt*/, const std::string& /*defaultAnswer*/) {
  return inputAnswer_;
}

std::string SilentDialogs::SaveFileDialog(const SaveFileRequest& /*request*/) { return {}; }
