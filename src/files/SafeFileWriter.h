#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

// Saves a file so that its destination holds either the complete new file or
// exactly what it held before. The bytes go to a fresh file beside the
// destination (a unique hidden name, created exclusively, no link followed);
// every write is checked, the file is synced and its size checked, and only
// then is it renamed over the destination and the folder synced. On any
// failure the fresh file is removed and the destination is untouched.
//
// Two ways to fill it: Write() the bytes, or let another writer fill
// TemporaryPath() by name and Commit() with the size it should have.
// Error() is the platform's description of the first failure.
class SafeFileWriter {
 public:
  explicit SafeFileWriter(std::filesystem::path destination);
  ~SafeFileWriter();
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Makes the fresh file. Refuses a destination that is a folder.
  bool Open();
  bool Write(std::span<const std::uint8_t> bytes);
  // Without expectedSize the file must hold exactly the bytes written.
  bool Commit(std::optional<std::uint64_t> expectedSize = std::nullopt);
  // Removes the fresh file; the destination stays as it was.
  void Discard();

  const std::filesystem::path& TemporaryPath() const { return temporary_; }
  const std::string& Error() const { return error_; }
  // The platform's error number of that failure; EIO for one it has none for.
  int ErrorNumber() const { return errorNumber_; }

 private:
  bool Fail(int errorNumber);
  bool Fail(std::string description);
  bool SyncFolder() const;

  std::filesystem::path destination_;
  std::filesystem::path temporary_;
  int descriptor_ = -1;
  std::uint64_t written_ = 0;
  std::string error_;
  int errorNumber_ = 0;
};

// The whole save in one call; the error description on failure.
std::optional<std::string> SaveFileSafely(const std::filesystem::path& destination,
                                          std::span<const std::uint8_t> bytes);
