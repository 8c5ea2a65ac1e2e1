#include "ToolButton.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QPainter>
#include <algorithm>

ToolButton::ToolButton(int index, const QString& caption, const QString& toolTip, const QFont& font,
                       QWidget* parent)
    : QLabel(caption, parent), index_(index) {
  setToolTip(toolTip);
  setFont(font);
  setAlignment(Qt::AlignCenter);
  setMouseTracking(true);
  setFocusPolicy(Qt::TabFocus);
  ApplyColours();
}

void ToolButton::SetLook(Look look) {
  look_ = look;
  ApplyColours();
}

void ToolButton::SetHighlighted(bool highlighted) {
  highlighted_ = highlighted;
  ApplyColours();
}

void ToolButton::ApplyColours() { update(); }

void ToolButton::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), Background());
  painter.setPen(Qt::black);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  // DejaVu Sans runs wider than the captions' original font; a caption that
  // would not fit is narrowed rather than cut off.
  QFont captionFont = font();
  const QRect inside = rect().adjusted(2, 1, -2, -1);
  const int textWidth = QFontMetrics(captionFont).horizontalAdvance(text());
  if (textWidth > inside.width() && textWidth > 0)
    captionFont.setStretch(std::max(50, 100 * inside.width() / textWidth));
  painter.setFont(captionFont);
  painter.setPen(TextColour());
  painter.drawText(inside, Qt::AlignCenter, text());
  if (hasFocus()) {
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(2, 2, -3, -3));
  }
}

bool ToolButton::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && !keyHint_.isEmpty()) {
    const auto* help = static_cast<QHelpEvent*>(event);
    QToolTip::showText(help->globalPos(), toolTip() + QStringLiteral("  (") + keyHint_ + QStringLiteral(")"), this);
    return true;
  }
  return QLabel::event(event);
}

void ToolButton::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter) {
    QLabel::keyPressEvent(event);
    return;
  }
  emit Pressed(index_, Qt::LeftButton);
  emit Released(index_, Qt::LeftButton);
  event->accept();
}

void ToolButton::mouseMoveEvent(QMouseEvent* event) {
  emit Hovered(index_);
  event->accept();
}

void ToolButton::mousePressEvent(QMouseEvent* event) {
  emit Pressed(index_, event->button());
  event->accept();
}

void ToolButton::mouseReleaseEvent(QMouseEvent* event) {
  emit Released(index_, event->button());
  event->accept();
}
