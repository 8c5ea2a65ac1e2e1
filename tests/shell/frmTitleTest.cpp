#include "frmTitle.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <vector>

TEST(frmTitleTest, ShowsBorderlessForThreeSecondsThenHandsOverOnceItIsGone) {
  QElapsedTimer shown;
  shown.start();
  std::vector<bool> visibleAtHandOver;
  frmTitle title([&] { visibleAtHandOver.push_back(title.isVisible()); });
  EXPECT_EQ(title.size(), QSize(282, 195));
  EXPECT_TRUE(title.windowFlags().testFlag(Qt::FramelessWindowHint));
  title.exec();
  EXPECT_GE(shown.elapsed(), frmTitle::kShowMilliseconds);
  EXPECT_EQ(visibleAtHandOver, std::vector<bool>{false});
}
