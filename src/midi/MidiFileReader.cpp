#include "MidiFileReader.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint8_t kMetaEvent = 0xFF;
constexpr std::uint8_t kMetaSequenceNumber = 0x00;
constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
constexpr std::uint8_t kMetaTempo = 0x51;
constexpr std::uint8_t kMetaTimeSignature = 0x58;
constexpr std::int64_t kHeaderLength = 6;

bool IdIs(const std::array<char, 4>& id, const char* expected) { return std::memcmp(id.data(), expected, 4) == 0; }

}  // namespace

MidiFileReader::MidiFileReader(std::istream& input, std::int64_t size)
    : input_(input), size_(std::max<std::int64_t>(size, 0)), limit_(size_) {}

MidiFileReader::Result MidiFileReader::Read() {
  Result result;
  if (ReadHeaderChunk(result)) {
    for (int track = 0; track < static_cast<std::uint16_t>(result.trackCount); ++track) {
      if (!ReadTrackChunk(result)) break;
      ++result.tracksRead;
    }
  }
  result.position = position_;
  return result;
}

bool MidiFileReader::Take(std::int64_t count) {
  if (damaged_ || count > limit_ - position_) {
    damaged_ = true;
    return false;
  }
  return true;
}

std::uint8_t MidiFileReader::ReadByte() {
  if (!Take(1)) return 0;
  const int value = input_.get();
  if (value == std::char_traits<char>::eof()) {
    damaged_ = true;
    return 0;
  }
  ++position_;
  return static_cast<std::uint8_t>(value);
}

std::uint16_t MidiFileReader::ReadWord() {
  const std::uint16_t high = ReadByte();
  return static_cast<std::uint16_t>(high << 8 | ReadByte());
}

std::uint32_t MidiFileReader::ReadLong() {
  const std::uint32_t high = ReadWord();
  return high << 16 | ReadWord();
}

std::array<char, 4> MidiFileReader::ReadChunkId() {
  std::array<char, 4> id{};
  for (char& c : id) c = static_cast<char>(ReadByte());
  return id;
}

std::uint32_t MidiFileReader::ReadVarLen() {
  std::uint32_t value = 0;
  for (int count = 0; count < kLongestVarLen; ++count) {
    const std::uint8_t byte = ReadByte();
    if (damaged_) return 0;
    value = value << 7 | (byte & 0x7F);
    if (byte < 0x80) return value;
  }
  // A fifth byte would not fit the 28 bits a quantity may carry.
  damaged_ = true;
  return 0;
}

void MidiFileReader::Skip(std::uint32_t count) {
  // Skipped data passes through the scratch buffer a buffer-full at a time.
  while (count > 0 && !damaged_) {
    const std::uint32_t piece = std::min<std::uint32_t>(count, kScratchSize);
    for (std::uint32_t i = 0; i < piece && !damaged_; ++i) scratch_[i] = ReadByte();
    count -= piece;
  }
}

bool MidiFileReader::ReadHeaderChunk(Result& result) {
  const auto id = ReadChunkId();
  if (damaged_ || !IdIs(id, "MThd")) {
    result.outcome = damaged_ ? Outcome::Damaged : Outcome::WrongHeaderId;
    return false;
  }
  const std::int64_t length = ReadLong();
  if (!damaged_ && length < kHeaderLength) damaged_ = true;
  const std::uint16_t format = ReadWord();
  const std::uint16_t trackCount = ReadWord();
  const std::uint16_t division = ReadWord();
  // Honour a longer header so the first track is found where the file says.
  if (!damaged_) Skip(static_cast<std::uint32_t>(std::min<std::int64_t>(length - kHeaderLength, limit_)));
  if (damaged_) {
    result.outcome = Outcome::Damaged;
    return false;
  }
  result.format = static_cast<std::int16_t>(format);
  result.trackCount = static_cast<std::int16_t>(trackCount);
  result.ticksPerQuarterNote = static_cast<std::int16_t>(division & 0x7FFF);
  return true;
}

bool MidiFileReader::ReadTrackChunk(Result& result) {
  const auto id = ReadChunkId();
  if (!damaged_ && !IdIs(id, "MTrk")) {
    result.outcome = Outcome::WrongTrackId;
    return false;
  }
  const std::int64_t length = ReadLong();
  if (damaged_) {
    result.outcome = Outcome::Damaged;
    return false;
  }
  const std::int64_t chunkEnd = position_ + length;
  limit_ = std::min(chunkEnd, size_);
  bool more = true;
  while (more && !damaged_) {
    ReadVarLen();
    if (!damaged_) more = ReadEvent();
  }
  // Anything after the end-of-track event belongs to this chunk still.
  if (!damaged_) Skip(static_cast<std::uint32_t>(limit_ - position_));
  limit_ = size_;
  if (damaged_ || chunkEnd > size_) {
    result.outcome = Outcome::Damaged;
    return false;
  }
  return true;
}

bool MidiFileReader::ReadEvent() {
  const std::uint8_t status = ReadByte();
  if (status == kMetaEvent) return ReadMetaEvent();
  switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
      ReadByte();
      return true;
    default:
      // Two data bytes; running status and system-exclusive messages are not
      // part of the files this program reads, and take two bytes as well.
      ReadByte();
      ReadByte();
      return true;
  }
}

bool MidiFileReader::ReadMetaEvent() {
  const std::uint8_t type = ReadByte();
  switch (type) {
    case kMetaSequenceNumber:
      ReadByte();
      ReadWord();
      return true;
    case kMetaEndOfTrack:
      ReadVarLen();
      return false;
    case kMetaTempo:
      Skip(4);
      return true;
    case kMetaTimeSignature:
      Skip(5);
      return true;
    default:
      // Texts (0x01 to 0x03) and every other meta event: a length, then data.
      Skip(ReadVarLen());
      return true;
  }
}
