#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

// The private folder of one MIDIFile's track files, inside the program
// folder: "~quillory-" and six random characters, mode 0700, made on the
// first track and removed with everything in it when the object goes. Its
// owner holds an exclusive lock on it for as long as it lives, which is how
// a later writer tells the folder of a crashed writer from a living one.
class TrackFolder {
 public:
  explicit TrackFolder(std::filesystem::path programFolder);
  ~TrackFolder();
  TrackFolder(const TrackFolder&) = delete;
  TrackFolder& operator=(const TrackFolder&) = delete;

  // A new file of that name in the folder, open for reading and writing,
  // made exclusively and without following a link; -1 with errno set.
  int CreateFile(const std::string& name);
  // Removes the files this object made and the folder.
  void Remove();

  // Removes what earlier writers of this program left in the program
  // folder: the track files "~trk<hex>.tmp" of older versions and the
  // private folders of writers no longer running. Links, other programs'
  // files and living writers' folders are left alone.
  static std::error_code RemoveLeftovers(const std::filesystem::path& programFolder);

 private:
  bool MakeFolder();

  std::filesystem::path programFolder_;
  std::filesystem::path path_;
  int folderDescriptor_ = -1;
  std::vector<std::string> files_;
};
