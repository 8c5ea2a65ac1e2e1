#include "frmTitle.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

#include "TwipsLayout.h"
#include "TitleArtwork.h"

frmTitle::frmTitle(std::function<void()> showMainWindow, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog), showMainWindow_(std::move(showMainWindow)) {
  setFixedSize(twips::Pixels(4230), twips::Pixels(2925));
  setStyleSheet(QStringLiteral("frmTitle { background-color: palette(base); }"));
  setAttribute(Qt::WA_StyledBackground);

  auto* image1 = new QLabel(this);
  image1->setPixmap(QPixmap::fromImage(TitleArtwork::Artwork()));
  image1->setGeometry(QRect(QPoint(0, 0), TitleArtwork::kArtworkSize));

  auto* picture1 = new QLabel(this);
  picture1->setGeometry(0, twips::Pixels(2670), twips::Pixels(4215), twips::Pixels(270));
  picture1->setStyleSheet(QStringLiteral("QLabel { background-color: palette(base); }"));
  picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  picture1->setPixmap(QPixmap::fromImage(TitleArtwork::CreditStrip()));

  auto* shape1 = new QFrame(picture1);
  shape1->setGeometry(twips::Pixels(15), twips::Pixels(-30), twips::Pixels(4200), twips::Pixels(270));
  shape1->setStyleSheet(QStringLiteral("QFrame { background: transparent; border: 1px solid black; }"));

  timTimer.setSingleShot(true);
  // A coarse timer may fire up to 5% early; the title stays its full time.
  timTimer.setTimerType(Qt::PreciseTimer);
  timTimer.setInterval(kShowMilliseconds);
  connect(&timTimer, &QTimer::timeout, this, &frmTitle::timTimer_Timer);
  timTimer.start();
  CentreOnScreen();
}

void frmTitle::CentreOnScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect available = screen->geometry();
  move(available.center() - rect().center());
}

void frmTitle::timTimer_Timer() {
  accept();
  if (showMainWindow_) showMainWindow_();
}
