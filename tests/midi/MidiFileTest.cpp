#include <dirent.h>
#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <functional>
#include <set>
#include <sstream>

#include "FileSizeLimit.h"
#include "MIDIFile.h"
#include "MidiFileReader.h"
#include "MidiSequence.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"

// Listing a folder breaks off with EIO once this many entries have been read
// (-1: never), as a failing disk would; every listing of the process counts.
static int entriesBeforeFailure = -1;

extern "C" dirent* readdir(DIR* folder) {
  static const auto real = reinterpret_cast<dirent* (*)(DIR*)>(dlsym(RTLD_NEXT, "readdir"));
  if (entriesBeforeFailure == 0) {
    errno = EIO;
    return nullptr;
  }
  if (entriesBeforeFailure > 0) --entriesBeforeFailure;
  return real(folder);
}

namespace {

namespace fs = std::filesystem;
using namespace smf;
using testing::ElementsAre;
using testing::IsEmpty;
using Write = std::function<void(MIDIFile&)>;

Bytes OneTrack(const Bytes& events) { return Join({Header(1), Track(Join({events, kEndOfTrack}))}); }

MidiFileReader::Result Read(const Bytes& bytes) {
  std::istringstream input(std::string(bytes.begin(), bytes.end()));
  return MidiFileReader(input, static_cast<std::int64_t>(bytes.size())).Read();
}

class MidiFileTest : public testing::Test {
 protected:
  MidiFileTest() { fs::create_directory(program); }

  // The file a new song becomes after `write`.
  Bytes Written(const Write& write) {
    MIDIFile file(program, dialogs);
    EXPECT_TRUE(file.CreateNewMidiFile(song));
    write(file);
    EXPECT_TRUE(file.WriteMidiFile()) << file.ErrorDescription();
    return ReadBytes(song);
  }
  std::set<std::string> Names(const fs::path& where) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(where)) names.insert(entry.path().filename().string());
    return names;
  }

  TemporaryFolder folder;
  const fs::path program = folder.Path() / "program";
  const std::string song = folder.File("song.mid");
  ScriptedDialogs dialogs;
};

TEST_F(MidiFileTest, SongsAreWrittenByteExact) {
  const std::tuple<const char*, Write, Bytes> cases[] = {
      {"no events, replacing an older file", [](MIDIFile&) {}, Header(0)},
      {"channel and data bytes masked",
       [](MIDIFile& s) {
         s.WriteEventNoteOn(0, 17, 200, 255);
         s.WriteEventNoteOff(0, 31, -1);
         s.WriteEventChangePatch(0, 25, 174);
       },
       OneTrack({0x00, 0x91, 72, 127, 0x00, 0x8F, 127, 0, 0x00, 0xC9, 46})},
      {"texts cut at 255 characters, a chunk longer than 255 bytes",
       [](MIDIFile& s) {
         s.WriteMetaEventGeneralText(0, std::string(300, 'x'));
         s.WriteMetaEventCopyrightText(0, "(c)");
         s.WriteMetaEventTrackName(0, "T");
         s.WriteMetaEventInstrumentName(0, "");
         s.WriteMetaEventSongLyric(0, std::string(127, 'l'));
       },
       OneTrack(Join({{0x00, 0xFF, 0x01, 0x81, 0x7F}, Bytes(255, 'x'), {0x00, 0xFF, 0x02, 0x03}, Ascii("(c)"),
                      {0x00, 0xFF, 0x03, 0x01, 'T', 0x00, 0xFF, 0x04, 0x00}, {0x00, 0xFF, 0x05, 0x7F},
                      Bytes(127, 'l')}))},
      {"used tracks in ascending order; only the first to finish takes the last, longest wait",
       [](MIDIFile& s) {
         s.WriteEventNoteOn(32, 0, 64, 1);
         s.WriteEventNoteOn(0, 0, 60, 1);
         s.WriteMetaEventWait(511.99);
       },
       Join({Header(2), Track({0, 0x90, 60, 1, 0x81, 0xFF, 0x7F, 0xFF, 0x2F, 0}),
             Track(Join({{0, 0x90, 64, 1}, kEndOfTrack}))})},
      {"waits take the even tick of a half and replace each other; tempos are cut down to the microsecond",
       [](MIDIFile& s) {
         s.WriteMetaEventWait(2.5 / 64);
         s.WriteEventNoteOn(0, 0, 60, 1);
         s.WriteMetaEventWait(1);
         s.WriteMetaEventWait(3.5 / 64);
         s.WriteMetaEventTempoChange(0, 7);  // 8571428.57 microseconds
       },
       OneTrack({0x02, 0x90, 60, 1, 0x04, 0xFF, 0x51, 0x03, 0x82, 0xCA, 0x24})},
  };
  WriteBytes(song, Bytes(5000, 0xAA));
  for (const auto& [name, write, expected] : cases) EXPECT_EQ(Written(write), expected) << name;
}

// A value outside the file format spoils the song as a whole rather than
// being written wrapped, and so do a track file that cannot be made and a
// full disk (here a file size limit). The older file stays as it was.
TEST_F(MidiFileTest, AWriteThatFailsSpoilsTheSongAndKeepsTheOlderFile) {
  const std::function<bool(MIDIFile&)> refused[] = {
      [](MIDIFile& s) { return s.WriteEventNoteOn(-1, 0, 60, 1); },
      [](MIDIFile& s) { return s.WriteMetaEventTrackName(33, "x"); },
      [](MIDIFile& s) { return s.WriteMetaEventWait(512); },  // 32768 ticks
      [](MIDIFile& s) { return s.WriteMetaEventWait(std::nan("")); },
      [](MIDIFile& s) { return s.WriteMetaEventTempoChange(0, 0); },
      [](MIDIFile& s) { return s.WriteMetaEventTempoChange(0, 3.5); },  // too slow for 24 bits
      [](MIDIFile& s) { return s.WriteMetaEventTempoChange(0, 7e7); },  // faster than a microsecond
  };
  const Bytes older = Written([](MIDIFile& s) { s.WriteEventNoteOn(0, 0, 60, 1); });
  for (const auto& write : refused) {
    MIDIFile spoilt(program, dialogs);
    ASSERT_TRUE(spoilt.CreateNewMidiFile(song) && spoilt.WriteEventNoteOn(0, 0, 60, 1));
    EXPECT_FALSE(write(spoilt) || spoilt.WriteEventNoteOff(0, 0, 60) || spoilt.WriteMidiFile());
    EXPECT_NE(spoilt.ErrorDescription(), "");
  }
  MIDIFile noProgramFolder(folder.Path() / "missing", dialogs);
  ASSERT_TRUE(noProgramFolder.CreateNewMidiFile(song));
  EXPECT_FALSE(noProgramFolder.WriteEventNoteOn(0, 0, 60, 1) || noProgramFolder.WriteMidiFile());
  EXPECT_EQ(noProgramFolder.ErrorDescription(), "No such file or directory");
  const FileSizeLimit limit(4096);
  MIDIFile tooLarge(program, dialogs);
  ASSERT_TRUE(tooLarge.CreateNewMidiFile(song));
  for (int i = 0; i < 3000; ++i) tooLarge.WriteEventNoteOn(0, 0, 60, 1);
  EXPECT_FALSE(tooLarge.WriteMidiFile());
  EXPECT_EQ(tooLarge.ErrorDescription(), "File too large");
  EXPECT_EQ(ReadBytes(song), older);
  EXPECT_THAT(Names(folder.Path()), ElementsAre("program", "song.mid"));
  EXPECT_THAT(dialogs.History(), IsEmpty());
}

// Only a finished song reaches its file: abandoned, closed or created anew
// it leaves the older file, and once written it takes nothing more. Closing
// forgets the header read; files that are missing or cannot be made are shown.
TEST_F(MidiFileTest, OnlyAFinishedSongReachesItsFile) {
  WriteBytes(song, {'o', 'l', 'd'});
  {
    MIDIFile file(program, dialogs);
    ASSERT_TRUE(file.CreateNewMidiFile(song) && file.WriteEventNoteOn(4, 0, 60, 1) && file.WriteMetaEventWait(2));
    ASSERT_TRUE(file.CreateNewMidiFile(folder.File("second.mid")) && file.WriteEventNoteOn(4, 0, 62, 1));
    ASSERT_TRUE(file.WriteMidiFile());
    EXPECT_FALSE(file.WriteEventNoteOn(3, 0, 62, 1) || file.WriteMidiFile());
    ASSERT_TRUE(file.OpenMidiFile(folder.File("second.mid")));
    EXPECT_EQ(std::tuple(file.Format(), file.TrackCount(), file.TicksPerQuarterNote()), std::tuple(1, 1, 64));
    file.CloseMidiFile();
    EXPECT_EQ(std::tuple(file.Format(), file.TrackCount(), file.TicksPerQuarterNote()), std::tuple(0, 0, 0));
    ASSERT_TRUE(file.CreateNewMidiFile(song));
    file.CloseMidiFile();
    EXPECT_FALSE(file.WriteEventNoteOn(1, 0, 60, 100)) << "nothing is written after the close";
    ASSERT_TRUE(file.CreateNewMidiFile(song) && file.WriteEventNoteOn(7, 0, 60, 1));
    EXPECT_FALSE(file.CreateNewMidiFile(folder.File("missing/song.mid")) || file.WriteEventNoteOn(0, 0, 60, 1));
    EXPECT_FALSE(file.OpenMidiFile(folder.File("none.mid")));
  }
  EXPECT_EQ(ReadBytes(folder.File("second.mid")), OneTrack({0x00, 0x90, 62, 1}));
  EXPECT_EQ(ReadBytes(song), Bytes({'o', 'l', 'd'}));
  EXPECT_THAT(Names(program), IsEmpty());
  EXPECT_THAT(dialogs.Messages(),
              ElementsAre("Cannot create a new MIDI file.\r\n\r\nError 2: No such file or directory",
                          "File '" + folder.File("none.mid") + "' doesn't exist."));
}

// Track files ("~trk" + hex + ".tmp") live in a private folder (0700) of
// each writer. A new writer clears only what this program left: older track
// files and the folders of writers no longer running; never other programs'
// files, what a link points to, or a living writer's folder.
TEST_F(MidiFileTest, WritersClearOnlyThisProgramsLeftovers) {
  for (const char* name : {"~trk3.tmp", "~trkA.tmp", "~draft.tmp", "~trkz.tmp", "keep.tmp"})
    WriteBytes(program / name, {1, 2, 3});
  fs::create_symlink(folder.File("nowhere"), program / "~trk1.tmp");
  fs::create_directories(program / "~quillory-crash1");
  WriteBytes(program / "~quillory-crash1" / "~trk0.tmp", {1});
  fs::create_directories(program / "~quillory-other1");
  WriteBytes(program / "~quillory-other1" / "notes.txt", {1});
  auto living = std::make_unique<MIDIFile>(program, dialogs);
  ASSERT_TRUE(living->CreateNewMidiFile(song) && living->WriteEventNoteOn(10, 0, 60, 1));
  MIDIFile second(program, dialogs);
  std::set<std::string> left = Names(program);
  const auto own = std::find_if(left.begin(), left.end(), [](const std::string& name) {
    return name.starts_with("~quillory-") && name != "~quillory-other1";
  });
  ASSERT_NE(own, left.end());
  const fs::path livingFolder = program / *own;
  left.erase(own);
  EXPECT_THAT(left, ElementsAre("keep.tmp", "~draft.tmp", "~quillory-other1", "~trk1.tmp", "~trkz.tmp"));
  EXPECT_THAT(Names(livingFolder), ElementsAre("~trkA.tmp"));
  EXPECT_EQ(fs::status(livingFolder).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_TRUE(living->WriteMidiFile());
  EXPECT_EQ(ReadBytes(song), OneTrack({0x00, 0x90, 60, 1}));
  living.reset();
  EXPECT_FALSE(fs::exists(livingFolder));
  EXPECT_FALSE(fs::exists(folder.File("nowhere"))) << "the planted link was followed";
  // A listing that breaks off is told: what it did not see may still lie there.
  for (const char* name : {"~trk1.tmp", "~trk2.tmp", "~trk3.tmp"}) WriteBytes(program / name, {1});
  entriesBeforeFailure = 3;  // ".", ".." and one file
  MIDIFile third(program, dialogs);
  entriesBeforeFailure = -1;
  EXPECT_THAT(dialogs.Messages(), ElementsAre("Error 5: Input/output error"));
  EXPECT_EQ(dialogs.History().at(0).icon, MessageIcon::Stop);
}

// Songs written step by step in turn by two objects, long enough for their
// track files to take many writes, come out as each would alone.
TEST_F(MidiFileTest, InterleavedSongsComeOutAsIfWrittenAlone) {
  const auto play = [](MIDIFile& file, int first, int steps) {
    for (int step = 0; step < steps; ++step) {
      file.WriteEventNoteOn(0, 0, static_cast<std::int16_t>(first + step % 5), 100);
      file.WriteMetaEventWait(0.5);
    }
  };
  MIDIFile one(program, dialogs), other(program, dialogs);
  ASSERT_TRUE(one.CreateNewMidiFile(folder.File("one")) && other.CreateNewMidiFile(folder.File("other")));
  for (int step = 0; step < 3000; ++step) {
    play(one, 40 + step % 5, 1);
    play(other, 60 + step % 5, 1);
  }
  ASSERT_TRUE(one.WriteMidiFile() && other.WriteMidiFile());
  EXPECT_EQ(ReadBytes(folder.File("one")), Written([&](MIDIFile& s) { play(s, 40, 3000); }));
  EXPECT_EQ(ReadBytes(folder.File("other")), Written([&](MIDIFile& s) { play(s, 60, 3000); }));
}

// Every file that is not MIDI or is damaged ends the walk early, and opening
// one is refused with one message.
TEST_F(MidiFileTest, FilesThatAreNotMidiOrDamagedAreRefusedWithOneMessage) {
  const std::pair<const char*, Bytes> cases[] = {
      {"not MIDI", Join({Ascii("RIFF"), {0, 0, 0, 6, 0, 1, 0, 1, 0, 0x40}, Track(kEndOfTrack)})},
      {"header shorter than its words", Join({Ascii("MThd"), {0, 0, 0, 2, 0, 1, 0, 1, 0, 0x40}, Track(kEndOfTrack)})},
      {"wrong track id", Join({Header(1), Ascii("MTrx"), {0, 0, 0, 4}, kEndOfTrack})},
      {"end of track past the chunk", Join({Header(1), Track({0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF}), {0x2F, 0x00}})},
      {"five-byte delta", OneTrack({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 0x3C, 0x64})},
      {"huge skipped meta event", OneTrack({0x00, 0xFF, 0x09, 0xFF, 0xFF, 0xFF, 0x7F})},
      {"65535 tracks promised", Join({Header(0xFFFF), Track(kEndOfTrack)})},
  };
  for (const auto& [name, bytes] : cases)
    EXPECT_NE(Read(bytes).outcome, MidiFileReader::Outcome::Complete) << name;
  WriteBytes(song, cases[3].second);  // damaged past its header
  EXPECT_FALSE(MIDIFile({}, dialogs).OpenMidiFile(song));
  EXPECT_THAT(dialogs.Messages(), ElementsAre("Cannot recognize the file format of '" + song + "'."));
  EXPECT_EQ(dialogs.History().at(0).icon, MessageIcon::Stop);
}

// A longer header, a division with its top bit set, events of every length
// and bytes after an end of track: read whole, and damaged wherever cut. A
// track longer than 65535 bytes needs both words of its length.
TEST(MidiFileReaderTest, AGoodFileIsReadWholeAndEveryCutOfItIsDamaged) {
  const Bytes good = Join({Ascii("MThd"), {0, 0, 0, 8, 0, 1, 0, 2, 0xE7, 0x28, 0xAB, 0xCD},
                           Track(Join({{0x00, 0xFF, 0x03, 0x07}, Ascii("Track 1"),
                                       {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xC0, 0x2E},
                                       {0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08, 0x00, 0xD0, 0x40},
                                       {0x81, 0x00, 0x90, 0x3C, 0x64}, kEndOfTrack, {0x12, 0x34}})),
                           Track(Join({{0x00, 0xFF, 0x00, 0x02, 0x00, 0x01}, kEndOfTrack}))});  // a sequence number
  const MidiFileReader::Result whole = Read(good);
  EXPECT_EQ(std::tie(whole.format, whole.trackCount, whole.ticksPerQuarterNote), std::make_tuple(1, 2, 0x6728));
  EXPECT_EQ(std::tuple(whole.outcome, whole.tracksRead, whole.position),
            std::tuple(MidiFileReader::Outcome::Complete, 2, static_cast<std::int64_t>(good.size())));
  for (std::size_t size = 0; size < good.size(); ++size) {
    const MidiFileReader::Result cut = Read(Bytes(good.begin(), good.begin() + size));
    EXPECT_EQ(cut.outcome, MidiFileReader::Outcome::Damaged) << size;
    EXPECT_LE(cut.position, static_cast<std::int64_t>(size)) << size;
  }
  Bytes notes;
  for (int note = 0; note < 16384; ++note) notes.insert(notes.end(), {0x00, 0x90, 0x3C, 0x64});
  const Bytes longTrack = OneTrack(notes);
  EXPECT_EQ(Read(longTrack).position, static_cast<std::int64_t>(longTrack.size()));
  EXPECT_EQ(Read(longTrack).outcome, MidiFileReader::Outcome::Complete);
}

// Reading a whole file into a timeline: the tempo map, running status,
// several tracks merged, and files that must be refused.
TEST(MidiSequenceTest, TracksMergeInTimeOrderThroughTheTempoMapAndDamagedFilesAreRefused) {
  // 64 ticks per quarter note; 120 bpm for the first quarter, then 60 bpm.
  const Bytes conductor = Join({{0x00, 0xFF, 0x03, 0x03, 'T', 'e', 'x'}, {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20},
                                {0x40, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40}, kEndOfTrack});
  // A program change (one data byte), a note at tick 32 and, by running
  // status, its end at tick 160; the other track sounds at 32 too, later in
  // the file, and ends last after a final wait.
  const Bytes notes = Join({{0x00, 0xC0, 0x2E, 0x20, 0x90, 0x3C, 0x64, 0x81, 0x00, 0x3C, 0x00}, kEndOfTrack});
  const Bytes more = Join({{0x20, 0x91, 0x40, 0x50}, {0x82, 0x00, 0xFF, 0x2F, 0x00}});
  std::string error;
  const auto song = MidiSequence::Parse(Join({Header(3), Track(conductor), Track(notes), Track(more)}), error);
  ASSERT_TRUE(song) << error;
  std::vector<std::pair<double, std::uint32_t>> events;
  for (const auto& event : song->Events()) events.emplace_back(event.seconds, event.message);
  EXPECT_THAT(events, ElementsAre(std::pair(0.0, 0x2EC0u), std::pair(0.25, 0x643C90u),
                                           std::pair(0.25, 0x504091u), std::pair(0.5 + 1.5, 0x003C90u)));
  EXPECT_DOUBLE_EQ(song->DurationSeconds(), 0.5 + (32 + 256 - 64) / 64.0);
  EXPECT_THAT(song->Tempos(), ElementsAre(120.0, 60.0));
  // SMPTE time: 25 frames per second of 40 ticks; a delta of 1000 ticks.
  const auto smpte = MidiSequence::Parse(Join({Header(1, 0xE728), Track({0x87, 0x68, 0x90, 0x3C, 0x40})}), error);
  ASSERT_TRUE(smpte) << error;
  EXPECT_DOUBLE_EQ(smpte->Events().at(0).seconds, 1.0);
  const Bytes good = OneTrack({0x00, 0x90, 0x3C, 0x40});
  const std::pair<const char*, Bytes> cases[] = {
      {"no header", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6}},
      {"header cut short", Bytes(good.begin(), good.begin() + 10)},
      {"track chunk longer than the file", Bytes(good.begin(), good.end() - 2)},
      {"fewer tracks than the header", Join({Header(2), Track(kEndOfTrack)})},
      {"data byte with no status", OneTrack({0x00, 0x3C, 0x40})},
      {"a five-byte delta", Join({Header(1), Track({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 0x3C, 0x40})})},
      {"a meta event longer than its chunk", Join({Header(1), Track({0x00, 0xFF, 0x01, 0x10, 'a'})})},
      {"no time division", Join({Header(1, 0), Track(kEndOfTrack)})},
  };
  EXPECT_TRUE(MidiSequence::Parse(good, error)) << error;
  for (const auto& [name, bytes] : cases) {
    error.clear();
    EXPECT_FALSE(MidiSequence::Parse(bytes, error)) << name;
    EXPECT_NE(error, "") << name;
  }
}

}  // namespace
