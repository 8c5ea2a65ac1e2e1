#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "Dialogs.h"
#include "FractalRenderer.h"
#include "MIDIFile.h"
#include "SongSave.h"

// The Orbiter's song of a point c: one note per orbit value, each half a
// quarter note long at 120 beats per minute, channel 0, the harp.
inline constexpr std::int32_t kOrbitSongCap = 16000;
inline constexpr std::int16_t kOrbitPatch = 46;

// How many orbit values the song of c records: the escape count under the
// cap of 16000 (the renderer keeps that cap). When c does not escape, the
// user is asked; an answer that is not a number is explained and taken as
// 200. No count means the answer did not fit 32 bits; error then holds the
// description to report, and no file is created.
struct OrbitNoteCount {
  std::optional<std::int32_t> notes;
  std::string error;
};
OrbitNoteCount OrbitNotesToRecord(FractalRenderer& renderer, ComplexNumber c, Dialogs& dialogs);

// Writes the song: the orbit restarts at c, its first value unrecorded, then
// up to `notes` values until one leaves the radius-2 disc. The renderer's
// orbit goes on from the last value reached.
SongResult WriteOrbitSong(MIDIFile& file, const std::string& fileName, FractalRenderer& renderer, ComplexNumber c,
                          std::int32_t notes);
