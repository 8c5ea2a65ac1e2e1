#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <QProcess>
#include <QStringList>
#include <filesystem>
#include <string>
#include <vector>

// The quillory executable run as a user runs it. A resource limit of its own
// (RLIMIT_AS or RLIMIT_FSIZE) makes memory run out or a disk seem full.
class QuilloryProcess : public QProcess {
 public:
  struct Ended {
    int exitCode = -1;  // -1 when ended by a signal
    int signal = 0;
    std::string output;
    std::string errors;
  };

  explicit QuilloryProcess(const std::filesystem::path& executable) {
    setProgram(QString::fromStdString(executable.string()));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    setProcessEnvironment(environment);
  }
  void Start(const std::vector<std::string>& arguments, int resource = -1, rlim_t limit = 0) {
    QStringList list;
    for (const std::string& argument : arguments) list << QString::fromStdString(argument);
    setArguments(list);
    setChildProcessModifier([resource, limit] {
      // Past the file size limit a write fails, as on a full disk.
      signal(SIGXFSZ, SIG_IGN);
      const rlimit value{limit, limit};
      if (resource >= 0) setrlimit(resource, &value);
    });
    start();
  }
  Ended Wait() {
    // A command that ignores its end is killed, and so fails its test.
    if (!waitForFinished(120000)) {
      kill();
      waitForFinished();
    }
    const bool exited = exitStatus() == NormalExit;
    return {exited ? exitCode() : -1, exited ? 0 : exitCode(), readAllStandardOutput().toStdString(),
            readAllStandardError().toStdString()};
  }
};
