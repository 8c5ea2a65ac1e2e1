#include "RenderCommand.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <new>
#include <optional>
#include <ostream>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "Arguments.h"
#include "BitmapFileSurface.h"
#include "BitmapWriter.h"
#include "Commands.h"
#include "FractalRenderer.h"
#include "MemorySurface.h"
#include "RenderProgress.h"
#include "SafeFileWriter.h"

namespace {

struct RenderRequest {
  PictureSize size;
  std::optional<ComplexNumber> center;
  std::optional<double> viewWidth;
  std::optional<std::int32_t> maxIterations;
  std::optional<ComplexNumber> juliaPoint;
  bool draft = false;
  bool referenceEngine = false;
  std::string outputPath;
  std::string format;  // "BMP" or "PNG"
};

bool EndsWithIgnoringCase(const std::string& text, std::string_view ending) {
  return text.size() >= ending.size() &&
         std::equal(ending.begin(), ending.end(), text.end() - static_cast<std::ptrdiff_t>(ending.size()),
                    [](char wanted, char given) {
                      return wanted == std::tolower(static_cast<unsigned char>(given));
                    });
}

std::variant<RenderRequest, std::string> ParseRequest(const std::vector<std::string>& arguments) {
  OptionReader options(arguments);
  RenderRequest request;
  const auto size = options.Value("--size");
  const auto center = options.Value("--center");
  const auto viewWidth = options.Value("--view-width");
  const auto maxIterations = options.Value("--max-iter");
  const auto julia = options.Value("--julia");
  request.draft = options.Flag("--draft");
  const auto engine = options.Value("--engine");
  const auto out = options.Value("--out");
  if (auto problem = options.Problem()) return *problem;

  if (!size) return std::string("--size WxH is required");
  const auto parsedSize = ParseSize(*size);
  if (!parsedSize) return "--size must be WxH with both sides from 1 to 32767, not '" + *size + "'";
  request.size = *parsedSize;
  if (center) {
    request.center = ParsePoint(*center);
    if (!request.center) return "--center must be X,Y with two numbers, not '" + *center + "'";
  }
  if (viewWidth) {
    request.viewWidth = ParseDouble(*viewWidth);
    if (!request.viewWidth || *request.viewWidth <= 0)
      return "--view-width must be a positive number, not '" + *viewWidth + "'";
  }
  if (maxIterations) {
    const auto parsed = ParseInteger(*maxIterations);
    if (!parsed || *parsed < 1 || *parsed > INT32_MAX)
      return "--max-iter must be a whole number from 1 to 2147483647, not '" + *maxIterations + "'";
    request.maxIterations = static_cast<std::int32_t>(*parsed);
  }
  if (julia) {
    request.juliaPoint = ParsePoint(*julia);
    if (!request.juliaPoint) return "--julia must be X,Y with two numbers, not '" + *julia + "'";
  }
  if (engine) {
    if (*engine != "fast" && *engine != "reference")
      return "--engine must be fast or reference, not '" + *engine + "'";
    request.referenceEngine = *engine == "reference";
  }
  if (!out || out->empty()) return std::string("--out FILE is required");
  request.outputPath = *out;
  if (EndsWithIgnoringCase(*out, ".bmp")) request.format = "BMP";
  else if (EndsWithIgnoringCase(*out, ".png")) request.format = "PNG";
  else return "--out must name a .bmp or .png file, not '" + *out + "'";
  return request;
}

void Render(const RenderRequest& request, RenderSurface& surface, RenderProgress& listener) {
  FractalRenderer renderer;
  // The plain loop stays selectable, to compare pictures and speed against.
  ReferenceRowCounter referenceCounter;
  if (request.referenceEngine) renderer.SetRowCounter(&referenceCounter);
  renderer.SetListener(&listener);
  renderer.Initialize(surface);
  if (request.maxIterations) renderer.SetMaxIterations(*request.maxIterations);
  if (request.center || request.viewWidth) {
    const ComplexNumber center = request.center.value_or(ComplexNumber{});
    renderer.WindowSet(center.real, center.imaginary, request.viewWidth.value_or(4.0));
  }
  if (request.juliaPoint) {
    renderer.SetFractal(1);
    renderer.SetJuliaPoint(request.juliaPoint->real, request.juliaPoint->imaginary);
  }
  renderer.Redraw(request.draft);
  // Without a progress line to show, only the finished picture matters.
  if (!listener.Enabled() && renderer.DrawFinalPassAtOnce()) return;
  while (renderer.RendererCallback()) {
  }
}

// Both formats are written straight from the rendered pixels, without a
// converted copy of the whole picture.
// The reason on failure.
std::optional<std::string> WritePicture(const MemorySurface& surface, const std::string& format, SafeFileWriter& file,
                                        PngEncoder encodePng) {
  if (format == "BMP") {
    const bool written = WriteBitmap(surface, [&](const char* data, std::size_t size) {
      return file.Write(std::span(reinterpret_cast<const std::uint8_t*>(data), size));
    });
    if (!written || !file.Commit()) return file.Error();
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!encodePng(surface, bytes, error)) return error;
  if (!file.Write(bytes) || !file.Commit()) return file.Error();
  return std::nullopt;
}

}  // namespace

int RunRenderCommand(const std::vector<std::string>& arguments, std::ostream& /*out*/, std::ostream& err,
                     PngEncoder encodePng) {
  const auto parsed = ParseRequest(arguments);
  if (const auto* problem = std::get_if<std::string>(&parsed)) {
    err << "quillory render: " << *problem << "\n";
    return kExitUsage;
  }
  const auto& request = std::get<RenderRequest>(parsed);
  if (request.format == "PNG" && encodePng == nullptr) return kRenderNeedsPngWriter;

  // Opened before the work so an unwritable path fails at once; the picture
  // only replaces the file when it is complete.
  SafeFileWriter file(request.outputPath);
  const auto cannotWrite = [&](const std::string& reason) {
    err << "quillory render: cannot write '" << request.outputPath << "': " << reason << "\n";
    return kExitFailure;
  };
  if (!file.Open()) return cannotWrite(file.Error());

  try {
    RenderProgress progress(err, isatty(STDERR_FILENO) != 0);
    // A bitmap drawn at once goes straight into its file: no picture-sized
    // memory, and the writing overlaps the counting. Drafts and renders shown
    // pass by pass draw every row many times and stay in memory.
    if (request.format == "BMP" && !request.draft && !progress.Enabled()) {
      BitmapFileSurface surface(request.size.width, request.size.height, file);
      if (!surface.Start()) return cannotWrite(file.Error());
      Render(request, surface, progress);
      if (!file.Commit(surface.FileSize())) return cannotWrite(file.Error());
      return kExitSuccess;
    }
    MemorySurface surface(request.size.width, request.size.height, 0);
    Render(request, surface, progress);
    progress.Finish();

    if (const auto failure = WritePicture(surface, request.format, file, encodePng)) return cannotWrite(*failure);
  } catch (const std::bad_alloc&) {
    err << "quillory render: not enough memory for a " << request.size.width << "\u00D7" << request.size.height
        << " picture\n";
    return kExitFailure;
  }
  return kExitSuccess;
}
