#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Commands.h"
#include "SongBytes.h"

// The commands' audio output: orbit and melody to .wav/.flac/.ogg, play
// --out for any MIDI file, and what they refuse.
namespace {

namespace fs = std::filesystem;

struct AudioInfo {
  int format = 0;
  double seconds = -1.0;
};

AudioInfo Inspect(const fs::path& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return {};
  sf_close(file);
  return {info.format & SF_FORMAT_TYPEMASK, static_cast<double>(info.frames) / info.samplerate};
}

class AudioCommandsTest : public testing::Test {
 protected:
  int Run(const std::string& name, std::vector<std::string> arguments) {
    out.str("");
    err.str("");
    return RunCommand(name, arguments, out, err);
  }

  TemporaryFolder folder;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(AudioCommandsTest, SongsLastAsLongAsTheirNotesPlusTheRingingOut) {
  // 40 orbit notes of a quarter second each; 2 measures of melody, 17
  // positions of an eighth of a second, the last note held to the end.
  const std::tuple<const char*, std::vector<std::string>, int, double> cases[] = {
      {"orbit.wav", {"orbit", "--point", "-0.1,0.1", "--notes", "40"}, SF_FORMAT_WAV, 10.0},
      {"orbit.ogg", {"orbit", "--point", "-0.1,0.1", "--notes", "40"}, SF_FORMAT_OGG, 10.0},
      {"melody.flac", {"melody", "--from", "-0.75,0.1", "--to", "-0.74,0.12", "--measures", "2"}, SF_FORMAT_FLAC, 2.125},
  };
  for (const auto& [name, command, format, songSeconds] : cases) {
    SCOPED_TRACE(name);
    std::vector<std::string> arguments(command.begin() + 1, command.end());
    arguments.insert(arguments.end(), {"--out", folder.File(name)});
    ASSERT_EQ(Run(command[0], arguments), kExitSuccess) << err.str();
    EXPECT_EQ(err.str(), "") << "no progress line when the output is no terminal";
    const AudioInfo audio = Inspect(folder.File(name));
    EXPECT_EQ(audio.format, format);
    EXPECT_GE(audio.seconds, songSeconds);
    EXPECT_LT(audio.seconds, songSeconds + 5.0);
  }
}

TEST_F(AudioCommandsTest, PlayRendersAnyMidiFileAndTheLengthAgreesWithMidiInfo) {
  ASSERT_EQ(Run("orbit", {"--point", "-0.1,0.1", "--notes", "12", "--out", folder.File("song.mid")}), kExitSuccess);
  ASSERT_EQ(Run("midi-info", {folder.File("song.mid")}), kExitSuccess);
  // The four opening events, a note on and off per note, the end: 4 + 2 x 12 + 1.
  EXPECT_THAT(out.str(), testing::HasSubstr("Track 1: 29 events \"Track 1\"\nTempo: 120 beats per minute\n"
                                            "Duration: 3 seconds\n"));
  ASSERT_EQ(Run("play", {folder.File("song.mid"), "--out", folder.File("song.wav")}), kExitSuccess) << err.str();
  const AudioInfo audio = Inspect(folder.File("song.wav"));
  EXPECT_EQ(audio.format, SF_FORMAT_WAV);
  EXPECT_GE(audio.seconds, 3.0);
  EXPECT_LT(audio.seconds, 8.0);
}

TEST_F(AudioCommandsTest, RefusalsWriteNothing) {
  std::ofstream(folder.File("text.mid")) << "no song";
  const std::tuple<const char*, std::vector<std::string>, int, const char*> cases[] = {
      {"play", {}, kExitUsage, "give one MIDI file first"},
      {"play", {folder.File("a.mid"), "--out", folder.File("a.mp3")}, kExitUsage, "must name a .wav, .flac or .ogg"},
      {"play", {folder.File("a.mid"), "--speed", "2"}, kExitUsage, "unknown option: --speed"},
      {"play", {folder.File("missing.mid"), "--out", folder.File("a.wav")}, kExitFailure, "cannot be opened"},
      {"play", {folder.File("text.mid"), "--out", folder.File("a.wav")}, kExitFailure, "is not a Standard MIDI File"},
      {"orbit", {"--point", "0.3,0.5", "--out", folder.File("gone/a.flac")}, kExitFailure, "cannot write"},
  };
  for (const auto& [name, arguments, code, message] : cases) {
    SCOPED_TRACE(message);
    EXPECT_EQ(Run(name, arguments), code);
    EXPECT_THAT(err.str(), testing::HasSubstr(message));
  }
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(folder.Path())) left.push_back(entry.path().filename().string());
  EXPECT_THAT(left, testing::ElementsAre("text.mid"));
}

}  // namespace
