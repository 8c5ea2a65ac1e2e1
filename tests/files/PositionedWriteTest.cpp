#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "FileSizeLimit.h"
#include "SafeFileWriter.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class PositionedWriteTest : public testing::Test {
 protected:
  PositionedWriteTest() {
    fs::create_directories(folder);
    std::ofstream(destination) << "old";
  }
  ~PositionedWriteTest() override { fs::remove_all(folder); }

  const fs::path folder = fs::temp_directory_path() / ("quillory-positioned-" + std::to_string(getpid()));
  const fs::path destination = folder / "old.bmp";
};

// Rows written out of order by several threads make one file; what was
// never written reads as zeros.
TEST_F(PositionedWriteTest, ThreadsFillASizedFileInAnyOrder) {
  SafeFileWriter writer(destination);
  ASSERT_TRUE(writer.Open());
  ASSERT_TRUE(writer.Resize(4 * 1000 + 7));
  std::vector<std::thread> threads;
  for (int thread = 0; thread < 4; ++thread)
    threads.emplace_back([&, thread] {
      for (int row = 999 - thread; row >= 0; row -= 4)
        EXPECT_TRUE(writer.WriteAt(4 * row, Bytes(4, static_cast<std::uint8_t>(row))));
    });
  for (std::thread& thread : threads) thread.join();
  Bytes back(4);
  ASSERT_TRUE(writer.ReadAt(4 * 300, back));
  EXPECT_EQ(back, Bytes(4, static_cast<std::uint8_t>(300)));
  writer.StartWriteBack(0, 4000);
  ASSERT_TRUE(writer.Commit(4 * 1000 + 7)) << writer.Error();

  const Bytes saved = ReadAll(destination);
  ASSERT_EQ(saved.size(), 4007u);
  for (int row = 0; row < 1000; ++row) ASSERT_EQ(saved[4 * row + 3], static_cast<std::uint8_t>(row)) << row;
  EXPECT_EQ(Bytes(saved.end() - 7, saved.end()), Bytes(7, 0));
}

// A failed positioned write fails every later call with the same cause, and
// the save, when committed, leaves the old file and nothing beside it.
TEST_F(PositionedWriteTest, AFailedWriteFailsTheSaveWithItsCause) {
  const FileSizeLimit limit(4096);
  SafeFileWriter tooLarge(destination);
  ASSERT_TRUE(tooLarge.Open());
  EXPECT_FALSE(tooLarge.Resize(8192));
  EXPECT_EQ(tooLarge.Error(), "File too large");

  SafeFileWriter writer(destination);
  ASSERT_TRUE(writer.Open());
  ASSERT_TRUE(writer.Resize(100));
  EXPECT_FALSE(writer.WriteAt(4000, Bytes(200, 1)));
  EXPECT_FALSE(writer.WriteAt(0, Bytes(10, 1))) << "a write after the failure";
  EXPECT_FALSE(writer.Commit(4200));
  EXPECT_EQ(writer.Error(), "File too large");
  EXPECT_EQ(ReadAll(destination), Bytes({'o', 'l', 'd'}));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
}

}  // namespace
