#include "QtDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>

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
  // A name typed without an extension takes the one of the filter chosen.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    const qsizetype star = filter.indexOf(QStringLiteral("*."));
    if (star < 0) return;
    const QString suffix = filter.mid(star + 2).section(QRegularExpression(QStringLiteral("[ );]")), 0, 0);
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
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
