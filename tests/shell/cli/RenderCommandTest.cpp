#include <gtest/gtest.h>

#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Commands.h"
#include "FractalRenderer.h"
#include "MemorySurface.h"

namespace {

namespace fs = std::filesystem;

class RenderCommandTest : public testing::Test {
 protected:
  RenderCommandTest() : folder(fs::temp_directory_path() / ("quillory-render-" + std::to_string(::getpid()))) {
    fs::create_directories(folder);
  }
  ~RenderCommandTest() override { fs::remove_all(folder); }

  int Run(std::vector<std::string> arguments) {
    out.str("");
    err.str("");
    return RunCommand("render", arguments, out, err);
  }

  // The same view drawn straight through the engine.
  static MemorySurface Expected(int width, int height, void (*configure)(FractalRenderer&), bool draft) {
    MemorySurface surface(width, height);
    FractalRenderer renderer;
    renderer.Initialize(surface);
    configure(renderer);
    renderer.Redraw(draft);
    while (renderer.RendererCallback()) {
    }
    return surface;
  }

  static int Differences(const QImage& image, const MemorySurface& surface) {
    int differences = 0;
    for (int y = 0; y < surface.Height(); ++y) {
      for (int x = 0; x < surface.Width(); ++x) {
        const QRgb pixel = image.pixel(x, y);
        const std::int32_t packed = qRed(pixel) + 256 * qGreen(pixel) + 65536 * qBlue(pixel);
        if (packed != surface.Pixel(x, y)) ++differences;
      }
    }
    return differences;
  }

  fs::path folder;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(RenderCommandTest, StartingViewAsTwentyFourBitBitmap) {
  const std::string path = (folder / "start.bmp").string();
  ASSERT_EQ(Run({"--size", "120x90", "--out", path}), kExitSuccess) << err.str();

  std::ifstream file(path, std::ios::binary);
  std::string header(30, '\0');
  file.read(header.data(), 30);
  EXPECT_EQ(header.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<unsigned char>(header[28]), 24u) << "bits per pixel";

  const QImage image(QString::fromStdString(path));
  ASSERT_EQ(image.size(), QSize(120, 90));
  EXPECT_EQ(Differences(image, Expected(120, 90, [](FractalRenderer&) {}, false)), 0);
}

TEST_F(RenderCommandTest, EveryOptionReachesTheRenderer) {
  const std::string path = (folder / "julia.png").string();
  ASSERT_EQ(Run({"--size", "90x60", "--julia", "-0.8,0.156", "--center", "0.1,-0.2", "--view-width", "2.5",
                 "--max-iter", "500", "--draft", "--out", path}),
            kExitSuccess)
      << err.str();
  const QImage image(QString::fromStdString(path));
  ASSERT_EQ(image.size(), QSize(90, 60));
  const auto configure = [](FractalRenderer& renderer) {
    renderer.SetMaxIterations(500);
    renderer.WindowSet(0.1, -0.2, 2.5);
    renderer.SetFractal(1);
    renderer.SetJuliaPoint(-0.8, 0.156);
  };
  EXPECT_EQ(Differences(image, Expected(90, 60, configure, true)), 0);
  EXPECT_NE(Differences(image, Expected(90, 60, configure, false)), 0) << "--draft made no difference";
}

TEST_F(RenderCommandTest, CentreAloneKeepsTheStartingWidth) {
  const std::string path = (folder / "centre.png").string();
  ASSERT_EQ(Run({"--size", "40x30", "--center", "-1,0", "--engine", "reference", "--out", path}), kExitSuccess)
      << err.str();
  const auto configure = [](FractalRenderer& renderer) { renderer.WindowSet(-1, 0, 4); };
  EXPECT_EQ(Differences(QImage(QString::fromStdString(path)), Expected(40, 30, configure, false)), 0);
}

TEST_F(RenderCommandTest, BadArgumentsAreRefusedWithoutWritingAFile) {
  const std::string path = (folder / "refused.png").string();
  const std::vector<std::vector<std::string>> refusals = {
      {"--out", path},
      {"--size", "0x10", "--out", path},
      {"--size", "32768x10", "--out", path},
      {"--size", "10x10"},
      {"--size", "10x10", "--out", (folder / "picture.gif").string()},
      {"--size", "10x10", "--center", "1;2", "--out", path},
      {"--size", "10x10", "--view-width", "0", "--out", path},
      {"--size", "10x10", "--view-width", "-3", "--out", path},
      {"--size", "10x10", "--view-width", "wide", "--out", path},
      {"--size", "10x10", "--max-iter", "12.5", "--out", path},
      {"--size", "10x10", "--max-iter", "0", "--out", path},
      {"--size", "10x10", "--julia", "x,0", "--out", path},
      {"--size", "10x10", "--colour", "red", "--out", path},
      {"--size", "10x10", "--engine", "turbo", "--out", path},
      {"--size", "10x", "--out", path},
      {"--size", "10x10", "--center", "nan,0", "--out", path},
      {"--size", "10x10", "--max-iter", "99999999999999999999", "--out", path},
      {"--size", "10x10", "--out"},
  };
  for (const auto& arguments : refusals) {
    std::string joined;
    for (const auto& argument : arguments) joined += argument + " ";
    EXPECT_EQ(Run(arguments), kExitUsage) << joined;
    const std::string message = err.str();
    EXPECT_FALSE(message.empty()) << joined;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << "one line: " << message;
    EXPECT_FALSE(fs::exists(path)) << joined;
  }
  EXPECT_TRUE(fs::is_empty(folder)) << "no temporary file may be left behind";
}

TEST_F(RenderCommandTest, RefusalLeavesAnExistingFileAlone) {
  const std::string path = (folder / "keep.png").string();
  std::ofstream(path) << "precious";
  EXPECT_EQ(Run({"--size", "10x10", "--max-iter", "many", "--out", path}), kExitUsage);
  std::ifstream file(path);
  std::string content;
  file >> content;
  EXPECT_EQ(content, "precious");
}

}  // namespace
