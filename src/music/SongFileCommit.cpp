#include "SongFileCommit.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace {

// A new empty file beside the destination, readable as an ordinary file
// would be; an empty path when none could be made.
std::filesystem::path MakeSiblingFile(const std::filesystem::path& destination, std::string& error) {
  const std::filesystem::path folder = destination.has_parent_path() ? destination.parent_path() : ".";
  std::string pattern = (folder / ("." + destination.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int descriptor = mkstemp(name.data());
  if (descriptor < 0) {
    error = std::system_category().message(errno);
    return {};
  }
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(descriptor, 0666 & ~mask);
  close(descriptor);
  return std::filesystem::path(name.data());
}

}  // namespace

SongResult CommitSongFile(const std::filesystem::path& destination,
                          const std::function<SongResult(const std::string& fileName)>& write) {
  std::string error;
  const std::filesystem::path temporary = MakeSiblingFile(destination, error);
  if (temporary.empty()) return {SongResult::Outcome::NotCreated, error};
  SongResult result = write(temporary.string());
  std::error_code fileError;
  if (result.outcome == SongResult::Outcome::Saved) {
    std::filesystem::rename(temporary, destination, fileError);
    if (fileError) result = {SongResult::Outcome::Failed, fileError.message()};
  }
  if (result.outcome != SongResult::Outcome::Saved) std::filesystem::remove(temporary, fileError);
  return result;
}
