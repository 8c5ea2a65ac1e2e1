#include "SafeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>
#include <utility>

#include "InterruptCleanup.h"

namespace {

// Moves every byte with a positioned read or write, resuming after short
// transfers and interruptions; the errno that stopped it, or 0. A transfer
// of nothing means no progress is possible: `stalled` names why.
template <typename Byte, typename Transfer>
int TransferAll(const Transfer& transfer, std::uint64_t offset, std::span<Byte> bytes, int stalled) {
  while (!bytes.empty()) {
    const ssize_t count = transfer(bytes.data(), bytes.size(), static_cast<off_t>(offset));
    if (count < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (count == 0) return stalled;
    bytes = bytes.subspan(static_cast<std::size_t>(count));
    offset += static_cast<std::uint64_t>(count);
  }
  return 0;
}

constexpr int kNameAttempts = 100;

std::string ErrorText(int number) { return std::generic_category().message(number); }

// A link as destination is followed, so the file it names is the one saved
// and the link itself survives.
std::filesystem::path ResolveDestination(const std::filesystem::path& destination) {
  std::error_code error;
  if (!std::filesystem::is_symlink(destination, error)) return destination;
  const std::filesystem::path target = std::filesystem::weakly_canonical(destination, error);
  return error ? destination : target;
}

std::string RandomSuffix(std::mt19937_64& generator) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string suffix(6, 'x');
  for (char& letter : suffix) letter = kLetters[generator() % (sizeof kLetters - 1)];
  return suffix;
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

}  // namespace

SafeFileWriter::SafeFileWriter(std::filesystem::path destination)
    : destination_(ResolveDestination(destination)) {}

SafeFileWriter::~SafeFileWriter() { Discard(); }

bool SafeFileWriter::Open() {
  Discard();
  error_.clear();
  errorNumber_ = 0;
  written_ = 0;
  positionedError_.store(0);
  struct stat existing {};
  const bool exists = stat(destination_.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return Fail(EISDIR);

  std::mt19937_64 generator(std::random_device{}() ^ static_cast<std::uint64_t>(getpid()));
  const std::filesystem::path folder = FolderOf(destination_);
  std::string stem = destination_.filename().string();
  stem.insert(stem.begin(), '.');
  stem.push_back('.');
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::filesystem::path candidate = folder / (stem + RandomSuffix(generator));
    // O_EXCL refuses any existing name, a planted link included.
    descriptor_ = open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor_ >= 0) {
      temporary_ = candidate;
      InterruptCleanup::Register(temporary_);
      // The new file keeps the permissions the user gave the old one.
      if (exists) fchmod(descriptor_, existing.st_mode & 07777);
      return true;
    }
    if (errno != EEXIST) return Fail(errno);
  }
  return Fail(EEXIST);
}

bool SafeFileWriter::Write(std::span<const std::uint8_t> bytes) {
  if (descriptor_ < 0) return Fail(error_.empty() ? std::string(ErrorText(EBADF)) : error_);
  if (const int failure = positionedError_.load()) return Fail(failure);
  while (!bytes.empty()) {
    const ssize_t count = write(descriptor_, bytes.data(), bytes.size());
    if (count < 0) {
      if (errno == EINTR) continue;
      return Fail(errno);
    }
    // A write that stores nothing is a full disk that did not say so.
    if (count == 0) return Fail(ENOSPC);
    bytes = bytes.subspan(static_cast<std::size_t>(count));
    written_ += static_cast<std::uint64_t>(count);
  }
  return true;
}

bool SafeFileWriter::Resize(std::uint64_t size) {
  if (descriptor_ < 0) return Fail(error_.empty() ? std::string(ErrorText(EBADF)) : error_);
  if (const int failure = positionedError_.load()) return Fail(failure);
  if (ftruncate(descriptor_, static_cast<off_t>(size)) != 0) return Fail(errno);
  // File systems that cannot reserve space find out at the writes instead.
  if (size > 0 && fallocate(descriptor_, 0, 0, static_cast<off_t>(size)) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS)
    return Fail(errno);
  return true;
}

bool SafeFileWriter::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  if (descriptor_ < 0) return FailPositioned(EBADF);
  if (positionedError_.load(std::memory_order_relaxed) != 0) return false;
  const auto write = [this](const std::uint8_t* data, std::size_t size, off_t at) {
    return pwrite(descriptor_, data, size, at);
  };
  const int error = TransferAll(write, offset, bytes, ENOSPC);
  return error == 0 || FailPositioned(error);
}

bool SafeFileWriter::ReadAt(std::uint64_t offset, std::span<std::uint8_t> bytes) {
  if (descriptor_ < 0) return FailPositioned(EBADF);
  if (positionedError_.load(std::memory_order_relaxed) != 0) return false;
  const auto read = [this](std::uint8_t* data, std::size_t size, off_t at) {
    return pread(descriptor_, data, size, at);
  };
  // Past the end: the file was never sized for this.
  const int error = TransferAll(read, offset, bytes, EIO);
  return error == 0 || FailPositioned(error);
}

void SafeFileWriter::StartWriteBack(std::uint64_t offset, std::uint64_t length) {
  if (descriptor_ >= 0 && length > 0)
    sync_file_range(descriptor_, static_cast<off_t>(offset), static_cast<off_t>(length), SYNC_FILE_RANGE_WRITE);
}

bool SafeFileWriter::FailPositioned(int errorNumber) {
  int none = 0;
  positionedError_.compare_exchange_strong(none, errorNumber);
  return false;
}

bool SafeFileWriter::Commit(std::optional<std::uint64_t> expectedSize) {
  if (descriptor_ < 0) return Fail(error_.empty() ? std::string(ErrorText(EBADF)) : error_);
  if (const int failure = positionedError_.load()) return Fail(failure);
  if (fsync(descriptor_) != 0) return Fail(errno);
  struct stat written {};
  if (fstat(descriptor_, &written) != 0) return Fail(errno);
  const std::uint64_t wanted = expectedSize.value_or(written_);
  if (static_cast<std::uint64_t>(written.st_size) != wanted)
    return Fail("the file holds " + std::to_string(written.st_size) + " of its " + std::to_string(wanted) +
                " bytes");
  const int descriptor = std::exchange(descriptor_, -1);
  if (close(descriptor) != 0) return Fail(errno);
  if (rename(temporary_.c_str(), destination_.c_str()) != 0) return Fail(errno);
  InterruptCleanup::Unregister(temporary_);
  temporary_.clear();
  if (!SyncFolder()) return Fail(errno);
  return true;
}

void SafeFileWriter::Discard() {
  if (descriptor_ >= 0) close(std::exchange(descriptor_, -1));
  if (!temporary_.empty()) {
    unlink(temporary_.c_str());
    InterruptCleanup::Unregister(temporary_);
    temporary_.clear();
  }
}

bool SafeFileWriter::SyncFolder() const {
  const int folder = open(FolderOf(destination_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return false;
  // Some file systems cannot sync a folder; the rename is done all the same.
  const bool synced = fsync(folder) == 0 || errno == EINVAL || errno == ENOTSUP;
  const int savedError = errno;
  close(folder);
  errno = savedError;
  return synced;
}

bool SafeFileWriter::Fail(int errorNumber) {
  if (error_.empty()) errorNumber_ = errorNumber;
  return Fail(ErrorText(errorNumber));
}

bool SafeFileWriter::Fail(std::string description) {
  if (error_.empty()) {
    error_ = std::move(description);
    if (errorNumber_ == 0) errorNumber_ = EIO;
  }
  Discard();
  return false;
}

std::optional<std::string> SaveFileSafely(const std::filesystem::path& destination,
                                          std::span<const std::uint8_t> bytes) {
  SafeFileWriter writer(destination);
  if (writer.Open() && writer.Write(bytes) && writer.Commit()) return std::nullopt;
  return writer.Error();
}
