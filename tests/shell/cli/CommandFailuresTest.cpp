#include <algorithm>
#include <fstream>
#include <thread>

#include "CommandTesting.h"
#include "QuilloryProcess.h"
#include "SmallDisk.h"

namespace {

namespace fs = std::filesystem;

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

class CommandFailuresTest : public testing::Test {
 protected:
  CommandFailuresTest() {
    fs::create_directories(output);
    std::ofstream(output / "old.bmp") << "an older picture";
    std::ofstream(output / "old.mid") << "an older song";
    fs::create_directory(output / "folder.bmp");
    fs::create_directory(output / "folder.mid");
  }

  void ExpectProgramFolderHolds(std::vector<std::string> expected) const {
    expected.insert(expected.end(), {"quillory", "quillory-desktop"});
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(program)) names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    std::ranges::sort(expected);
    EXPECT_EQ(names, expected);
  }

  TemporaryFolder root;
  const fs::path program = root.Path() / "program";
  const fs::path output = root.Path() / "out";
  QuilloryProcess quillory{program};
};

// The exit code rule and the safe saves hold through the executables the
// user runs: the launcher's own bitmap renders and what it hands over.
TEST_F(CommandFailuresTest, FailuresGiveOneLineAndLeaveEveryFileAsItWas) {
  constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__)
      true;  // AddressSanitizer needs more address space than the limit leaves
#else
      false;
#endif
  struct Case {
    const char* line;
    QuilloryProcess::Limits limits;
    int exitCode;
    const char* errors;
  };
  const Case cases[] = {
      {"render --size 0x10 --out @a.bmp", {}, 2, "--size must be WxH with both sides from 1 to 32767, not '0x10'"},
      {"render --size 8x8 --out @folder.bmp", {}, 1, "cannot write '@folder.bmp': Is a directory"},
      {"render --size 8x8 --out @missing/a.png", {}, 1, "cannot write '@missing/a.png': No such file or directory"},
      {"orbit --point nan,0 --out @a.mid", {}, 2, "--point must be RE,IM with two numbers from -2 to 2, not 'nan,0'"},
      {"melody --from 2,2 --to 3,3 --out @folder.mid", {}, 1, "cannot write '@folder.mid': Is a directory"},
      {"midi-info @old.mid", {}, 1, "Cannot recognize the file format of '@old.mid'."},
      {"render --size 64x64 --max-iter 300 --out @old.bmp", {.fileSize = 4096}, 1,
       "cannot write '@old.bmp': File too large"},
      {"melody --from 2,2 --to 3,3 --out @old.mid", {.fileSize = 32}, 1, "cannot write '@old.mid': File too large"},
      {"render --size 20000x20000 --draft --out @huge.bmp", {.addressSpace = 1ull << 30}, 1,
       "not enough memory for a 20000\u00D720000 picture"},
      {"render --size 30000x30000 --draft --out @huge.bmp", {.addressSpace = 1ull << 30}, 1,
       "not enough memory for a 30000\u00D730000 picture"},
  };
  const auto before = Contents(output);
  for (const Case& test : cases) {
    if (kSanitized && test.limits.addressSpace) continue;
    SCOPED_TRACE(test.line);
    const std::vector<std::string> arguments = Words(test.line, output);
    const auto ended = quillory.Run(arguments, test.limits);
    EXPECT_EQ(ended.exitCode, test.exitCode) << ended.errors;
    EXPECT_EQ(ended.errors, "quillory " + arguments.front() + ": " + Expand(test.errors, output) + "\n");
    EXPECT_EQ(Contents(output), before);
  }
  ExpectProgramFolderHolds({});
}

// A disk that really fills up mid-save: the real cause, and the older
// picture whole.
TEST_F(CommandFailuresTest, AFullDiskKeepsTheOlderFile) {
  const SmallDisk disk(1024);
  if (!disk.Mounted()) GTEST_SKIP() << disk.Reason();
  const std::vector<std::string> render = Words("render --size 64x64 --max-iter 300 --out @old.bmp", disk.Path());
  ASSERT_EQ(quillory.Run(render).exitCode, 0);
  const auto older = ReadBytes(disk.Path() / "old.bmp");
  ASSERT_EQ(older.size(), 12342u);
  disk.FillLeaving(4096);
  const auto ended = quillory.Run(render);
  EXPECT_EQ(ended.exitCode, 1);
  EXPECT_EQ(ended.errors, "quillory render: cannot write '" + render.back() + "': No space left on device\n");
  EXPECT_EQ(ReadBytes(render.back()), older);
  EXPECT_EQ(std::distance(fs::directory_iterator(disk.Path()), {}), 2) << "the filler and the picture";
}

// Songs written by several processes at once, round after round, equal the
// same songs written alone; another program's temporary file and a planted
// link in the program folder stay as they were.
TEST_F(CommandFailuresTest, ParallelSongWritersDisturbNothing) {
  const std::string foreign = "another program's";
  std::ofstream(program / "~x.tmp") << foreign;
  fs::create_symlink(root.Path() / "elsewhere", program / "~trk0.tmp");
  constexpr int kWriters = 4;
  const auto song = [&](int writer, const std::string& name) {
    return Words("melody --from -1.8," + std::to_string(0.05 * writer) +
                     " --to 0.35,0.62 --levels 4 --measures 30 --out @" + name,
                 output);
  };
  std::vector<std::vector<std::uint8_t>> alone;
  for (int writer = 0; writer < kWriters; ++writer) {
    ASSERT_EQ(quillory.Run(song(writer, "alone.mid")).exitCode, 0);
    alone.push_back(ReadBytes(output / "alone.mid"));
  }
  for (int round = 0; round < 3; ++round) {
    std::vector<QuilloryProcess> writers(kWriters, quillory);
    for (int writer = 0; writer < kWriters; ++writer) writers[writer].Start(song(writer, std::to_string(writer)));
    for (int writer = 0; writer < kWriters; ++writer) {
      const auto ended = writers[writer].Wait();
      EXPECT_EQ(ended.exitCode, 0) << "round " << round << ": " << ended.errors;
      EXPECT_EQ(ReadBytes(output / std::to_string(writer)), alone[writer]) << round;
    }
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(root.Path() / "elsewhere"))) << "the planted link was followed";
  EXPECT_TRUE(fs::is_symlink(program / "~trk0.tmp"));
  const auto kept = ReadBytes(program / "~x.tmp");
  EXPECT_EQ(std::string(kept.begin(), kept.end()), foreign);
  ExpectProgramFolderHolds({"~x.tmp", "~trk0.tmp"});
}

// Ctrl-C in the middle of a song: the temporary file and the track folder
// go, the older song stays.
TEST_F(CommandFailuresTest, AnInterruptedSongLeavesNothingBehind) {
  const auto before = Contents(output);
  quillory.Start(Words("melody --from -0.5,0 --to 0,0.1 --max-iter 2147483647 --measures 100 --out @old.mid", output));
  // Interrupt only once the new song is being written beside the old one.
  for (int wait = 0; wait < 200 && Contents(output).size() == before.size(); ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(Contents(output).size(), before.size() + 1) << "the song never started";
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  quillory.Interrupt(SIGINT);
  EXPECT_EQ(quillory.Wait().signal, SIGINT);
  EXPECT_EQ(Contents(output), before);
  ExpectProgramFolderHolds({});
}

}  // namespace
