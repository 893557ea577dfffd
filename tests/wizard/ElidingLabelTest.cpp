#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

#include "wizard/ElidingLabel.h"

namespace {

struct ElideCase {
  const char* name;
  const char* text;
  bool elided;
};

class ElidingLabelTest : public ::testing::TestWithParam<ElideCase> {};

// In a label 100 pixels wide: a long line is elided (its text stays whole), a short one and a
// text of several lines are not.
TEST_P(ElidingLabelTest, ElidesOnlyALineTooLongForIt) {
  wizard::ElidingLabel label;
  label.setGeometry(0, 0, 100, 16);
  label.setText(QString::fromUtf8(GetParam().text));
  EXPECT_EQ(label.Elided(), GetParam().elided);
  EXPECT_EQ(label.text(), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ElidingLabelTest,
    ::testing::Values(
        ElideCase{"Short", "ok", false},
        ElideCase{"LongPath", "/home/someone/.local/share/scourwell/kept/db.tar.zst", true},
        ElideCase{"WideCharacters", "打开清除前保留的副本（/tmp/一个很长的路径）", true},
        ElideCase{"SeveralLines", "a line\nand another line that is long enough", false}),
    [](const auto& info) { return std::string(info.param.name); });

// While elided, the tip shows the whole text; a tip of the label's own is left to it.
TEST(ElidingLabelTipTest, ShowsTheWholeTextWhileElided) {
  wizard::ElidingLabel label;
  label.setGeometry(0, 0, 60, 16);
  label.setText(QStringLiteral("/a/long/path/that/does/not/fit/in/sixty/pixels"));
  label.show();
  QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), label.mapToGlobal(QPoint(5, 5)));
  EXPECT_TRUE(QApplication::sendEvent(&label, &tip));
  EXPECT_EQ(QToolTip::text(), label.text());
  QToolTip::hideText();
}

}  // namespace
