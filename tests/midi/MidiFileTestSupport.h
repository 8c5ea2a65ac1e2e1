#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A fresh, empty folder per test, removed again afterwards.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // Names of the files in the folder, sorted.
  std::vector<std::string> FileNames() const;

 private:
  std::filesystem::path path_;
};

Bytes ReadAllBytes(const std::filesystem::path& path);
void WriteAllBytes(const std::filesystem::path& path, const Bytes& bytes);
Bytes AsciiBytes(const std::string& text);
// Concatenation, so that expected files read as their parts.
Bytes Join(std::initializer_list<Bytes> parts);
