#include <sndfile.h>

#include "CommandTesting.h"
#include "MelodySong.h"
#include "ScriptedDialogs.h"

// Settings are built with designated initializers, the traced line being set afterwards.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using SongCommandsTest = CommandTest;

TEST_F(SongCommandsTest, MelodyOptionsBecomeTheSettingsTheWindowsControlsHold) {
  std::vector<std::string> arguments = Words(
      "--from -1.8,0.05 --to 0.35,0.62 --max-iter 500 --measures 3 --tempo 97.5 --levels 4 --scale SCALE --key F#/Gb "
      "--octave 3 --instrument 46 --flattening 110 --julia -0.4,0.6 --out @headless.mid",
      folder.Path());
  *std::find(arguments.begin(), arguments.end(), "SCALE") = "major pentatonic";
  ASSERT_EQ(RunCommand("melody", arguments, out, err), 0) << err.str();
  MelodizerSettings settings{.measures = "3",
                             .tempo = "97.5",
                             .key = 6,
                             .octave = 2,
                             .scaleType = 3,
                             .complexity = 3,
                             .patch = 46,
                             .mountainBar = 110};
  settings.SetRegion(-1.8, 0.05, 0.35, 0.62, 500);
  FractalRenderer renderer;
  renderer.SetFractal(1);
  renderer.SetJuliaPoint(-0.4, 0.6);
  ScriptedDialogs dialogs;
  MIDIFile file(folder.Path(), dialogs);
  const std::string expected = folder.File("expected.mid");
  ASSERT_EQ(WriteMelodySong(file, expected, settings, renderer, ScaleTables()).outcome, SongResult::Outcome::Saved);
  EXPECT_GT(ReadBytes(expected).size(), 300u) << "four levels with a Julia set hold many notes";
  EXPECT_EQ(FirstDifference(ReadBytes(folder.File("headless.mid")), ReadBytes(expected)), "");
}

// 40 orbit notes of a quarter second each at 120 beats per minute, written
// as the four opening events, a note on and off per note and the end; 2
// measures of melody, 17 positions of an eighth of a second, the last note
// held to the end. Audio lasts as long and a little more for the ringing out.
TEST_F(SongCommandsTest, SongsAndTheirAudioLastAsLongAsTheirNotes) {
  ASSERT_EQ(Run("orbit --point -0.1,0.1 --notes 40 --out @orbit.mid"), 0);
  ASSERT_EQ(Run("midi-info @orbit.mid"), 0);
  EXPECT_EQ(out.str(),
            "Format: 1\nTracks: 1\nTicks per quarter note: 64\nTrack 1: 85 events \"Track 1\"\n"
            "Tempo: 120 beats per minute\nDuration: 10 seconds\n");
  ASSERT_EQ(Run("melody --from -0.75,0.1 --to -0.74,0.12 --measures 2 --out @melody.mid"), 0);
  ASSERT_EQ(Run("midi-info @melody.mid"), 0);
  EXPECT_TRUE(out.str().ends_with("\nDuration: 2.125 seconds\n")) << out.str();
  const std::tuple<const char*, int, double> cases[] = {
      {"orbit --point -0.1,0.1 --notes 40 --out @a.ogg", SF_FORMAT_OGG, 10.0},
      {"melody --from -0.75,0.1 --to -0.74,0.12 --measures 2 --out @a.flac", SF_FORMAT_FLAC, 2.125},
      {"play @melody.mid --out @played.wav", SF_FORMAT_WAV, 2.125}};
  for (const auto& [line, format, songSeconds] : cases) {
    SCOPED_TRACE(line);
    ASSERT_EQ(Run(line), 0) << err.str();
    EXPECT_EQ(err.str(), "") << "no progress line when the output is no terminal";
    SF_INFO info{};
    sf_close(sf_open(Words(line, folder.Path()).back().c_str(), SFM_READ, &info));
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, format);
    EXPECT_GE(static_cast<double>(info.frames) / info.samplerate, songSeconds);
    EXPECT_LT(static_cast<double>(info.frames) / info.samplerate, songSeconds + 5.0);
  }
}

}  // namespace
