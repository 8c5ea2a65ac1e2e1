#pragma once

#include <string>
#include <vector>

#include "Dialogs.h"

// Dialogs for work done without a user, such as the headless song commands:
// every message is kept for the caller to report its own way, questions are
// declined and input boxes get the answer given here (empty: cancelled).
class SilentDialogs final : public Dialogs {
 public:
  explicit SilentDialogs(std::string inputAnswer = {}) : inputAnswer_(std::move(inputAnswer)) {}

  const std::vector<std::string>& Messages() const { return messages_; }
  // The messages on one line each, line breaks inside them turned into blanks.
  std::string Summary() const;

  MessageAnswer MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon) override;
  std::string InputBox(const std::string& prompt, const std::string& defaultAnswer) override;
  std::string SaveFileDialog(const SaveFileRequest& request) override;

 private:
  std::string inputAnswer_;
  std::vector<std::string> messages_;
};
