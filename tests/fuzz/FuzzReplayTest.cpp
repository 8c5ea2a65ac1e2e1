// Replays a fuzz target's seeds and every input it ever failed on, so a
// finding, once fixed, stays fixed in the ordinary suite. The target aborts
// on a broken rule, which fails the test.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "SongBytes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

std::vector<std::filesystem::path> Inputs() {
  std::vector<std::filesystem::path> inputs;
  std::istringstream folders(QUILLORY_FUZZ_INPUTS);
  for (std::string folder; std::getline(folders, folder, '|');)
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      if (entry.is_regular_file() && entry.path().filename() != "README.md") inputs.push_back(entry.path());
  return inputs;
}

TEST(FuzzReplayTest, SeedsAndEarlierFindingsKeepEveryRule) {
  // A target may keep them, as an application object does, beyond this test.
  static int argc = 1;
  static char name[] = "fuzz-replay";
  static char* arguments[] = {name, nullptr};
  static char** argv = arguments;
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  const auto inputs = Inputs();
  ASSERT_FALSE(inputs.empty()) << "no seeds to replay";
  for (const auto& input : inputs) {
    SCOPED_TRACE(input.string());
    const std::vector<std::uint8_t> bytes = ReadBytes(input);
    EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
  }
}

}  // namespace
