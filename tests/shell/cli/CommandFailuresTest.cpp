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

// Exit code 2 for bad arguments, 1 for a failed read or write; one line on
// stderr with the real cause; every file as it was. A file size limit fails
// a save as a full disk does, where no small disk can be mounted.
TEST_F(CommandFailuresTest, FailuresGiveOneLineAndLeaveEveryFileAsItWas) {
  struct Case {
    const char* line;
    int resource;
    rlim_t limit;
    int exitCode;
    const char* errors;
  };
  const Case cases[] = {
    {"render --size 0x10 --out @a.bmp", -1, 0, 2, "--size must be WxH with both sides from 1 to 32767, not '0x10'"},
    {"render --size 8x8 --out @folder.bmp", -1, 0, 1, "cannot write '@folder.bmp': Is a directory"},
    {"render --size 8x8 --out @missing/a.png", -1, 0, 1, "cannot write '@missing/a.png': No such file or directory"},
    {"melody --from 2,2 --to 3,3 --out @folder.mid", -1, 0, 1, "cannot write '@folder.mid': Is a directory"},
    {"render --size 64x64 --out @old.bmp", RLIMIT_FSIZE, 4096, 1, "cannot write '@old.bmp': File too large"},
    {"melody --from 2,2 --to 3,3 --out @old.mid", RLIMIT_FSIZE, 32, 1, "cannot write '@old.mid': File too large"},
    {"render --size 64x64 --out @old.bmp", kFullDisk, 4096, 1, "cannot write '@old.bmp': No space left on device"},
#if !defined(__SANITIZE_ADDRESS__)  // which needs more address space than this
    {"render --size 30000x30000 --draft --out @a.bmp", RLIMIT_AS, 1 << 30, 1,
     "not enough memory for a 30000\u00D730000 picture"},
#endif
  };
  const auto before = Contents(output);
  for (const Case& test : cases) {
    SCOPED_TRACE(test.line);
    if (test.resource == kFullDisk && !disk.Mounted()) continue;
    if (test.resource == kFullDisk) disk.FillLeaving(test.limit);
    const std::vector<std::string> arguments = Words(test.line, output);
    const auto ended = quillory.Run(arguments, test.resource, test.limit);
    EXPECT_EQ(ended.exitCode, test.exitCode);
    EXPECT_EQ(ended.errors, "quillory " + arguments.front() + ": " + Expand(test.errors, output) + "\n");
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
