#include "QuilloryApplication.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <new>
#include <stdexcept>

#include "ScriptedDialogs.h"

namespace {

// Throws from its event handler, as a command that runs out of memory does.
class Throwing : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) throw std::bad_alloc();
    return QObject::event(event);
  }
};

TEST(QuilloryApplicationTest, AnExceptionEndsOnlyItsCommandWithAMessage) {
  int argc = 1;
  char name[] = "quillory";
  char* argv[] = {name, nullptr};
  QuilloryApplication application(argc, argv);
  ScriptedDialogs dialogs;
  application.SetDialogs(&dialogs);

  Throwing receiver;
  QEvent event(QEvent::User);
  EXPECT_FALSE(QCoreApplication::sendEvent(&receiver, &event));

  bool ranAfterwards = false;
  QTimer::singleShot(0, &receiver, [] { throw std::runtime_error("the sound font is damaged"); });
  QTimer::singleShot(5, &receiver, [&] {
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

}  // namespace
