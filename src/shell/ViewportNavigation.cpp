#include "ViewportNavigation.h"

#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcut>
#include <QWheelEvent>
#include <QWidget>
#include <cmath>

#include "PictureBox.h"
#include "ViewNavigator.h"

namespace {

// One notch of a common mouse wheel, in eighths of a degree.
constexpr int kNotch = 120;

}  // namespace

ViewportNavigation::ViewportNavigation(PictureBox& viewport, QWidget& window, ViewNavigator& navigator,
                                       Actions actions)
    : QObject(&window), viewport_(viewport), navigator_(navigator), actions_(std::move(actions)) {
  viewport_.installEventFilter(this);
  AddShortcuts(window);
}

void ViewportNavigation::AddShortcut(QWidget& window, const QKeySequence& keys, std::function<void()> action) {
  auto* shortcut = new QShortcut(keys, &window);
  shortcut->setContext(Qt::WindowShortcut);
  // Held keys repeat as a held button would not; zooming and panning may.
  connect(shortcut, &QShortcut::activated, this, std::move(action));
}

void ViewportNavigation::AddShortcuts(QWidget& window) {
  const auto click = [this](int index) { return [this, index] { actions_.clickButton(index); }; };
  for (const QKeySequence& keys : {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::SHIFT | Qt::Key_Plus),
                                   QKeySequence(Qt::Key_Equal), QKeySequence(Qt::KeypadModifier | Qt::Key_Plus)})
    AddShortcut(window, keys, click(0));
  for (const QKeySequence& keys : {QKeySequence(Qt::Key_Minus), QKeySequence(Qt::KeypadModifier | Qt::Key_Minus)})
    AddShortcut(window, keys, click(1));
  AddShortcut(window, QKeySequence(Qt::Key_Left), [this] { Pan(-0.25, 0); });
  AddShortcut(window, QKeySequence(Qt::Key_Right), [this] { Pan(0.25, 0); });
  AddShortcut(window, QKeySequence(Qt::Key_Up), [this] { Pan(0, -0.25); });
  AddShortcut(window, QKeySequence(Qt::Key_Down), [this] { Pan(0, 0.25); });
  for (const QKeySequence& keys : {QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::ALT | Qt::Key_Left)})
    AddShortcut(window, keys, [this] { actions_.back(); });
  AddShortcut(window, QKeySequence(Qt::ALT | Qt::Key_Right), [this] { actions_.forward(); });
  for (const QKeySequence& keys : {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)})
    AddShortcut(window, keys, [this] { actions_.redraw(); });
  AddShortcut(window, QKeySequence(Qt::Key_Escape), [this] { actions_.escape(); });
  AddShortcut(window, QKeySequence(Qt::CTRL | Qt::Key_S), click(5));
  AddShortcut(window, QKeySequence(Qt::CTRL | Qt::Key_D), click(8));
  AddShortcut(window, QKeySequence(Qt::CTRL | Qt::Key_L), click(7));
  AddShortcut(window, QKeySequence(Qt::Key_F1), [this] { actions_.help(); });
}

void ViewportNavigation::Pan(double across, double down) {
  if (actions_.inNormalMode()) navigator_.PanByFraction(across, down);
}

bool ViewportNavigation::Wheel(QEvent* event) {
  auto* wheel = static_cast<QWheelEvent*>(event);
  wheel->accept();
  if (!actions_.inNormalMode()) return true;
  wheelRemainder_ += wheel->angleDelta().y();
  const int notches = wheelRemainder_ / kNotch;
  if (notches == 0) return true;
  wheelRemainder_ -= notches * kNotch;
  // The picture's pixels, which are device pixels on a scaled desktop.
  const QPointF inside =
      (wheel->position() - QPointF(viewport_.contentsRect().topLeft())) * viewport_.PixelRatio();
  navigator_.ZoomAbout(inside.x(), inside.y(), notches);
  return true;
}

bool ViewportNavigation::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &viewport_) return QObject::eventFilter(watched, event);
  // The viewport's own handlers still see every mouse event: a middle press
  // stops the render as any press does, and moves update the readout.
  switch (event->type()) {
    case QEvent::Wheel: return Wheel(event);
    case QEvent::MouseButtonPress: {
      const auto* press = static_cast<QMouseEvent*>(event);
      if (press->button() == Qt::MiddleButton && actions_.inNormalMode()) {
        isPanning_ = true;
        panStart_ = press->position() * viewport_.PixelRatio();
        panScrolled_ = {};
        viewport_.setCursor(Qt::ClosedHandCursor);
      }
      break;
    }
    case QEvent::MouseMove: {
      const auto* move = static_cast<QMouseEvent*>(event);
      if (!isPanning_ || !(move->buttons() & Qt::MiddleButton)) break;
      // Whole pixels only, so the redraw after the drag lands where the
      // shifted picture already is.
      const QPointF moved = move->position() * viewport_.PixelRatio() - panStart_;
      const QPoint total(static_cast<int>(std::nearbyint(moved.x())), static_cast<int>(std::nearbyint(moved.y())));
      viewport_.ScrollPicture(total.x() - panScrolled_.x(), total.y() - panScrolled_.y());
      panScrolled_ = total;
      break;
    }
    case QEvent::MouseButtonRelease: {
      const auto* release = static_cast<QMouseEvent*>(event);
      if (!isPanning_ || release->button() != Qt::MiddleButton) break;
      isPanning_ = false;
      viewport_.unsetCursor();
      navigator_.DragBy(panScrolled_.x(), panScrolled_.y());
      break;
    }
    default: break;
  }
  return QObject::eventFilter(watched, event);
}
