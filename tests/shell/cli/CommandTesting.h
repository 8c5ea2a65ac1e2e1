#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"
#include "SongBytes.h"

// "@name" in a command line or a message names a file in `folder`.
inline std::string Expand(std::string text, const std::filesystem::path& folder) {
  if (const auto at = text.find('@'); at != std::string::npos) text.replace(at, 1, folder.string() + "/");
  return text;
}

// A command line as a user types it, split at spaces.
inline std::vector<std::string> Words(const std::string& line, const std::filesystem::path& folder) {
  std::vector<std::string> words;
  std::istringstream stream(line);
  for (std::string word; stream >> word;) words.push_back(Expand(word, folder));
  return words;
}

// Every entry of a folder with its bytes (a folder as "/"), to see that
// nothing changed.
inline std::map<std::string, std::vector<std::uint8_t>> Contents(const std::filesystem::path& folder) {
  std::map<std::string, std::vector<std::uint8_t>> contents;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    contents[entry.path().filename().string()] =
        entry.is_regular_file() ? ReadBytes(entry.path()) : std::vector<std::uint8_t>{'/'};
  return contents;
}

// A command run in this process, with a folder of its own for its files.
class CommandTest : public testing::Test {
 protected:
  int Run(const std::string& line) {
    out.str("");
    err.str("");
    const std::vector<std::string> words = Words(line, folder.Path());
    return RunCommand(words.front(), {words.begin() + 1, words.end()}, out, err);
  }

  TemporaryFolder folder;
  std::ostringstream out;
  std::ostringstream err;
};
