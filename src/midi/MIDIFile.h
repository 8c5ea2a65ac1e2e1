#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Dialogs.h"
#include "SafeFileWriter.h"
#include "TrackFolder.h"

// One open file of a MIDIFile: the output (or input) file, or the temporary
// file of one track.
struct FileSlot {
  FileSlot() = default;
  FileSlot(FileSlot&& other) noexcept;
  FileSlot& operator=(FileSlot&& other) noexcept;
  ~FileSlot();

  std::filesystem::path path;
  std::int32_t handle = 0;    // 0 = not opened yet, -1 = track already copied into the output
  std::int32_t position = 0;  // 1-based position of the next byte to write (or read)
  std::unique_ptr<std::fstream> stream;  // the file being read
  // A track file stays open from its first event until it is copied, so
  // nothing can swap it by name in between.
  int descriptor = -1;
  // Bytes not yet in the file: a track's latest bytes, or the whole output,
  // which reaches its destination only once complete.
  std::vector<std::uint8_t> pending;
  std::uint32_t flushed = 0;  // bytes already in the track file
};

// Writes a Standard MIDI File (format 1, 64 ticks per quarter note) from a
// stream of timed events, and reads one back. Each track's bytes go at once
// into "~trk<hex>.tmp" in a private folder of this object inside the program
// folder; WriteMidiFile assembles the header and one chunk per used track
// and saves the song safely: an existing file of that name is replaced only
// by the complete new song and is otherwise left as it was.
//
// Use: CreateNewMidiFile; events and waits in time order; WriteMidiFile;
// discard the object.
//
// Failures: CreateNewMidiFile and the reader show their messages through the
// dialogs. A write that fails (the file layer, or an event outside the file
// format: a track outside 0 to 32, a wait longer than 32767 ticks, a tempo
// that does not fit 24 bits) returns false and records ErrorDescription();
// the song is then spoilt: later events are ignored, WriteMidiFile returns
// false and leaves the destination untouched. The caller
// shows the description ("Unable to save file:" ...).
class MIDIFile {
 public:
  static constexpr int kTrackSlots = 33;

  MIDIFile(std::filesystem::path programFolder, Dialogs& dialogs);
  ~MIDIFile();
  MIDIFile(const MIDIFile&) = delete;
  MIDIFile& operator=(const MIDIFile&) = delete;

  void CloseMidiFile();
  // Reads the header into Format/TrackCount/TicksPerQuarterNote and walks
  // every track. False when the file was missing, unreadable or damaged
  // (the message has been shown, or ErrorDescription() holds it).
  bool OpenMidiFile(const std::string& midiFileName);
  bool CreateNewMidiFile(const std::string& midiFileName);
  bool WriteMidiFile();
  bool WriteEventNoteOff(std::int16_t trackNumber, std::int16_t midiChannel, std::int16_t midiNote);
  bool WriteEventNoteOn(std::int16_t trackNumber, std::int16_t midiChannel, std::int16_t midiNote,
                        std::int16_t noteVelocity);
  bool WriteEventChangePatch(std::int16_t trackNumber, std::int16_t midiChannel, std::int16_t patchNumber);
  // newTempo in quarter notes per minute.
  bool WriteMetaEventTempoChange(std::int16_t trackNumber, double newTempo);
  bool WriteMetaEventGeneralText(std::int16_t trackNumber, std::string text);
  bool WriteMetaEventCopyrightText(std::int16_t trackNumber, std::string text);
  bool WriteMetaEventTrackName(std::int16_t trackNumber, std::string trackName);
  bool WriteMetaEventInstrumentName(std::int16_t trackNumber, std::string instrumentName);
  bool WriteMetaEventSongLyric(std::int16_t trackNumber, std::string lyric);
  // Sets (does not add to) the delta that the next event, on any track, carries.
  bool WriteMetaEventWait(double durationInQuarterNotes);

  std::int16_t Format() const { return format; }
  std::int16_t TrackCount() const { return trackCount; }
  std::int16_t TicksPerQuarterNote() const { return ticksPerQuarterNote; }
  // The first failure since the file was created or opened; empty when none.
  const std::string& ErrorDescription() const { return errorDescription_; }

 private:
  enum class State { Idle, Writing, Written, Reading };

  void ResetState();
  void DeleteTempFiles();
  bool WriteHeaderChunk();
  bool AppendTrackChunk(int trackNumber);
  bool FinishTrack(int trackNumber);
  bool WriteEndOfTrack(int trackNumber);
  bool WriteTextMetaEvent(std::int16_t trackNumber, std::uint8_t type, const std::string& text);
  bool WriteDeltaTime(int trackNumber);
  bool EnsureTrackOpen(std::int16_t trackNumber);
  bool OpenTrackFile(int trackNumber);
  void ShowFileError(const std::string& message);
  bool BeginEvent(std::int16_t trackNumber);
  bool Fail(std::string description);
  bool FailFromErrno();
  std::int32_t FreeFileHandle() { return nextHandle_++; }

  bool WriteByte(FileSlot& slot, std::uint8_t value);
  bool WriteWord(FileSlot& slot, std::uint16_t value);
  bool WriteLong(FileSlot& slot, std::uint32_t value);
  bool WriteString(FileSlot& slot, const std::string& text);
  bool WriteVarLen(FileSlot& slot, std::uint32_t value);
  bool FlushTrack(FileSlot& slot);

  std::filesystem::path programFolder_;
  TrackFolder trackFolder_;
  std::unique_ptr<SafeFileWriter> outputWriter_;
  Dialogs& dialogs_;
  State state_ = State::Idle;
  std::string errorDescription_;
  std::int32_t nextHandle_ = 1;

  std::int16_t format = 0;
  std::int16_t trackCount = 0;
  std::int16_t ticksPerQuarterNote = 0;
  std::int16_t pendingDelta = 0;
  std::array<FileSlot, kTrackSlots> tracks;
  FileSlot outputFile;
};
