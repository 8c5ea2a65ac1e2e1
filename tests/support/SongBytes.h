#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

// Standard MIDI File pieces built straight from the file format, so that
// writers and readers are checked against code they share nothing with.
namespace smf {

using Bytes = std::vector<std::uint8_t>;

Bytes Join(std::initializer_list<Bytes> parts);
Bytes Ascii(const std::string& text);
// "MThd", length 6, format 1, track count, division.
Bytes Header(std::uint16_t tracks, std::uint16_t division = 64);
// "MTrk", the length of data, data.
Bytes Track(const Bytes& data);
inline const Bytes kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};

}  // namespace smf

// The bytes a song file of the program must hold.
class ExpectedSong {
 public:
  // The opening events every song of the program starts with.
  ExpectedSong(int patch, int microsecondsPerQuarter);

  ExpectedSong& NoteOn(std::uint32_t delta, int note, int velocity);
  ExpectedSong& NoteOff(std::uint32_t delta, int note);
  // The whole file: header, then the one track chunk ending after `delta`.
  std::vector<std::uint8_t> File(std::uint32_t delta = 0) const;

 private:
  ExpectedSong& Event(std::uint32_t delta, const smf::Bytes& bytes);
  std::vector<std::uint8_t> track_;
};

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
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
