#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "MIDIFile.h"
#include "ScriptedDialogs.h"
#include "SongAudioExport.h"
#include "SongBytes.h"
#include "SongSave.h"

// Songs saved as audio: through the save command as the windows run it, and
// what is left on disk when the work fails or is cancelled.
namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;

// Half a second of a harp note at 120 bpm (32 ticks), then the end.
SongResult WriteShortSong(const fs::path& programFolder, const std::string& fileName) {
  ScriptedDialogs quiet;
  MIDIFile file(programFolder, quiet);
  if (!file.CreateNewMidiFile(fileName)) return {SongResult::Outcome::NotCreated, {}};
  file.WriteEventChangePatch(0, 0, 46);
  file.WriteMetaEventTempoChange(0, 120);
  file.WriteEventNoteOn(0, 0, 60, 127);
  file.WriteMetaEventWait(1.0);
  file.WriteEventNoteOff(0, 0, 60);
  if (!file.WriteMidiFile()) return {SongResult::Outcome::Failed, file.ErrorDescription()};
  return {};
}

double SecondsOf(const fs::path& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return -1.0;
  sf_close(file);
  return static_cast<double>(info.frames) / info.samplerate;
}

std::string TextOf(const fs::path& path) {
  std::ifstream input(path);
  return std::string(std::istreambuf_iterator<char>(input), {});
}

// Names of the files in the folder, and in the temporary folder those that
// an export makes.
std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The export's temporary MIDI file goes to the temporary folder; each test
// gets one of its own, so exports of other tests running at the same time
// are not counted as leftovers.
class PrivateTemporaryFolder {
 public:
  PrivateTemporaryFolder() {
    const char* previous = std::getenv("TMPDIR");
    if (previous) previous_ = previous;
    hadPrevious_ = previous != nullptr;
    setenv("TMPDIR", folder_.Path().c_str(), 1);
  }
  ~PrivateTemporaryFolder() {
    if (hadPrevious_) setenv("TMPDIR", previous_.c_str(), 1);
    else unsetenv("TMPDIR");
  }

 private:
  TemporaryFolder folder_;
  std::string previous_;
  bool hadPrevious_ = false;
};

int LeftoverMidiFiles() {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(fs::temp_directory_path()))
    if (entry.path().filename().string().starts_with("quillory-song-")) ++count;
  return count;
}

class SongAudioExportTest : public testing::Test {
 protected:
  SongResult Save(const std::string& fileName) { return WriteShortSong(programFolder.Path(), fileName); }

  PrivateTemporaryFolder temporary;
  TemporaryFolder folder;
  TemporaryFolder programFolder;
  ScriptedDialogs dialogs;
  const int leftoversBefore = LeftoverMidiFiles();
};

TEST_F(SongAudioExportTest, TheSaveCommandOffersTheAudioTypesAndWritesTheChosenOne) {
  dialogs.AnswerSaveFile(folder.File("song.flac"));
  RunSaveSongCommand(dialogs, [this](const std::string& name) { return Save(name); });

  ASSERT_FALSE(dialogs.History().empty());
  EXPECT_EQ(dialogs.History()[0].text,
            "MIDI Files (*.mid);;Wave Files (*.wav);;FLAC Files (*.flac);;Ogg Vorbis Files (*.ogg)");
  EXPECT_EQ(dialogs.History()[0].defaultAnswer, "mid");
  EXPECT_EQ(dialogs.History()[1].kind, ScriptedDialogs::Kind::Progress);
  EXPECT_THAT(dialogs.Messages(), ElementsAre("The song was saved successfully."));
  EXPECT_FALSE(dialogs.ProgressReports().empty());
  const double seconds = SecondsOf(folder.Path() / "song.flac");
  EXPECT_GT(seconds, 0.5);
  EXPECT_LT(seconds, 0.5 + SongAudioRenderer::kTailSeconds);
  EXPECT_THAT(FilesIn(folder.Path()), ElementsAre("song.flac"));
  EXPECT_EQ(LeftoverMidiFiles(), leftoversBefore);
}

TEST_F(SongAudioExportTest, AMidiNameStillWritesTheMidiFileWithoutProgress) {
  dialogs.AnswerSaveFile(folder.File("song.mid"));
  RunSaveSongCommand(dialogs, [this](const std::string& name) { return Save(name); });
  EXPECT_THAT(dialogs.Messages(), ElementsAre("The song was saved successfully."));
  EXPECT_TRUE(dialogs.ProgressReports().empty());
  EXPECT_EQ(TextOf(folder.Path() / "song.mid").substr(0, 4), "MThd");
}

TEST_F(SongAudioExportTest, CancellingLeavesNothingAndKeepsTheOlderFile) {
  std::ofstream(folder.Path() / "song.wav") << "older";
  dialogs.AnswerSaveFile(folder.File("song.wav"));
  dialogs.AnswerMessage(MessageAnswer::Yes);  // overwrite
  dialogs.CancelProgressAt(0.3);
  RunSaveSongCommand(dialogs, [this](const std::string& name) { return Save(name); });

  EXPECT_THAT(dialogs.Messages(),
              ElementsAre("The file [" + folder.File("song.wav") + "] already exists.  Would you like to overwrite?",
                          "The song was not saved."));
  EXPECT_EQ(dialogs.History().back().icon, MessageIcon::Stop);
  EXPECT_GE(dialogs.ProgressReports().back(), 0.3);
  EXPECT_EQ(TextOf(folder.Path() / "song.wav"), "older");
  EXPECT_THAT(FilesIn(folder.Path()), ElementsAre("song.wav"));
  EXPECT_EQ(LeftoverMidiFiles(), leftoversBefore);
}

TEST_F(SongAudioExportTest, FailuresLeaveNothingAndKeepTheOlderFile) {
  std::ofstream(folder.Path() / "song.ogg") << "older";
  const auto save = [this](const std::string& name) { return Save(name); };

  // The synthesizer cannot start: the audio is never made.
  const SongResult noSoundFont =
      ExportSongAudio(folder.Path() / "song.ogg", save, {}, SongAudioRenderer({folder.Path() / "none.sf2"}));
  EXPECT_EQ(noSoundFont.outcome, SongResult::Outcome::Failed);
  EXPECT_EQ(noSoundFont.error, "no General MIDI SoundFont is installed");

  // The song's MIDI file cannot be written.
  const SongResult noMidi = ExportSongAudio(folder.Path() / "song.ogg", [](const std::string&) {
    return SongResult{SongResult::Outcome::Failed, "No space left on device"};
  }, {});
  EXPECT_EQ(noMidi.outcome, SongResult::Outcome::Failed);

  // A folder that is not there.
  const SongResult noFolder = ExportSongAudio(folder.Path() / "gone" / "song.ogg", save, {});
  EXPECT_NE(noFolder.outcome, SongResult::Outcome::Saved);
  EXPECT_FALSE(noFolder.error.empty());

  EXPECT_EQ(TextOf(folder.Path() / "song.ogg"), "older");
  EXPECT_THAT(FilesIn(folder.Path()), ElementsAre("song.ogg"));
  EXPECT_EQ(LeftoverMidiFiles(), leftoversBefore);

  // And the same export, able to work, replaces the older file.
  ASSERT_EQ(ExportSongAudio(folder.Path() / "song.ogg", save, {}).outcome, SongResult::Outcome::Saved);
  EXPECT_GT(SecondsOf(folder.Path() / "song.ogg"), 0.5);
}

TEST_F(SongAudioExportTest, RenderingAFileThatIsNotMidiSaysSo) {
  std::ofstream(folder.Path() / "notes.mid") << "not a song";
  const SongResult result = RenderMidiFileAudio(folder.Path() / "notes.mid", folder.Path() / "out.wav", {});
  EXPECT_EQ(result.outcome, SongResult::Outcome::Failed);
  EXPECT_THAT(result.error, testing::HasSubstr("is not a Standard MIDI File"));
  EXPECT_FALSE(fs::exists(folder.Path() / "out.wav"));
}

}  // namespace
