#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "SongAudioRenderer.h"
#include "SongSave.h"

// A command's song reaching its --out file: a MIDI file through a sibling
// file that replaces the destination when complete, an audio file (.wav,
// .flac, .ogg) played offline the same way. While audio is written, a
// progress line runs on a terminal and Ctrl-C cancels, leaving nothing.
SongResult WriteCommandSong(const std::string& outputPath,
                            const std::function<SongResult(const std::string& midiFileName)>& writeMidi,
                            std::ostream& err);

// Renders an existing MIDI file to an audio file with the same progress line
// and cancelling.
SongResult WriteCommandAudio(const std::string& midiFileName, const std::string& outputPath, std::ostream& err);

// The progress line: "\rSaving song.wav: 42%" on err when it is the
// process's terminal, nothing otherwise. While it lives, Ctrl-C does not end
// the process; the call answers false from then on, so the work stops
// between two blocks and cleans up after itself.
class AudioProgressLine {
 public:
  AudioProgressLine(std::ostream& err, std::string label);
  ~AudioProgressLine();
  AudioProgressLine(const AudioProgressLine&) = delete;
  AudioProgressLine& operator=(const AudioProgressLine&) = delete;

  bool operator()(double fraction);

 private:
  std::ostream& err_;
  std::string label_;
  bool enabled_;
  int lastPercent_ = -1;
  void (*previousHandler_)(int) = nullptr;
};
