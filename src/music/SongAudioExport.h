#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "SongAudioRenderer.h"
#include "SongSave.h"

// The file types a song can be saved as, for the save dialog; MIDI first.
inline constexpr const char* kSongFileFilter =
    "MIDI Files (*.mid);;Wave Files (*.wav);;FLAC Files (*.flac);;Ogg Vorbis Files (*.ogg)";

// True when the name asks for audio (.wav, .flac or .ogg) rather than MIDI.
bool IsAudioSongFile(const std::filesystem::path& fileName);

// Writes a song as audio: writeMidi makes the song's MIDI file under the
// name it is given (a private temporary file), which is then played offline
// into fileName in the format its extension names. fileName is replaced
// only once the audio is complete; after a failure or a cancel it holds what
// it held before and no temporary file is left.
SongResult ExportSongAudio(const std::filesystem::path& fileName,
                           const std::function<SongResult(const std::string& midiFileName)>& writeMidi,
                           const AudioProgress& progress, const SongAudioRenderer& renderer = SongAudioRenderer());

// Plays an existing MIDI file into fileName as ExportSongAudio does.
SongResult RenderMidiFileAudio(const std::filesystem::path& midiFileName, const std::filesystem::path& fileName,
                               const AudioProgress& progress, const SongAudioRenderer& renderer = SongAudioRenderer());
