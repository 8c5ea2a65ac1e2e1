#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

struct _fluid_hashtable_t;
struct _fluid_synth_t;

// What the live synthesizer and the offline song renderer share, so that a
// song file sounds as the window played it: the settings, the SoundFont
// lookup and the way a packed short message reaches the synthesizer.
namespace fluid_setup {

inline constexpr int kSampleRate = 44100;
// Loud enough for a single note to be heard plainly, quiet enough that full
// General MIDI chords stay clear of clipping.
inline constexpr double kGain = 0.6;

// The program has no log and shows no console; failures come back as codes.
void SilenceLibraryLogs();
void ApplySettings(_fluid_hashtable_t* settings);
// The General MIDI SoundFonts that Debian installs, in order of preference.
std::vector<std::filesystem::path> DefaultSoundFonts();
// The first candidate the synthesizer accepts, or an empty path.
std::filesystem::path LoadFirstSoundFont(_fluid_synth_t* synth, const std::vector<std::filesystem::path>& candidates);
// message: status in the lowest byte, then data1, then data2.
void SendShortMessage(_fluid_synth_t* synth, std::uint32_t message);

}  // namespace fluid_setup
