#include <fstream>

#include "CommandTesting.h"

namespace {

using CommandLineTest = CommandTest;

// One rule for every command: 2 for arguments it cannot take, 1 for a read
// or a write that failed; one line on stderr naming the command and the
// cause, and nothing written, left or changed.
TEST_F(CommandLineTest, BadInputsAndFailedWritesGiveOneLineAndChangeNothing) {
  std::ofstream(folder.File("old.bmp")) << "an older picture";
  std::ofstream(folder.File("old.mid")) << "an older song";
  std::filesystem::create_directory(folder.File("folder.bmp"));
  std::filesystem::create_directory(folder.File("folder.mid"));
  struct Case {
    const char* line;
    int exitCode;
    const char* mentions;
  };
  const Case cases[] = {
      {"render --size 0x10 --out @a.bmp", 2, "--size"},
      {"render --size 32768x10 --out @a.bmp", 2, "--size"},
      {"render --size 100000x100000 --out @a.bmp", 2, "--size"},
      {"render --size 10x --out @a.bmp", 2, "--size"},
      {"render --size= --out @a.bmp", 2, "not ''"},
      {"render --out @a.bmp", 2, "--size WxH is required"},
      {"render --size 8x8 --center nan,0 --out @a.bmp", 2, "--center"},
      {"render --size 8x8 --center 0,-inf --out @a.bmp", 2, "--center"},
      {"render --size 8x8 --center 1;2 --out @a.bmp", 2, "--center"},
      {"render --size 8x8 --view-width +inf --out @a.bmp", 2, "--view-width"},
      {"render --size 8x8 --view-width 1e309 --out @a.bmp", 2, "--view-width"},
      {"render --size 8x8 --view-width 0 --out @a.bmp", 2, "--view-width"},
      {"render --size 8x8 --max-iter 0 --out @a.bmp", 2, "--max-iter"},
      {"render --size 8x8 --max-iter -5 --out @a.bmp", 2, "--max-iter"},
      {"render --size 8x8 --max-iter 2147483648 --out @a.bmp", 2, "--max-iter"},
      {"render --size 8x8 --max-iter 12.5 --out @a.bmp", 2, "--max-iter"},
      {"render --size 8x8 --julia x,0 --out @a.bmp", 2, "--julia"},
      {"render --size 8x8 --engine turbo --out @a.bmp", 2, "--engine"},
      {"render --size 8x8 --colour red --out @a.bmp", 2, "unknown option: --colour"},
      {"render --size 8x8 --draft=yes --out @a.bmp", 2, "unknown option: yes"},
      {"render --size 8x8 --=x --out @a.bmp", 2, "unknown option: --=x"},
      {"render --size 8x8 --out=@odd=name.gif", 2, "/odd=name.gif'"},
      {"render --size 8x8 --out", 2, "--out needs a value"},
      {"render --size 8x8 --out @folder.bmp", 1, "Is a directory"},
      {"render --size 8x8 --out @missing/a.png", 1, "No such file or directory"},
      {"orbit --point nan,0 --out @a.mid", 2, "--point"},
      {"orbit --point 1e308,0 --out @a.mid", 2, "--point"},
      {"orbit --point 0,0 --notes many --out @a.mid", 2, "--notes"},
      {"orbit --point 0,0", 2, "--out"},
      {"orbit --point 0.3,0.5 --out @folder.mid", 1, "Is a directory"},
      {"orbit --point 0.3,0.5 --out @missing/a.flac", 1, "No such file or directory"},
      {"melody --from 0,0 --out @a.mid", 2, "--to"},
      {"melody --from inf,0 --to 1,1 --out @a.mid", 2, "--from"},
      {"melody --from 0,0 --to 1,1 --measures 2.5 --out @a.mid", 2, "--measures"},
      {"melody --from 0,0 --to 1,1 --tempo 29 --out @a.mid", 2, "--tempo"},
      {"melody --from 0,0 --to 1,1 --tempo nan --out @a.mid", 2, "--tempo"},
      {"melody --from 0,0 --to 1,1 --scale Dorian --out @a.mid", 2, "--scale"},
      {"melody --from 0,0 --to 1,1 --instrument 128 --out @a.mid", 2, "--instrument"},
      {"melody --from 0,0 --to 1,1 --max-iter 2147483648 --out @a.mid", 2, "--max-iter"},
      {"melody --from 0,0 --to 1,1 --loud --out @a.mid", 2, "unknown option: --loud"},
      {"melody --from 0,0 --to 1,1 --out @folder.mid", 1, "Is a directory"},
      {"melody --from 0,0 --to 1,1 --out @missing/a.mid", 1, "No such file or directory"},
      {"midi-info", 2, "give exactly one MIDI file"},
      {"midi-info @old.mid @old.bmp", 2, "give exactly one MIDI file"},
      {"midi-info --verbose", 2, "give exactly one MIDI file"},
      {"midi-info @missing.mid", 1, "/missing.mid' doesn't exist."},
      {"midi-info @old.mid", 1, "Cannot recognize the file format of '"},
      {"play", 2, "give one MIDI file first"},
      {"play @old.mid --out @a.mp3", 2, "must name a .wav, .flac or .ogg"},
      {"play @old.mid --speed 2", 2, "unknown option: --speed"},
      {"play @missing.mid --out @a.wav", 1, "cannot be opened"},
      {"play @old.mid --out @a.wav", 1, "is not a Standard MIDI File"},
  };
  const auto before = Contents(folder.Path());
  for (const Case& test : cases) {
    SCOPED_TRACE(test.line);
    EXPECT_EQ(Run(test.line), test.exitCode);
    const std::string command = Words(test.line, {}).front();
    EXPECT_EQ(err.str().rfind("quillory " + command + ": ", 0), 0u) << err.str();
    EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();
    EXPECT_NE(err.str().find(test.mentions), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Contents(folder.Path()), before);
  }
}

// The largest values each command takes are work, not errors, and a value
// joined to its option with "=" is the same as one after it.
TEST_F(CommandLineTest, TheLargestValuesAndBothOptionFormsAreAccepted) {
  for (const char* line : {"render --size 8x8 --center 1e308,-1e308 --view-width 1e308 --out @far.bmp",
                           "render --size 32767x1 --out @wide.bmp", "render --size 1x32767 --out @tall.bmp",
                           "orbit --point 0.3,0.5 --notes 2147483647 --out @orbit.mid",
                           "melody --from 2,2 --to 3,3 --max-iter 2147483647 --measures 1 --out @melody.mid"}) {
    SCOPED_TRACE(line);
    EXPECT_EQ(Run(line), 0);
    EXPECT_EQ(err.str(), "");
    EXPECT_GT(std::filesystem::file_size(Words(line, folder.Path()).back()), 20u);
  }
  ASSERT_EQ(Run("render --size 24x16 --center -0.75,0.1 --max-iter 300 --out @spaced.bmp"), 0);
  ASSERT_EQ(Run("render --size=24x16 --center=-0.75,0.1 --max-iter=300 --out=@joined.bmp"), 0);
  EXPECT_EQ(ReadBytes(folder.File("joined.bmp")), ReadBytes(folder.File("spaced.bmp")));
}

TEST_F(CommandLineTest, HelpAndVersionPrintAndSucceedWithoutDoingTheWork) {
  EXPECT_EQ(Run("--help"), 0);
  for (const char* command : {"render", "orbit", "melody", "midi-info", "play"})
    EXPECT_NE(out.str().find(std::string("quillory ") + command + " "), std::string::npos) << command;
  EXPECT_EQ(Run("--version"), 0);
  EXPECT_EQ(out.str(), "quillory " QUILLORY_VERSION "\n");
  EXPECT_EQ(Run("render --size 8x8 --out @never.bmp --help"), 0);
  EXPECT_EQ(out.str().rfind("Usage: quillory render --size WxH ", 0), 0u) << out.str();
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
  EXPECT_EQ(err.str(), "");
}

}  // namespace
