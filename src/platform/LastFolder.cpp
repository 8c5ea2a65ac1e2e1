#include "LastFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString SettingsKey(LastFolder::Kind kind) {
  return kind == LastFolder::Kind::Music ? QStringLiteral("LastFolder/Music") : QStringLiteral("LastFolder/Pictures");
}

}  // namespace

QString LastFolder::UserSettingsPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/Quillory/Quillory.conf");
}

LastFolder::Kind LastFolder::KindFor(const std::string& defaultExtension) {
  return defaultExtension == "mid" ? Kind::Music : Kind::Pictures;
}

LastFolder::LastFolder(QString settingsPath) : settingsPath_(std::move(settingsPath)) {}

QString LastFolder::StartFolder(Kind kind) const {
  const QSettings settings(settingsPath_, QSettings::IniFormat);
  const QString remembered = settings.value(SettingsKey(kind)).toString();
  if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) return remembered;
  const QString standard = QStandardPaths::writableLocation(kind == Kind::Music ? QStandardPaths::MusicLocation
                                                                                : QStandardPaths::PicturesLocation);
  if (!standard.isEmpty() && QFileInfo(standard).isDir()) return standard;
  return QDir::homePath();
}

void LastFolder::Remember(Kind kind, const QString& chosenFile) {
  if (chosenFile.isEmpty()) return;
  QSettings settings(settingsPath_, QSettings::IniFormat);
  settings.setValue(SettingsKey(kind), QFileInfo(chosenFile).absolutePath());
}
