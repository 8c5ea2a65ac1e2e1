#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Builds the bytes a song file must hold, straight from the file format, so
// the song writers are checked against something they do not share code with.
class ExpectedSong {
 public:
  // The opening events every song of the program starts with.
  ExpectedSong(int patch, int microsecondsPerQuarter);

  ExpectedSong& NoteOn(std::uint32_t delta, int note, int velocity);
  ExpectedSong& NoteOff(std::uint32_t delta, int note);
  // The whole file: header, then the one track chunk ending after `delta`.
  std::vector<std::uint8_t> File(std::uint32_t delta = 0) const;

 private:
  void VarLen(std::uint32_t value);
  std::vector<std::uint8_t> track_;
};

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
// Empty when the two files are equal, otherwise where they part.
std::string FirstDifference(const std::vector<std::uint8_t>& actual, const std::vector<std::uint8_t>& expected);

// A folder of its own for one test, removed afterwards.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};
