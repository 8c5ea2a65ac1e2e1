#pragma once

#include <memory>
#include <string>

// The program's modal questions and messages, all titled "Quillory". Windows
// and core libraries talk to this interface only: the desktop answers through
// Qt's dialogs, tests through ScriptedDialogs. Texts use "\r\n" for a line break.
enum class MessageIcon { None, Stop, Question, Exclamation, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct SaveFileRequest {
  std::string defaultExtension;  // without the dot, e.g. "bmp"
  std::string filter;            // e.g. "Bitmap Files (*.bmp)"
};

// A modal display of long work with a Cancel button, open while the object lives.
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  // Shows the share done (0 to 1); false once the user has cancelled.
  virtual bool Report(double fraction) = 0;
};

struct OpenFileRequest {
  std::string filter;  // e.g. "PNG Files (*.png)"
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  virtual MessageAnswer MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon) = 0;
  // The typed answer; an empty string when the user cancels, as the answer
  // to an input box always was.
  virtual std::string InputBox(const std::string& prompt, const std::string& defaultAnswer) = 0;
  // The chosen path, with the default extension added when the name has
  // none; empty when the user cancels.
  virtual std::string SaveFileDialog(const SaveFileRequest& request) = 0;
  // A progress display with the text; none where nobody watches (the work
  // then runs to its end).
  virtual std::unique_ptr<ProgressDisplay> ShowProgress(const std::string& /*text*/) { return nullptr; }
  // An existing file the user picked; empty when the user cancels. A
  // dialog layer without one answers as if cancelled.
  virtual std::string OpenFileDialog(const OpenFileRequest& /*request*/) { return {}; }

  void ShowMessage(const std::string& text, MessageIcon icon = MessageIcon::None) {
    MessageBox(text, MessageButtons::Ok, icon);
  }
};
