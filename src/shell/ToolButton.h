#pragma once

#include <QColor>
#include <QLabel>

// One of the main window's tool buttons: a label with a thin border that
// reports the mouse with its index. The command runs on release, so the
// press can stop a render first.
class ToolButton : public QLabel {
  Q_OBJECT

 public:
  enum class Look { Normal, ModePending };

  static inline const QColor kNormalBackground{192, 192, 255};
  static inline const QColor kPendingBackground{192, 255, 192};
  static inline const QColor kHighlightText{0, 0, 255};

  ToolButton(int index, const QString& caption, const QString& toolTip, const QFont& font, QWidget* parent);

  int Index() const { return index_; }

  void SetLook(Look look);
  Look GetLook() const { return look_; }
  void SetHighlighted(bool highlighted);
  bool IsHighlighted() const { return highlighted_; }

  // The keys that run this button's command, named after the tooltip when
  // it shows; the tooltip text itself, which the status line repeats, stays.
  void SetKeyHint(const QString& keys) { keyHint_ = keys; }
  QString KeyHint() const { return keyHint_; }

  QColor Background() const { return look_ == Look::Normal ? kNormalBackground : kPendingBackground; }
  QColor TextColour() const { return highlighted_ ? kHighlightText : QColor(Qt::black); }

 signals:
  void Hovered(int index);
  void Pressed(int index, Qt::MouseButton button);
  void Released(int index, Qt::MouseButton button);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  // Tab reaches the buttons; Space or Enter presses and releases one.
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void ApplyColours();

  int index_;
  Look look_ = Look::Normal;
  bool highlighted_ = false;
  QString keyHint_;
};
