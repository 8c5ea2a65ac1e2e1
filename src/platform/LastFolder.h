#pragma once

#include <QString>
#include <string>

// Where the file dialogs open: the folder last used for that kind of file,
// kept in the user's settings, or the first time the user's own Pictures or
// Music folder. Tests give a settings file of their own.
class LastFolder {
 public:
  enum class Kind { Pictures, Music };

  // The user's settings file, under the desktop's configuration folder (a
  // test folder when QStandardPaths' test mode is on).
  static QString UserSettingsPath();
  // Songs go to Music; pictures and anything else to Pictures.
  static Kind KindFor(const std::string& defaultExtension);

  explicit LastFolder(QString settingsPath = UserSettingsPath());

  QString StartFolder(Kind kind) const;
  // The folder of a file the user chose; a folder that no longer exists is
  // not offered again.
  void Remember(Kind kind, const QString& chosenFile);

 private:
  QString settingsPath_;
};
