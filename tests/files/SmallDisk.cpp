#include "SmallDisk.h"

#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

SmallDisk::SmallDisk(std::size_t kilobytes)
    : path_(std::filesystem::temp_directory_path() / ("quillory-disk-" + std::to_string(getpid()))) {
  std::filesystem::create_directories(path_);
  const std::string options = "size=" + std::to_string(kilobytes) + "k";
  mounted_ = mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) == 0;
  if (!mounted_) reason_ = std::string("cannot mount a small tmpfs: ") + std::strerror(errno);
}

SmallDisk::~SmallDisk() {
  if (mounted_) umount2(path_.c_str(), MNT_DETACH);
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void SmallDisk::FillLeaving(std::size_t bytes) const {
  std::ofstream filler(path_ / "filler", std::ios::binary);
  const std::vector<char> block(512, 'f');
  for (;;) {
    struct statvfs status {};
    statvfs(path_.c_str(), &status);
    if (status.f_bavail * status.f_frsize < bytes + block.size()) break;
    filler.write(block.data(), static_cast<std::streamsize>(block.size()));
    filler.flush();
    if (!filler) break;
  }
}
