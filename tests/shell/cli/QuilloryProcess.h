#pragma once

#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The quillory executable run as a user runs it, from a copy in a folder of
// its own (which is then its program folder, where track files go).
class QuilloryProcess {
 public:
  explicit QuilloryProcess(const std::filesystem::path& programFolder);

  struct Limits {
    std::optional<rlim_t> addressSpace;
    std::optional<rlim_t> fileSize;
  };
  struct Ended {
    int exitCode = -1;       // -1 when ended by a signal
    int signal = 0;
    std::string errors;      // what it wrote to stderr
  };

  // Starts the command; Wait() collects it.
  void Start(const std::vector<std::string>& arguments, const Limits& limits = {});
  // Sends the signal once the command has run for `after`.
  void Interrupt(int signalNumber, std::chrono::milliseconds after);
  Ended Wait();

  Ended Run(const std::vector<std::string>& arguments, const Limits& limits = {}) {
    Start(arguments, limits);
    return Wait();
  }

 private:
  std::filesystem::path executable_;
  int pid_ = -1;
  int errorPipe_ = -1;
};
