#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ScriptedDialogs.h"
#include "SongAudioExport.h"
#include "SongBytes.h"
#include "SongSave.h"

// Songs saved as audio: through the save command as the windows run it, and
// what is left on disk when the work fails or is cancelled.
namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;

// Half a second of a harp note at 120 bpm, then the end.
SongResult WriteShortSong(const std::string& fileName) {
  ExpectedSong song(46, 500000);
  const auto bytes = song.NoteOn(0, 60, 127).NoteOff(64, 60).File();
  std::ofstream out(fileName, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return out ? SongResult{} : SongResult{SongResult::Outcome::Failed, "not written"};
}

// The file's major format (SF_FORMAT_WAV, ...) and its length in seconds.
std::pair<int, double> AudioOf(const fs::path& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return {0, -1.0};
  sf_close(file);
  return {info.format & SF_FORMAT_TYPEMASK, static_cast<double>(info.frames) / info.samplerate};
}

std::string TextOf(const fs::path& path) {
  std::ifstream input(path);
  return std::string(std::istreambuf_iterator<char>(input), {});
}

// The export's temporary MIDI files go to a temporary folder of the test's
// own, so that exports of tests running at the same time are not counted
// as leftovers; after every test the folder and the song folder hold only
// what the test expects.
class SongAudioExportTest : public testing::Test {
 protected:
  SongAudioExportTest() { setenv("TMPDIR", temporary.Path().c_str(), 1); }
  // Back to the folder the private one was made in, which is where it was.
  ~SongAudioExportTest() override { setenv("TMPDIR", temporary.Path().parent_path().c_str(), 1); }
  void Command() { RunSaveSongCommand(dialogs, WriteShortSong); }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const fs::path& in : {folder.Path(), temporary.Path()})
      for (const auto& entry : fs::directory_iterator(in)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  TemporaryFolder temporary, folder;
  ScriptedDialogs dialogs;
};

TEST_F(SongAudioExportTest, TheSaveCommandOffersTheAudioTypesAndWritesTheOneItsNameAsksFor) {
  for (const auto& [name, format] : {std::pair("song.flac", SF_FORMAT_FLAC), std::pair("SONG.OGG", SF_FORMAT_OGG),
                                     std::pair("song.wav", SF_FORMAT_WAV)}) {
    dialogs.ClearHistory();
    dialogs.AnswerSaveFile(folder.File(name));
    Command();
    EXPECT_EQ(dialogs.History().at(0).text,
              "MIDI Files (*.mid);;Wave Files (*.wav);;FLAC Files (*.flac);;Ogg Vorbis Files (*.ogg)");
    EXPECT_EQ(dialogs.History()[0].defaultAnswer, "mid");
    EXPECT_EQ(dialogs.History()[1].kind, ScriptedDialogs::Kind::Progress);
    EXPECT_THAT(dialogs.Messages(), ElementsAre("The song was saved successfully.")) << name;
    const auto [written, seconds] = AudioOf(folder.Path() / name);
    EXPECT_EQ(written, format) << name;
    EXPECT_TRUE(seconds > 0.5 && seconds < 0.5 + SongAudioRenderer::kTailSeconds) << seconds;
  }
  EXPECT_THAT(Files(), ElementsAre("SONG.OGG", "song.flac", "song.wav"));
  // A MIDI name still writes the MIDI file, without progress.
  dialogs.ClearHistory();
  dialogs.AnswerSaveFile(folder.File("song.mid"));
  Command();
  EXPECT_EQ(dialogs.History().at(1).text, "The song was saved successfully.") << "no progress before it";
  EXPECT_EQ(TextOf(folder.Path() / "song.mid").substr(0, 4), "MThd");
}

TEST_F(SongAudioExportTest, ACancelOrAFailureLeavesNothingAndKeepsTheOlderFile) {
  std::ofstream(folder.Path() / "song.ogg") << "older";
  dialogs.AnswerSaveFile(folder.File("song.ogg"));
  dialogs.AnswerMessage(MessageAnswer::Yes);  // overwrite
  dialogs.CancelProgressAt(0.3);
  Command();
  EXPECT_THAT(dialogs.Messages(),
              ElementsAre("The file [" + folder.File("song.ogg") + "] already exists.  Would you like to overwrite?",
                          "The song was not saved."));
  EXPECT_EQ(dialogs.History().back().icon, MessageIcon::Stop);
  EXPECT_GE(dialogs.ProgressReports().back(), 0.3);
  const auto failedMidi = [](const std::string&) { return SongResult{SongResult::Outcome::Failed, "No space left"}; };
  const SongResult failures[] = {
      ExportSongAudio(folder.Path() / "song.ogg", WriteShortSong, {}, SongAudioRenderer({folder.Path() / "none.sf2"})),
      ExportSongAudio(folder.Path() / "song.ogg", failedMidi, {}),
      ExportSongAudio(folder.Path() / "gone" / "song.ogg", WriteShortSong, {}),
      RenderMidiFileAudio(folder.Path() / "song.ogg", folder.Path() / "out.wav", {})};
  EXPECT_EQ(failures[0].error, "no General MIDI SoundFont is installed");
  EXPECT_EQ(failures[1].error, "No space left");
  EXPECT_THAT(failures[3].error, testing::HasSubstr("is not a Standard MIDI File"));
  for (const SongResult& failure : failures) EXPECT_NE(failure.outcome, SongResult::Outcome::Saved) << failure.error;
  EXPECT_EQ(TextOf(folder.Path() / "song.ogg"), "older");
  EXPECT_THAT(Files(), ElementsAre("song.ogg"));
  // And the same export, able to work, replaces the older file.
  ASSERT_EQ(ExportSongAudio(folder.Path() / "song.ogg", WriteShortSong, {}).outcome, SongResult::Outcome::Saved);
  EXPECT_EQ(AudioOf(folder.Path() / "song.ogg").first, SF_FORMAT_OGG);
}

}  // namespace
