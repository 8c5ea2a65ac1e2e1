#pragma once

#include <cstddef>
#include <string>

// One client of the system's MIDI sequencer as RtMidiOut presents it (and
// named as RtMidiOut names it): the output ports it sees, and one of them
// opened for sending. Failures are thrown as RtMidiError.
class MidiPortClient {
 public:
  virtual ~MidiPortClient() = default;

  virtual unsigned getPortCount() = 0;
  virtual std::string getPortName(unsigned port) = 0;
  virtual void openPort(unsigned port, const std::string& portName) = 0;
  virtual bool isPortOpen() const = 0;
  virtual void sendMessage(const unsigned char* bytes, std::size_t size) = 0;
};
