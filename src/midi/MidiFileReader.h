#pragma once

#include <array>
#include <cstdint>
#include <istream>

// Walks a Standard MIDI File: checks and reads the header chunk, then every
// track chunk event by event up to its end-of-track event. Events are not
// kept. Every read stays inside the current chunk and the file: a chunk that
// ends early, a variable-length quantity of more than four bytes or a file
// cut short ends the walk as Damaged instead of reading on.
class MidiFileReader {
 public:
  enum class Outcome { Complete, WrongHeaderId, WrongTrackId, Damaged };

  struct Result {
    Outcome outcome = Outcome::Complete;
    std::int16_t format = 0;
    std::int16_t trackCount = 0;
    std::int16_t ticksPerQuarterNote = 0;
    int tracksRead = 0;
    std::int64_t position = 0;  // 0-based offset where the walk stopped
  };

  // input holds `size` bytes from its current read position on.
  MidiFileReader(std::istream& input, std::int64_t size);

  Result Read();

 private:
  static constexpr int kScratchSize = 256;
  static constexpr int kLongestVarLen = 4;

  std::uint8_t ReadByte();
  std::uint16_t ReadWord();
  std::uint32_t ReadLong();
  std::array<char, 4> ReadChunkId();
  std::uint32_t ReadVarLen();
  void Skip(std::uint32_t count);
  bool ReadHeaderChunk(Result& result);
  bool ReadTrackChunk(Result& result);
  bool ReadEvent();
  bool ReadMetaEvent();
  bool Take(std::int64_t count);

  std::istream& input_;
  std::int64_t size_;
  std::int64_t position_ = 0;
  std::int64_t limit_ = 0;  // end of the chunk being read, never past the file
  bool damaged_ = false;
  std::array<std::uint8_t, kScratchSize> scratch_{};
};
