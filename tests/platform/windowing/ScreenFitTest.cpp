#include <gtest/gtest.h>

#include "platform/windowing/ScreenFit.h"

namespace {

// Two screens side by side, the right one smaller and lower (another monitor, another scale).
const QList<QRect> kScreens = {QRect(0, 0, 1920, 1080), QRect(1920, 200, 1280, 800)};

struct Fit {
  const char* name;
  QRect frame;
  QRect expected;
};

void PrintTo(const Fit& fit, std::ostream* out) { *out << fit.name; }

class ScreenFitTest : public ::testing::TestWithParam<Fit> {};

TEST_P(ScreenFitTest, PutsTheWindowWhollyOnTheNearestScreen) {
  const QRect fitted = windowing::FitOntoScreens(GetParam().frame, kScreens);
  EXPECT_EQ(fitted, GetParam().expected);
  EXPECT_TRUE(kScreens[0].contains(fitted) || kScreens[1].contains(fitted));
}

INSTANTIATE_TEST_SUITE_P(
    Frames, ScreenFitTest,
    ::testing::Values(
        Fit{"AlreadyOnAScreen", QRect(100, 100, 476, 307), QRect(100, 100, 476, 307)},
        Fit{"OnTheSecondScreen", QRect(2000, 300, 476, 307), QRect(2000, 300, 476, 307)},
        Fit{"AcrossBothMostlyLeft", QRect(1700, 100, 476, 307), QRect(1444, 100, 476, 307)},
        Fit{"AcrossBothMostlyRight", QRect(1800, 300, 476, 307), QRect(1920, 300, 476, 307)},
        Fit{"AboveTheSecondScreen", QRect(2500, 50, 476, 307), QRect(2500, 200, 476, 307)},
        Fit{"OnAMonitorThatIsGone", QRect(5000, 3000, 476, 307), QRect(2724, 693, 476, 307)},
        Fit{"LeftOfEverything", QRect(-900, 500, 476, 307), QRect(0, 500, 476, 307)},
        Fit{"LargerThanItsScreen", QRect(2000, 250, 1600, 1000), QRect(1920, 200, 1280, 800)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScreenFitTest, WithoutScreensTheFrameStays) {
  EXPECT_EQ(windowing::FitOntoScreens(QRect(5000, 5000, 10, 10), {}), QRect(5000, 5000, 10, 10));
}

}  // namespace
