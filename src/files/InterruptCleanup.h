#pragma once

#include <filesystem>

// Temporary files and folders that an interrupted command must not leave
// behind. Writers register what they create and unregister it once it is
// renamed or removed; after Install(), SIGINT, SIGTERM and SIGHUP remove
// whatever is still registered (files, then folders, newest first) and then
// end the process as the signal would have.
//
// The list is process-wide because a signal handler can reach nothing else;
// it is fixed-size and lock-free so the handler stays async-signal-safe.
namespace InterruptCleanup {

void Install();
void Register(const std::filesystem::path& path);
void Unregister(const std::filesystem::path& path);
// How many paths are registered now; for tests.
int RegisteredCount();

}  // namespace InterruptCleanup
