#include "frmTitle.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "WidgetTesting.h"

namespace {

TEST(frmTitleTest, ShowsBorderlessForThreeSecondsThenHandsOver) {
  TestApplication();
  QElapsedTimer shown;
  shown.start();
  int handedOver = 0;
  bool visibleAtHandOver = true;
  frmTitle title([&] {
    ++handedOver;
    visibleAtHandOver = title.isVisible();
  });
  EXPECT_EQ(title.size(), QSize(282, 195));
  EXPECT_TRUE(title.windowFlags().testFlag(Qt::FramelessWindowHint));

  title.exec();
  EXPECT_GE(shown.elapsed(), frmTitle::kShowMilliseconds);
  EXPECT_EQ(handedOver, 1);
  EXPECT_FALSE(visibleAtHandOver) << "the title is gone before the main window shows";
}

}  // namespace
