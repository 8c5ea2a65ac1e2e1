#pragma once

#include <QObject>
#include <functional>

#include "ViewState.h"

class QWidget;

// Lets a window take a dropped picture file that carries a view: the drag
// is accepted only for such a file, and the drop hands its view on.
class PictureDropTarget : public QObject {
  Q_OBJECT

 public:
  PictureDropTarget(QWidget& window, std::function<void(const ViewState&)> restore);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(const ViewState&)> restore_;
};
