#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "Commands.h"
#include "Melodizer.h"
#include "MelodizerLists.h"
#include "MemorySurface.h"
#include "Orbiter.h"
#include "RecordingMidiService.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"

namespace {

class NullMelodyView final : public MelodyView {
 public:
  void ClearMelody() override {}
  void DrawMelodyLine(PicturePoint, PicturePoint, std::int32_t) override {}
  void SetMelodyPixel(PicturePoint, std::int32_t) override {}
  void MoveTracerTo(double) override {}
  void EnableTimer(std::int32_t) override {}
  void DisableTimer() override {}
  void SetTimerInterval(std::int32_t) override {}
  void Wait(double) override {}
  void ProcessPendingEvents() override {}
};

class NullOrbiterView final : public OrbiterView {
 public:
  void DrawOrbitStart(OrbitPixel) override {}
  void DrawOrbitStep(OrbitPixel) override {}
  void KeepOriginalPicture() override {}
  void RestoreOriginalPicture() override {}
  void EnableRenderTimer() override { renderTimerOn = true; }
  void DisableRenderTimer() override { renderTimerOn = false; }
  void EnableNoteTimer(std::int32_t) override {}
  void DisableNoteTimer() override {}
  bool renderTimerOn = false;
};

class SongCommandsTest : public ::testing::Test {
 protected:
  int Run(const std::string& command, std::vector<std::string> arguments) {
    errors.str("");
    std::ostringstream out;
    return RunCommand(command, arguments, out, errors);
  }

  // The Melodizer as the main window leaves it after a trace, driven
  // through the same handlers its controls call.
  std::vector<std::uint8_t> SavedByMelodizer(const std::function<void(Melodizer&)>& adjust) {
    NullMelodyView view;
    MidiOutput midiOut(service, dialogs);
    Melodizer melodizer(view, midiOut, dialogs, folder.Path());
    melodizer.Load();
    melodizer.SetRegion(-1.8, 0.05, 0.35, 0.62, 256);
    melodizer.StartMelody(1, false);
    adjust(melodizer);
    const std::string path = folder.File("window-melody" + std::to_string(++saves) + ".mid");
    dialogs.AnswerSaveFile(path);
    melodizer.OnSaveSong();
    melodizer.Unload();
    return ReadBytes(path);
  }

  std::vector<std::uint8_t> SavedByOrbiter(const std::string& real, const std::string& imaginary,
                                           const std::string& answer) {
    NullOrbiterView view;
    MidiOutput midiDevice(service, dialogs);
    Orbiter orbiter(view, midiDevice, dialogs, folder.Path());
    MemorySurface surface(273, 273);
    orbiter.Load(surface);
    while (view.renderTimerOn) orbiter.OnRenderTimerTick();
    orbiter.CurrentTexts().real = real;
    orbiter.OnRealLostFocus();
    orbiter.CurrentTexts().imaginary = imaginary;
    orbiter.OnImaginaryLostFocus();
    const std::string path = folder.File("window-orbit" + std::to_string(++saves) + ".mid");
    dialogs.AnswerSaveFile(path);
    if (!answer.empty()) dialogs.AnswerInput(answer);
    orbiter.OnSaveSong();
    orbiter.Unload();
    return ReadBytes(path);
  }

  TemporaryFolder folder;
  RecordingMidiService service;
  ScriptedDialogs dialogs;
  std::ostringstream errors;
  int saves = 0;
};

TEST_F(SongCommandsTest, MelodyWithDefaultsIsTheWindowsSong) {
  const std::string out = folder.File("headless.mid");
  ASSERT_EQ(Run("melody", {"--from", "-1.8,0.05", "--to", "0.35,0.62", "--out", out}), kExitSuccess)
      << errors.str();
  EXPECT_EQ(FirstDifference(ReadBytes(out), SavedByMelodizer([](Melodizer&) {})), "");
}

TEST_F(SongCommandsTest, MelodyWithEverySettingIsTheWindowsSong) {
  const std::string out = folder.File("headless.mid");
  ASSERT_EQ(Run("melody", {"--from", "-1.8,0.05", "--to", "0.35,0.62", "--max-iter", "500", "--measures", "3",
                           "--tempo", "97.5", "--levels", "4", "--scale", "Major Pentatonic", "--key", "F#/Gb",
                           "--octave", "3", "--instrument", "46", "--flattening", "110", "--julia", "-0.4,0.6",
                           "--out", out}),
            kExitSuccess)
      << errors.str();
  const auto window = SavedByMelodizer([](Melodizer& melodizer) {
    melodizer.rndRenderer.SetFractal(1);
    melodizer.rndRenderer.SetJuliaPoint(-0.4, 0.6);
    MelodizerSettings& controls = melodizer.Controls();
    controls.maxIterations = "500";
    melodizer.OnMaxIterationsLostFocus();
    controls.measures = "3";
    melodizer.OnMeasuresLostFocus();
    controls.tempo = "97.5";
    melodizer.OnTempoLostFocus();
    melodizer.OnListChanged(Melodizer::List::Complexity, FindListItem(kComplexityItems, "4"));
    melodizer.OnListChanged(Melodizer::List::ScaleType, FindListItem(kScaleTypeItems, "Major Pentatonic "));
    melodizer.OnListChanged(Melodizer::List::Key, FindListItem(kKeyItems, "F#/Gb"));
    melodizer.OnListChanged(Melodizer::List::Octave, FindListItem(kOctaveItems, "3"));
    melodizer.OnListChanged(Melodizer::List::Patch, 46);
    melodizer.OnMountainChanged(110);
  });
  EXPECT_EQ(FirstDifference(ReadBytes(out), window), "");
  // Four levels with a Julia set: the song should hold many notes.
  EXPECT_GT(window.size(), 300u);
}

TEST_F(SongCommandsTest, OrbitIsTheWindowsSong) {
  const std::string out = folder.File("headless.mid");
  ASSERT_EQ(Run("orbit", {"--point", "-0.75,0.12", "--out", out}), kExitSuccess) << errors.str();
  EXPECT_EQ(FirstDifference(ReadBytes(out), SavedByOrbiter("-0.75", "0.12", "")), "");
}

TEST_F(SongCommandsTest, ConvergingOrbitTakesTheNotesAsTheQuestionsAnswer) {
  const std::string out = folder.File("headless.mid");
  ASSERT_EQ(Run("orbit", {"--point", "-0.1,0.1", "--notes", "300", "--out", out}), kExitSuccess) << errors.str();
  EXPECT_EQ(FirstDifference(ReadBytes(out), SavedByOrbiter("-0.1", "0.1", "300")), "");
  const std::string byDefault = folder.File("default.mid");
  ASSERT_EQ(Run("orbit", {"--point", "-0.1,0.1", "--out", byDefault}), kExitSuccess) << errors.str();
  EXPECT_EQ(FirstDifference(ReadBytes(byDefault), SavedByOrbiter("-0.1", "0.1", "200")), "");
}

struct BadArguments {
  const char* command;
  std::vector<std::string> arguments;
  const char* mentions;
};

class BadSongArgumentsTest : public SongCommandsTest, public ::testing::WithParamInterface<BadArguments> {};

TEST_P(BadSongArgumentsTest, OneLineOnStandardErrorAndNothingWritten) {
  const std::string out = folder.File("bad.mid");
  std::vector<std::string> arguments = GetParam().arguments;
  arguments.insert(arguments.end(), {"--out", out});
  EXPECT_EQ(Run(GetParam().command, arguments), kExitUsage);
  const std::string message = errors.str();
  EXPECT_NE(message.find(GetParam().mentions), std::string::npos) << message;
  EXPECT_EQ(message.find('\n'), message.size() - 1) << message;
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 0) << "no leftovers";
}

INSTANTIATE_TEST_SUITE_P(
    Commands, BadSongArgumentsTest,
    ::testing::Values(BadArguments{"melody", {"--from", "0,0"}, "--to"},
                      BadArguments{"melody", {"--from", "0,0", "--to", "1,1", "--measures", "2.5"}, "--measures"},
                      BadArguments{"melody", {"--from", "0,0", "--to", "1,1", "--tempo", "29"}, "--tempo"},
                      BadArguments{"melody", {"--from", "0,0", "--to", "1,1", "--scale", "Dorian"}, "--scale"},
                      BadArguments{"melody", {"--from", "0,0", "--to", "1,1", "--octave", "13"}, "--octave"},
                      BadArguments{"melody", {"--from", "0,0", "--to", "1,1", "--instrument", "128"}, "--instrument"},
                      BadArguments{"melody", {"--from", "0,0", "--to", "1,1", "--flattening", "10"}, "--flattening"},
                      BadArguments{"melody", {"--from", "0,0", "--to", "1,1", "--max-iter", "3e9"}, "--max-iter"},
                      BadArguments{"melody", {"--from", "0,0", "--to", "1,1", "--loud"}, "--loud"},
                      BadArguments{"orbit", {"--point", "3,0"}, "--point"},
                      BadArguments{"orbit", {"--point", "0,0", "--notes", "x"}, "--notes"}));

TEST_F(SongCommandsTest, MissingOutputAndUnwritableFolderAreRefused) {
  EXPECT_EQ(Run("orbit", {"--point", "0,0"}), kExitUsage);
  EXPECT_NE(errors.str().find("--out"), std::string::npos);
  const std::string nowhere = folder.File("missing/song.mid");
  EXPECT_EQ(Run("melody", {"--from", "0,0", "--to", "1,1", "--out", nowhere}), kExitUsage);
  EXPECT_NE(errors.str().find("cannot write"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(nowhere));
}

}  // namespace
