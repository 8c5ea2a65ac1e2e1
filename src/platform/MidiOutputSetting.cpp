#include "MidiOutputSetting.h"

#include <QSettings>

namespace {

const QString kKey = QStringLiteral("midi/output");

QSettings Settings() { return QSettings(QStringLiteral("Quillory"), QStringLiteral("Quillory")); }

}  // namespace

std::string SavedMidiOutput() { return Settings().value(kKey).toString().toStdString(); }

void SaveMidiOutput(const std::string& portName) { Settings().setValue(kKey, QString::fromStdString(portName)); }
