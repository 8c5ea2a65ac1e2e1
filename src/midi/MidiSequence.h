#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A Standard MIDI File read whole: every track's events merged into one
// timeline in seconds, with what a listing of the file needs (tracks, their
// event counts, the tempo, the length). Reads stay inside the bytes given; a
// damaged file gives no sequence and a description instead.
class MidiSequence {
 public:
  // One channel message at its time; message packed as a short message
  // (status in the lowest byte, then data1, then data2).
  struct Event {
    double seconds = 0.0;
    std::uint32_t message = 0;
  };
  struct Track {
    std::string name;     // the first track-name meta event, if any
    int eventCount = 0;   // every event, meta events and the end of track included
  };

  static std::optional<MidiSequence> Read(const std::filesystem::path& path, std::string& error);
  static std::optional<MidiSequence> Parse(std::span<const std::uint8_t> bytes, std::string& error);

  int Format() const { return format_; }
  int TicksPerQuarterNote() const { return ticksPerQuarterNote_; }
  const std::vector<Track>& Tracks() const { return tracks_; }
  // Channel messages of all tracks in time order; equal times keep file order.
  const std::vector<Event>& Events() const { return events_; }
  // Quarter notes per minute of every tempo change in time order; empty
  // when the file sets none (it then plays at 120).
  const std::vector<double>& Tempos() const { return tempos_; }
  // The end of the longest track, in seconds.
  double DurationSeconds() const { return durationSeconds_; }

 private:
  struct TimedTick {
    std::int64_t tick = 0;
    std::uint32_t value = 0;  // message, or microseconds per quarter note
  };
  class Builder;

  int format_ = 0;
  int ticksPerQuarterNote_ = 0;
  std::vector<Track> tracks_;
  std::vector<Event> events_;
  std::vector<double> tempos_;
  double durationSeconds_ = 0.0;
};
