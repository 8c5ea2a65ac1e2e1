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
class QuilloryProcess {
 public:
  struct Ended {
    int exitCode = -1;  // -1 when ended by a signal
    int signal = 0;
    std::string errors;
  };

  explicit QuilloryProcess(const std::filesystem::path& executable) {
    process_.setProgram(QString::fromStdString(executable.string()));
    process_.setStandardOutputFile(QProcess::nullDevice());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process_.setProcessEnvironment(environment);
  }
  void Start(const std::vector<std::string>& arguments, int resource = -1, rlim_t limit = 0) {
    QStringList list;
    for (const std::string& argument : arguments) list << QString::fromStdString(argument);
    process_.setArguments(list);
    process_.setChildProcessModifier([resource, limit] {
      // Past the file size limit a write fails, as on a full disk.
      signal(SIGXFSZ, SIG_IGN);
      const rlimit value{limit, limit};
      if (resource >= 0) setrlimit(resource, &value);
    });
    process_.start();
  }
  void Interrupt(int signalNumber) const { kill(static_cast<pid_t>(process_.processId()), signalNumber); }
  Ended Wait() {
    process_.waitForFinished(-1);
    const bool exited = process_.exitStatus() == QProcess::NormalExit;
    return {exited ? process_.exitCode() : -1, exited ? 0 : process_.exitCode(),
            process_.readAllStandardError().toStdString()};
  }
  Ended Run(const std::vector<std::string>& arguments, int resource = -1, rlim_t limit = 0) {
    Start(arguments, resource, limit);
    return Wait();
  }

 private:
  QProcess process_;
};
