#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/translation/Languages.h"

namespace {

struct LanguagesCase {
  const char* name;
  std::map<std::string, std::string> environment;
  std::vector<std::string> languages;
};

class LanguagesTest : public ::testing::TestWithParam<LanguagesCase> {};

TEST_P(LanguagesTest, FollowTheEnvironmentAsGettextDoes) {
  const auto& environment = GetParam().environment;
  const auto variable = [&](const char* name) -> const char* {
    const auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
  };
  EXPECT_EQ(translation::MessageLanguages(variable), GetParam().languages);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, LanguagesTest,
    ::testing::Values(
        LanguagesCase{"Nothing", {}, {}},
        LanguagesCase{"Lang", {{"LANG", "zh_CN.UTF-8"}}, {"zh_CN"}},
        LanguagesCase{"MessagesBeforeLang",
                      {{"LANG", "de_DE.UTF-8"}, {"LC_MESSAGES", "zh_CN.UTF-8"}},
                      {"zh_CN"}},
        LanguagesCase{"AllBeforeMessages",
                      {{"LC_ALL", "zh_CN.UTF-8"}, {"LC_MESSAGES", "de_DE.UTF-8"}},
                      {"zh_CN"}},
        LanguagesCase{
            "EmptyAllCountsAsUnset", {{"LC_ALL", ""}, {"LANG", "zh_CN.UTF-8"}}, {"zh_CN"}},
        LanguagesCase{"LanguageListFirst",
                      {{"LANGUAGE", "fr:zh_CN.UTF-8::de"}, {"LANG", "en_US.UTF-8"}},
                      {"fr", "zh_CN", "de", "en_US"}},
        LanguagesCase{"ModifierDropped", {{"LANG", "sr_RS.UTF-8@latin"}}, {"sr_RS"}},
        // A C locale means the program's own texts, whatever LANGUAGE says (as gettext).
        LanguagesCase{"CLocaleIgnoresLanguage",
                      {{"LANGUAGE", "zh_CN"}, {"LC_ALL", "C.UTF-8"}, {"LANG", "zh_CN.UTF-8"}},
                      {}},
        LanguagesCase{"PosixLocale", {{"LANG", "POSIX"}}, {}},
        LanguagesCase{"LanguageWithoutLocale", {{"LANGUAGE", "zh_CN"}}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
