#include "PictureDropTarget.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <optional>

#include "PictureView.h"

namespace {

std::optional<ViewState> DroppedView(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().size() != 1) return std::nullopt;
  const QUrl url = data->urls().constFirst();
  if (!url.isLocalFile()) return std::nullopt;
  return PictureView::Read(url.toLocalFile());
}

}  // namespace

PictureDropTarget::PictureDropTarget(QWidget& window, std::function<void(const ViewState&)> restore)
    : QObject(&window), restore_(std::move(restore)) {
  window.setAcceptDrops(true);
  window.installEventFilter(this);
}

bool PictureDropTarget::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
    auto* drag = static_cast<QDropEvent*>(event);
    if (DroppedView(drag->mimeData())) drag->acceptProposedAction();
    else drag->ignore();
    return true;
  }
  if (event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    if (const auto view = DroppedView(drop->mimeData())) {
      drop->acceptProposedAction();
      restore_(*view);
    }
    return true;
  }
  return QObject::eventFilter(watched, event);
}
