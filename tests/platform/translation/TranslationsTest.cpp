#include <gtest/gtest.h>

#include <QCoreApplication>
#include <string>

#include "platform/translation/Tr.h"
#include "platform/translation/Translations.h"

namespace {

using translation::Tr;
using translation::Translations;

// Without an application, as vssdb runs: the texts come through the process's translators.
TEST(TranslationsTest, AChineseTranslationIsUsedWhileItLivesAndEnglishAfter) {
  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  {
    const Translations chinese({"xx_YY", "zh_CN"});
    EXPECT_EQ(chinese.Language(), "zh_CN");
    EXPECT_EQ(Tr("FMain", "&Close").Str(), "关闭(&C)");
    // A text it does not know stays as it is.
    EXPECT_EQ(Tr("FMain", "no such text").Str(), "no such text");
    {
      const translation::SourceTexts english;
      EXPECT_EQ(Tr("FMain", "&Close").Str(), "&Close");
    }
    EXPECT_EQ(Tr("FMain", "&Close").Str(), "关闭(&C)");
  }
  EXPECT_EQ(Tr("FMain", "&Close").Str(), "&Close");
}

TEST(TranslationsTest, AnUnknownLanguageKeepsTheSourceTexts) {
  const Translations unknown({"xx_YY", "de"});
  EXPECT_EQ(unknown.Language(), "");
  EXPECT_EQ(Tr("FMain", "&Close").Str(), "&Close");
}

// English is the program's own language: listed before Chinese (LANGUAGE=en_GB:zh_CN), it wins.
TEST(TranslationsTest, EnglishBeforeAnotherLanguageKeepsTheSourceTexts) {
  EXPECT_EQ(Translations({"en_GB", "zh_CN"}).Language(), "");
  EXPECT_EQ(Translations({"de", "en", "zh_CN"}).Language(), "");
}

// A country we have no translation for takes its language's (zh_TW has none, so English); a
// plain language name finds nothing either: the file is named for the language and country.
TEST(TranslationsTest, OnlyTheLanguageAndCountryWeHaveAreLoaded) {
  EXPECT_EQ(Translations({"zh_TW"}).Language(), "");
  EXPECT_EQ(Translations({"zh_CN"}).Language(), "zh_CN");
}

TEST(TextTest, FillsEveryPlaceholderInOnePass) {
  // A value that holds a placeholder of its own (a file named "%2") is not filled again.
  EXPECT_EQ(translation::Text(QStringLiteral("'%1' in %2")).Fill(std::string("a%2b"), 7),
            "'a%2b' in 7");
  EXPECT_EQ(translation::Text(QStringLiteral("%2 before %1")).Fill("x", std::size_t{3}),
            "3 before x");
}

}  // namespace
