#include "modGeneral.h"

#include <QApplication>
#include <memory>

#include "DesktopMidiService.h"
#include "MidiOutputSetting.h"
#include "ProgramFolder.h"
#include "QtDialogs.h"
#include "TitleArtwork.h"
#include "frmQuillory.h"
#include "frmTitle.h"

int Main(QApplication& application) {
  // The program ends when the main window closes, not when the title does.
  application.setQuitOnLastWindowClosed(false);
  application.setWindowIcon(TitleArtwork::ProgramIcon());
  QtDialogs dialogs;
  const auto programFolder = ProgramFolder::Locate();
  // One synthesizer for the whole program; its sound font starts loading now.
  // Both music windows reach the output chosen last through it.
  const std::unique_ptr<MidiService> midiService = MakeDesktopMidiService(SavedMidiOutput());

  std::unique_ptr<frmQuillory> mainWindow;
  const auto loadMainWindow = [&] {
    if (mainWindow) return;
    mainWindow = std::make_unique<frmQuillory>(dialogs, programFolder);
    mainWindow->SetMidiService(*midiService);
    dialogs.SetOwner(mainWindow.get());
    QObject::connect(mainWindow.get(), &frmQuillory::Closed, &application, &QCoreApplication::quit);
    mainWindow->Load();
  };
  {
    frmTitle title(loadMainWindow);
    title.exec();
  }
  loadMainWindow();
  mainWindow->LoadBookmarksDialog();
  return application.exec();
}
