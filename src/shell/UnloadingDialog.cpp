#include "UnloadingDialog.h"

#include <QCloseEvent>

UnloadingDialog::UnloadingDialog(QWidget* parent) : QDialog(parent), unload_([this] { deleteLater(); }) {}

void UnloadingDialog::Close() {
  if (IsUnloaded()) return;
  unload_.Run([this] {
    unload_.Request();
    // Hidden first, so nothing more is clicked during the unload's waits.
    QDialog::done(QDialog::Rejected);
    UnloadModel();
  });
}

int UnloadingDialog::exec() {
  if (IsUnloaded()) return QDialog::Rejected;
  return QDialog::exec();
}

void UnloadingDialog::reject() { Close(); }

void UnloadingDialog::closeEvent(QCloseEvent* event) {
  event->accept();
  Close();
}
