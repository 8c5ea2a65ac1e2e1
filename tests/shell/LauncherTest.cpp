#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <tuple>

#include "SongBytes.h"

namespace {

// Exit code, standard output, standard error.
using Outcome = std::tuple<int, QByteArray, QByteArray>;

Outcome RunProgram(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
  return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// The launcher must be indistinguishable from the desktop program for every
// command line, whether it runs the command itself or hands it over, down to
// the bytes of the pictures rendered.
TEST(Launcher, AnswersEveryCommandLineAsTheDesktopProgramDoes) {
  QTemporaryDir folder;
  const QStringList view = {"render",       "--size", "97x61",      "--center", "-0.75,0.1",
                            "--view-width", "0.5",    "--max-iter", "300"};
  const QList<QStringList> commandLines = {
      {"--version"}, {"--help"}, {"bogus"}, {"render", "--help"},
      {"render", "--size", "3", "--out", folder.filePath("x.bmp")},
      {"render", "--size", "4x4", "--out", folder.filePath("no/such/folder/x.PNG")},
      {"render", "--size", "0x4", "--out", folder.filePath("x.png")},
      view + QStringList{"--out", folder.filePath("picture.bmp")},
      view + QStringList{"--out", folder.filePath("picture.png")}};
  for (const QStringList& arguments : commandLines) {
    SCOPED_TRACE(arguments.join(' ').toStdString());
    const Outcome launched = RunProgram(QUILLORY_LAUNCHER, arguments);
    const auto picture = ReadBytes(arguments.last().toStdString());
    QFile::remove(arguments.last());
    EXPECT_EQ(launched, RunProgram(QUILLORY_DESKTOP, arguments));
    EXPECT_EQ(picture, ReadBytes(arguments.last().toStdString()));
  }
  EXPECT_GT(ReadBytes(folder.filePath("picture.png").toStdString()).size(), 100u);
  EXPECT_GT(ReadBytes(folder.filePath("picture.bmp").toStdString()).size(), 97u * 61 * 3);

  // Alone it says so, but still renders.
  const QString alone = folder.filePath("quillory");
  ASSERT_TRUE(QFile::copy(QUILLORY_LAUNCHER, alone));
  EXPECT_EQ(RunProgram(alone, {"--version"}),
            Outcome(1, "", "quillory: cannot start '" + folder.filePath("quillory-desktop").toUtf8() +
                               "': No such file or directory\n"));
  EXPECT_EQ(RunProgram(alone, {"render", "--size", "8x8", "--out", folder.filePath("x.bmp")}),
            Outcome(0, "", ""));
  EXPECT_TRUE(QFile::exists(folder.filePath("x.bmp")));
}

}  // namespace
