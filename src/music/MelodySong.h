#pragma once

#include <string>

#include "FractalRenderer.h"
#include "MIDIFile.h"
#include "MelodizerSettings.h"
#include "ScaleTables.h"
#include "SongSave.h"

// Writes the melody of the settings to a Standard MIDI File: every level on
// one track, channel 0, velocity 127, a quarter of a quarter note per
// position. The melody is computed afresh, independently of any run; the
// renderer's limit is set from the settings.
//
// The song ends cleanly: the time since the last change is written, then a
// Note Off for every level still sounding, highest level first, so the last
// notes keep their length in a sequencer.
SongResult WriteMelodySong(MIDIFile& file, const std::string& fileName, const MelodizerSettings& settings,
                           FractalRenderer& renderer, const ScaleTables& scales);
