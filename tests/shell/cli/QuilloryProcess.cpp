#include "QuilloryProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

QuilloryProcess::QuilloryProcess(const std::filesystem::path& programFolder)
    : executable_(programFolder / "quillory") {
  std::filesystem::create_directories(programFolder);
  std::filesystem::copy_file(QUILLORY_EXECUTABLE, executable_, std::filesystem::copy_options::overwrite_existing);
  // The launcher hands every command but a bitmap render to the desktop
  // program beside it.
  std::filesystem::copy_file(QUILLORY_DESKTOP, programFolder / "quillory-desktop",
                             std::filesystem::copy_options::overwrite_existing);
}

void QuilloryProcess::Start(const std::vector<std::string>& arguments, const Limits& limits) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) throw std::runtime_error("pipe");
  std::vector<std::string> all{executable_.string()};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : all) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(pipeEnds[1], STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(pipeEnds[0]);
    if (limits.addressSpace) {
      const rlimit limit{*limits.addressSpace, *limits.addressSpace};
      setrlimit(RLIMIT_AS, &limit);
    }
    if (limits.fileSize) {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{*limits.fileSize, *limits.fileSize};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipeEnds[1]);
  errorPipe_ = pipeEnds[0];
}

void QuilloryProcess::Interrupt(int signalNumber, std::chrono::milliseconds after) {
  std::this_thread::sleep_for(after);
  kill(pid_, signalNumber);
}

QuilloryProcess::Ended QuilloryProcess::Wait() {
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
