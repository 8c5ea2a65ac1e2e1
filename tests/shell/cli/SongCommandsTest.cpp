#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "Commands.h"
#include "MelodySong.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"

// Settings are built with designated initializers, the traced line being set afterwards.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

class SongCommandsTest : public ::testing::Test {
 protected:
  int Run(const std::string& command, std::vector<std::string> arguments) {
    errors.str("");
    std::ostringstream out;
    return RunCommand(command, arguments, out, errors);
  }

  TemporaryFolder folder;
  std::ostringstream errors;
};

TEST_F(SongCommandsTest, MelodyOptionsBecomeTheSettingsTheWindowsControlsHold) {
  const std::string out = folder.File("headless.mid");
  ASSERT_EQ(Run("melody", {"--from", "-1.8,0.05", "--to", "0.35,0.62", "--max-iter", "500", "--measures", "3",
                           "--tempo", "97.5", "--levels", "4", "--scale", "Major Pentatonic", "--key", "F#/Gb",
                           "--octave", "3", "--instrument", "46", "--flattening", "110", "--julia", "-0.4,0.6",
                           "--out", out}),
            kExitSuccess)
      << errors.str();
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
  EXPECT_EQ(FirstDifference(ReadBytes(out), ReadBytes(expected)), "");
}

TEST_F(SongCommandsTest, BadArgumentsGiveOneLineOnStandardErrorAndWriteNothing) {
  const std::vector<std::string> line{"--from", "0,0", "--to", "1,1"};
  const auto melody = [&](std::vector<std::string> more) {
    more.insert(more.begin(), line.begin(), line.end());
    return more;
  };
  const std::string out = folder.File("bad.mid");
  for (const auto& [command, arguments, mentions] :
       std::vector<std::tuple<std::string, std::vector<std::string>, std::string>>{
           {"melody", {"--from", "0,0", "--out", out}, "--to"},
           {"melody", melody({"--measures", "2.5", "--out", out}), "--measures"},
           {"melody", melody({"--tempo", "29", "--out", out}), "--tempo"},
           {"melody", melody({"--scale", "Dorian", "--out", out}), "--scale"},
           {"melody", melody({"--instrument", "128", "--out", out}), "--instrument"},
           {"melody", melody({"--max-iter", "3e9", "--out", out}), "--max-iter"},
           {"melody", melody({"--loud", "--out", out}), "--loud"},
           {"orbit", {"--point", "3,0", "--out", out}, "--point"},
           {"orbit", {"--point", "0,0", "--notes", "x", "--out", out}, "--notes"},
           {"orbit", {"--point", "0,0"}, "--out"}}) {
    EXPECT_EQ(Run(command, arguments), kExitUsage) << mentions;
    const std::string message = errors.str();
    EXPECT_NE(message.find(mentions), std::string::npos) << message;
    EXPECT_EQ(message.find('\n'), message.size() - 1) << message;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 0) << "no leftovers";
  }
}

}  // namespace
