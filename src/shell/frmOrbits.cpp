#include "frmOrbits.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

#include "MidiOutputMenu.h"
#include "PictureBox.h"
#include "TwipsLayout.h"

namespace {

constexpr std::int32_t kRed = 0x0000FF;

QLabel* MakeLabel(const char* text, QRect geometry, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setGeometry(geometry);
  return label;
}

QLineEdit* MakeBox(const char* name, QRect geometry, QWidget* parent) {
  auto* box = new QLineEdit(QStringLiteral("0"), parent);
  box->setObjectName(QString::fromUtf8(name));
  box->setGeometry(geometry);
  return box;
}

QPushButton* MakeButton(const char* caption, QRect geometry, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setGeometry(geometry);
  button->setAutoDefault(false);
  return button;
}

void ShowText(QLineEdit* box, const std::string& text) {
  const QString shown = QString::fromStdString(text);
  if (box->text() != shown) box->setText(shown);
}

}  // namespace

frmOrbits::frmOrbits(MidiService& midiService, Dialogs& dialogs, std::filesystem::path programFolder,
                     QWidget* parent)
    : UnloadingDialog(parent),
      midiService_(midiService),
      midiDevice_(midiService, dialogs),
      orbiter_(*this, midiDevice_, dialogs, std::move(programFolder)),
      audioNotice_(this, QSize(274, 431)) {
  setWindowTitle(QStringLiteral("Orbiter"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(274, 431);
  setFont(twips::DialogFont());
  renderTimer.setInterval(1);
  timNoteTimer.setTimerType(Qt::PreciseTimer);
  BuildControls();
  ConnectControls();
  Handle([&] { orbiter_.Load(*pbxOutput); });
}

frmOrbits::~frmOrbits() {
  renderTimer.stop();
  timNoteTimer.stop();
  orbiter_.Unload();
}

void frmOrbits::BuildControls() {
  fraBookmarks = new QGroupBox(QStringLiteral("Original Point"), this);
  fraBookmarks->setGeometry(4, 0, 189, 69);
  MakeLabel("Real", {8, 20, 37, 17}, fraBookmarks);
  txtReal = MakeBox("txtReal", {40, 16, 141, 21}, fraBookmarks);
  MakeLabel("Imag.", {8, 44, 37, 17}, fraBookmarks);
  txtImaginary = MakeBox("txtImaginary", {40, 40, 141, 21}, fraBookmarks);

  fraCurrentPoint = new QGroupBox(QStringLiteral("Current Point"), this);
  fraCurrentPoint->setGeometry(4, 68, 189, 69);
  MakeLabel("Real", {8, 20, 37, 17}, fraCurrentPoint);
  txtCurrentReal = MakeBox("txtCurrentReal", {40, 16, 141, 21}, fraCurrentPoint);
  MakeLabel("Imag.", {8, 44, 37, 17}, fraCurrentPoint);
  txtCurrentImaginary = MakeBox("txtCurrentImaginary", {40, 40, 141, 21}, fraCurrentPoint);
  for (QLineEdit* box : {txtCurrentReal, txtCurrentImaginary}) {
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    box->setPalette(palette);
  }

  cmdNewPoint = MakeButton("&New Point", {200, 4, 69, 21}, this);
  cmdIterate = MakeButton("&Iterate!", {200, 32, 69, 21}, this);
  cmdIterate->setDefault(true);
  cmdPlay = MakeButton("&Play", {200, 60, 69, 21}, this);
  cmdSaveSong = MakeButton("&Save Song", {200, 88, 69, 21}, this);
  cmdClose = MakeButton("&Close", {200, 116, 69, 21}, this);

  pbxOutput = new PictureBox(this);
  pbxOutput->setObjectName(QStringLiteral("pbxOutput"));
  pbxOutput->setGeometry(0, 140, 273, 273);
  pbxOutput->setFocusPolicy(Qt::NoFocus);
  pbxOutput->SetDevicePixels(true);  // sharp on a scaled desktop
  lblProgress = new QLabel(this);
  lblProgress->setGeometry(0, 412, 273, 17);

  // Only keeps the finished picture; never shown.
  pbxOriginalImage = new PictureBox(this);
  pbxOriginalImage->setGeometry(pbxOutput->geometry());
  pbxOriginalImage->hide();
  pbxOriginalImage->SetDevicePixels(true);

  setTabOrder(txtReal, txtImaginary);
  setTabOrder(txtImaginary, cmdNewPoint);
  setTabOrder(cmdNewPoint, cmdIterate);
  setTabOrder(cmdIterate, cmdPlay);
  setTabOrder(cmdPlay, cmdSaveSong);
  setTabOrder(cmdSaveSong, cmdClose);
}

void frmOrbits::ConnectControls() {
  connect(txtReal, &QLineEdit::textEdited, this,
          [this](const QString& text) { orbiter_.CurrentTexts().real = text.toStdString(); });
  connect(txtImaginary, &QLineEdit::textEdited, this,
          [this](const QString& text) { orbiter_.CurrentTexts().imaginary = text.toStdString(); });
  for (QLineEdit* box : {txtReal, txtImaginary}) {
    box->installEventFilter(this);
    // Enter presses Iterate; the typed part is checked and taken first.
    connect(box, &QLineEdit::returnPressed, this, [this, box] { PartLostFocus(box); });
  }
  connect(pbxOutput, &PictureBox::MouseReleased, this, [this](Qt::MouseButton, QPointF position) {
    Handle([&] { orbiter_.OnPicturePicked(std::floor(position.x()), std::floor(position.y())); });
  });
  connect(cmdIterate, &QPushButton::clicked, this, [this] { Handle([&] { orbiter_.OnIterate(); }); });
  connect(cmdNewPoint, &QPushButton::clicked, this, [this] { Handle([&] { orbiter_.OnNewPoint(); }); });
  connect(cmdPlay, &QPushButton::clicked, this, [this] { Handle([&] { orbiter_.OnPlay(); }); });
  connect(cmdSaveSong, &QPushButton::clicked, this, [this] { Handle([&] { orbiter_.OnSaveSong(); }); });
  connect(cmdClose, &QPushButton::clicked, this, &frmOrbits::Close);
  connect(&renderTimer, &QTimer::timeout, this, [this] { Handle([&] { orbiter_.OnRenderTimerTick(); }); });
  connect(&timNoteTimer, &QTimer::timeout, this, [this] { Handle([&] { orbiter_.OnNoteTimerTick(); }); });
}

void frmOrbits::contextMenuEvent(QContextMenuEvent* event) {
  // Any button released over the picture picks a point; the menu belongs
  // to the rest of the window.
  const QWidget* under = childAt(event->pos());
  if (under != nullptr && (under == pbxOutput || pbxOutput->isAncestorOf(under))) return;
  if (IsUnloaded() || !MidiOutputMenu::Run(midiService_, this, event->globalPos())) return;
  Handle([&] { orbiter_.OnMidiOutputChanged(); });
}

bool frmOrbits::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && (watched == txtReal || watched == txtImaginary)) {
    auto* box = static_cast<QLineEdit*>(watched);
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    // A box loses the focus also when an orbit starts and disables it; that
    // is no edit finished and must not overwrite the current point.
    if (box->isEnabled() && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
      PartLostFocus(box);
  }
  return QDialog::eventFilter(watched, event);
}

void frmOrbits::PartLostFocus(QLineEdit* box) {
  Orbiter::Texts& texts = orbiter_.CurrentTexts();
  const std::string text = box->text().toStdString();
  Handle([&] {
    if (box == txtReal) {
      texts.real = text;
      orbiter_.OnRealLostFocus();
    } else {
      texts.imaginary = text;
      orbiter_.OnImaginaryLostFocus();
    }
  });
}

void frmOrbits::ShowState() {
  audioNotice_.Show(orbiter_.AudioNotice());
  const Orbiter::Texts& texts = orbiter_.CurrentTexts();
  ShowText(txtReal, texts.real);
  ShowText(txtImaginary, texts.imaginary);
  ShowText(txtCurrentReal, texts.currentReal);
  ShowText(txtCurrentImaginary, texts.currentImaginary);
  const QString progress = QString::fromStdString(texts.progress);
  if (lblProgress->text() != progress) lblProgress->setText(progress);
  const Orbiter::Enabled& enabled = orbiter_.ControlsEnabled();
  txtReal->setEnabled(enabled.inputs);
  txtImaginary->setEnabled(enabled.inputs);
  cmdNewPoint->setEnabled(enabled.newPoint);
  cmdIterate->setEnabled(enabled.iterate);
  cmdPlay->setEnabled(enabled.play);
  cmdSaveSong->setEnabled(enabled.saveSong);
}

// ------------------------------------------------------------------ closing

void frmOrbits::UnloadModel() {
  orbiter_.Unload();
}

// ---------------------------------------------------------------- the view

void frmOrbits::DrawOrbitStart(OrbitPixel at) {
  // Drawn by inverting, so New Point's restored picture and a second
  // drawing both take the figure away.
  pbxOutput->SetDrawMode(PictureBox::DrawMode::Invert);
  pbxOutput->DrawRectangleOutline(at.x - 2, at.y - 2, at.x + 2, at.y + 2, kRed);
  pbxOutput->SetPixel(at.x, at.y, kRed);
  pbxOutput->SetDrawMode(PictureBox::DrawMode::Copy);
}

void frmOrbits::DrawOrbitStep(OrbitPixel at) {
  pbxOutput->SetDrawMode(PictureBox::DrawMode::Invert);
  pbxOutput->DrawLineTo(at.x, at.y, kRed);
  pbxOutput->DrawRectangleOutline(at.x - 2, at.y - 2, at.x + 2, at.y + 2, kRed);
  pbxOutput->SetPixel(at.x, at.y, kRed);
  pbxOutput->SetDrawMode(PictureBox::DrawMode::Copy);
}

void frmOrbits::KeepOriginalPicture() { pbxOutput->CopyPictureTo(*pbxOriginalImage); }

void frmOrbits::RestoreOriginalPicture() { pbxOriginalImage->CopyPictureTo(*pbxOutput); }

void frmOrbits::EnableRenderTimer() { renderTimer.start(); }

void frmOrbits::DisableRenderTimer() { renderTimer.stop(); }

void frmOrbits::EnableNoteTimer(std::int32_t intervalMilliseconds) {
  timNoteTimer.setInterval(intervalMilliseconds);
  timNoteTimer.start();
}

void frmOrbits::DisableNoteTimer() { timNoteTimer.stop(); }
