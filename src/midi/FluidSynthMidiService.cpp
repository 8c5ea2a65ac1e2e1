#include "FluidSynthMidiService.h"

#include <fluidsynth.h>

#include "FluidSynthSetup.h"

void FluidSynthMidiService::SettingsDeleter::operator()(fluid_settings_t* settings) const {
  delete_fluid_settings(settings);
}

void FluidSynthMidiService::SynthDeleter::operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }

void FluidSynthMidiService::DriverDeleter::operator()(fluid_audio_driver_t* driver) const {
  delete_fluid_audio_driver(driver);
}

std::vector<std::string> FluidSynthMidiService::DefaultAudioDrivers() { return {"pulseaudio", "alsa"}; }

std::vector<std::filesystem::path> FluidSynthMidiService::DefaultSoundFonts() {
  return fluid_setup::DefaultSoundFonts();
}

FluidSynthMidiService::FluidSynthMidiService(std::vector<std::string> audioDrivers,
                                             std::vector<std::filesystem::path> soundFonts,
                                             const std::map<std::string, std::string>& audioSettings)
    : audioDrivers_(std::move(audioDrivers)) {
  fluid_setup::SilenceLibraryLogs();
  settings_.reset(new_fluid_settings());
  if (!settings_) return;
  fluid_setup::ApplySettings(settings_.get());
  for (const auto& [name, value] : audioSettings) fluid_settings_setstr(settings_.get(), name.c_str(), value.c_str());
  synth_.reset(new_fluid_synth(settings_.get()));
  if (!synth_) return;
  // Nothing else touches the synthesizer until SoundFontReady has waited for this.
  soundFontLoad_ = std::async(std::launch::async, [synth = synth_.get(), soundFonts = std::move(soundFonts)] {
    return fluid_setup::LoadFirstSoundFont(synth, soundFonts);
  });
}

FluidSynthMidiService::~FluidSynthMidiService() {
  driver_.reset();
  if (soundFontLoad_.valid()) soundFontLoad_.wait();
}

bool FluidSynthMidiService::SoundFontReady() {
  if (!soundFontKnown_ && soundFontLoad_.valid()) {
    soundFont_ = soundFontLoad_.get();
    soundFontKnown_ = true;
  }
  return !soundFont_.empty();
}

std::filesystem::path FluidSynthMidiService::SoundFont() {
  SoundFontReady();
  return soundFont_;
}

bool FluidSynthMidiService::StartAudio() {
  if (audioDrivers_.empty()) return true;
  for (const std::string& name : audioDrivers_) {
    fluid_settings_setstr(settings_.get(), "audio.driver", name.c_str());
    driver_.reset(new_fluid_audio_driver(settings_.get(), synth_.get()));
    if (driver_) return true;
  }
  return false;
}

MidiOpenResult FluidSynthMidiService::Open(int deviceId) {
  if (deviceId != kMidiDefaultDevice) return {0, kMidiResultBadDeviceId};
  if (heldHandle_ != 0) return {0, kMidiResultAllocated};
  if (!synth_ || !SoundFontReady()) return {0, kMidiResultError};
  // Each owner starts from General MIDI defaults, whatever the last one left.
  fluid_synth_system_reset(synth_.get());
  if (!StartAudio()) return {0, kMidiResultNoDriver};
  heldHandle_ = nextHandle_++;
  return {heldHandle_, kMidiResultOk};
}

MidiResult FluidSynthMidiService::SendShortMessage(MidiHandle handle, std::uint32_t message) {
  if (handle == 0 || handle != heldHandle_) return kMidiResultInvalidHandle;
  fluid_setup::SendShortMessage(synth_.get(), message);
  return kMidiResultOk;
}

MidiResult FluidSynthMidiService::Close(MidiHandle handle) {
  if (handle == 0 || handle != heldHandle_) return kMidiResultInvalidHandle;
  driver_.reset();
  fluid_synth_all_sounds_off(synth_.get(), -1);
  heldHandle_ = 0;
  return kMidiResultOk;
}

std::vector<float> FluidSynthMidiService::RenderOffline(int frames) {
  std::vector<float> samples(static_cast<std::size_t>(frames) * 2, 0.0f);
  if (!synth_ || driver_ || frames <= 0) return samples;
  SoundFontReady();
  fluid_synth_write_float(synth_.get(), frames, samples.data(), 0, 2, samples.data(), 1, 2);
  return samples;
}
