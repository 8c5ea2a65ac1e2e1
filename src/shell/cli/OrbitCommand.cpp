#include "OrbitCommand.h"

#include <optional>
#include <ostream>
#include <variant>

#include "Arguments.h"
#include "CommandSongOutput.h"
#include "Commands.h"
#include "FractalRenderer.h"
#include "MIDIFile.h"
#include "OrbitSong.h"
#include "SilentDialogs.h"
#include "TypedValues.h"

namespace {

struct OrbitRequest {
  ComplexNumber point;
  std::string notesAnswer = "200";
  std::string outputPath;
};

// A part of the point as the Orbiter's box takes it: a number from -2 to 2.
std::optional<double> ParsePointPart(std::string_view text) {
  const auto value = ParseNumber(text);
  if (!value || CheckOrbitPart(text) != text) return std::nullopt;
  return value;
}

std::variant<OrbitRequest, std::string> ParseRequest(const std::vector<std::string>& arguments) {
  OptionReader options(arguments);
  const auto point = options.Value("--point");
  const auto notes = options.Value("--notes");
  const auto out = options.Value("--out");
  if (auto problem = options.Problem()) return *problem;

  OrbitRequest request;
  if (!point) return std::string("--point RE,IM is required");
  const auto comma = point->find(',');
  const auto real = comma == std::string::npos ? std::nullopt : ParsePointPart(point->substr(0, comma));
  const auto imaginary = comma == std::string::npos ? std::nullopt : ParsePointPart(point->substr(comma + 1));
  if (!real || !imaginary) return "--point must be RE,IM with two numbers from -2 to 2, not '" + *point + "'";
  request.point = {*real, *imaginary};
  if (notes) {
    const ConvergeAnswer answer = ReadConvergeAnswer(*notes);
    if (!answer.notes) return "--notes must be a number (kept to 1..16000), not '" + *notes + "'";
    request.notesAnswer = *notes;
  }
  if (!out || out->empty()) return std::string("--out FILE.mid|.wav|.flac|.ogg is required");
  request.outputPath = *out;
  return request;
}

}  // namespace

int RunOrbitCommand(const std::vector<std::string>& arguments, std::ostream& /*out*/, std::ostream& err) {
  const auto parsed = ParseRequest(arguments);
  if (const auto* problem = std::get_if<std::string>(&parsed)) {
    err << "quillory orbit: " << *problem << "\n";
    return kExitUsage;
  }
  const auto& request = std::get<OrbitRequest>(parsed);

  const std::filesystem::path programFolder = CommandProgramFolder();

  // The Orbiter's own renderer: the Mandelbrot set, whatever it shows.
  FractalRenderer renderer;
  SilentDialogs dialogs(request.notesAnswer);
  const SongResult result = WriteCommandSong(request.outputPath, [&](const std::string& fileName) {
    const OrbitNoteCount count = OrbitNotesToRecord(renderer, request.point, dialogs);
    if (!count.notes) return SongResult{SongResult::Outcome::Failed, count.error};
    MIDIFile file(programFolder, dialogs);
    return WriteOrbitSong(file, fileName, renderer, request.point, *count.notes);
  }, err);
  if (result.outcome == SongResult::Outcome::Saved) return kExitSuccess;
  if (result.outcome == SongResult::Outcome::Cancelled) {
    err << "quillory orbit: cancelled; '" << request.outputPath << "' was not written\n";
    return kExitFailure;
  }
  err << "quillory orbit: cannot write '" << request.outputPath << "': "
      << (result.error.empty() ? dialogs.Summary() : result.error) << "\n";
  return kExitFailure;
}
