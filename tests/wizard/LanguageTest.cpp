// The window in the user's language: the same flow, the same buttons' behaviour, in English and
// in Chinese, and texts that fit their controls.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <memory>

#include "WizardFixture.h"
#include "platform/translation/Languages.h"
#include "platform/translation/Translations.h"

namespace wizard_test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

struct Language {
  const char* name;
  const char* lang;  // LANG, with LANGUAGE, LC_ALL and LC_MESSAGES unset
  const char* listAll;
  const char* purge;
  const char* close;
  const char* stop;
  const char* finished;
  const char* question;
  const char* destroyed;
  const char* stopped;
  const char* recovered;
  const char* yes;  // Qt's own, on the question's button
};

const Language kEnglish{"English",
                        "en_US.UTF-8",
                        "&List All >>",
                        "&Purge >>",
                        "&Close",
                        "&Stop",
                        "Finished.",
                        "Purge 2 checked entries?\r\n\r\n",
                        "Destroyed: 2 entries, ",
                        "\nThe purge was stopped.",
                        "Recovered: 1 entry.\n",
                        "&Yes"};
const Language kChinese{"Chinese",
                        "zh_CN.UTF-8",
                        "列出全部(&L) >>",
                        "清除(&P) >>",
                        "关闭(&C)",
                        "停止(&S)",
                        "已完成。",
                        "清除 2 个勾选的条目？\r\n\r\n",
                        "已永久删除：2 个条目，",
                        "\n清除已停止。",
                        "已恢复：1 个条目。\n",
                        "是(&Y)"};

class LanguageTest : public WizardTest, public ::testing::WithParamInterface<Language> {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    translations = std::make_unique<translation::Translations>(
        translation::MessageLanguages(), translation::Translations::Scope::kOursAndQt);
    window = std::make_unique<wizard::FMain>();  // its captions in the language now loaded
    AddFile("$/a.txt", "a");
    AddFile("$/b.txt", "b");
    Delete("$/a.txt");
    Delete("$/b.txt");
  }

  testing_support::ScopedEnv language{"LANGUAGE", nullptr};
  testing_support::ScopedEnv all{"LC_ALL", nullptr};
  testing_support::ScopedEnv messages{"LC_MESSAGES", nullptr};
  testing_support::ScopedEnv lang{"LANG", GetParam().lang};
  std::unique_ptr<translation::Translations> translations;
};

TEST_P(LanguageTest, ListAndPurgeGoAsInEnglishAndCloseCloses) {
  window->show();
  EXPECT_EQ(Button("cmdNext").text(), QString::fromUtf8(GetParam().listAll));
  EXPECT_EQ(Button("cmdCancel").text(), QString::fromUtf8(GetParam().close));
  ListAll();
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Button("cmdNext").text(), QString::fromUtf8(GetParam().purge));
  Purge();
  ASSERT_EQ(forms.boxes.size(), 1u);
  EXPECT_THAT(forms.boxes[0].prompt, StartsWith(GetParam().question));
  EXPECT_EQ(Text("lblNowPurging"), QString::fromUtf8(GetParam().finished));
  EXPECT_THAT(Text("lblSummary").toStdString(), StartsWith(GetParam().destroyed));
  EXPECT_THAT(Deleted(), ::testing::IsEmpty());
  EXPECT_EQ(RedMarkers(), "5");
  Button("cmdCancel").click();
  EXPECT_FALSE(window->isVisible());
  // The question's buttons are Qt's, in the same language.
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"),
            QString::fromUtf8(GetParam().yes));
}

TEST_P(LanguageTest, StopStopsThePurgeAndOnlyWhileItRuns) {
  Store("KeepCopy", "0");  // stopped among the destroys, not while the copy is written
  window->show();
  ListAll();
  bool stopped = false;
  forms.onDoEvents = [&] {
    if (!stopped && Button("cmdCancel").text() == QString::fromUtf8(GetParam().stop)) {
      Button("cmdCancel").click();
      stopped = true;
    }
  };
  Purge();
  EXPECT_TRUE(stopped);
  EXPECT_TRUE(window->isVisible());  // Stop stopped; it did not close
  EXPECT_THAT(Text("lblSummary").toStdString(), HasSubstr(GetParam().stopped));
  EXPECT_EQ(Deleted().size(), 2u);
  EXPECT_EQ(Button("cmdCancel").text(), QString::fromUtf8(GetParam().close));
  Button("cmdCancel").click();
  EXPECT_FALSE(window->isVisible());
}

TEST_P(LanguageTest, RecoverBringsTheCheckedEntryBack) {
  window->show();
  ListAll();
  CheckOnly({"$/a.txt"});
  forms.answers.push_back(forms::vbYes);
  Button("cmdRecover").click();
  EXPECT_EQ(Text("lblNowPurging"), QString::fromUtf8(GetParam().finished));
  EXPECT_THAT(Text("lblSummary").toStdString(), StartsWith(GetParam().recovered));
  EXPECT_THAT(Deleted(), ::testing::ElementsAre("$/b.txt"));
}

// Every caption fits its control: the buttons are as wide as their captions need, each field
// starts after its caption, and the account of a purge is whole above the report's link.
TEST_P(LanguageTest, TextsFitTheirControls) {
  window->show();
  const auto fits = [&](const char* name, const QString& caption) {
    QPushButton& button = Button(name);
    EXPECT_LE(button.fontMetrics().size(Qt::TextShowMnemonic, caption).width(), button.width())
        << name << " " << caption.toStdString();
  };
  fits("cmdNext", QString::fromUtf8(GetParam().listAll));
  fits("cmdNext", QString::fromUtf8(GetParam().purge));
  fits("cmdCancel", QString::fromUtf8(GetParam().stop));
  fits("cmdRecover", Button("cmdRecover").text());
  fits("cmdView", Button("cmdView").text());
  EXPECT_LE(Button("cmdView").geometry().right(), Button("cmdRecover").x());
  EXPECT_LE(Button("cmdRecover").geometry().right(), Button("cmdNext").x());
  EXPECT_LE(Button("cmdNext").geometry().right(), Button("cmdCancel").x());
  for (const auto& [caption, field] :
       {std::pair{"Label1", "txtLoginName"}, std::pair{"Label2", "txtPassword"},
        std::pair{"Label3", "txtVssDb"}, std::pair{"lblFilter", "txtFilter"}}) {
    EXPECT_LT(Get<QLabel>(caption).geometry().right(), Get<QWidget>(field).x()) << caption;
  }
  // The account of a purge, with the copies line, in all its lines above the report's link.
  ListAll();
  Purge();
  QLabel& summary = Get<QLabel>("lblSummary");
  EXPECT_GE(summary.height(), summary.heightForWidth(summary.width()));
  EXPECT_LT(summary.geometry().bottom(), Get<QWidget>("lblReport").y());
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageTest, ::testing::Values(kEnglish, kChinese),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace wizard_test
