#include <gtest/gtest.h>

#include "engines/common/IniFile.h"

namespace {

using sourcesafe::IniFile;

TEST(IniFileTest, ReadsSettingsIgnoringCaseCommentsSectionsAndBlanks) {
  const auto ini = IniFile::Parse(
      "; comment\r\n# another\n\n[General]\n  data_file =  x.vssdb  \r\nFormat_Version=1\n"
      "Data_File = y.vssdb\n");
  ASSERT_TRUE(ini);
  EXPECT_EQ(ini->Get("Data_File"), "y.vssdb");  // the later line wins
  EXPECT_EQ(ini->Get("FORMAT_VERSION"), "1");
  EXPECT_FALSE(ini->Get("Missing"));
}

TEST(IniFileTest, AnEmptyFileHasNoSettings) {
  const auto ini = IniFile::Parse("");
  ASSERT_TRUE(ini);
  EXPECT_FALSE(ini->Get("Data_File"));
}

class NotIniTest : public ::testing::TestWithParam<std::string> {};

TEST_P(NotIniTest, IsRefused) { EXPECT_FALSE(IniFile::Parse(GetParam())); }

INSTANTIATE_TEST_SUITE_P(Invalid, NotIniTest,
                         ::testing::Values(std::string("Data_File = a\0b", 15), "just words",
                                           "[unclosed", " = value",
                                           "\x7f"
                                           "ELF\x02\x01"));

}  // namespace
