#include "FluidSynthSetup.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>

#include <system_error>

namespace fluid_setup {

namespace {

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void SilenceLibraryLogs() {
  // ALSA would otherwise describe every missing sound card on stderr.
  for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
    fluid_set_log_function(level, nullptr, nullptr);
  snd_lib_error_set_handler(IgnoreAlsaError);
}

void ApplySettings(fluid_settings_t* settings) {
  fluid_settings_setnum(settings, "synth.gain", kGain);
  fluid_settings_setnum(settings, "synth.sample-rate", kSampleRate);
  // Reading the whole General MIDI bank takes over a second; with samples
  // loaded per selected instrument the SoundFont is ready in about a third
  // of that, and a program change costs some tens of milliseconds.
  fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
}

std::vector<std::filesystem::path> DefaultSoundFonts() {
  return {"/usr/share/sounds/sf3/default-GM.sf3", "/usr/share/sounds/sf2/default-GM.sf2",
          "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"};
}

std::filesystem::path LoadFirstSoundFont(fluid_synth_t* synth, const std::vector<std::filesystem::path>& candidates) {
  for (const std::filesystem::path& candidate : candidates) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(candidate, error)) continue;
    if (fluid_synth_sfload(synth, candidate.c_str(), 1) != FLUID_FAILED) return candidate;
  }
  return {};
}

void SendShortMessage(fluid_synth_t* synth, std::uint32_t message) {
  const int status = message & 0xFF;
  const int channel = status & 0x0F;
  const int data1 = (message >> 8) & 0x7F;
  const int data2 = (message >> 16) & 0x7F;
  switch (status & 0xF0) {
    case 0x80: fluid_synth_noteoff(synth, channel, data1); break;
    // Velocity 0 is a note-off; the synthesizer takes it as one.
    case 0x90: fluid_synth_noteon(synth, channel, data1, data2); break;
    case 0xA0: fluid_synth_key_pressure(synth, channel, data1, data2); break;
    case 0xB0: fluid_synth_cc(synth, channel, data1, data2); break;
    case 0xC0: fluid_synth_program_change(synth, channel, data1); break;
    case 0xD0: fluid_synth_channel_pressure(synth, channel, data1); break;
    case 0xE0: fluid_synth_pitch_bend(synth, channel, data1 | data2 << 7); break;
    default: break;  // no system messages travel as short messages here
  }
}

}  // namespace fluid_setup
