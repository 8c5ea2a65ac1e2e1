#pragma once

#include <functional>
#include <string>

#include "Dialogs.h"

// How writing a song file ended.
struct SongResult {
  enum class Outcome {
    Saved,
    NotCreated,  // the output could not be created; MIDIFile has said why
    Failed,      // a write failed after creation; error holds the description
    Cancelled,   // the user stopped it; nothing was left behind
  };
  Outcome outcome = Outcome::Saved;
  std::string error;
};

// The text of an error trapped while a song is saved.
std::string UnableToSaveMessage(const std::string& description);

// Tells the user how a save ended, with the music windows' messages.
void ReportSongResult(Dialogs& dialogs, const SongResult& result);

// The "Save Song" command of both music windows: asks for a file name, asks
// before replacing an existing file, then hands the name to save and reports
// its result. Nothing is written when the user cancels or declines. A name
// ending in .wav, .flac or .ogg is saved as audio: save then writes the
// song's MIDI file to a temporary name, which is played into the audio file
// while a progress display runs.
void RunSaveSongCommand(Dialogs& dialogs, const std::function<SongResult(const std::string& fileName)>& save);
