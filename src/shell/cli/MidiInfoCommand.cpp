#include "MidiInfoCommand.h"

#include <iomanip>
#include <ostream>
#include <sstream>

#include "Commands.h"
#include "Dialogs.h"
#include "MIDIFile.h"
#include "MidiSequence.h"

namespace {

// The reader reports through message boxes; here they become lines on stderr.
class MessagesToStream final : public Dialogs {
 public:
  explicit MessagesToStream(std::ostream& err) : err_(err) {}

  MessageAnswer MessageBox(const std::string& text, MessageButtons, MessageIcon) override {
    err_ << "quillory midi-info: " << text << "\n";
    return MessageAnswer::Ok;
  }
  std::string InputBox(const std::string&, const std::string&) override { return {}; }
  std::string SaveFileDialog(const SaveFileRequest&) override { return {}; }

 private:
  std::ostream& err_;
};

// Up to three decimals, without trailing zeros: 120, 92.5, 0.25.
std::string Decimal(double value) {
  std::ostringstream text;
  text << std::fixed << std::setprecision(3) << value;
  std::string digits = text.str();
  digits.erase(digits.find_last_not_of('0') + 1);
  if (digits.back() == '.') digits.pop_back();
  return digits;
}

void PrintTimeline(const MidiSequence& song, std::ostream& out) {
  for (std::size_t index = 0; index < song.Tracks().size(); ++index) {
    const MidiSequence::Track& track = song.Tracks()[index];
    out << "Track " << index + 1 << ": " << track.eventCount << (track.eventCount == 1 ? " event" : " events");
    if (!track.name.empty()) out << " \"" << track.name << "\"";
    out << "\n";
  }
  if (song.TicksPerQuarterNote() > 0) {
    // A file without a tempo plays at the format's default.
    out << "Tempo: " << Decimal(song.Tempos().empty() ? 120.0 : song.Tempos().front()) << " beats per minute";
    if (song.Tempos().size() > 1) out << ", then " << song.Tempos().size() - 1 << " changes";
    out << "\n";
  }
  out << "Duration: " << Decimal(song.DurationSeconds()) << " seconds\n";
}

}  // namespace

int RunMidiInfoCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.size() != 1 || arguments[0].empty() || arguments[0].starts_with("--")) {
    err << "quillory midi-info: give exactly one MIDI file\n";
    return kExitUsage;
  }
  MessagesToStream messages(err);
  // Reading uses no temporary files; with no program folder the reader
  // cannot clear another session's.
  MIDIFile file({}, messages);
  if (!file.OpenMidiFile(arguments[0])) {
    if (!file.ErrorDescription().empty() && file.ErrorDescription().find(arguments[0]) == std::string::npos)
      err << "quillory midi-info: " << arguments[0] << ": " << file.ErrorDescription() << "\n";
    return kExitFailure;
  }
  out << "Format: " << file.Format() << "\n"
      << "Tracks: " << file.TrackCount() << "\n"
      << "Ticks per quarter note: " << file.TicksPerQuarterNote() << "\n";
  std::string error;
  const std::optional<MidiSequence> song = MidiSequence::Read(arguments[0], error);
  if (!song) {
    err << "quillory midi-info: " << arguments[0] << " " << error << "\n";
    return kExitFailure;
  }
  PrintTimeline(*song, out);
  return kExitSuccess;
}
