#pragma once

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <filesystem>
#include <string>

// A tmpfs of a few kilobytes, for saves that meet a really full disk.
// Mounting needs root; Mounted() says whether it worked.
class SmallDisk {
 public:
  explicit SmallDisk(std::size_t kilobytes)
      : path_(std::filesystem::temp_directory_path() / ("quillory-disk-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(path_);
    const std::string options = "size=" + std::to_string(kilobytes) + "k";
    mounted_ = mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~SmallDisk() {
    if (Mounted()) umount2(path_.c_str(), MNT_DETACH);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Mounted() const { return mounted_; }
  const std::filesystem::path& Path() const { return path_; }

  // Takes all but `bytes` of the free space with a file named "filler".
  void FillLeaving(std::size_t bytes) const {
    struct statvfs status {};
    statvfs(path_.c_str(), &status);
    const int filler = open((path_ / "filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    posix_fallocate(filler, 0, static_cast<off_t>(status.f_bavail * status.f_frsize - bytes));
    close(filler);
  }

 private:
  std::filesystem::path path_;
  bool mounted_ = false;
};
