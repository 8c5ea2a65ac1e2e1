#pragma once

#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

// A tmpfs of a few kilobytes, for saves that meet a really full disk.
// Mounting needs root; Mounted() says whether it worked and Reason() why not.
class SmallDisk {
 public:
  explicit SmallDisk(std::size_t kilobytes)
      : path_(std::filesystem::temp_directory_path() / ("quillory-disk-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(path_);
    const std::string options = "size=" + std::to_string(kilobytes) + "k";
    mounted_ = mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    if (!mounted_) reason_ = std::string("cannot mount a small tmpfs: ") + std::strerror(errno);
  }
  ~SmallDisk() {
    if (mounted_) umount2(path_.c_str(), MNT_DETACH);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& Reason() const { return reason_; }
  const std::filesystem::path& Path() const { return path_; }

  // Fills the disk with a file named "filler" until fewer than `bytes` are free.
  void FillLeaving(std::size_t bytes) const {
    std::ofstream filler(path_ / "filler", std::ios::binary);
    const std::string block(512, 'f');
    for (struct statvfs status {}; statvfs(path_.c_str(), &status) == 0 && filler;) {
      if (status.f_bavail * status.f_frsize < bytes + block.size()) break;
      filler << block << std::flush;
    }
  }

 private:
  std::filesystem::path path_;
  bool mounted_ = false;
  std::string reason_;
};
