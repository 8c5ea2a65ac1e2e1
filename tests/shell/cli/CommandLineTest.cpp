#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "Arguments.h"
#include "Commands.h"

namespace {

namespace fs = std::filesystem;

TEST(CommandLineTest, JoinedValuesReadAsSeparateOnes) {
  OptionReader reader({"--center=-0.5,0.25", "--max-iter", "64", "--out=odd=name.png", "--draft", "--size="});
  EXPECT_EQ(reader.Value("--center"), "-0.5,0.25");
  EXPECT_EQ(reader.Value("--max-iter"), "64");
  // Only the first "=" divides; the value keeps the others.
  EXPECT_EQ(reader.Value("--out"), "odd=name.png");
  EXPECT_TRUE(reader.Flag("--draft"));
  // An empty joined value is given, and left for the parser to refuse.
  EXPECT_EQ(reader.Value("--size"), "");
  EXPECT_FALSE(reader.Problem());

  struct Leftover {
    std::vector<std::string> arguments;
    std::string problem;
  };
  const Leftover leftovers[] = {
      {{"--draft=yes"}, "unknown option: yes"},
      {{"--=x"}, "unknown option: --=x"},
      {{"plain=word"}, "unknown option: plain=word"},
  };
  for (const Leftover& leftover : leftovers) {
    OptionReader other(leftover.arguments);
    other.Flag("--draft");
    other.Value("--out");
    EXPECT_EQ(other.Problem(), leftover.problem);
  }
}

class CommandLineRunTest : public testing::Test {
 protected:
  CommandLineRunTest() : folder(fs::temp_directory_path() / ("quillory-cli-" + std::to_string(::getpid()))) {
    fs::create_directories(folder);
  }
  ~CommandLineRunTest() override { fs::remove_all(folder); }

  int Run(const std::string& name, std::vector<std::string> arguments) {
    out.str("");
    err.str("");
    return RunCommand(name, arguments, out, err);
  }
  static std::string Bytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
  }

  fs::path folder;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(CommandLineRunTest, BothFormsOfAnOptionRenderTheSameFile) {
  const fs::path spaced = folder / "spaced.bmp";
  const fs::path joined = folder / "joined.bmp";
  ASSERT_EQ(Run("render", {"--size", "24x16", "--center", "-0.75,0.1", "--max-iter", "300", "--out", spaced}),
            kExitSuccess)
      << err.str();
  ASSERT_EQ(Run("render", {"--size=24x16", "--center=-0.75,0.1", "--max-iter=300", "--out=" + joined.string()}),
            kExitSuccess)
      << err.str();
  const std::string bytes = Bytes(spaced);
  EXPECT_GT(bytes.size(), 24u * 16u);
  EXPECT_EQ(Bytes(joined), bytes);
}

TEST_F(CommandLineRunTest, HelpAndVersionPrintAndSucceedWithoutDoingTheWork) {
  EXPECT_EQ(Run("--help", {}), kExitSuccess);
  for (const char* command : {"render", "orbit", "melody", "midi-info"})
    EXPECT_NE(out.str().find(std::string("quillory ") + command), std::string::npos) << command;
  EXPECT_TRUE(err.str().empty());

  EXPECT_EQ(Run("--version", {}), kExitSuccess);
  EXPECT_EQ(out.str().rfind("quillory ", 0), 0u);
  EXPECT_GT(out.str().size(), std::string("quillory \n").size());

  const fs::path picture = folder / "never.bmp";
  EXPECT_EQ(Run("render", {"--size", "8x8", "--out", picture.string(), "--help"}), kExitSuccess);
  EXPECT_EQ(out.str().rfind("Usage: quillory render ", 0), 0u) << out.str();
  EXPECT_FALSE(fs::exists(picture));
  EXPECT_EQ(Run("midi-info", {"--help"}), kExitSuccess);
  EXPECT_EQ(out.str().rfind("Usage: quillory midi-info", 0), 0u);

  // A bad option is still a usage error.
  EXPECT_EQ(Run("render", {"--size=8x8", "--colour=red"}), kExitUsage);
}

}  // namespace
