#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "ScriptedDialogs.h"
#include "SongAudioExport.h"
#include "SongBytes.h"

// Songs saved as audio through the save command, as the windows run it, and
// what is left on disk when the work fails or is cancelled. The formats
// themselves are the renderer's, checked with it and by the commands.
namespace {

using testing::ElementsAre;

// Half a second of a harp note at 120 bpm, then the end.
SongResult WriteShortSong(const std::string& fileName) {
  WriteBytes(fileName, ExpectedSong(46, 500000).NoteOn(0, 60, 127).NoteOff(64, 60).File());
  return {};
}

// The export's temporary MIDI files go to a temporary folder of the test's
// own, so that exports of tests running at the same time are not counted
// as leftovers.
class SongAudioExportTest : public testing::Test {
 protected:
  SongAudioExportTest() { setenv("TMPDIR", temporary.Path().c_str(), 1); }
  // Back to the folder the private one was made in, which is where it was.
  ~SongAudioExportTest() override { setenv("TMPDIR", temporary.Path().parent_path().c_str(), 1); }
  // What the song folder holds, then the temporary folder.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const std::filesystem::path& in : {folder.Path(), temporary.Path()})
      for (const auto& entry : std::filesystem::directory_iterator(in))
        names.push_back(entry.path().filename());
    return names;
  }

  TemporaryFolder temporary, folder;
  ScriptedDialogs dialogs;
};

TEST_F(SongAudioExportTest, AudioIsMadeBehindAProgressDisplayAndACancelOrFailureKeepsTheOlderFile) {
  const std::vector<std::uint8_t> older{'o', 'l', 'd'};
  WriteBytes(folder.File("song.ogg"), older);
  dialogs.AnswerSaveFile(folder.File("song.ogg"));
  dialogs.AnswerMessage(MessageAnswer::Yes);  // to replacing the older song
  dialogs.CancelProgressAt(0.3);
  RunSaveSongCommand(dialogs, WriteShortSong);
  EXPECT_GE(dialogs.ProgressReports().back(), 0.3);
  dialogs.AnswerSaveFile(folder.File("song.flac"));
  RunSaveSongCommand(dialogs, WriteShortSong);
  EXPECT_EQ(dialogs.History().at(0).text + " " + dialogs.History()[0].defaultAnswer,
            "MIDI Files (*.mid);;Wave Files (*.wav);;FLAC Files (*.flac);;Ogg Vorbis Files (*.ogg) mid");
  const auto progress = [](const auto& shown) { return shown.kind == ScriptedDialogs::Kind::Progress; };
  EXPECT_EQ(std::ranges::count_if(dialogs.History(), progress), 2) << "one display for each audio file";
  const std::string replace = "] already exists.  Would you like to overwrite?";
  EXPECT_THAT(dialogs.Messages(), ElementsAre("The file [" + folder.File("song.ogg") + replace,
                                              "The song was not saved.", "The song was saved successfully."));
  // The renderer's own reasons are checked with it; here a failure only must not count as saved.
  const auto failedMidi = [](const std::string&) { return SongResult{SongResult::Outcome::Failed, "full"}; };
  const SongResult failures[] = {
      ExportSongAudio(folder.File("song.ogg"), WriteShortSong, {}, SongAudioRenderer({folder.File("x.sf2")})),
      ExportSongAudio(folder.File("song.ogg"), failedMidi, {}),
      ExportSongAudio(folder.Path() / "gone" / "song.ogg", WriteShortSong, {})};
  for (const SongResult& failure : failures) EXPECT_NE(failure.outcome, SongResult::Outcome::Saved);
  EXPECT_EQ(ReadBytes(folder.File("song.ogg")), older);
  EXPECT_THAT(Files(), testing::UnorderedElementsAre("song.flac", "song.ogg"));
}

}  // namespace
