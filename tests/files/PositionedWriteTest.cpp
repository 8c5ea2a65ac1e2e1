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

// Rows written out of order by several threads make one file, unwritten
// bytes read as zeros; a failed write fails the save with its cause, and
// leaves the old file and nothing beside it.
TEST(PositionedWriteTest, ThreadsFillASizedFileAndAFailureKeepsTheOldOne) {
  const fs::path folder = fs::temp_directory_path() / ("quillory-positioned-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path destination = folder / "old.bmp";
  SafeFileWriter writer(destination);
  ASSERT_TRUE(writer.Open() && writer.Resize(4007));
  std::vector<std::thread> threads;
  for (int thread = 0; thread < 4; ++thread)
    threads.emplace_back([&, thread] {
      for (int row = 999 - thread; row >= 0; row -= 4) writer.WriteAt(4 * row, Bytes(4, row % 251 + 1));
    });
  for (std::thread& thread : threads) thread.join();
  ASSERT_TRUE(writer.Commit(4007)) << writer.Error();
  std::ifstream file(destination, std::ios::binary);
  const Bytes saved{std::istreambuf_iterator<char>(file), {}};
  ASSERT_EQ(saved.size(), 4007u);
  for (int row = 0; row < 1000; ++row) ASSERT_EQ(saved[4 * row + 3], row % 251 + 1) << row;
  EXPECT_EQ(Bytes(saved.end() - 7, saved.end()), Bytes(7, 0));

  const FileSizeLimit limit(4096);
  SafeFileWriter tooLarge(destination);
  ASSERT_TRUE(tooLarge.Open() && tooLarge.Resize(100));
  EXPECT_FALSE(tooLarge.WriteAt(4000, Bytes(200, 1)));
  EXPECT_FALSE(tooLarge.WriteAt(0, Bytes(10, 1))) << "a write after the failure";
  EXPECT_FALSE(tooLarge.Commit(4200));
  EXPECT_EQ(tooLarge.Error(), "File too large");
  std::ifstream again(destination, std::ios::binary);
  EXPECT_TRUE(Bytes(std::istreambuf_iterator<char>(again), {}) == saved);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
  fs::remove_all(folder);
}

}  // namespace
