#include "InterruptCleanup.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstring>

namespace {

// A song writer holds one output file, a private folder and up to 33 track
// files; a few writers at once fit easily.
constexpr int kSlots = 256;

enum SlotState : int { kFree, kClaimed, kUsed };

struct Slot {
  // Claimed while its path is being written, so the handler never reads half a path.
  std::atomic<int> state{kFree};
  char path[PATH_MAX];
};

Slot slots[kSlots];

void RemoveRegistered(int signalNumber) {
  for (int i = kSlots - 1; i >= 0; --i) {
    if (slots[i].state.load() != kUsed) continue;
    // A folder refuses unlink and a file refuses rmdir, so trying both is safe.
    if (unlink(slots[i].path) != 0) rmdir(slots[i].path);
  }
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

}  // namespace

namespace InterruptCleanup {

void Install() {
  struct sigaction action {};
  action.sa_handler = RemoveRegistered;
  sigemptyset(&action.sa_mask);
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaction(signalNumber, &action, nullptr);
}

void Register(const std::filesystem::path& path) {
  const std::string& text = path.native();
  if (text.size() >= PATH_MAX) return;
  for (Slot& slot : slots) {
    int expected = kFree;
    if (!slot.state.compare_exchange_strong(expected, kClaimed)) continue;
    std::memcpy(slot.path, text.c_str(), text.size() + 1);
    slot.state.store(kUsed);
    return;
  }
}

void Unregister(const std::filesystem::path& path) {
  for (Slot& slot : slots)
    if (slot.state.load() == kUsed && path.native() == slot.path) {
      slot.state.store(kFree);
      return;
    }
}

int RegisteredCount() {
  int count = 0;
  for (const Slot& slot : slots) count += slot.state.load() == kUsed ? 1 : 0;
  return count;
}

}  // namespace InterruptCleanup
