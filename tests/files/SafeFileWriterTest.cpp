#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "FileSizeLimit.h"
#include "InterruptCleanup.h"
#include "SafeFileWriter.h"
#include "SongBytes.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class SafeFileWriterTest : public testing::Test {
 protected:
  SafeFileWriterTest() { std::ofstream(destination) << "old"; }

  long Entries() const { return std::distance(fs::directory_iterator(folder), {}); }

  TemporaryFolder temporary;
  const fs::path& folder = temporary.Path();
  const fs::path destination = folder / "old.bmp";
  const Bytes old = {'o', 'l', 'd'};
  const Bytes picture = Bytes(12342, 'p');
};

TEST_F(SafeFileWriterTest, ACompleteFileReplacesTheOldOneAndKeepsItsPermissionsAndLinks) {
  chmod(destination.c_str(), 0640);
  EXPECT_EQ(SaveFileSafely(destination, picture), std::nullopt);
  EXPECT_EQ(ReadBytes(destination), picture);
  EXPECT_EQ(fs::status(destination).permissions(), fs::perms(0640));
  EXPECT_EQ(Entries(), 1) << "only the destination";
  fs::create_symlink(destination, folder / "link.bmp");
  EXPECT_EQ(SaveFileSafely(folder / "link.bmp", old), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(folder / "link.bmp"));
  EXPECT_EQ(ReadBytes(destination), old);
}

// Every way a save can fail leaves the old file as it was, nothing beside
// it, and names the real cause.
TEST_F(SafeFileWriterTest, AFailedSaveLeavesTheOldFileAndNothingElse) {
  struct Case {
    rlim_t sizeLimit;
    // A writer that fills the file by name says what size it should have.
    std::optional<std::uint64_t> claimedSize;
    bool commit;
    std::string error;
  };
  const Case cases[] = {{4096, {}, true, "File too large"},
                        {RLIM_INFINITY, 12343, true, "the file holds 12342 of its 12343 bytes"},
                        {RLIM_INFINITY, {}, false, ""}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.error);
    {
      const FileSizeLimit limit(test.sizeLimit);
      SafeFileWriter writer(destination);
      const bool written = writer.Open() && writer.Write(picture);
      EXPECT_FALSE(written && test.commit && writer.Commit(test.claimedSize));
      EXPECT_EQ(writer.Error(), test.error);
    }
    EXPECT_EQ(ReadBytes(destination), old);
    EXPECT_EQ(Entries(), 1) << "only the destination";
    EXPECT_EQ(InterruptCleanup::RegisteredCount(), 0);
  }
}

}  // namespace
