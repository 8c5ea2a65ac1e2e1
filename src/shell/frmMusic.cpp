#include "frmMusic.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <span>
#include <string>
#include <tuple>
#include <vector>
#include <string_view>

#include "InvertedShape.h"
#include "MelodizerLists.h"
#include "MountainCurve.h"
#include "MidiOutputMenu.h"
#include "PictureBox.h"
#include "TwipsLayout.h"
#include "Wait.h"

namespace {

constexpr std::int32_t kBlack = 0x000000;
constexpr std::int32_t kWhite = 0xFFFFFF;
constexpr std::int32_t kRed = 0x0000FF;

QLabel* MakeLabel(const char* text, QRect geometry, Qt::Alignment alignment, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setGeometry(geometry);
  label->setAlignment(alignment | Qt::AlignVCenter);
  return label;
}

QLineEdit* MakeBox(const char* name, QRect geometry, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(QString::fromUtf8(name));
  box->setGeometry(geometry);
  return box;
}

QComboBox* MakeList(const char* name, QRect geometry, std::span<const std::string_view> items, QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName(QString::fromUtf8(name));
  list->setGeometry(geometry);
  // The user may type an item's text; typing never adds items.
  list->setEditable(true);
  list->setInsertPolicy(QComboBox::NoInsert);
  list->setMaxVisibleItems(16);
  for (std::string_view item : items) list->addItem(QString::fromUtf8(item.data(), static_cast<int>(item.size())));
  return list;
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

void ShowIndex(QComboBox* list, int index) {
  if (list->currentIndex() == index) return;
  const QSignalBlocker blocker(list);
  list->setCurrentIndex(index);
  // A long item shows from its start.
  list->lineEdit()->setCursorPosition(0);
}

}  // namespace

frmMusic::frmMusic(MidiService& midiService, Dialogs& dialogs, std::filesystem::path programFolder, QWidget* parent)
    : UnloadingDialog(parent),
      midiService_(midiService),
      midiOut_(midiService, dialogs),
      melodizer_(*this, midiOut_, dialogs, std::move(programFolder)),
      audioNotice_(this, QSize(twips::Pixels(4770), twips::Pixels(6390))) {
  setWindowTitle(QStringLiteral("Melodizer"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(twips::Pixels(4770), twips::Pixels(6390));
  setFont(twips::DialogFont());
  timRenderer.setTimerType(Qt::PreciseTimer);

  BuildPictures();
  BuildSource();
  BuildSettings();
  BuildButtons();
  FillLists();

  melodizer_.Load();
  scrMountain->setValue(melodizer_.Controls().mountainBar);
  DrawMountain(scrMountain->value());
  ShowControls();
  ConnectControls();
}

frmMusic::~frmMusic() {
  // The final release tears down as the unload does, without waiting in an
  // event loop while the object goes.
  destroying_ = true;
  timRenderer.stop();
  melodizer_.Unload();
}

// ------------------------------------------------------------------ controls

void frmMusic::BuildPictures() {
  pbxMelody = new PictureBox(this);
  pbxMelody->setObjectName(QStringLiteral("pbxMelody"));
  pbxMelody->setGeometry(twips::Rect(60, 60, 4635, 1695));
  pbxMelody->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  pbxMelody->SetBackColour(kBlack);
  pbxMelody->Clear();
  pbxMelody->setFocusPolicy(Qt::NoFocus);
  linTracer = pbxMelody->AddLineShape(1);
  linTracer->SetLine(0, 0, 0, pbxMelody->ScaleHeight());
  linTracer->SetVisible(true);

  Frame1 = new QGroupBox(QStringLiteral("Mountain Flattening"), this);
  Frame1->setGeometry(twips::Rect(60, 3000, 1695, 3315));
  pbxMountain = new PictureBox(Frame1);
  pbxMountain->setObjectName(QStringLiteral("pbxMountain"));
  pbxMountain->setGeometry(twips::Rect(120, 240, 1215, 2955));
  pbxMountain->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  pbxMountain->SetBackColour(kBlack);
  pbxMountain->setFocusPolicy(Qt::NoFocus);
  for (auto [text, geometry, alignment] :
       {std::tuple{"Plateau", twips::Rect(60, 0, 675, 255), Qt::AlignLeft},
        std::tuple{"Peaks", twips::Rect(360, 2700, 795, 255), Qt::AlignRight}}) {
    // The labels lie inside the picture's border, over a transparent
    // background.
    QLabel* label = MakeLabel(text, geometry.translated(2, 2), alignment, pbxMountain);
    label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
  }

  scrMountain = new QScrollBar(Qt::Vertical, Frame1);
  scrMountain->setObjectName(QStringLiteral("scrMountain"));
  scrMountain->setGeometry(twips::Rect(1320, 240, 255, 2955));
  scrMountain->setRange(20, 160);
  scrMountain->setSingleStep(10);
  scrMountain->setPageStep(20);
}

void frmMusic::BuildSource() {
  Frame2 = new QGroupBox(QStringLiteral("Source"), this);
  Frame2->setGeometry(twips::Rect(60, 1800, 4635, 1155));
  MakeLabel("Real Part", twips::Rect(960, 120, 1755, 195), Qt::AlignHCenter, Frame2);
  MakeLabel("Imaginary Part", twips::Rect(2760, 120, 1755, 195), Qt::AlignHCenter, Frame2);
  MakeLabel("1st Point", twips::Rect(180, 420, 675, 255), Qt::AlignRight, Frame2);
  txt1stPointReal = MakeBox("txt1stPointReal", twips::Rect(960, 360, 1755, 315), Frame2);
  txt1stPointImaginary = MakeBox("txt1stPointImaginary", twips::Rect(2760, 360, 1755, 315), Frame2);
  MakeLabel("2nd Point", twips::Rect(60, 720, 795, 255), Qt::AlignRight, Frame2);
  txt2ndPointReal = MakeBox("txt2ndPointReal", twips::Rect(960, 720, 1755, 315), Frame2);
  txt2ndPointImaginary = MakeBox("txt2ndPointImaginary", twips::Rect(2760, 720, 1755, 315), Frame2);
}

void frmMusic::BuildSettings() {
  MakeLabel("Instrument", twips::Rect(2160, 3060, 795, 255), Qt::AlignRight, this);
  cboPatch = MakeList("cboPatch", twips::Rect(3000, 3000, 1695, 315), PatchItems(), this);
  MakeLabel("Key/Octave", twips::Rect(2040, 3420, 915, 255), Qt::AlignRight, this);
  cboKey = MakeList("cboKey", twips::Rect(3000, 3360, 855, 315), {}, this);
  cboOctave = MakeList("cboOctave", twips::Rect(3960, 3360, 735, 315), {}, this);
  MakeLabel("Scale Type", twips::Rect(2160, 3780, 795, 255), Qt::AlignRight, this);
  cboScaleType = MakeList("cboScaleType", twips::Rect(3000, 3720, 1695, 315), {}, this);
  MakeLabel("Tempo", twips::Rect(2100, 4140, 855, 255), Qt::AlignRight, this);
  txtTempo = MakeBox("txtTempo", twips::Rect(3000, 4080, 855, 315), this);
  MakeLabel("(bpm)", twips::Rect(3900, 4140, 555, 255), Qt::AlignLeft, this);
  MakeLabel("# of Measures", twips::Rect(1800, 4500, 1155, 255), Qt::AlignRight, this);
  txtBeats = MakeBox("txtBeats", twips::Rect(3000, 4440, 855, 315), this);
  MakeLabel("Max. Iterations", twips::Rect(1740, 4860, 1215, 255), Qt::AlignRight, this);
  txtMaxIterations = MakeBox("txtMaxIterations", twips::Rect(3000, 4800, 855, 315), this);
  MakeLabel("Complexity", twips::Rect(1740, 5220, 1215, 255), Qt::AlignRight, this);
  cboComplexity = MakeList("cboComplexity", twips::Rect(3000, 5160, 855, 315), {}, this);
  MakeLabel("levels", twips::Rect(3900, 5220, 555, 255), Qt::AlignLeft, this);
}

void frmMusic::BuildButtons() {
  cmdPlay = MakeButton("&Play", twips::Rect(1860, 5580, 915, 675), this);
  cmdStop = MakeButton("&Stop", twips::Rect(2820, 5580, 915, 315), this);
  cmdRedraw = MakeButton("&Redraw", twips::Rect(3780, 5580, 915, 315), this);
  cmdSaveSong = MakeButton("S&ave Song", twips::Rect(2820, 5940, 915, 315), this);
  cmdClose = MakeButton("&Close", twips::Rect(3780, 5940, 915, 315), this);

  QWidget* const tabOrder[] = {txt1stPointReal, txt1stPointImaginary, txt2ndPointReal, txt2ndPointImaginary,
                               cboPatch,        cboKey,               cboOctave,       cboScaleType,
                               txtTempo,        txtBeats,             txtMaxIterations, cboComplexity,
                               cmdPlay,         cmdStop,              cmdRedraw,       cmdSaveSong,
                               cmdClose};
  for (std::size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void frmMusic::FillLists() {
  const std::pair<QComboBox*, std::span<const std::string_view>> lists[] = {
      {cboComplexity, kComplexityItems}, {cboKey, kKeyItems}, {cboOctave, kOctaveItems},
      {cboScaleType, kScaleTypeItems}};
  for (auto [list, items] : lists)
    for (std::string_view item : items) list->addItem(QString::fromUtf8(item.data(), static_cast<int>(item.size())));
}

void frmMusic::ConnectControls() {
  const std::pair<QLineEdit*, std::string MelodizerSettings::*> boxes[] = {
      {txt1stPointReal, &MelodizerSettings::firstPointReal},
      {txt1stPointImaginary, &MelodizerSettings::firstPointImaginary},
      {txt2ndPointReal, &MelodizerSettings::secondPointReal},
      {txt2ndPointImaginary, &MelodizerSettings::secondPointImaginary},
      {txtBeats, &MelodizerSettings::measures},
      {txtTempo, &MelodizerSettings::tempo},
      {txtMaxIterations, &MelodizerSettings::maxIterations}};
  // A run reads the boxes as they stand, checked or not.
  for (auto [box, field] : boxes)
    connect(box, &QLineEdit::textEdited, this,
            [this, field](const QString& text) { melodizer_.Controls().*field = text.toStdString(); });
  for (QLineEdit* box : {txtBeats, txtTempo, txtMaxIterations}) box->installEventFilter(this);

  ConnectList(cboComplexity, Melodizer::List::Complexity);
  ConnectList(cboKey, Melodizer::List::Key);
  ConnectList(cboOctave, Melodizer::List::Octave);
  ConnectList(cboScaleType, Melodizer::List::ScaleType);
  ConnectList(cboPatch, Melodizer::List::Patch);

  connect(scrMountain, &QScrollBar::valueChanged, this, [this](int value) {
    DrawMountain(value);
    if (!scrMountain->isSliderDown()) Handle([&] { melodizer_.OnMountainChanged(value); });
  });
  connect(scrMountain, &QScrollBar::sliderReleased, this, [this] {
    const int value = scrMountain->value();
    if (value != melodizer_.Controls().mountainBar) Handle([&] { melodizer_.OnMountainChanged(value); });
  });

  cmdPlay->installEventFilter(this);
  connect(cmdPlay, &QPushButton::clicked, this, [this] { Handle([&] { melodizer_.OnPlay(); }); });
  connect(cmdStop, &QPushButton::clicked, this, [this] { Handle([&] { melodizer_.OnStop(); }); });
  connect(cmdRedraw, &QPushButton::clicked, this, [this] { Handle([&] { melodizer_.OnRedraw(); }); });
  connect(cmdSaveSong, &QPushButton::clicked, this, [this] { Handle([&] { melodizer_.OnSaveSong(); }); });
  connect(cmdClose, &QPushButton::clicked, this, &frmMusic::Close);
  connect(&timRenderer, &QTimer::timeout, this, [this] { Handle([&] { melodizer_.OnTimerTick(); }); });
}

void frmMusic::ConnectList(QComboBox* list, Melodizer::List which) {
  connect(list, &QComboBox::currentIndexChanged, this,
          [this, which](int index) { Handle([&] { melodizer_.OnListChanged(which, index); }); });
  connect(list->lineEdit(), &QLineEdit::editingFinished, this, [this, list, which] { ListTextTyped(list, which); });
}

void frmMusic::ListTextTyped(QComboBox* list, Melodizer::List which) {
  const int current = list->currentIndex();
  if (current >= 0 && list->currentText() == list->itemText(current)) return;  // nothing was typed
  std::vector<std::string> texts;
  for (int i = 0; i < list->count(); ++i) texts.push_back(list->itemText(i).toStdString());
  const std::vector<std::string_view> items(texts.begin(), texts.end());
  const int typed = FindListItem(items, list->currentText().toStdString());
  Handle([&] {
    const int selected = melodizer_.OnListChanged(which, typed);
    // The list shows the item chosen, not what was typed.
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(selected);
    list->setEditText(list->itemText(selected));
  });
}

void frmMusic::contextMenuEvent(QContextMenuEvent* event) {
  if (IsUnloaded() || !MidiOutputMenu::Run(midiService_, this, event->globalPos())) return;
  Handle([&] { melodizer_.OnMidiOutputChanged(); });
}

bool frmMusic::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cmdPlay && event->type() == QEvent::Enter) {
    // The box being edited loses the focus, and runs its check, before the
    // click reaches Play.
    if (!cmdPlay->hasFocus()) cmdPlay->setFocus(Qt::MouseFocusReason);
  } else if (event->type() == QEvent::FocusOut && (watched == txtBeats || watched == txtTempo ||
                                                    watched == txtMaxIterations)) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    // Another window taking over is no edit finished.
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
      BoxLostFocus(static_cast<QLineEdit*>(watched));
  }
  return QDialog::eventFilter(watched, event);
}

void frmMusic::BoxLostFocus(QLineEdit* box) {
  MelodizerSettings& controls = melodizer_.Controls();
  const std::string text = box->text().toStdString();
  Handle([&] {
    if (box == txtBeats) {
      controls.measures = text;
      melodizer_.OnMeasuresLostFocus();
    } else if (box == txtMaxIterations) {
      controls.maxIterations = text;
      melodizer_.OnMaxIterationsLostFocus();
    } else if (box == txtTempo) {
      controls.tempo = text;
      melodizer_.OnTempoLostFocus();
    }
  });
}

void frmMusic::ShowControls() {
  audioNotice_.Show(melodizer_.AudioNotice());
  const MelodizerSettings& controls = melodizer_.Controls();
  ShowText(txt1stPointReal, controls.firstPointReal);
  ShowText(txt1stPointImaginary, controls.firstPointImaginary);
  ShowText(txt2ndPointReal, controls.secondPointReal);
  ShowText(txt2ndPointImaginary, controls.secondPointImaginary);
  ShowText(txtBeats, controls.measures);
  ShowText(txtTempo, controls.tempo);
  ShowText(txtMaxIterations, controls.maxIterations);
  ShowIndex(cboComplexity, controls.complexity);
  ShowIndex(cboKey, controls.key);
  ShowIndex(cboOctave, controls.octave);
  ShowIndex(cboScaleType, controls.scaleType);
  ShowIndex(cboPatch, controls.patch);
}

void frmMusic::DrawMountain(int barValue) {
  pbxMountain->Clear();
  const double width = pbxMountain->ScaleWidth();
  const double height = pbxMountain->ScaleHeight();
  pbxMountain->DrawLine(0, height, width, 0, kWhite);
  const auto points = MountainCurvePoints(width, height, FlatteningOfBar(barValue));
  pbxMountain->SetCurrentPoint(points.front().x, points.front().y);
  for (std::size_t i = 1; i < points.size(); ++i) pbxMountain->DrawLineTo(points[i].x, points[i].y, kRed);
}

// ---------------------------------------------------------- entry points

void frmMusic::SetRegion(double realPart1, double imaginaryPart1, double realPart2, double imaginaryPart2,
                         std::int32_t newMaxIterations) {
  melodizer_.SetRegion(realPart1, imaginaryPart1, realPart2, imaginaryPart2, newMaxIterations);
  ShowControls();
}

void frmMusic::StartMelody(std::int16_t stepIncrement, bool play) {
  Handle([&] { melodizer_.StartMelody(stepIncrement, play); });
}

// ------------------------------------------------------------------ closing

void frmMusic::UnloadModel() {
  melodizer_.Unload();
  timRenderer.stop();
}

// ---------------------------------------------------------------- the view

void frmMusic::ClearMelody() { pbxMelody->Clear(); }

void frmMusic::DrawMelodyLine(PicturePoint from, PicturePoint to, std::int32_t colour) {
  pbxMelody->DrawLine(from.x, from.y, to.x, to.y, colour);
}

void frmMusic::SetMelodyPixel(PicturePoint at, std::int32_t colour) { pbxMelody->SetPixel(at.x, at.y, colour); }

void frmMusic::MoveTracerTo(double x) { linTracer->SetLine(x, 0, x, pbxMelody->ScaleHeight()); }

void frmMusic::EnableTimer(std::int32_t intervalMilliseconds) {
  timRenderer.setInterval(intervalMilliseconds);
  timRenderer.start();
}

void frmMusic::DisableTimer() { timRenderer.stop(); }

void frmMusic::SetTimerInterval(std::int32_t intervalMilliseconds) {
  // A running timer starts its new interval at once.
  timRenderer.setInterval(intervalMilliseconds);
}

void frmMusic::Wait(double seconds) {
  if (!destroying_) ::Wait(seconds);
}

void frmMusic::ProcessPendingEvents() {
  if (!destroying_) QCoreApplication::processEvents();
}
