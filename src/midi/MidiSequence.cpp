#include "MidiSequence.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

constexpr std::uint32_t kDefaultMicrosecondsPerQuarter = 500000;  // 120 quarter notes per minute

// A cursor over a byte range that refuses to read past its end.
class ByteCursor {
 public:
  ByteCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool AtEnd() const { return position_ >= bytes_.size(); }
  std::size_t Left() const { return bytes_.size() - position_; }
  bool Byte(std::uint8_t& value) {
    if (AtEnd()) return false;
    value = bytes_[position_++];
    return true;
  }
  bool Number(int width, std::uint32_t& value) {
    if (Left() < static_cast<std::size_t>(width)) return false;
    value = 0;
    for (int i = 0; i < width; ++i) value = value << 8 | bytes_[position_++];
    return true;
  }
  bool VarLen(std::uint32_t& value) {
    value = 0;
    for (int count = 0; count < 4; ++count) {
      std::uint8_t byte = 0;
      if (!Byte(byte)) return false;
      value = value << 7 | (byte & 0x7F);
      if (byte < 0x80) return true;
    }
    return false;  // a fifth byte would not fit 28 bits
  }
  bool Take(std::size_t count, std::span<const std::uint8_t>& taken) {
    if (Left() < count) return false;
    taken = bytes_.subspan(position_, count);
    position_ += count;
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

int DataBytesOf(std::uint8_t status) {
  const std::uint8_t kind = status & 0xF0;
  return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

}  // namespace

class MidiSequence::Builder {
 public:
  std::vector<TimedTick> messages;  // merged later by tick
  std::vector<TimedTick> tempoChanges;
  std::int64_t lastTick = 0;

  // Walks one track chunk's bytes; false when they are damaged.
  bool ReadTrack(std::span<const std::uint8_t> bytes, Track& track) {
    ByteCursor cursor(bytes);
    std::int64_t tick = 0;
    std::uint8_t runningStatus = 0;
    while (!cursor.AtEnd()) {
      std::uint32_t delta = 0;
      std::uint8_t first = 0;
      if (!cursor.VarLen(delta) || !cursor.Byte(first)) return false;
      tick += delta;
      ++track.eventCount;
      if (first == 0xFF) {
        runningStatus = 0;
        std::uint8_t type = 0;
        std::uint32_t length = 0;
        std::span<const std::uint8_t> data;
        if (!cursor.Byte(type) || !cursor.VarLen(length) || !cursor.Take(length, data)) return false;
        if (type == 0x2F) break;
        if (type == 0x03 && track.name.empty()) track.name.assign(data.begin(), data.end());
        if (type == 0x51 && data.size() == 3)
          tempoChanges.push_back({tick, static_cast<std::uint32_t>(data[0] << 16 | data[1] << 8 | data[2])});
      } else if (first == 0xF0 || first == 0xF7) {
        runningStatus = 0;
        std::uint32_t length = 0;
        std::span<const std::uint8_t> data;
        if (!cursor.VarLen(length) || !cursor.Take(length, data)) return false;
      } else {
        std::uint8_t status = first;
        std::uint8_t data[2] = {0, 0};
        int next = 0;
        if (first < 0x80) {
          if (runningStatus == 0) return false;  // data with no status to run on
          status = runningStatus;
          data[next++] = first;
        }
        if (status >= 0xF0) return false;  // no other system message belongs in a file
        runningStatus = status;
        for (; next < DataBytesOf(status); ++next)
          if (!cursor.Byte(data[next]) || data[next] >= 0x80) return false;
        messages.push_back({tick, static_cast<std::uint32_t>(status | data[0] << 8 | data[1] << 16)});
      }
    }
    lastTick = std::max(lastTick, tick);
    return true;
  }
};

std::optional<MidiSequence> MidiSequence::Read(const std::filesystem::path& path, std::string& error) {
  std::ifstream input(path, std::ios::binary);
  if (!input) {
    error = "cannot be opened";
    return std::nullopt;
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>()};
  if (input.bad()) {
    error = "cannot be read";
    return std::nullopt;
  }
  return Parse(bytes, error);
}

std::optional<MidiSequence> MidiSequence::Parse(std::span<const std::uint8_t> bytes, std::string& error) {
  ByteCursor cursor(bytes);
  std::span<const std::uint8_t> id;
  std::uint32_t headerLength = 0, format = 0, trackCount = 0, division = 0;
  if (!cursor.Take(4, id) || !std::equal(id.begin(), id.end(), "MThd") || !cursor.Number(4, headerLength) ||
      headerLength < 6 || !cursor.Number(2, format) || !cursor.Number(2, trackCount) || !cursor.Number(2, division)) {
    error = "is not a Standard MIDI File";
    return std::nullopt;
  }
  std::span<const std::uint8_t> rest;
  if (!cursor.Take(headerLength - 6, rest)) {
    error = "is damaged";
    return std::nullopt;
  }

  MidiSequence sequence;
  sequence.format_ = static_cast<int>(format);
  // SMPTE time (the top bit set) counts frames per second times ticks per frame.
  const bool smpte = (division & 0x8000) != 0;
  const double ticksPerSecond = smpte ? (256 - (division >> 8)) * static_cast<double>(division & 0xFF) : 0.0;
  sequence.ticksPerQuarterNote_ = smpte ? 0 : static_cast<int>(division);
  if ((smpte && ticksPerSecond <= 0) || (!smpte && division == 0)) {
    error = "has no time division";
    return std::nullopt;
  }

  Builder builder;
  while (sequence.tracks_.size() < trackCount && !cursor.AtEnd()) {
    std::uint32_t length = 0;
    std::span<const std::uint8_t> chunk;
    if (!cursor.Take(4, id) || !cursor.Number(4, length) || !cursor.Take(length, chunk)) {
      error = "is damaged: a chunk ends early";
      return std::nullopt;
    }
    if (!std::equal(id.begin(), id.end(), "MTrk")) continue;  // unknown chunks are skipped, as the format asks
    Track track;
    if (!builder.ReadTrack(chunk, track)) {
      error = "is damaged in track " + std::to_string(sequence.tracks_.size() + 1);
      return std::nullopt;
    }
    sequence.tracks_.push_back(std::move(track));
  }
  if (sequence.tracks_.size() < trackCount) {
    error = "is damaged: it has fewer tracks than its header says";
    return std::nullopt;
  }

  std::stable_sort(builder.tempoChanges.begin(), builder.tempoChanges.end(),
                   [](const TimedTick& a, const TimedTick& b) { return a.tick < b.tick; });
  std::stable_sort(builder.messages.begin(), builder.messages.end(),
                   [](const TimedTick& a, const TimedTick& b) { return a.tick < b.tick; });
  for (const TimedTick& change : builder.tempoChanges)
    if (change.value != 0) sequence.tempos_.push_back(60000000.0 / change.value);

  // Ticks to seconds through the tempo map; SMPTE time ignores tempo.
  std::size_t nextTempo = 0;
  std::int64_t segmentTick = 0;
  double segmentSeconds = 0.0;
  std::uint32_t microsecondsPerQuarter = kDefaultMicrosecondsPerQuarter;
  const auto secondsAt = [&](std::int64_t tick) {
    if (smpte) return tick / ticksPerSecond;
    while (nextTempo < builder.tempoChanges.size() && builder.tempoChanges[nextTempo].tick <= tick) {
      const TimedTick& change = builder.tempoChanges[nextTempo++];
      segmentSeconds += (change.tick - segmentTick) * (microsecondsPerQuarter / 1e6) / division;
      segmentTick = change.tick;
      if (change.value != 0) microsecondsPerQuarter = change.value;
    }
    return segmentSeconds + (tick - segmentTick) * (microsecondsPerQuarter / 1e6) / division;
  };
  sequence.events_.reserve(builder.messages.size());
  for (const TimedTick& message : builder.messages)
    sequence.events_.push_back({secondsAt(message.tick), message.value});
  sequence.durationSeconds_ = secondsAt(builder.lastTick);
  return sequence;
}
