#include "AboutQuillory.h"

#include <QStringList>
#include <QtGlobal>
#include <rtmidi/RtMidi.h>
#include <fluidsynth.h>
#include <sqlite3.h>

QString AboutQuillory::Version() { return QStringLiteral(QUILLORY_VERSION); }

QStringList AboutQuillory::Libraries() {
  return {
      QStringLiteral("Qt %1").arg(QString::fromLatin1(qVersion())),
      QStringLiteral("SQLite %1").arg(QString::fromLatin1(sqlite3_libversion())),
      QStringLiteral("FluidSynth %1").arg(QString::fromLatin1(fluid_version_str())),
      QStringLiteral("RtMidi %1").arg(QString::fromStdString(RtMidi::getVersion())),
      // Highway compiles into the engine and has no run-time version to ask.
      QStringLiteral("Highway " QUILLORY_HIGHWAY_VERSION),
  };
}

QString AboutQuillory::Text() {
  return QStringLiteral("<h3>Quillory %1</h3>"
                        "<p>Explore the Mandelbrot and Julia sets and turn what you find into music.</p>"
                        "<p>Built with:<br>%2</p>")
      .arg(Version(), Libraries().join(QStringLiteral("<br>")));
}
