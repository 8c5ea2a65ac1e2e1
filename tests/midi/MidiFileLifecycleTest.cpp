#include <gtest/gtest.h>

#include <filesystem>

#include "MIDIFile.h"
#include "ScriptedDialogs.h"
#include "SongBytes.h"

namespace {

// Closing forgets everything about the file: what was read, and that a song
// was being written, so nothing more can be added to it.
TEST(MidiFileLifecycleTest, ClosingForgetsTheReadHeaderAndEndsTheSongBeingWritten) {
  TemporaryFolder folder;
  ScriptedDialogs dialogs;
  const std::string song = folder.File("song.mid");
  {
    MIDIFile file(folder.Path(), dialogs);
    ASSERT_TRUE(file.CreateNewMidiFile(song));
    ASSERT_TRUE(file.WriteMetaEventTrackName(1, "Track 1"));
    ASSERT_TRUE(file.WriteMidiFile());
  }
  MIDIFile file(folder.Path(), dialogs);
  ASSERT_TRUE(file.OpenMidiFile(song));
  EXPECT_EQ(file.TrackCount(), 1);
  file.CloseMidiFile();
  EXPECT_EQ(file.TrackCount(), 0);
  EXPECT_EQ(file.TicksPerQuarterNote(), 0);

  const std::string abandoned = folder.File("abandoned.mid");
  ASSERT_TRUE(file.CreateNewMidiFile(abandoned));
  file.CloseMidiFile();
  EXPECT_FALSE(std::filesystem::exists(abandoned)) << "an empty song file is no MIDI file";
  EXPECT_FALSE(file.WriteMetaEventTempoChange(1, 120.0)) << "nothing is written after the close";
  EXPECT_FALSE(file.WriteEventNoteOn(1, 0, 60, 100));
  EXPECT_TRUE(dialogs.Messages().empty());
}

}  // namespace
