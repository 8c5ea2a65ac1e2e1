#pragma once

#include <QDialog>

#include "DeferredUnload.h"

class QCloseEvent;

// A music window's life: it loads when it is made, and closing it in any way
// unloads it once; the object deletes itself when no handler of it is running
// any more, so a close asked for inside a handler (during a Wait, a message
// box or the save dialog) never pulls the window from under that handler.
class UnloadingDialog : public QDialog {
  Q_OBJECT

 public:
  explicit UnloadingDialog(QWidget* parent);

  bool IsUnloaded() const { return unload_.IsRequested(); }

 public slots:
  // A window closed before it was shown (say, while it drew for the main
  // window) is unloaded: it stays hidden and answers Rejected.
  int exec() override;
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

  // Every control event goes through here: the model's handler runs, then
  // the controls show what the model holds.
  template <typename Handler>
  void Handle(Handler&& handler) {
    if (IsUnloaded()) return;
    unload_.Run([&] {
      handler();
      ShowModel();
    });
  }
  void Close();

  virtual void ShowModel() = 0;
  // The model's unload work, run once, with the window already hidden.
  virtual void UnloadModel() = 0;

 private:
  DeferredUnload unload_;
};
