#include "modGeneral.h"

#include <QApplication>
#include <QTimer>
#include <memory>

#include "DesktopMidiService.h"
#include "MidiOutputSetting.h"
#include "ProgramFolder.h"
#include "QuilloryApplication.h"
#include "QtDialogs.h"
#include "TitleArtwork.h"
#include "frmQuillory.h"
#include "frmTitle.h"

int Main(QApplication& application) {
  // The program ends when the main window closes, not when the title does.
  application.setQuitOnLastWindowClosed(false);
  application.setWindowIcon(TitleArtwork::ProgramIcon());
  QtDialogs dialogs;
  auto* quillory = dynamic_cast<QuilloryApplication*>(&application);
  if (quillory) quillory->SetDialogs(&dialogs);
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
  // The bookmark file may be busy; the main window shows before it is read.
  QTimer::singleShot(0, mainWindow.get(), [&] { mainWindow->LoadBookmarksDialog(); });
  const int exitCode = application.exec();
  if (quillory) quillory->SetDialogs(nullptr);
  return exitCode;
}
