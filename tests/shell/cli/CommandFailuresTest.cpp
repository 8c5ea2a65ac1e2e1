#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>

#include "QuilloryProcess.h"
#include "SmallDisk.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<char>;

Bytes ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Every entry of a folder with its contents, to see that nothing changed.
std::map<std::string, Bytes> Contents(const fs::path& folder) {
  std::map<std::string, Bytes> contents;
  for (const auto& entry : fs::directory_iterator(folder))
    contents[entry.path().filename().string()] = entry.is_regular_file() ? ReadAll(entry.path()) : Bytes{'/'};
  return contents;
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

constexpr const char* kOutsideLine[] = {"--from", "2,2", "--to", "3,3"};

std::vector<std::string> Melody(std::vector<std::string> more) {
  more.insert(more.begin(), std::begin(kOutsideLine), std::end(kOutsideLine));
  more.insert(more.begin(), "melody");
  return more;
}

class CommandFailuresTest : public testing::Test {
 protected:
  CommandFailuresTest() : quillory(root / "program") {
    fs::create_directories(output);
    std::ofstream(output / "old.bmp") << "an older picture";
    std::ofstream(output / "old.mid") << "an older song";
    fs::create_directory(output / "folder.png");
    fs::create_directory(output / "folder.mid");
  }
  ~CommandFailuresTest() override { fs::remove_all(root); }

  std::string Out(const std::string& name) const { return (output / name).string(); }

  void ExpectProgramFolderClean() const {
    // The launcher and the desktop program it hands over to.
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "program"), {}), 2) << "only the executables";
  }

  const fs::path root = fs::temp_directory_path() / ("quillory-failures-" + std::to_string(getpid()));
  const fs::path output = root / "out";
  QuilloryProcess quillory;
};

// One rule for every command: 2 for arguments it cannot take, 1 for a read
// or a write that failed; one line on stderr, and nothing written or left.
TEST_F(CommandFailuresTest, BadInputsAndFailedWritesGiveOneLineAndChangeNothing) {
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    std::string mentions;
  };
  const std::vector<Case> cases = {
      {{"render", "--size", "0x10", "--out", Out("a.png")}, 2, "--size"},
      {{"render", "--size", "32768x10", "--out", Out("a.png")}, 2, "--size"},
      {{"render", "--size", "100000x100000", "--out", Out("a.png")}, 2, "--size"},
      {{"render", "--size", "8x8", "--center", "nan,0", "--out", Out("a.png")}, 2, "--center"},
      {{"render", "--size", "8x8", "--center", "0,-inf", "--out", Out("a.png")}, 2, "--center"},
      {{"render", "--size", "8x8", "--view-width", "inf", "--out", Out("a.png")}, 2, "--view-width"},
      {{"render", "--size", "8x8", "--view-width", "1e309", "--out", Out("a.png")}, 2, "--view-width"},
      {{"render", "--size", "8x8", "--max-iter", "0", "--out", Out("a.png")}, 2, "--max-iter"},
      {{"render", "--size", "8x8", "--max-iter", "-5", "--out", Out("a.png")}, 2, "--max-iter"},
      {{"render", "--size", "8x8", "--max-iter", "2147483648", "--out", Out("a.png")}, 2, "--max-iter"},
      {{"render", "--size", "8x8", "--out", Out("folder.png")}, 1, "Is a directory"},
      {{"render", "--size", "8x8", "--out", Out("missing/a.png")}, 1, "No such file or directory"},
      {{"orbit", "--point", "nan,0", "--out", Out("a.mid")}, 2, "--point"},
      {{"orbit", "--point", "1e308,0", "--out", Out("a.mid")}, 2, "--point"},
      {{"orbit", "--point", "0,0", "--notes", "many", "--out", Out("a.mid")}, 2, "--notes"},
      {{"orbit", "--point", "0.3,0.5", "--out", Out("folder.mid")}, 1, "Is a directory"},
      {{"orbit", "--point", "0.3,0.5", "--out", Out("missing/a.mid")}, 1, "No such file or directory"},
      {Melody({"--max-iter", "2147483648", "--out", Out("a.mid")}), 2, "--max-iter"},
      {Melody({"--tempo", "nan", "--out", Out("a.mid")}), 2, "--tempo"},
      {{"melody", "--from", "inf,0", "--to", "1,1", "--out", Out("a.mid")}, 2, "--from"},
      {Melody({"--out", Out("folder.mid")}), 1, "Is a directory"},
      {Melody({"--out", Out("missing/a.mid")}), 1, "No such file or directory"},
      {{"midi-info", Out("missing.mid")}, 1, "missing.mid"},
      {{"midi-info", Out("old.mid")}, 1, "old.mid"},
  };
  const auto before = Contents(output);
  for (const Case& test : cases) {
    std::string joined;
    for (const std::string& argument : test.arguments) joined += argument + " ";
    SCOPED_TRACE(joined);
    const auto ended = quillory.Run(test.arguments);
    EXPECT_EQ(ended.exitCode, test.exitCode) << ended.errors;
    EXPECT_EQ(Lines(ended.errors), 1) << ended.errors;
    EXPECT_NE(ended.errors.find(test.mentions), std::string::npos) << ended.errors;
    EXPECT_EQ(Contents(output), before);
  }
  ExpectProgramFolderClean();
}

// The largest values each command takes are work, not errors.
TEST_F(CommandFailuresTest, TheLargestAcceptedValuesSucceed) {
  const std::vector<std::vector<std::string>> cases = {
      {"render", "--size", "8x8", "--center", "1e308,-1e308", "--view-width", "1e308", "--out", Out("far.bmp")},
      {"orbit", "--point", "0.3,0.5", "--notes", "2147483647", "--out", Out("orbit.mid")},
      Melody({"--max-iter", "2147483647", "--measures", "1", "--out", Out("melody.mid")}),
  };
  for (const auto& arguments : cases) {
    const auto ended = quillory.Run(arguments);
    EXPECT_EQ(ended.exitCode, 0) << arguments[0] << ": " << ended.errors;
    EXPECT_EQ(ended.errors, "");
    EXPECT_GT(fs::file_size(arguments.back()), 20u);
  }
  ExpectProgramFolderClean();
}

// A disk that fills up mid-save: the command fails with the real cause and
// the older file of that name is whole. A file size limit gives the same
// fault where no small disk can be mounted.
TEST_F(CommandFailuresTest, AFullDiskKeepsTheOlderFile) {
  const std::vector<std::string> render = {"render", "--size", "64x64", "--max-iter", "300", "--out"};
  auto withOut = [](std::vector<std::string> arguments, const fs::path& out) {
    arguments.push_back(out.string());
    return arguments;
  };
  const auto before = Contents(output);
  const std::pair<std::vector<std::string>, rlim_t> limited[] = {
      {withOut(render, output / "old.bmp"), 4096}, {Melody({"--out", Out("old.mid")}), 32}};
  for (const auto& [arguments, limit] : limited) {
    const auto ended = quillory.Run(arguments, {.fileSize = limit});
    EXPECT_EQ(ended.exitCode, 1) << ended.errors;
    EXPECT_EQ(Lines(ended.errors), 1);
    EXPECT_NE(ended.errors.find("File too large"), std::string::npos) << ended.errors;
    EXPECT_EQ(Contents(output), before);
  }

  const SmallDisk disk(1024);
  if (!disk.Mounted()) GTEST_SKIP() << disk.Reason();
  const fs::path picture = disk.Path() / "old.bmp";
  ASSERT_EQ(quillory.Run(withOut(render, picture)).exitCode, 0);
  const Bytes older = ReadAll(picture);
  ASSERT_EQ(older.size(), 12342u);
  disk.FillLeaving(4096);
  const auto ended = quillory.Run(withOut(render, picture));
  EXPECT_EQ(ended.exitCode, 1);
  EXPECT_EQ(ended.errors, "quillory render: cannot write '" + picture.string() + "': No space left on device\n");
  EXPECT_EQ(ReadAll(picture), older);
  EXPECT_EQ(std::distance(fs::directory_iterator(disk.Path()), {}), 2) << "the filler and the picture";
}

TEST_F(CommandFailuresTest, APictureTooLargeForMemoryIsRefused) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer needs more address space than the limit leaves";
#endif
  for (const char* size : {"20000x20000", "30000x30000"}) {
    const auto ended =
        quillory.Run({"render", "--size", size, "--draft", "--out", Out("huge.bmp")}, {.addressSpace = 1ull << 30});
    std::string expected = size;
    expected.replace(expected.find('x'), 1, "\u00D7");
    EXPECT_EQ(ended.exitCode, 1) << ended.errors;
    EXPECT_EQ(ended.errors, "quillory render: not enough memory for a " + expected + " picture\n");
  }
  EXPECT_FALSE(fs::exists(output / "huge.bmp"));
  EXPECT_EQ(std::distance(fs::directory_iterator(output), {}), 4) << "nothing left beside the old files";
}

// Songs written by several processes at once, round after round, equal the
// same songs written alone.
TEST_F(CommandFailuresTest, ParallelSongWritersDoNotDisturbEachOther) {
  constexpr int kWriters = 4;
  const auto song = [&](int writer, const std::string& name) {
    const std::string from = "-1.8," + std::to_string(0.05 * writer);
    return std::vector<std::string>{"melody", "--from", from, "--to", "0.35,0.62", "--levels", "4", "--measures", "30",
                                    "--out", Out(name)};
  };
  std::vector<Bytes> alone;
  for (int writer = 0; writer < kWriters; ++writer) {
    ASSERT_EQ(quillory.Run(song(writer, "alone.mid")).exitCode, 0);
    alone.push_back(ReadAll(output / "alone.mid"));
  }
  for (int round = 0; round < 3; ++round) {
    std::vector<QuilloryProcess> writers;
    for (int writer = 0; writer < kWriters; ++writer) writers.emplace_back(root / "program");
    for (int writer = 0; writer < kWriters; ++writer)
      writers[writer].Start(song(writer, "parallel" + std::to_string(writer) + ".mid"));
    for (int writer = 0; writer < kWriters; ++writer) {
      const auto ended = writers[writer].Wait();
      EXPECT_EQ(ended.exitCode, 0) << "round " << round << ": " << ended.errors;
      EXPECT_EQ(ReadAll(output / ("parallel" + std::to_string(writer) + ".mid")), alone[writer]) << round;
    }
  }
  ExpectProgramFolderClean();
}

// Ctrl-C in the middle of a song: the temporary file and the track folder
// go, the older song stays.
TEST_F(CommandFailuresTest, AnInterruptedSongLeavesNothingBehind) {
  const auto before = Contents(output);
  quillory.Start({"melody", "--from", "-0.5,0", "--to", "0,0.1", "--max-iter", "2147483647", "--measures", "100",
                  "--out", Out("old.mid")});
  // Interrupt only once the new song is being written beside the old one.
  for (int wait = 0; wait < 200 && Contents(output).size() == before.size(); ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(Contents(output).size(), before.size() + 1) << "the song never started";
  quillory.Interrupt(SIGINT, std::chrono::milliseconds(100));
  const auto ended = quillory.Wait();
  EXPECT_EQ(ended.signal, SIGINT);
  EXPECT_EQ(Contents(output), before);
  ExpectProgramFolderClean();
}

}  // namespace
