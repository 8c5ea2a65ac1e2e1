#include "QuilloryApplication.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <new>
#include <stdexcept>

#include "ScriptedDialogs.h"

// An exception thrown by a command (an event handler or a slot) ends only
// that command, with a message, and never the program.
TEST(QuilloryApplicationTest, AnExceptionEndsOnlyItsCommandWithAMessage) {
  int argc = 1;
  char name[] = "quillory";
  char* argv[] = {name, nullptr};
  QuilloryApplication application(argc, argv);
  ScriptedDialogs dialogs;
  application.SetDialogs(&dialogs);
  QTimer::singleShot(0, &application, [] { throw std::bad_alloc(); });
  QTimer::singleShot(1, &application, [] { throw std::runtime_error("the sound font is damaged"); });
  bool ranAfterwards = false;
  QTimer::singleShot(5, &application, [&] {
    ranAfterwards = true;
    QCoreApplication::quit();
  });
  application.exec();
  EXPECT_TRUE(ranAfterwards) << "the event loop went on";
  EXPECT_EQ(dialogs.Messages(),
            (std::vector<std::string>{"There is not enough memory to finish that command.",
                                      "That command could not be finished:\r\nthe sound font is damaged"}));
  for (const auto& shown : dialogs.History()) EXPECT_EQ(shown.icon, MessageIcon::Stop);
}
