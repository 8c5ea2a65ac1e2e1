#pragma once

#include <signal.h>
#include <sys/resource.h>

// While alive, no file of this process may grow past `bytes`: a write beyond
// fails with EFBIG as a full disk fails with ENOSPC. It lets the failure
// paths of every save run on any machine, without a small disk to fill.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : previous_(signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    const rlimit limit{bytes, saved_.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  sighandler_t previous_;
  rlimit saved_{};
};
