#include "SongSave.h"

#include <filesystem>
#include <system_error>

#include "SongAudioExport.h"

std::string UnableToSaveMessage(const std::string& description) { return "Unable to save file:\r\n" + description; }

void ReportSongResult(Dialogs& dialogs, const SongResult& result) {
  switch (result.outcome) {
    case SongResult::Outcome::Saved:
      dialogs.ShowMessage("The song was saved successfully.");
      break;
    case SongResult::Outcome::NotCreated:
      dialogs.ShowMessage("The song could not be saved.", MessageIcon::Stop);
      break;
    case SongResult::Outcome::Failed:
      dialogs.ShowMessage(UnableToSaveMessage(result.error));
      break;
    case SongResult::Outcome::Cancelled:
      dialogs.ShowMessage("The song was not saved.", MessageIcon::Stop);
      break;
  }
}

void RunSaveSongCommand(Dialogs& dialogs, const std::function<SongResult(const std::string& fileName)>& save) {
  const std::string fileName = dialogs.SaveFileDialog({"mid", kSongFileFilter});
  if (fileName.empty()) {
    dialogs.ShowMessage("The song was not saved.", MessageIcon::Stop);
    return;
  }
  std::error_code error;
  const bool exists = std::filesystem::exists(std::filesystem::path(fileName), error);
  if (error) {
    dialogs.ShowMessage(UnableToSaveMessage(error.message()));
    return;
  }
  if (exists) {
    const MessageAnswer answer = dialogs.MessageBox(
        "The file [" + fileName + "] already exists.  Would you like to overwrite?", MessageButtons::YesNo,
        MessageIcon::None);
    if (answer != MessageAnswer::Yes) {
      dialogs.ShowMessage("The song was not saved.", MessageIcon::Stop);
      return;
    }
  }
  if (!IsAudioSongFile(fileName)) {
    ReportSongResult(dialogs, save(fileName));
    return;
  }
  SongResult result;
  {
    // The display opens with the first share: the song may still ask its
    // questions (the Orbiter's number of notes) before any sound is made.
    // It closes before the result is told.
    std::unique_ptr<ProgressDisplay> progress;
    bool shown = false;
    result = ExportSongAudio(fileName, save, [&](double fraction) {
      if (!shown) {
        shown = true;
        progress = dialogs.ShowProgress("Saving " + std::filesystem::path(fileName).filename().string() + "...");
      }
      return !progress || progress->Report(fraction);
    });
  }
  ReportSongResult(dialogs, result);
}
