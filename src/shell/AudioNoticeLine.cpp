#include "AudioNoticeLine.h"

#include <QLabel>
#include <QWidget>

AudioNoticeLine::AudioNoticeLine(QWidget* window, QSize windowSize)
    : window_(window), windowSize_(windowSize), label_(new QLabel(window)) {
  label_->setObjectName(QStringLiteral("lblAudioNotice"));
  label_->setGeometry(2, windowSize.height(), windowSize.width() - 4, kHeight);
  label_->setWordWrap(false);
  label_->hide();
}

void AudioNoticeLine::Show(const std::string& notice) {
  const QString text = QString::fromStdString(notice);
  const bool visible = !text.isEmpty();
  if (label_->text() == text && label_->isVisible() == visible) return;
  label_->setText(text);
  label_->setToolTip(text);  // the Orbiter's line is narrower than the text
  label_->setVisible(visible);
  window_->setFixedSize(windowSize_.width(), windowSize_.height() + (visible ? kHeight + 2 : 0));
}
