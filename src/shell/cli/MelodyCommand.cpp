#include "MelodyCommand.h"

#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <span>
#include <variant>

#include "Arguments.h"
#include "CommandSongOutput.h"
#include "Commands.h"
#include "FractalRenderer.h"
#include "MIDIFile.h"
#include "MelodizerLists.h"
#include "MelodizerSettings.h"
#include "MelodySong.h"
#include "ScaleTables.h"
#include "SilentDialogs.h"
#include "TypedValues.h"

namespace {

struct MelodyRequest {
  MelodizerSettings settings;
  std::optional<ComplexNumber> juliaPoint;
  std::string outputPath;
};

using Problem = std::optional<std::string>;

// The Melodizer's boxes accept what their checks leave unchanged; anything
// the window would have corrected is refused here rather than guessed at.
Problem ReadMeasures(const std::optional<std::string>& text, MelodizerSettings& settings) {
  if (!text) return std::nullopt;
  const auto value = ParseNumber(*text);
  if (!value || CheckMeasures(*text) != FormatNumber(*value) || *value != std::floor(*value))
    return "--measures must be a whole number from 1 to 100, not '" + *text + "'";
  settings.measures = *text;
  return std::nullopt;
}

Problem ReadTempo(const std::optional<std::string>& text, MelodizerSettings& settings) {
  if (!text) return std::nullopt;
  if (!ParseNumber(*text) || CheckTempo(*text) != *text)
    return "--tempo must be a number from 30 to 400, not '" + *text + "'";
  settings.tempo = *text;
  return std::nullopt;
}

Problem ReadListItem(const std::optional<std::string>& text, std::string_view option,
                     std::span<const std::string_view> items, int& index) {
  if (!text) return std::nullopt;
  index = FindListItem(items, *text);
  if (index >= 0) return std::nullopt;
  std::string known;
  for (const std::string_view item : items) known += (known.empty() ? "'" : ", '") + std::string(item) + "'";
  return std::string(option) + " must be one of " + known + ", not '" + *text + "'";
}

Problem ReadInstrument(const std::optional<std::string>& text, MelodizerSettings& settings) {
  if (!text) return std::nullopt;
  const auto number = ParseInteger(*text);
  const int byName = FindListItem(PatchItems(), *text);
  if (number && *number >= 0 && *number <= 127) settings.patch = static_cast<int>(*number);
  else if (!number && byName >= 0) settings.patch = byName;
  else return "--instrument must be a program from 0 to 127 or an instrument's name, not '" + *text + "'";
  return std::nullopt;
}

Problem ReadIntegerOption(const std::optional<std::string>& text, std::string_view option, std::int64_t lowest,
                          std::int64_t highest, std::int64_t& value) {
  if (!text) return std::nullopt;
  const auto number = ParseInteger(*text);
  if (!number || *number < lowest || *number > highest)
    return std::string(option) + " must be a whole number from " + std::to_string(lowest) + " to " +
           std::to_string(highest) + ", not '" + *text + "'";
  value = *number;
  return std::nullopt;
}

std::variant<MelodyRequest, std::string> ParseRequest(const std::vector<std::string>& arguments) {
  OptionReader options(arguments);
  const auto from = options.Value("--from");
  const auto to = options.Value("--to");
  const auto maxIterations = options.Value("--max-iter");
  const auto measures = options.Value("--measures");
  const auto tempo = options.Value("--tempo");
  const auto levels = options.Value("--levels");
  const auto scale = options.Value("--scale");
  const auto key = options.Value("--key");
  const auto octave = options.Value("--octave");
  const auto instrument = options.Value("--instrument");
  const auto flattening = options.Value("--flattening");
  const auto julia = options.Value("--julia");
  const auto out = options.Value("--out");
  if (auto problem = options.Problem()) return *problem;

  MelodyRequest request;
  MelodizerSettings& settings = request.settings;
  if (!from) return std::string("--from X1,Y1 is required");
  if (!to) return std::string("--to X2,Y2 is required");
  const auto first = ParsePoint(*from);
  if (!first) return "--from must be X,Y with two numbers, not '" + *from + "'";
  const auto second = ParsePoint(*to);
  if (!second) return "--to must be X,Y with two numbers, not '" + *to + "'";
  // The limit as the main window hands it over; below 1 it is raised to 32.
  std::int64_t limit = 256;
  if (auto problem = ReadIntegerOption(maxIterations, "--max-iter", std::numeric_limits<std::int32_t>::min(),
                                       std::numeric_limits<std::int32_t>::max(), limit))
    return *problem;
  settings.SetRegion(first->real, first->imaginary, second->real, second->imaginary,
                     static_cast<std::int32_t>(limit));

  std::int64_t bar = settings.mountainBar;
  for (Problem problem : {ReadMeasures(measures, settings), ReadTempo(tempo, settings),
                          ReadListItem(levels, "--levels", kComplexityItems, settings.complexity),
                          ReadListItem(scale, "--scale", kScaleTypeItems, settings.scaleType),
                          ReadListItem(key, "--key", kKeyItems, settings.key),
                          ReadListItem(octave, "--octave", kOctaveItems, settings.octave),
                          ReadInstrument(instrument, settings),
                          ReadIntegerOption(flattening, "--flattening", 20, 160, bar)})
    if (problem) return *problem;
  settings.mountainBar = static_cast<int>(bar);

  if (julia) {
    request.juliaPoint = ParsePoint(*julia);
    if (!request.juliaPoint) return "--julia must be X,Y with two numbers, not '" + *julia + "'";
  }
  if (!out || out->empty()) return std::string("--out FILE.mid|.wav|.flac|.ogg is required");
  request.outputPath = *out;
  return request;
}

}  // namespace

int RunMelodyCommand(const std::vector<std::string>& arguments, std::ostream& /*out*/, std::ostream& err) {
  const auto parsed = ParseRequest(arguments);
  if (const auto* problem = std::get_if<std::string>(&parsed)) {
    err << "quillory melody: " << *problem << "\n";
    return kExitUsage;
  }
  const auto& request = std::get<MelodyRequest>(parsed);

  const std::filesystem::path programFolder = CommandProgramFolder();

  FractalRenderer renderer;
  if (request.juliaPoint) {
    renderer.SetFractal(1);
    renderer.SetJuliaPoint(request.juliaPoint->real, request.juliaPoint->imaginary);
  }
  const ScaleTables scales;
  SilentDialogs dialogs;
  const SongResult result = WriteCommandSong(request.outputPath, [&](const std::string& fileName) {
    MIDIFile file(programFolder, dialogs);
    return WriteMelodySong(file, fileName, request.settings, renderer, scales);
  }, err);
  if (result.outcome == SongResult::Outcome::Saved) return kExitSuccess;
  if (result.outcome == SongResult::Outcome::Cancelled) {
    err << "quillory melody: cancelled; '" << request.outputPath << "' was not written\n";
    return kExitFailure;
  }
  err << "quillory melody: cannot write '" << request.outputPath << "': "
      << (result.error.empty() ? dialogs.Summary() : result.error) << "\n";
  return kExitFailure;
}
