#include "MidiInfoCommand.h"

#include <ostream>

#include "Commands.h"
#include "Dialogs.h"
#include "MIDIFile.h"

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
  return kExitSuccess;
}
