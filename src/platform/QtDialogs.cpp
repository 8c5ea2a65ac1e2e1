#include "QtDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

const QString kTitle = QStringLiteral("Quillory");

// The program's texts break lines with CR LF; Qt's widgets want LF alone.
QString DisplayText(const std::string& text) { return QString::fromStdString(text).replace("\r\n", "\n"); }

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Stop: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

// "Wave Files (*.wav)" gives "wav"; a filter with no single extension gives nothing.
QString ExtensionOfFilter(const QString& filter) {
  static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.(\\w+)\\)$"));
  const QRegularExpressionMatch match = pattern.match(filter);
  return match.hasMatch() ? match.captured(1) : QString();
}

class QtProgressDisplay final : public ProgressDisplay {
 public:
  QtProgressDisplay(const std::string& text, QWidget* owner)
      : dialog_(DisplayText(text), QStringLiteral("Cancel"), 0, kSteps, owner) {
    dialog_.setWindowTitle(kTitle);
    // Modal, so that setValue lets the Cancel button be pressed.
    dialog_.setWindowModality(Qt::ApplicationModal);
    dialog_.setMinimumDuration(0);
    dialog_.setAutoReset(false);
    dialog_.setValue(0);
  }

  bool Report(double fraction) override {
    const int step = static_cast<int>(std::lrint(std::clamp(fraction, 0.0, 1.0) * kSteps));
    if (step != dialog_.value()) dialog_.setValue(step);
    return !dialog_.wasCanceled();
  }

 private:
  static constexpr int kSteps = 1000;
  QProgressDialog dialog_;
};

}  // namespace

MessageAnswer QtDialogs::MessageBox(const std::string& text, MessageButtons buttons, MessageIcon icon) {
  QMessageBox box(ToQtIcon(icon), kTitle, DisplayText(text), QMessageBox::NoButton, owner_);
  if (buttons == MessageButtons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return MessageAnswer::Ok;
}

std::string QtDialogs::InputBox(const std::string& prompt, const std::string& defaultAnswer) {
  QInputDialog dialog(owner_);
  dialog.setWindowTitle(kTitle);
  dialog.setLabelText(DisplayText(prompt));
  dialog.setTextValue(QString::fromStdString(defaultAnswer));
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.textValue().toStdString();
}

std::string QtDialogs::SaveFileDialog(const SaveFileRequest& request) {
  const LastFolder::Kind kind = LastFolder::KindFor(request.defaultExtension);
  QFileDialog dialog(owner_, kTitle, folders_.StartFolder(kind));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QString::fromStdString(request.filter));
  dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    if (const QString extension = ExtensionOfFilter(filter); !extension.isEmpty()) dialog.setDefaultSuffix(extension);
  });
  // The callers ask before overwriting, with their own wording.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString chosen = dialog.selectedFiles().constFirst();
  folders_.Remember(kind, chosen);
  return chosen.toStdString();
}

std::string QtDialogs::OpenFileDialog(const OpenFileRequest& request) {
  QFileDialog dialog(owner_, kTitle, folders_.StartFolder(LastFolder::Kind::Pictures));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(QString::fromStdString(request.filter));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString chosen = dialog.selectedFiles().constFirst();
  folders_.Remember(LastFolder::Kind::Pictures, chosen);
  return chosen.toStdString();
}

std::unique_ptr<ProgressDisplay> QtDialogs::ShowProgress(const std::string& text) {
  return std::make_unique<QtProgressDisplay>(text, owner_);
}
