#pragma once

#include <atomic>
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
// Three ways to fill it: Write() the bytes in order; size it with Resize()
// and fill it with WriteAt(), from several threads at once if need be; or
// let another writer fill TemporaryPath() by name. Commit() with the size
// the file should have when it was not written in order.
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

  // Sets the file's size; what it gains reads as zeros, and the disk space
  // for it is claimed now where the file system allows, so that a full disk
  // shows before the bytes are made rather than after.
  bool Resize(std::uint64_t size);
  // Writes at `offset`. Calls for ranges that do not overlap may come from
  // several threads at once, though not alongside the other calls. A failure
  // leaves the file in place until Commit() or Discard(), which the other
  // threads may still be writing to; every later call fails with it.
  bool WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);
  // Reads back what the file holds at `offset`; as safe as WriteAt() among
  // threads, for ranges no thread is writing.
  bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> bytes);
  // Lets the disk start on the bytes so far, so that the sync in Commit()
  // finds less to wait for. Only a hint: it never fails the save.
  void StartWriteBack(std::uint64_t offset, std::uint64_t length);
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
  bool FailPositioned(int errorNumber);

  std::filesystem::path destination_;
  std::filesystem::path temporary_;
  int descriptor_ = -1;
  std::uint64_t written_ = 0;
  std::string error_;
  int errorNumber_ = 0;
  // The first failure of a positioned call, which may run on any thread.
  std::atomic<int> positionedError_{0};
};

// The whole save in one call; the error description on failure.
std::optional<std::string> SaveFileSafely(const std::filesystem::path& destination,
                                          std::span<const std::uint8_t> bytes);
