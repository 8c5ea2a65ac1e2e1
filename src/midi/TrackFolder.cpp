#include "TrackFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <utility>

#include "InterruptCleanup.h"

namespace {

constexpr const char* kFolderPrefix = "~quillory-";
constexpr std::size_t kFolderSuffixLength = 6;

bool IsTrackFileName(const std::string& name) {
  if (!name.starts_with("~trk") || !name.ends_with(".tmp") || name.size() <= 8) return false;
  for (std::size_t i = 4; i < name.size() - 4; ++i)
    if (!std::isxdigit(static_cast<unsigned char>(name[i])) || std::islower(static_cast<unsigned char>(name[i])))
      return false;
  return true;
}

bool IsTrackFolderName(const std::string& name) {
  return name.starts_with(kFolderPrefix) && name.size() == std::char_traits<char>::length(kFolderPrefix) + kFolderSuffixLength;
}

// The entry itself, never what a link points to.
bool IsOwnEntry(const std::filesystem::path& path, mode_t type) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0 && (status.st_mode & S_IFMT) == type && status.st_uid == geteuid();
}

std::error_code LastError() { return {errno, std::generic_category()}; }

// Empties and removes a private folder when no writer holds its lock.
std::error_code RemoveAbandonedFolder(const std::filesystem::path& folder) {
  const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (descriptor < 0) return errno == ENOENT ? std::error_code{} : LastError();
  std::error_code result;
  if (flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
    std::error_code listing;
    for (const auto& entry : std::filesystem::directory_iterator(folder, listing)) {
      const std::string name = entry.path().filename().string();
      if (IsTrackFileName(name) && IsOwnEntry(entry.path(), S_IFREG) && unlink(entry.path().c_str()) != 0 &&
          errno != ENOENT)
        result = LastError();
    }
    // Anything else in it keeps the folder: it is not ours to delete.
    if (!result && rmdir(folder.c_str()) != 0 && errno != ENOENT && errno != ENOTEMPTY && errno != EEXIST)
      result = LastError();
  }
  close(descriptor);
  return result;
}

}  // namespace

TrackFolder::TrackFolder(std::filesystem::path programFolder) : programFolder_(std::move(programFolder)) {}

TrackFolder::~TrackFolder() { Remove(); }

bool TrackFolder::MakeFolder() {
  // A writer cleaning up may remove a folder in the moment between its
  // making and its locking; such a folder is gone (no links left) and
  // another is made.
  for (;;) {
    std::string pattern = (programFolder_ / (std::string(kFolderPrefix) + "XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) return false;
    const int descriptor = open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) {
      if (errno == ENOENT) continue;
      return false;
    }
    struct stat status {};
    if (flock(descriptor, LOCK_EX) != 0 || fstat(descriptor, &status) != 0) {
      const int error = errno;
      close(descriptor);
      rmdir(pattern.c_str());
      errno = error;
      return false;
    }
    if (status.st_nlink == 0) {
      close(descriptor);
      continue;
    }
    folderDescriptor_ = descriptor;
    path_ = pattern;
    InterruptCleanup::Register(path_);
    return true;
  }
}

int TrackFolder::CreateFile(const std::string& name) {
  if (folderDescriptor_ < 0 && !MakeFolder()) return -1;
  // A song started anew reuses its track names; the old files are this
  // object's own, in its own folder.
  const bool reused = std::find(files_.begin(), files_.end(), name) != files_.end();
  if (reused) unlinkat(folderDescriptor_, name.c_str(), 0);
  const int descriptor = openat(folderDescriptor_, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (descriptor < 0) return -1;
  if (!reused) {
    files_.push_back(name);
    InterruptCleanup::Register(path_ / name);
  }
  return descriptor;
}

void TrackFolder::Remove() {
  if (folderDescriptor_ < 0) return;
  for (const std::string& name : files_) {
    unlinkat(folderDescriptor_, name.c_str(), 0);
    InterruptCleanup::Unregister(path_ / name);
  }
  files_.clear();
  rmdir(path_.c_str());
  InterruptCleanup::Unregister(path_);
  close(std::exchange(folderDescriptor_, -1));
  path_.clear();
}

std::error_code TrackFolder::RemoveLeftovers(const std::filesystem::path& programFolder) {
  std::error_code error;
  std::filesystem::directory_iterator entries(programFolder, error);
  if (error) return {};  // no folder, nothing left over
  std::error_code first;
  for (; entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    const std::filesystem::path path = entries->path();
    const std::string name = path.filename().string();
    std::error_code result;
    if (IsTrackFileName(name) && IsOwnEntry(path, S_IFREG)) {
      if (unlink(path.c_str()) != 0 && errno != ENOENT) result = LastError();
    } else if (IsTrackFolderName(name) && IsOwnEntry(path, S_IFDIR)) {
      result = RemoveAbandonedFolder(path);
    }
    if (result && !first) first = result;
  }
  // A listing that fails part way ends as the end of the folder would; what
  // was not seen may still be lying there, so the caller is told.
  return first ? first : error;
}
