#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Commands.h"
#include "MIDIFile.h"
#include "ScriptedDialogs.h"

namespace {

namespace fs = std::filesystem;

class MidiInfoCommandTest : public testing::Test {
 protected:
  MidiInfoCommandTest() : folder(fs::temp_directory_path() / ("quillory-midi-info-" + std::to_string(::getpid()))) {
    fs::create_directories(folder);
  }
  ~MidiInfoCommandTest() override { fs::remove_all(folder); }

  int Run(std::vector<std::string> arguments) {
    out.str("");
    err.str("");
    return RunCommand("midi-info", arguments, out, err);
  }

  fs::path folder;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(MidiInfoCommandTest, DescribesAFileTheWriterMade) {
  const std::string path = (folder / "song.mid").string();
  ScriptedDialogs dialogs;
  {
    MIDIFile song(folder, dialogs);
    ASSERT_TRUE(song.CreateNewMidiFile(path));
    ASSERT_TRUE(song.WriteMetaEventTrackName(0, "Track 1"));
    ASSERT_TRUE(song.WriteEventNoteOn(2, 0, 60, 100));
    ASSERT_TRUE(song.WriteMetaEventWait(1));
    ASSERT_TRUE(song.WriteEventNoteOff(2, 0, 60));
    ASSERT_TRUE(song.WriteMidiFile());
  }
  ASSERT_EQ(Run({path}), kExitSuccess) << err.str();
  // Track 1 holds its name and its end; track 2 (track number 2 of the writer,
  // the second chunk) the note and its end.
  EXPECT_EQ(out.str(),
            "Format: 1\nTracks: 2\nTicks per quarter note: 64\n"
            "Track 1: 2 events \"Track 1\"\nTrack 2: 3 events\n"
            "Tempo: 120 beats per minute\nDuration: 0.5 seconds\n");
  EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(MidiInfoCommandTest, ReportsWhatIsWrongWithAFile) {
  const std::string missing = (folder / "missing.mid").string();
  EXPECT_EQ(Run({missing}), kExitFailure);
  EXPECT_NE(err.str().find("File '" + missing + "' doesn't exist."), std::string::npos) << err.str();

  const std::string text = (folder / "notes.mid").string();
  std::ofstream(text) << "these are not MIDI bytes";
  EXPECT_EQ(Run({text}), kExitFailure);
  EXPECT_NE(err.str().find("Cannot recognize the file format of '" + text + "'."), std::string::npos) << err.str();
  EXPECT_TRUE(out.str().empty());
}

TEST_F(MidiInfoCommandTest, WantsExactlyOneFile) {
  EXPECT_EQ(Run({}), kExitUsage);
  EXPECT_EQ(Run({"a.mid", "b.mid"}), kExitUsage);
  EXPECT_EQ(Run({"--verbose"}), kExitUsage);
}

}  // namespace
