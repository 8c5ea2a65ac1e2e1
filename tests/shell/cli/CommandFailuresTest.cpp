#include <fstream>
#include <thread>

#include "CommandTesting.h"
#include "QuilloryProcess.h"
#include "SmallDisk.h"

namespace {

namespace fs = std::filesystem;

// Not a resource limit: the disk is filled to leave that many bytes free.
constexpr int kFullDisk = -2;

// The commands through the executables the user runs, copied to a program
// folder of their own (where track files go): the launcher renders bitmaps
// and hands everything else to the desktop program beside it. The files
// they write go to a small disk where one can be mounted.
class CommandFailuresTest : public testing::Test {
 protected:
  CommandFailuresTest() {
    fs::create_directories(program);
    fs::copy_file(QUILLORY_EXECUTABLE, program / "quillory");
    fs::copy_file(QUILLORY_DESKTOP, program / "quillory-desktop");
    fs::create_directories(output / "folder.bmp");
    fs::create_directories(output / "folder.mid");
    std::ofstream(output / "old.bmp") << "an older picture";
    std::ofstream(output / "old.mid") << "an older song";
  }
  long InProgramFolder() const { return std::distance(fs::directory_iterator(program), {}); }

  TemporaryFolder root;
  const SmallDisk disk{1024};
  const fs::path program = root.Path() / "program";
  const fs::path output = (disk.Mounted() ? disk.Path() : root.Path()) / "out";
  QuilloryProcess quillory{program / "quillory"};
};

// One rule for every command: 0 for work done, 2 for arguments it cannot
// take, 1 for a read or a write that failed. A failure is one line on stderr
// naming the command and the real cause, and every file as it was. A file
// size limit fails a save as a full disk does, where no small disk can be
// mounted. One row for each refusal a command words differently.
TEST_F(CommandFailuresTest, EveryCommandFollowsTheExitCodeRule) {
  struct Case {
    const char* line;
    int exitCode;
    const char* mentions;
    int resource = -1;
    rlim_t limit = 0;
  };
  const Case cases[] = {
      // The largest values each command takes are work, not errors; songs
      // named as audio are written as audio, without a progress line.
      {"render --size 8x8 --center +1e308,-1e308 --view-width 1e308 --max-iter +2147483647 --out @a.bmp", 0, ""},
      {"render --size 32767x1 --out @a.bmp", 0, ""},
      {"render --size 1x32767 --out @a.bmp", 0, ""},
      {"orbit --point 0.3,0.5 --notes 2147483647 --out @a.mid", 0, ""},
      {"melody --from 2,2 --to 3,3 --max-iter 2147483647 --measures 1 --out @a.FLAC", 0, ""},
      {"render --size 0x10 --out @a.bmp", 2, "--size must be WxH with both sides from 1 to 32767, not '0x10'"},
      {"render --out @a.bmp", 2, "--size WxH is required"},
      {"render --size 8x8 --center nan,0 --out @a.bmp", 2, "--center"},
      {"render --size 8x8 --view-width 0 --out @a.bmp", 2, "--view-width"},
      {"render --size 8x8 --max-iter 2147483648 --out @a.bmp", 2, "--max-iter"},
      {"render --size 8x8 --engine turbo --out @a.bmp", 2, "--engine"},
      {"render --size 8x8 --draft=yes --out @a.bmp", 2, "unknown option: yes"},
      {"render --size 8x8 --out=@odd=name.gif", 2, "/odd=name.gif'"},
      {"render --size 8x8 --out", 2, "--out needs a value"},
      {"orbit --point 1e308,0 --out @a.mid", 2, "--point"},
      {"orbit --point 0,0 --notes many --out @a.mid", 2, "--notes"},
      {"orbit --point 0,0", 2, "--out"},
      {"melody --from 0,0 --out @a.mid", 2, "--to"},
      {"melody --from inf,0 --to 1,1 --out @a.mid", 2, "--from"},
      {"melody --from 0,0 --to 1,1 --measures 2.5 --out @a.mid", 2, "--measures"},
      {"melody --from 0,0 --to 1,1 --tempo nan --out @a.mid", 2, "--tempo"},
      {"melody --from 0,0 --to 1,1 --scale Dorian --out @a.mid", 2, "--scale"},
      {"melody --from 0,0 --to 1,1 --instrument 128 --out @a.mid", 2, "--instrument"},
      {"melody --from 0,0 --to 1,1 --max-iter 2147483648 --out @a.mid", 2, "--max-iter"},
      {"midi-info", 2, "give exactly one MIDI file"},
      {"midi-info @missing.mid", 1, "'@missing.mid' doesn't exist."},
      {"midi-info @old.mid", 1, "Cannot recognize the file format of '@old.mid'."},
      {"play", 2, "give one MIDI file first"},
      {"play @old.mid --out @a.mp3", 2, "must name a .wav, .flac or .ogg"},
      {"play @old.mid --speed 2", 2, "unknown option: --speed"},
      {"play @missing.mid --out @a.wav", 1, "cannot be opened"},
      {"play @old.mid --out @a.wav", 1, "is not a Standard MIDI File"},
      {"render --size 8x8 --out @folder.bmp", 1, "cannot write '@folder.bmp': Is a directory"},
      {"render --size 8x8 --out @missing/a.png", 1, "cannot write '@missing/a.png': No such file or directory"},
      {"melody --from 2,2 --to 3,3 --out @folder.mid", 1, "cannot write '@folder.mid': Is a directory"},
      {"render --size 64x64 --out @old.bmp", 1, "cannot write '@old.bmp': File too large", RLIMIT_FSIZE, 4096},
      {"melody --from 2,2 --to 3,3 --out @old.mid", 1, "cannot write '@old.mid': File too large", RLIMIT_FSIZE, 32},
      // The disk stays full from here on.
      {"render --size 64x64 --out @old.bmp", 1, "cannot write '@old.bmp': No space left on device", kFullDisk, 4096},
#if !defined(__SANITIZE_ADDRESS__)  // which needs more address space than this
      {"render --size 30000x30000 --draft --out @a.bmp", 1, "not enough memory for a 30000\u00D730000 picture",
       RLIMIT_AS, 1 << 30},
#endif
  };
  const auto before = Contents(output);
  for (const Case& test : cases) {
    SCOPED_TRACE(test.line);
    if (test.resource == kFullDisk && !disk.Mounted()) continue;
    if (test.resource == kFullDisk) disk.FillLeaving(test.limit);
    const std::vector<std::string> arguments = Words(test.line, output);
    quillory.Start(arguments, test.resource, test.limit);
    const auto ended = quillory.Wait();
    EXPECT_EQ(ended.exitCode, test.exitCode);
    if (test.exitCode == 0) {
      EXPECT_EQ(ended.errors, "");
      EXPECT_TRUE(fs::remove(arguments.back()));
    } else {
      EXPECT_EQ(ended.errors.rfind("quillory " + arguments.front() + ": ", 0), 0u) << ended.errors;
      EXPECT_EQ(ended.errors.find('\n'), ended.errors.size() - 1) << ended.errors;
      EXPECT_NE(ended.errors.find(Expand(test.mentions, output)), std::string::npos) << ended.errors;
    }
    EXPECT_EQ(Contents(output), before);
  }
  EXPECT_EQ(InProgramFolder(), 2) << "only the executables";
}

// Ctrl-C or a killed batch job in the middle of a song: the temporary file
// and the track folder go, the older song stays.
TEST_F(CommandFailuresTest, AnInterruptedSongLeavesNothingBehind) {
  const auto before = Contents(output);
  for (const int signalNumber : {SIGINT, SIGTERM}) {
    quillory.Start(
        Words("melody --from -0.5,0 --to 0,0.1 --max-iter 2147483647 --measures 100 --out @old.mid", output));
    // Interrupt only once the new song is being written beside the old one.
    for (int wait = 0; wait < 200 && Contents(output).size() == before.size(); ++wait)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(Contents(output).size(), before.size() + 1) << "the song never started";
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(static_cast<pid_t>(quillory.processId()), signalNumber);
    EXPECT_EQ(quillory.Wait().signal, signalNumber);
    EXPECT_EQ(Contents(output), before);
    EXPECT_EQ(InProgramFolder(), 2) << "only the executables";
  }
}

}  // namespace
