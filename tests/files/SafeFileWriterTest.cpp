#include "SafeFileWriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <optional>
#include <iterator>
#include <set>

#include "FileSizeLimit.h"
#include "InterruptCleanup.h"
#include "SmallDisk.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using testing::ElementsAre;

Bytes ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// As large as a 64x64 bitmap, so that it cannot fit where the tests leave 4 KiB.
Bytes Picture() {
  Bytes bytes(12342);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  return bytes;
}

class SafeFileWriterTest : public testing::Test {
 protected:
  SafeFileWriterTest() {
    fs::create_directories(folder);
    std::ofstream(destination) << "old";
  }
  ~SafeFileWriterTest() override { fs::remove_all(folder); }

  const fs::path folder = fs::temp_directory_path() / ("quillory-safe-" + std::to_string(getpid()));
  const fs::path destination = folder / "old.bmp";
  const Bytes old = {'o', 'l', 'd'};
};

TEST_F(SafeFileWriterTest, ACompleteFileReplacesTheOldOneAndKeepsItsPermissionsAndLinks) {
  chmod(destination.c_str(), 0640);
  EXPECT_EQ(SaveFileSafely(destination, Picture()), std::nullopt);
  EXPECT_EQ(ReadAll(destination), Picture());
  struct stat status {};
  stat(destination.c_str(), &status);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
  EXPECT_THAT(Names(folder), ElementsAre("old.bmp"));

  const fs::path link = folder / "link.bmp";
  fs::create_symlink(destination, link);
  EXPECT_EQ(SaveFileSafely(link, old), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadAll(destination), old);
}

// Every way a save can fail leaves the old file as it was, nothing beside
// it, and names the real cause.
TEST_F(SafeFileWriterTest, AFailedSaveLeavesTheOldFileAndNothingElse) {
  fs::create_directory(folder / "folder.bmp");
  struct Case {
    fs::path path;
    rlim_t sizeLimit;
    // What another writer that fills the file by name should have left.
    std::optional<std::uint64_t> claimedSize;
    bool commit;
    std::string error;
  };
  const Case cases[] = {
      {folder / "folder.bmp", 0, {}, true, "Is a directory"},
      {folder / "missing" / "a.bmp", 0, {}, true, "No such file or directory"},
      {destination, 4096, {}, true, "File too large"},
      {destination, 0, Picture().size() + 1, true, "the file holds 12342 of its 12343 bytes"},
      {destination, 0, {}, false, ""},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.error);
    {
      std::optional<FileSizeLimit> limit;
      if (test.sizeLimit > 0) limit.emplace(test.sizeLimit);
      SafeFileWriter writer(test.path);
      if (writer.Open() && writer.Write(Picture()) && test.commit) writer.Commit(test.claimedSize);
      EXPECT_EQ(writer.Error(), test.error);
    }
    EXPECT_EQ(ReadAll(destination), old);
    EXPECT_THAT(Names(folder), ElementsAre("folder.bmp", "old.bmp"));
    EXPECT_EQ(InterruptCleanup::RegisteredCount(), 0);
  }
}

TEST_F(SafeFileWriterTest, AFullDiskLeavesTheOldFileWhole) {
  const SmallDisk disk(1024);
  if (!disk.Mounted()) GTEST_SKIP() << disk.Reason();
  const fs::path onDisk = disk.Path() / "old.bmp";
  ASSERT_EQ(SaveFileSafely(onDisk, Picture()), std::nullopt);
  disk.FillLeaving(4096);
  Bytes newer = Picture();
  newer[0] = 'N';
  EXPECT_EQ(SaveFileSafely(onDisk, newer), "No space left on device");
  EXPECT_EQ(ReadAll(onDisk), Picture());
  EXPECT_THAT(Names(disk.Path()), ElementsAre("filler", "old.bmp"));
}

// A command stopped by a signal mid-save removes its temporary file and
// still ends by that signal.
TEST_F(SafeFileWriterTest, AnInterruptRemovesTheTemporaryFile) {
  for (const int signalNumber : {SIGINT, SIGTERM}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      InterruptCleanup::Install();
      SafeFileWriter writer(destination);
      if (!writer.Open() || !writer.Write(Picture())) _exit(3);
      raise(signalNumber);
      _exit(4);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), signalNumber);
    EXPECT_THAT(Names(folder), ElementsAre("old.bmp"));
    EXPECT_EQ(ReadAll(destination), old);
  }
}

}  // namespace
