#pragma once

#include <QApplication>

class Dialogs;

// The desktop program's application object. An exception must never cross
// a Qt slot or the event loop: one that escapes an event handler (above all
// std::bad_alloc when a picture does not fit in memory) ends only the
// command that raised it, with a message, and the program goes on.
class QuilloryApplication : public QApplication {
 public:
  QuilloryApplication(int& argc, char** argv) : QApplication(argc, argv) {}

  // Where the message goes; a plain message box until a window sets one.
  void SetDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  void Report(const std::string& text);

  Dialogs* dialogs_ = nullptr;
};
