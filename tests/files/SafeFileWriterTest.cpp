#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <thread>

#include "FileSizeLimit.h"
#include "InterruptCleanup.h"
#include "SafeFileWriter.h"
#include "SongBytes.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class SafeFileWriterTest : public testing::Test {
 protected:
  SafeFileWriterTest() { WriteBytes(destination, old); }

  long Entries() const { return std::distance(fs::directory_iterator(temporary.Path()), {}); }

  TemporaryFolder temporary;
  const fs::path destination = temporary.Path() / "old.bmp";
  const Bytes old = {'o', 'l', 'd'};
  const Bytes picture = Bytes(12342, 'p');
};

TEST_F(SafeFileWriterTest, ACompleteFileReplacesTheOldOneAndKeepsItsPermissionsAndLinks) {
  chmod(destination.c_str(), 0640);
  EXPECT_EQ(SaveFileSafely(destination, picture), std::nullopt);
  EXPECT_EQ(ReadBytes(destination), picture);
  EXPECT_EQ(fs::status(destination).permissions(), fs::perms(0640));
  EXPECT_EQ(Entries(), 1) << "only the destination";
  const fs::path link = temporary.Path() / "link.bmp";
  fs::create_symlink(destination, link);
  EXPECT_EQ(SaveFileSafely(link, old), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(destination), old);
}

// Rows written out of order by several threads make one file; the bytes no
// row reached read as zeros.
TEST_F(SafeFileWriterTest, ThreadsWritingAtTheirOwnPlacesFillOneFile) {
  SafeFileWriter writer(destination);
  ASSERT_TRUE(writer.Open() && writer.Resize(4007));
  std::vector<std::thread> threads;
  for (int thread = 0; thread < 4; ++thread)
    threads.emplace_back([&, thread] {
      for (int row = 999 - thread; row >= 0; row -= 4) writer.WriteAt(4 * row, Bytes(4, row % 251 + 1));
    });
  for (std::thread& thread : threads) thread.join();
  ASSERT_TRUE(writer.Commit(4007)) << writer.Error();
  Bytes expected(4007, 0);
  for (int row = 0; row < 1000; ++row) std::fill_n(expected.begin() + 4 * row, 4, row % 251 + 1);
  EXPECT_EQ(ReadBytes(destination), expected);
}

// Every way a save can fail leaves the old file as it was, nothing beside
// it, and names the real cause.
TEST_F(SafeFileWriterTest, AFailedSaveLeavesTheOldFileAndNothingElse) {
  // Each save under its file size limit; one that fills the file by place
  // says what size it should have, and one never committed is discarded.
  const std::tuple<rlim_t, std::function<bool(SafeFileWriter&)>, std::string> saves[] = {
      {4096, [&](SafeFileWriter& file) { return file.Write(picture) && file.Commit(); }, "File too large"},
      // Once a positioned write has failed, no later one may seem to work.
      {4096, [&](SafeFileWriter& file) { return file.Resize(100) && !file.WriteAt(4000, picture) &&
                                                !file.WriteAt(0, old) && file.Commit(16342); },
       "File too large"},
      {RLIM_INFINITY, [&](SafeFileWriter& file) { return file.Write(picture) && file.Commit(12343); },
       "the file holds 12342 of its 12343 bytes"},
      {RLIM_INFINITY, [&](SafeFileWriter& file) { return !file.Write(picture); }, ""}};
  for (const auto& [sizeLimit, save, error] : saves) {
    SCOPED_TRACE(error);
    {
      const FileSizeLimit limit(sizeLimit);
      SafeFileWriter writer(destination);
      EXPECT_FALSE(writer.Open() && save(writer));
      EXPECT_EQ(writer.Error(), error);
    }
    EXPECT_EQ(ReadBytes(destination), old);
    EXPECT_EQ(Entries(), 1) << "only the destination";
    EXPECT_EQ(InterruptCleanup::RegisteredCount(), 0);
  }
}

}  // namespace
