#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <filesystem>

namespace {

struct Outcome {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

Outcome RunProgram(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
  return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

const QString kLauncher = QStringLiteral(QUILLORY_LAUNCHER);
const QString kDesktop = QStringLiteral(QUILLORY_DESKTOP);

// The launcher must be indistinguishable from the desktop program for every
// command line, whether it runs the command itself or hands it over.
TEST(Launcher, AnswersEveryCommandLineAsTheDesktopProgramDoes) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString missing = folder.filePath("missing.mid");
  const QList<QStringList> commandLines = {
      {"--version"},
      {"--help"},
      {"bogus"},
      {"render", "--help"},
      {"render", "--size", "3", "--out", folder.filePath("x.bmp")},
      {"render", "--size", "4x4", "--out", folder.filePath("x.gif")},
      {"render", "--size", "4x4", "--out", folder.filePath("no/such/folder/x.bmp")},
      {"render", "--size", "4x4", "--out", folder.filePath("no/such/folder/x.PNG")},
      {"render", "--size", "0x4", "--out", folder.filePath("x.png")},
      {"midi-info", missing},
  };
  for (const QStringList& arguments : commandLines) {
    SCOPED_TRACE(arguments.join(' ').toStdString());
    const Outcome launched = RunProgram(kLauncher, arguments);
    const Outcome direct = RunProgram(kDesktop, arguments);
    EXPECT_EQ(launched.exitCode, direct.exitCode);
    EXPECT_EQ(launched.out, direct.out);
    EXPECT_EQ(launched.err, direct.err);
  }
}

TEST(Launcher, RendersTheSamePictureFilesAsTheDesktopProgram) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  for (const QString& extension : {QStringLiteral("bmp"), QStringLiteral("png")}) {
    const QStringList view = {"--size", "97x61", "--center", "-0.75,0.1", "--view-width", "0.5", "--max-iter", "300"};
    const QString launchedPath = folder.filePath("launched." + extension);
    const QString directPath = folder.filePath("direct." + extension);
    EXPECT_EQ(RunProgram(kLauncher, QStringList{"render"} + view + QStringList{"--out", launchedPath}).exitCode, 0);
    EXPECT_EQ(RunProgram(kDesktop, QStringList{"render"} + view + QStringList{"--out", directPath}).exitCode, 0);
    const QByteArray picture = Contents(launchedPath);
    EXPECT_GT(picture.size(), 100);
    EXPECT_EQ(picture, Contents(directPath)) << extension.toStdString();
  }
}

TEST(Launcher, SaysWhenTheDesktopProgramIsMissing) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString alone = folder.filePath("quillory");
  ASSERT_TRUE(QFile::copy(kLauncher, alone));
  const Outcome outcome = RunProgram(alone, {"--version"});
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_TRUE(outcome.out.isEmpty());
  EXPECT_TRUE(outcome.err.startsWith("quillory: cannot start '")) << outcome.err.toStdString();
  EXPECT_TRUE(outcome.err.contains("quillory-desktop': No such file or directory")) << outcome.err.toStdString();
  // Rendering needs nothing beside it.
  EXPECT_EQ(RunProgram(alone, {"render", "--size", "8x8", "--out", folder.filePath("x.bmp")}).exitCode, 0);
  EXPECT_TRUE(QFile::exists(folder.filePath("x.bmp")));
}

}  // namespace
