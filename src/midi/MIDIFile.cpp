#include "MIDIFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <sstream>
#include <system_error>
#include <utility>

#include "MidiFileReader.h"

namespace {

constexpr std::int16_t kFormat = 1;
constexpr std::int16_t kTicksPerQuarterNote = 64;
constexpr std::size_t kLongestText = 255;
constexpr std::uint32_t kVarLenBits = 0x0FFFFFFF;
constexpr double kMicrosecondsPerMinute = 60'000'000.0;
constexpr double kLongestTempoMicroseconds = 0xFFFFFF;

constexpr std::uint8_t kNoteOff = 0x80;
constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kProgramChange = 0xC0;
constexpr std::uint8_t kMeta = 0xFF;
constexpr std::uint8_t kMetaGeneralText = 0x01;
constexpr std::uint8_t kMetaCopyright = 0x02;
constexpr std::uint8_t kMetaTrackName = 0x03;
constexpr std::uint8_t kMetaInstrumentName = 0x04;
constexpr std::uint8_t kMetaLyric = 0x05;
constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
constexpr std::uint8_t kMetaTempo = 0x51;

// A track's bytes reach its file in pieces of this size.
constexpr std::size_t kTrackBufferSize = 4096;

std::string TrackFileName(int trackNumber) {
  std::ostringstream name;
  name << "~trk" << std::uppercase << std::hex << trackNumber << ".tmp";
  return name.str();
}

int LastErrorNumber() { return errno != 0 ? errno : EIO; }

std::string ErrorText(int number) { return std::generic_category().message(number); }

std::string ErrorLine(int number) { return "Error " + std::to_string(number) + ": " + ErrorText(number); }

std::string ErrorLine(const std::error_code& error) {
  return "Error " + std::to_string(error.value()) + ": " + error.message();
}

// Reads all of a track file back through the descriptor it was written with.
bool ReadWholeFile(int descriptor, std::uint32_t size, std::vector<std::uint8_t>& into) {
  const std::size_t start = into.size();
  into.resize(start + size);
  std::uint32_t done = 0;
  while (done < size) {
    const ssize_t count = pread(descriptor, into.data() + start + done, size - done, done);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      if (count == 0) errno = EIO;
      return false;
    }
    done += static_cast<std::uint32_t>(count);
  }
  return true;
}

}  // namespace

FileSlot::FileSlot(FileSlot&& other) noexcept
    : path(std::move(other.path)),
      handle(other.handle),
      position(other.position),
      stream(std::move(other.stream)),
      descriptor(std::exchange(other.descriptor, -1)),
      pending(std::move(other.pending)),
      flushed(other.flushed) {}

FileSlot& FileSlot::operator=(FileSlot&& other) noexcept {
  if (this == &other) return *this;
  if (descriptor >= 0) close(descriptor);
  path = std::move(other.path);
  handle = other.handle;
  position = other.position;
  stream = std::move(other.stream);
  descriptor = std::exchange(other.descriptor, -1);
  pending = std::move(other.pending);
  flushed = other.flushed;
  return *this;
}

FileSlot::~FileSlot() {
  if (descriptor >= 0) close(descriptor);
}

MIDIFile::MIDIFile(std::filesystem::path programFolder, Dialogs& dialogs)
    : programFolder_(std::move(programFolder)), trackFolder_(programFolder_), dialogs_(dialogs) {
  DeleteTempFiles();
  ResetState();
}

MIDIFile::~MIDIFile() {
  CloseMidiFile();
  trackFolder_.Remove();
}

void MIDIFile::CloseMidiFile() {
  if (outputFile.stream) outputFile.stream->close();
  // A song abandoned before WriteMidiFile never reaches its destination.
  outputWriter_.reset();
  ResetState();
}

void MIDIFile::ResetState() {
  format = 0;
  trackCount = 0;
  ticksPerQuarterNote = 0;
  pendingDelta = 0;
  // Dropping a slot's stream closes its file, so a track abandoned half way
  // is closed before DeleteTempFiles removes it.
  outputFile = FileSlot{};
  for (FileSlot& slot : tracks) slot = FileSlot{};
  state_ = State::Idle;
}

void MIDIFile::DeleteTempFiles() {
  if (programFolder_.empty()) return;  // a reader only; it makes no track files
  if (const std::error_code error = TrackFolder::RemoveLeftovers(programFolder_))
    dialogs_.MessageBox(ErrorLine(error), MessageButtons::Ok, MessageIcon::Stop);
}

bool MIDIFile::CreateNewMidiFile(const std::string& midiFileName) {
  CloseMidiFile();
  errorDescription_.clear();
  format = kFormat;
  trackCount = 1;
  ticksPerQuarterNote = kTicksPerQuarterNote;
  outputFile.path = midiFileName;
  outputFile.handle = FreeFileHandle();
  outputFile.position = 1;
  // The song is made beside its destination, which keeps its old contents
  // until the new song is complete.
  outputWriter_ = std::make_unique<SafeFileWriter>(outputFile.path);
  if (!outputWriter_->Open()) {
    const int number = outputWriter_->ErrorNumber();
    ResetState();
    outputWriter_.reset();
    errorDescription_ = ErrorText(number);
    ShowFileError("Cannot create a new MIDI file.\r\n\r\n" + ErrorLine(number));
    return false;
  }
  state_ = State::Writing;
  return true;
}

bool MIDIFile::WriteMidiFile() {
  if (state_ != State::Writing) return Fail("No MIDI file is being written.");
  bool ok = errorDescription_.empty() && WriteHeaderChunk();
  trackCount = 0;
  for (int track = 0; ok && track < kTrackSlots; ++track) {
    if (tracks[track].handle <= 0) continue;
    ok = FinishTrack(track) && AppendTrackChunk(track);
    if (ok) ++trackCount;
  }
  if (ok) {
    outputFile.position = 11;
    ok = WriteWord(outputFile, static_cast<std::uint16_t>(trackCount));
  }
  if (ok && !(outputWriter_->Write(outputFile.pending) && outputWriter_->Commit()))
    ok = Fail(outputWriter_->Error());
  outputWriter_.reset();
  state_ = State::Written;
  return ok;
}

bool MIDIFile::WriteHeaderChunk() {
  outputFile.position = 1;
  return WriteString(outputFile, "MThd") && WriteLong(outputFile, 6) &&
         WriteWord(outputFile, static_cast<std::uint16_t>(format)) &&
         WriteWord(outputFile, static_cast<std::uint16_t>(trackCount)) &&
         WriteWord(outputFile, static_cast<std::uint16_t>(ticksPerQuarterNote));
}

bool MIDIFile::FinishTrack(int trackNumber) {
  return WriteEndOfTrack(trackNumber) && FlushTrack(tracks[trackNumber]);
}

bool MIDIFile::FlushTrack(FileSlot& slot) {
  std::size_t done = 0;
  while (done < slot.pending.size()) {
    const ssize_t count = write(slot.descriptor, slot.pending.data() + done, slot.pending.size() - done);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return FailFromErrno();
    if (count == 0) return Fail(ErrorText(ENOSPC));
    done += static_cast<std::size_t>(count);
  }
  slot.flushed += static_cast<std::uint32_t>(done);
  slot.pending.clear();
  return true;
}

bool MIDIFile::WriteEndOfTrack(int trackNumber) {
  FileSlot& slot = tracks[trackNumber];
  return WriteDeltaTime(trackNumber) && WriteByte(slot, kMeta) && WriteByte(slot, kMetaEndOfTrack) &&
         WriteByte(slot, 0);
}

bool MIDIFile::AppendTrackChunk(int trackNumber) {
  FileSlot& slot = tracks[trackNumber];
  struct stat status {};
  if (fstat(slot.descriptor, &status) != 0) return FailFromErrno();
  // The file holds every byte written to it, or the disk lost some.
  if (static_cast<std::uint64_t>(status.st_size) != slot.flushed) return Fail(ErrorText(EIO));
  if (!WriteString(outputFile, "MTrk") || !WriteLong(outputFile, slot.flushed)) return false;
  if (!ReadWholeFile(slot.descriptor, slot.flushed, outputFile.pending)) return FailFromErrno();
  outputFile.position += static_cast<std::int32_t>(slot.flushed);
  slot = FileSlot{};
  slot.handle = -1;
  return true;
}

bool MIDIFile::BeginEvent(std::int16_t trackNumber) {
  if (state_ != State::Writing) return Fail("No MIDI file is being written.");
  if (!errorDescription_.empty()) return false;
  if (trackNumber < 0 || trackNumber >= kTrackSlots)
    return Fail("Track " + std::to_string(trackNumber) + " is outside the tracks 0 to 32 of a MIDI file.");
  return EnsureTrackOpen(trackNumber) && WriteDeltaTime(trackNumber);
}

bool MIDIFile::EnsureTrackOpen(std::int16_t trackNumber) {
  return tracks[trackNumber].handle != 0 || OpenTrackFile(trackNumber);
}

bool MIDIFile::OpenTrackFile(int trackNumber) {
  FileSlot& slot = tracks[trackNumber];
  slot.handle = FreeFileHandle();
  slot.path = TrackFileName(trackNumber);
  slot.position = 1;
  errno = 0;
  slot.descriptor = trackFolder_.CreateFile(TrackFileName(trackNumber));
  if (slot.descriptor < 0) return FailFromErrno();
  return true;
}

bool MIDIFile::WriteDeltaTime(int trackNumber) {
  const bool ok = WriteVarLen(tracks[trackNumber], static_cast<std::uint16_t>(pendingDelta));
  pendingDelta = 0;
  return ok;
}

bool MIDIFile::WriteEventNoteOff(std::int16_t trackNumber, std::int16_t midiChannel, std::int16_t midiNote) {
  if (!BeginEvent(trackNumber)) return false;
  FileSlot& slot = tracks[trackNumber];
  return WriteByte(slot, kNoteOff + (midiChannel & 15)) && WriteByte(slot, midiNote & 127) && WriteByte(slot, 0);
}

bool MIDIFile::WriteEventNoteOn(std::int16_t trackNumber, std::int16_t midiChannel, std::int16_t midiNote,
                                std::int16_t noteVelocity) {
  if (!BeginEvent(trackNumber)) return false;
  FileSlot& slot = tracks[trackNumber];
  return WriteByte(slot, kNoteOn + (midiChannel & 15)) && WriteByte(slot, midiNote & 127) &&
         WriteByte(slot, noteVelocity & 127);
}

bool MIDIFile::WriteEventChangePatch(std::int16_t trackNumber, std::int16_t midiChannel, std::int16_t patchNumber) {
  if (!BeginEvent(trackNumber)) return false;
  FileSlot& slot = tracks[trackNumber];
  return WriteByte(slot, kProgramChange + (midiChannel & 15)) && WriteByte(slot, patchNumber & 127);
}

bool MIDIFile::WriteMetaEventTempoChange(std::int16_t trackNumber, double newTempo) {
  if (state_ == State::Writing && errorDescription_.empty()) {
    const double microseconds = std::floor(kMicrosecondsPerMinute / newTempo);
    // Also refuses NaN and negative tempos: every comparison with NaN fails.
    if (!(newTempo > 0 && microseconds >= 1 && microseconds <= kLongestTempoMicroseconds)) {
      std::ostringstream text;
      text << "A tempo of " << newTempo << " quarter notes per minute cannot be written to a MIDI file.";
      return Fail(text.str());
    }
  }
  if (!BeginEvent(trackNumber)) return false;
  const auto t = static_cast<std::uint32_t>(std::floor(kMicrosecondsPerMinute / newTempo));
  FileSlot& slot = tracks[trackNumber];
  return WriteByte(slot, kMeta) && WriteByte(slot, kMetaTempo) && WriteByte(slot, 3) && WriteByte(slot, t >> 16) &&
         WriteByte(slot, (t >> 8) & 0xFF) && WriteByte(slot, t & 0xFF);
}

bool MIDIFile::WriteMetaEventGeneralText(std::int16_t trackNumber, std::string text) {
  return WriteTextMetaEvent(trackNumber, kMetaGeneralText, text);
}

bool MIDIFile::WriteMetaEventCopyrightText(std::int16_t trackNumber, std::string text) {
  return WriteTextMetaEvent(trackNumber, kMetaCopyright, text);
}

bool MIDIFile::WriteMetaEventTrackName(std::int16_t trackNumber, std::string trackName) {
  return WriteTextMetaEvent(trackNumber, kMetaTrackName, trackName);
}

bool MIDIFile::WriteMetaEventInstrumentName(std::int16_t trackNumber, std::string instrumentName) {
  return WriteTextMetaEvent(trackNumber, kMetaInstrumentName, instrumentName);
}

bool MIDIFile::WriteMetaEventSongLyric(std::int16_t trackNumber, std::string lyric) {
  return WriteTextMetaEvent(trackNumber, kMetaLyric, lyric);
}

bool MIDIFile::WriteTextMetaEvent(std::int16_t trackNumber, std::uint8_t type, const std::string& text) {
  if (!BeginEvent(trackNumber)) return false;
  const std::string cut = text.substr(0, kLongestText);
  FileSlot& slot = tracks[trackNumber];
  return WriteByte(slot, kMeta) && WriteByte(slot, type) && WriteVarLen(slot, static_cast<std::uint32_t>(cut.size())) &&
         WriteString(slot, cut);
}

bool MIDIFile::WriteMetaEventWait(double durationInQuarterNotes) {
  if (state_ != State::Writing) return Fail("No MIDI file is being written.");
  if (!errorDescription_.empty()) return false;
  // nearbyint rounds a half to the even neighbour.
  const double ticks = std::nearbyint(ticksPerQuarterNote * durationInQuarterNotes);
  if (!(ticks >= 0 && ticks <= INT16_MAX)) {
    std::ostringstream text;
    text << "A wait of " << durationInQuarterNotes << " quarter notes cannot be written to a MIDI file.";
    return Fail(text.str());
  }
  pendingDelta = static_cast<std::int16_t>(ticks);
  return true;
}

bool MIDIFile::OpenMidiFile(const std::string& midiFileName) {
  CloseMidiFile();
  errorDescription_.clear();
  std::error_code error;
  if (!std::filesystem::exists(midiFileName, error)) {
    ShowFileError("File '" + midiFileName + "' doesn't exist.");
    return false;
  }
  const auto size = std::filesystem::file_size(midiFileName, error);
  if (error) return Fail(error.message());
  outputFile.path = midiFileName;
  outputFile.handle = FreeFileHandle();
  outputFile.position = 1;
  errno = 0;
  outputFile.stream = std::make_unique<std::fstream>(outputFile.path, std::ios::in | std::ios::binary);
  if (!outputFile.stream->is_open()) {
    const bool failed = FailFromErrno();
    ResetState();
    return failed;
  }
  state_ = State::Reading;

  MidiFileReader reader(*outputFile.stream, static_cast<std::int64_t>(size));
  const MidiFileReader::Result result = reader.Read();
  outputFile.position = static_cast<std::int32_t>(result.position + 1);
  format = result.format;
  trackCount = result.trackCount;
  ticksPerQuarterNote = result.ticksPerQuarterNote;
  if (result.outcome == MidiFileReader::Outcome::Complete) return true;
  const std::string message = "Cannot recognize the file format of '" + midiFileName + "'.";
  errorDescription_ = message;
  ShowFileError(message);
  return false;
}

void MIDIFile::ShowFileError(const std::string& message) {
  dialogs_.MessageBox(message, MessageButtons::Ok, MessageIcon::Stop);
}

bool MIDIFile::Fail(std::string description) {
  if (errorDescription_.empty()) errorDescription_ = std::move(description);
  return false;
}

bool MIDIFile::FailFromErrno() { return Fail(ErrorText(LastErrorNumber())); }

bool MIDIFile::WriteByte(FileSlot& slot, std::uint8_t value) {
  // Writes land at the slot's position: the output goes back to its track
  // count once the chunks are in.
  const std::size_t index = static_cast<std::size_t>(slot.position - 1) - slot.flushed;
  if (index < slot.pending.size()) slot.pending[index] = value;
  else slot.pending.push_back(value);
  ++slot.position;
  if (slot.descriptor >= 0 && slot.pending.size() >= kTrackBufferSize) return FlushTrack(slot);
  return true;
}

bool MIDIFile::WriteWord(FileSlot& slot, std::uint16_t value) {
  return WriteByte(slot, value >> 8) && WriteByte(slot, value & 0xFF);
}

bool MIDIFile::WriteLong(FileSlot& slot, std::uint32_t value) {
  return WriteWord(slot, value >> 16) && WriteWord(slot, value & 0xFFFF);
}

bool MIDIFile::WriteString(FileSlot& slot, const std::string& text) {
  for (char c : text)
    if (!WriteByte(slot, static_cast<std::uint8_t>(c))) return false;
  return true;
}

bool MIDIFile::WriteVarLen(FileSlot& slot, std::uint32_t value) {
  value &= kVarLenBits;
  const std::uint8_t groups[] = {static_cast<std::uint8_t>(value >> 21), static_cast<std::uint8_t>((value >> 14) & 127),
                                 static_cast<std::uint8_t>((value >> 7) & 127), static_cast<std::uint8_t>(value & 127)};
  bool leading = true;
  for (int i = 0; i < 3; ++i) {
    if (leading && groups[i] == 0) continue;
    leading = false;
    if (!WriteByte(slot, groups[i] + 128)) return false;
  }
  return WriteByte(slot, groups[3]);
}
