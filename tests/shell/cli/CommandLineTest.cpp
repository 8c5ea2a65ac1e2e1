#include <fstream>

#include "CommandTesting.h"

namespace {

using CommandLineTest = CommandTest;

// One rule for every command: 0 for work done, 2 for arguments it cannot
// take, 1 for a read or a write that failed. A failure is one line on stderr
// naming the command and the cause, and nothing written, left or changed.
TEST_F(CommandLineTest, EveryCommandFollowsTheExitCodeRule) {
  std::ofstream(folder.File("old.mid")) << "an older song";
  struct Case {
    const char* line;
    int exitCode;
    const char* mentions;
  };
  const Case cases[] = {
      // The largest values each command takes are work, not errors.
      {"render --size 8x8 --center +1e308,-1e308 --view-width 1e308 --max-iter +2147483647 --out @a.bmp", 0, ""},
      {"render --size 32767x1 --out @a.bmp", 0, ""},
      {"render --size 1x32767 --out @a.bmp", 0, ""},
      {"orbit --point 0.3,0.5 --notes 2147483647 --out @a.mid", 0, ""},
      {"melody --from 2,2 --to 3,3 --max-iter 2147483647 --measures 1 --out @a.mid", 0, ""},
      {"render --size 0x10 --out @a.bmp", 2, "--size"},
      {"render --size 32768x10 --out @a.bmp", 2, "--size"},
      {"render --size 100000x100000 --out @a.bmp", 2, "--size"},
      {"render --out @a.bmp", 2, "--size WxH is required"},
      {"render --size 8x8 --center nan,0 --out @a.bmp", 2, "--center"},
      {"render --size 8x8 --center 0,-inf --out @a.bmp", 2, "--center"},
      {"render --size 8x8 --view-width +inf --out @a.bmp", 2, "--view-width"},
      {"render --size 8x8 --view-width 1e309 --out @a.bmp", 2, "--view-width"},
      {"render --size 8x8 --view-width 0 --out @a.bmp", 2, "--view-width"},
      {"render --size 8x8 --max-iter 0 --out @a.bmp", 2, "--max-iter"},
      {"render --size 8x8 --max-iter -5 --out @a.bmp", 2, "--max-iter"},
      {"render --size 8x8 --max-iter 2147483648 --out @a.bmp", 2, "--max-iter"},
      {"render --size 8x8 --engine turbo --out @a.bmp", 2, "--engine"},
      {"render --size 8x8 --draft=yes --out @a.bmp", 2, "unknown option: yes"},
      {"render --size 8x8 --out=@odd=name.gif", 2, "/odd=name.gif'"},
      {"render --size 8x8 --out", 2, "--out needs a value"},
      {"orbit --point nan,0 --out @a.mid", 2, "--point"},
      {"orbit --point 1e308,0 --out @a.mid", 2, "--point"},
      {"orbit --point 0,0 --notes many --out @a.mid", 2, "--notes"},
      {"orbit --point 0,0", 2, "--out"},
      {"orbit --point 0.3,0.5 --out @missing/a.flac", 1, "No such file or directory"},
      {"melody --from 0,0 --out @a.mid", 2, "--to"},
      {"melody --from inf,0 --to 1,1 --out @a.mid", 2, "--from"},
      {"melody --from 0,0 --to 1,1 --measures 2.5 --out @a.mid", 2, "--measures"},
      {"melody --from 0,0 --to 1,1 --tempo nan --out @a.mid", 2, "--tempo"},
      {"melody --from 0,0 --to 1,1 --scale Dorian --out @a.mid", 2, "--scale"},
      {"melody --from 0,0 --to 1,1 --instrument 128 --out @a.mid", 2, "--instrument"},
      {"melody --from 0,0 --to 1,1 --max-iter 2147483648 --out @a.mid", 2, "--max-iter"},
      {"midi-info", 2, "give exactly one MIDI file"},
      {"midi-info @missing.mid", 1, "/missing.mid' doesn't exist."},
      {"midi-info @old.mid", 1, "Cannot recognize the file format of '"},
      {"play", 2, "give one MIDI file first"},
      {"play @old.mid --out @a.mp3", 2, "must name a .wav, .flac or .ogg"},
      {"play @old.mid --speed 2", 2, "unknown option: --speed"},
      {"play @missing.mid --out @a.wav", 1, "cannot be opened"},
      {"play @old.mid --out @a.wav", 1, "is not a Standard MIDI File"}};
  const auto before = Contents(folder.Path());
  for (const Case& test : cases) {
    SCOPED_TRACE(test.line);
    EXPECT_EQ(Run(test.line), test.exitCode);
    const std::string command = Words(test.line, {}).front();
    if (test.exitCode == 0) {
      EXPECT_EQ(err.str(), "");
      EXPECT_TRUE(std::filesystem::remove(Words(test.line, folder.Path()).back()));
    } else {
      EXPECT_EQ(err.str().rfind("quillory " + command + ": ", 0), 0u) << err.str();
      EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();
      EXPECT_NE(err.str().find(test.mentions), std::string::npos) << err.str();
    }
    EXPECT_EQ(Contents(folder.Path()), before);
  }
}

TEST_F(CommandLineTest, HelpAndVersionDoNoWork) {
  EXPECT_EQ(Run("render --size 8x8 --out @never.bmp --help"), 0);
  EXPECT_EQ(out.str().rfind("Usage: quillory render --size WxH ", 0), 0u) << out.str();
  EXPECT_FALSE(std::filesystem::exists(folder.File("never.bmp")));
  EXPECT_EQ(Run("--version"), 0);
  EXPECT_EQ(out.str(), "quillory " QUILLORY_VERSION "\n");
}

}  // namespace
