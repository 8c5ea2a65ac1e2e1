#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "ScriptedDialogs.h"
#include "SongAudioExport.h"
#include "SongBytes.h"
#include "SongSave.h"

// Songs saved as audio through the save command, as the windows run it, and
// what is left on disk when the work fails or is cancelled. The formats
// themselves are the renderer's, checked with it.
namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;

// Half a second of a harp note at 120 bpm, then the end.
std::vector<std::uint8_t> ShortSong() { return ExpectedSong(46, 500000).NoteOn(0, 60, 127).NoteOff(64, 60).File(); }

SongResult WriteShortSong(const std::string& fileName) {
  WriteBytes(fileName, ShortSong());
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
  void Command(const std::string& name) {
    dialogs.AnswerSaveFile(folder.File(name));
    RunSaveSongCommand(dialogs, WriteShortSong);
  }
  // What the song folder holds, then the temporary folder.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const fs::path& in : {folder.Path(), temporary.Path()})
      for (const auto& entry : fs::directory_iterator(in)) names.push_back(entry.path().filename().string());
    return names;
  }

  TemporaryFolder temporary, folder;
  ScriptedDialogs dialogs;
};

TEST_F(SongAudioExportTest, TheSaveCommandOffersTheAudioTypesAndSavesAudioForAnAudioName) {
  Command("song.flac");
  Command("song.mid");
  dialogs.AnswerMessage(MessageAnswer::No);  // to replacing it
  Command("song.mid");
  EXPECT_EQ(dialogs.History().at(0).text + " " + dialogs.History()[0].defaultAnswer,
            "MIDI Files (*.mid);;Wave Files (*.wav);;FLAC Files (*.flac);;Ogg Vorbis Files (*.ogg) mid");
  // Only the audio is made behind a progress display.
  const auto progress = [](const ScriptedDialogs::Shown& one) { return one.kind == ScriptedDialogs::Kind::Progress; };
  EXPECT_TRUE(progress(dialogs.History().at(1)) && std::ranges::count_if(dialogs.History(), progress) == 1);
  EXPECT_THAT(dialogs.Messages(), ElementsAre("The song was saved successfully.", "The song was saved successfully.",
                                              "The file [" + folder.File("song.mid") +
                                                  "] already exists.  Would you like to overwrite?",
                                              "The song was not saved."));
  SF_INFO info{};
  sf_close(sf_open(folder.File("song.flac").c_str(), SFM_READ, &info));
  EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_FLAC);
  EXPECT_EQ(ReadBytes(folder.File("song.mid")), ShortSong());
  EXPECT_THAT(Files(), testing::UnorderedElementsAre("song.flac", "song.mid"));
}

TEST_F(SongAudioExportTest, ACancelOrAFailureLeavesNothingAndKeepsTheOlderFile) {
  const std::vector<std::uint8_t> older{'o', 'l', 'd'};
  WriteBytes(folder.File("song.ogg"), older);
  dialogs.AnswerMessage(MessageAnswer::Yes);  // to replacing it
  dialogs.CancelProgressAt(0.3);
  Command("song.ogg");
  EXPECT_EQ(dialogs.Messages().back(), "The song was not saved.");
  EXPECT_GE(dialogs.ProgressReports().back(), 0.3);
  const auto failedMidi = [](const std::string&) { return SongResult{SongResult::Outcome::Failed, "No space left"}; };
  // The renderer's own reasons are checked with it; here a failure only must not count as saved.
  const SongResult failures[] = {
      ExportSongAudio(folder.File("song.ogg"), WriteShortSong, {}, SongAudioRenderer({folder.Path() / "none.sf2"})),
      ExportSongAudio(folder.File("song.ogg"), failedMidi, {}),
      ExportSongAudio(folder.Path() / "gone" / "song.ogg", WriteShortSong, {})};
  EXPECT_EQ(failures[1].error, "No space left") << "the writer's own reason";
  for (const SongResult& failure : failures) EXPECT_NE(failure.outcome, SongResult::Outcome::Saved) << failure.error;
  EXPECT_EQ(ReadBytes(folder.File("song.ogg")), older);
  EXPECT_THAT(Files(), ElementsAre("song.ogg"));
  // And the same export, able to work, replaces the older file.
  ASSERT_EQ(ExportSongAudio(folder.File("song.ogg"), WriteShortSong, {}).outcome, SongResult::Outcome::Saved);
  EXPECT_NE(ReadBytes(folder.File("song.ogg")), older);
}

}  // namespace
