#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The quillory executable run as a user runs it, from a copy in a folder of
// its own (which is then its program folder, where track files go), beside
// the desktop program it hands every command but a bitmap render to.
class QuilloryProcess {
 public:
  explicit QuilloryProcess(const std::filesystem::path& programFolder) : executable_(programFolder / "quillory") {
    std::filesystem::create_directories(programFolder);
    const auto overwrite = std::filesystem::copy_options::overwrite_existing;
    std::filesystem::copy_file(QUILLORY_EXECUTABLE, executable_, overwrite);
    std::filesystem::copy_file(QUILLORY_DESKTOP, programFolder / "quillory-desktop", overwrite);
  }

  struct Limits {
    std::optional<rlim_t> addressSpace;
    std::optional<rlim_t> fileSize;
  };
  struct Ended {
    int exitCode = -1;  // -1 when ended by a signal
    int signal = 0;
    std::string errors;
  };

  void Start(std::vector<std::string> arguments, const Limits& limits = {}) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) throw std::runtime_error("pipe");
    arguments.insert(arguments.begin(), executable_.string());
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
      dup2(pipeEnds[1], STDERR_FILENO);
      dup2(open("/dev/null", O_WRONLY), STDOUT_FILENO);
      close(pipeEnds[0]);
      if (limits.addressSpace) Limit(RLIMIT_AS, *limits.addressSpace);
      if (limits.fileSize) {
        signal(SIGXFSZ, SIG_IGN);
        Limit(RLIMIT_FSIZE, *limits.fileSize);
      }
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(pipeEnds[1]);
    errorPipe_ = pipeEnds[0];
  }
  void Interrupt(int signalNumber) const { kill(pid_, signalNumber); }
  Ended Wait() {
    Ended ended;
    char buffer[512];
    for (ssize_t count; (count = read(errorPipe_, buffer, sizeof buffer)) > 0;) ended.errors.append(buffer, count);
    close(errorPipe_);
    int status = 0;
    waitpid(pid_, &status, 0);
    if (WIFEXITED(status)) ended.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) ended.signal = WTERMSIG(status);
    return ended;
  }
  Ended Run(const std::vector<std::string>& arguments, const Limits& limits = {}) {
    Start(arguments, limits);
    return Wait();
  }

 private:
  static void Limit(int resource, rlim_t value) {
    const rlimit limit{value, value};
    setrlimit(resource, &limit);
  }

  std::filesystem::path executable_;
  pid_t pid_ = -1;
  int errorPipe_ = -1;
};
