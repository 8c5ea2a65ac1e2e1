#pragma once

#include <filesystem>
#include <string>

// A tmpfs of a few kilobytes, for saves that meet a really full disk.
// Mounting needs root; Mounted() says whether it worked and Reason() why not.
class SmallDisk {
 public:
  explicit SmallDisk(std::size_t kilobytes);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& Reason() const { return reason_; }
  const std::filesystem::path& Path() const { return path_; }
  // Fills the disk until fewer than `bytes` are free.
  void FillLeaving(std::size_t bytes) const;

 private:
  std::filesystem::path path_;
  bool mounted_ = false;
  std::string reason_;
};
