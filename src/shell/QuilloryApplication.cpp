#include "QuilloryApplication.h"

#include <QMessageBox>
#include <exception>
#include <new>

#include "Dialogs.h"

bool QuilloryApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::bad_alloc&) {
    Report("There is not enough memory to finish that command.");
  } catch (const std::exception& error) {
    Report(std::string("That command could not be finished:\r\n") + error.what());
  }
  return false;
}

void QuilloryApplication::Report(const std::string& text) {
  if (dialogs_) {
    dialogs_->ShowMessage(text, MessageIcon::Stop);
    return;
  }
  QMessageBox::critical(nullptr, QStringLiteral("Quillory"), QString::fromStdString(text));
}
