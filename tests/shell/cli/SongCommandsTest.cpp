#include <gmock/gmock.h>
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
  MelodizerSettings settings{.measures = "3", .tempo = "97.5", .key = 6, .octave = 2, .scaleType = 3,
                             .complexity = 3, .patch = 46, .mountainBar = 110};
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

TEST_F(SongCommandsTest, MidiInfoDescribesAFileTheWriterMade) {
  ScriptedDialogs dialogs;
  {
    MIDIFile song(folder.Path(), dialogs);
    ASSERT_TRUE(song.CreateNewMidiFile(folder.File("song.mid")));
    ASSERT_TRUE(song.WriteMetaEventTrackName(0, "Track 1"));
    ASSERT_TRUE(song.WriteEventNoteOn(2, 0, 60, 100));
    ASSERT_TRUE(song.WriteMetaEventWait(1));
    ASSERT_TRUE(song.WriteEventNoteOff(2, 0, 60));
    ASSERT_TRUE(song.WriteMidiFile());
  }
  ASSERT_EQ(Run("midi-info @song.mid"), 0) << err.str();
  // Track 1 holds its name and its end; track 2 (track number 2 of the
  // writer, the second chunk) the note and its end.
  EXPECT_EQ(out.str(),
            "Format: 1\nTracks: 2\nTicks per quarter note: 64\n"
            "Track 1: 2 events \"Track 1\"\nTrack 2: 3 events\n"
            "Tempo: 120 beats per minute\nDuration: 0.5 seconds\n");
}

// 40 orbit notes of a quarter second each; 2 measures of melody, 17
// positions of an eighth of a second, the last note held to the end.
TEST_F(SongCommandsTest, AudioLastsAsLongAsTheNotesPlusTheRingingOut) {
  ASSERT_EQ(Run("orbit --point -0.1,0.1 --notes 40 --out @orbit.mid"), 0);
  ASSERT_EQ(Run("midi-info @orbit.mid"), 0);
  // The four opening events, a note on and off per note, the end.
  EXPECT_THAT(out.str(), testing::HasSubstr("Track 1: 85 events \"Track 1\"\nTempo: 120 beats per minute\n"
                                            "Duration: 10 seconds\n"));
  const std::tuple<const char*, int, double> cases[] = {
      {"orbit --point -0.1,0.1 --notes 40 --out @a.wav", SF_FORMAT_WAV, 10.0},
      {"orbit --point -0.1,0.1 --notes 40 --out @a.ogg", SF_FORMAT_OGG, 10.0},
      {"melody --from -0.75,0.1 --to -0.74,0.12 --measures 2 --out @a.flac", SF_FORMAT_FLAC, 2.125},
      {"play @orbit.mid --out @played.wav", SF_FORMAT_WAV, 10.0},
  };
  for (const auto& [line, format, songSeconds] : cases) {
    SCOPED_TRACE(line);
    ASSERT_EQ(Run(line), 0) << err.str();
    EXPECT_EQ(err.str(), "") << "no progress line when the output is no terminal";
    SF_INFO info{};
    SNDFILE* file = sf_open(Words(line, folder.Path()).back().c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    sf_close(file);
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, format);
    EXPECT_GE(static_cast<double>(info.frames) / info.samplerate, songSeconds);
    EXPECT_LT(static_cast<double>(info.frames) / info.samplerate, songSeconds + 5.0);
  }
}

}  // namespace
