#include "SongAudioExport.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "MidiSequence.h"
#include "SafeFileWriter.h"

namespace {

// A new empty file of our own in the temporary folder; an empty path when
// none could be made.
std::filesystem::path MakeTemporaryMidiFile(std::string& error) {
  std::error_code folderError;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(folderError);
  if (folderError) {
    error = folderError.message();
    return {};
  }
  const std::string pattern = (folder / "quillory-song-XXXXXX.mid").string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int descriptor = mkstemps(name.data(), 4);
  if (descriptor < 0) {
    error = std::system_category().message(errno);
    return {};
  }
  close(descriptor);
  return std::filesystem::path(name.data());
}

SongResult FromRender(const AudioRenderResult& rendered) {
  switch (rendered.outcome) {
    case AudioRenderResult::Outcome::Written: return {};
    case AudioRenderResult::Outcome::Cancelled: return {SongResult::Outcome::Cancelled, {}};
    case AudioRenderResult::Outcome::Failed: break;
  }
  return {SongResult::Outcome::Failed, rendered.error};
}

}  // namespace

bool IsAudioSongFile(const std::filesystem::path& fileName) { return AudioFormatOf(fileName).has_value(); }

SongResult RenderMidiFileAudio(const std::filesystem::path& midiFileName, const std::filesystem::path& fileName,
                               const AudioProgress& progress, const SongAudioRenderer& renderer) {
  const std::optional<AudioFormat> format = AudioFormatOf(fileName);
  if (!format) return {SongResult::Outcome::Failed, "not an audio file name (.wav, .flac or .ogg)"};
  std::string error;
  const std::optional<MidiSequence> song = MidiSequence::Read(midiFileName, error);
  if (!song) return {SongResult::Outcome::Failed, midiFileName.string() + " " + error};
  // The one place where the audio reaches its destination: a fresh file
  // beside it, synced and renamed over it only when complete.
  SafeFileWriter writer(fileName);
  if (!writer.Open()) return {SongResult::Outcome::NotCreated, writer.Error()};
  SongResult result = FromRender(renderer.Render(*song, writer.TemporaryPath().string(), *format, progress));
  if (result.outcome != SongResult::Outcome::Saved) {
    writer.Discard();
    return result;
  }
  std::error_code sizeError;
  const std::uintmax_t size = std::filesystem::file_size(writer.TemporaryPath(), sizeError);
  if (sizeError || !writer.Commit(size)) {
    writer.Discard();
    return {SongResult::Outcome::Failed, sizeError ? sizeError.message() : writer.Error()};
  }
  return result;
}

SongResult ExportSongAudio(const std::filesystem::path& fileName,
                           const std::function<SongResult(const std::string& midiFileName)>& writeMidi,
                           const AudioProgress& progress, const SongAudioRenderer& renderer) {
  std::string error;
  const std::filesystem::path midiFile = MakeTemporaryMidiFile(error);
  if (midiFile.empty()) return {SongResult::Outcome::Failed, error};
  SongResult result = writeMidi(midiFile.string());
  if (result.outcome == SongResult::Outcome::Saved)
    result = RenderMidiFileAudio(midiFile, fileName, progress, renderer);
  std::error_code removeError;
  std::filesystem::remove(midiFile, removeError);
  return result;
}
