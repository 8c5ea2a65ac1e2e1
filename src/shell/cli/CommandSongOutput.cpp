#include "CommandSongOutput.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <iostream>

#include "SongAudioExport.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void NoteInterrupt(int) { interrupted = 1; }

bool IsTerminal(const std::ostream& stream) {
  return (&stream == &std::cerr && isatty(STDERR_FILENO)) || (&stream == &std::cout && isatty(STDOUT_FILENO));
}

}  // namespace

AudioProgressLine::AudioProgressLine(std::ostream& err, std::string label)
    : err_(err), label_(std::move(label)), enabled_(IsTerminal(err)) {
  interrupted = 0;
  // Ctrl-C ends the work between two blocks, so the temporary files go too.
  previousHandler_ = std::signal(SIGINT, NoteInterrupt);
}

AudioProgressLine::~AudioProgressLine() {
  std::signal(SIGINT, previousHandler_ == SIG_ERR ? SIG_DFL : previousHandler_);
  if (enabled_ && lastPercent_ >= 0) err_ << "\r" << std::string(label_.size() + 8, ' ') << "\r" << std::flush;
}

bool AudioProgressLine::operator()(double fraction) {
  if (interrupted) return false;
  if (!enabled_) return true;
  const int percent = static_cast<int>(std::floor(std::clamp(fraction, 0.0, 1.0) * 100));
  if (percent != lastPercent_) {
    lastPercent_ = percent;
    err_ << "\r" << label_ << ": " << percent << "%" << std::flush;
  }
  return true;
}

SongResult WriteCommandSong(const std::string& outputPath,
                            const std::function<SongResult(const std::string& midiFileName)>& writeMidi,
                            std::ostream& err) {
  // A MIDI file's writer saves safely on its own.
  if (!IsAudioSongFile(outputPath)) return writeMidi(outputPath);
  AudioProgressLine progress(err, "Saving " + std::filesystem::path(outputPath).filename().string());
  return ExportSongAudio(outputPath, writeMidi, std::ref(progress));
}

SongResult WriteCommandAudio(const std::string& midiFileName, const std::string& outputPath, std::ostream& err) {
  AudioProgressLine progress(err, "Saving " + std::filesystem::path(outputPath).filename().string());
  return RenderMidiFileAudio(midiFileName, outputPath, std::ref(progress));
}
