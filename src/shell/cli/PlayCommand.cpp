#include "PlayCommand.h"

#include <chrono>
#include <cmath>
#include <iomanip>
#include <ostream>
#include <thread>

#include "Arguments.h"
#include "CommandSongOutput.h"
#include "Commands.h"
#include "DesktopMidiService.h"
#include "MidiOutputSetting.h"
#include "MidiSequence.h"
#include "SongAudioExport.h"

namespace {

using Clock = std::chrono::steady_clock;

// After the last event the notes are given this long to ring out.
constexpr double kRingOutSeconds = 1.5;

void SilenceEverything(MidiService& service, MidiHandle handle) {
  for (std::uint32_t channel = 0; channel < 16; ++channel) {
    service.SendShortMessage(handle, 0xB0 + channel + (120u << 8));
    service.SendShortMessage(handle, 0xB0 + channel + (123u << 8));
  }
}

int PlayLive(const std::string& fileName, const MidiSequence& song, std::ostream& err) {
  const std::unique_ptr<MidiService> service = MakeDesktopMidiService(SavedMidiOutput());
  const MidiOpenResult opened = service->Open(kMidiDefaultDevice);
  if (opened.handle == 0) {
    err << "quillory play: No audio output: notes are not heard.\n";
    return kExitFailure;
  }
  AudioProgressLine progress(err, "Playing " + std::filesystem::path(fileName).filename().string());
  const double length = song.DurationSeconds() + kRingOutSeconds;
  const Clock::time_point start = Clock::now();
  const auto at = [start](double seconds) {
    return start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  };
  bool stopped = false;
  for (const MidiSequence::Event& event : song.Events()) {
    // Sleep in short steps so that Ctrl-C is answered at once.
    while (!stopped && Clock::now() < at(event.seconds)) {
      std::this_thread::sleep_until(std::min(at(event.seconds), Clock::now() + std::chrono::milliseconds(50)));
      stopped = !progress(event.seconds / length);
    }
    if (stopped) break;
    service->SendShortMessage(opened.handle, event.message);
  }
  while (!stopped && Clock::now() < at(length)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stopped = !progress(std::chrono::duration<double>(Clock::now() - start).count() / length);
  }
  SilenceEverything(*service, opened.handle);
  service->Close(opened.handle);
  return stopped ? kExitFailure : kExitSuccess;
}

}  // namespace

int RunPlayCommand(const std::vector<std::string>& arguments, std::ostream& /*out*/, std::ostream& err) {
  if (arguments.empty() || arguments[0].empty() || arguments[0].starts_with("--")) {
    err << "quillory play: give one MIDI file first\n";
    return kExitUsage;
  }
  const std::string fileName = arguments[0];
  OptionReader options({arguments.begin() + 1, arguments.end()});
  const auto out = options.Value("--out");
  if (auto problem = options.Problem()) {
    err << "quillory play: " << *problem << "\n";
    return kExitUsage;
  }
  if (out && !IsAudioSongFile(*out)) {
    err << "quillory play: --out must name a .wav, .flac or .ogg file, not '" << *out << "'\n";
    return kExitUsage;
  }

  std::string error;
  const std::optional<MidiSequence> song = MidiSequence::Read(fileName, error);
  if (!song) {
    err << "quillory play: '" << fileName << "' " << error << "\n";
    return kExitFailure;
  }
  if (!out) return PlayLive(fileName, *song, err);

  const SongResult result = WriteCommandAudio(fileName, *out, err);
  switch (result.outcome) {
    case SongResult::Outcome::Saved: return kExitSuccess;
    case SongResult::Outcome::Cancelled:
      err << "quillory play: cancelled; '" << *out << "' was not written\n";
      return kExitFailure;
    default:
      err << "quillory play: cannot write '" << *out << "': " << result.error << "\n";
      return kExitFailure;
  }
}
