#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "SongSave.h"

// Writes a song so that the destination holds either the complete new file
// or whatever it held before: the song goes to a fresh file beside the
// destination, which replaces the destination only once the song is saved.
// For callers without a user to ask, such as the headless commands. When
// no file can be made beside the destination the result is NotCreated with
// the reason in its error.
SongResult CommitSongFile(const std::filesystem::path& destination,
                          const std::function<SongResult(const std::string& fileName)>& write);
