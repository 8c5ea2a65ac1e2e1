#include "SavePictureCommand.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "Dialogs.h"
#include "PictureBox.h"
#include "PictureView.h"

namespace {

const std::string kNotSaved = "The picture was not saved.";

void ReportFailure(Dialogs& dialogs, const std::string& description) {
  dialogs.MessageBox("Unable to save file:\r\n" + description, MessageButtons::Ok, MessageIcon::None);
}

void Write(const PictureBox& picture, Dialogs& dialogs, const std::string& fileName, const ViewState* view) {
  const auto failure = PictureView::IsPngName(fileName)
                           ? PictureView::SavePng(picture.Picture(), fileName, view)
                           : picture.SavePicture(fileName);
  if (failure) ReportFailure(dialogs, *failure);
}

}  // namespace

void SavePictureCommand(const PictureBox& picture, Dialogs& dialogs, const ViewState* view) {
  // Bitmaps stay the default; the dialog offers PNG beside them.
  const std::string fileName = dialogs.SaveFileDialog({"bmp", "Bitmap Files (*.bmp);;PNG Files (*.png)"});
  if (fileName.empty()) {
    dialogs.ShowMessage(kNotSaved, MessageIcon::Stop);
    return;
  }
  std::error_code error;
  const bool exists = std::filesystem::exists(std::filesystem::path(fileName), error);
  if (error) ReportFailure(dialogs, error.message());
  // A name whose existence could not be told is treated as taken, so
  // nothing is overwritten unasked.
  if (!exists && !error) {
    Write(picture, dialogs, fileName, view);
    return;
  }
  const std::string question = "The file [" + fileName + "] already exists.  Would you like to overwrite?";
  if (dialogs.MessageBox(question, MessageButtons::YesNo, MessageIcon::None) == MessageAnswer::Yes) {
    Write(picture, dialogs, fileName, view);
    return;
  }
  dialogs.ShowMessage(kNotSaved, MessageIcon::Stop);
}
