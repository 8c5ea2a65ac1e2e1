#include "MidiOutputChoices.h"

#include "DesktopMidiService.h"

MidiOutputChoices ListMidiOutputs(MidiService& service) {
  MidiOutputChoices choices;
  choices.names.push_back(MidiOutputChoices::kSynthesizerName);
  const std::vector<std::string> ports = service.DeviceNames();
  choices.names.insert(choices.names.end(), ports.begin(), ports.end());
  const std::string preferred = service.PreferredPort();
  if (!preferred.empty())
    if (const auto port = FindPortByName(ports, preferred)) choices.checked = *port + 1;
  return choices;
}

std::string ChooseMidiOutput(MidiService& service, const MidiOutputChoices& choices, int index) {
  const bool isPort = index > 0 && index < static_cast<int>(choices.names.size());
  const std::string port = isPort ? choices.names[static_cast<std::size_t>(index)] : std::string();
  service.SetPreferredPort(port);
  return port;
}
