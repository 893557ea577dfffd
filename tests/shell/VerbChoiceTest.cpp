#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/VerbChoice.h"

namespace {

constexpr std::int32_t kNoMoreItems = 259;
constexpr std::int32_t kKeyDeleted = 1018;
constexpr std::int32_t kMoreData = 234;

// A file type's verbs as the registry lists them; "!" stands for one that cannot be read.
struct VerbCase {
  const char* name;
  std::vector<std::string> listed;
  std::string chosen;
};

class VerbChoiceTest : public ::testing::TestWithParam<VerbCase> {};

TEST_P(VerbChoiceTest, ChoosesOpenElseTheFirstReadableVerb) {
  const std::vector<std::string>& listed = GetParam().listed;
  const auto read = [&](std::uint32_t index, std::string& name) {
    if (index >= listed.size()) {
      return kNoMoreItems;
    }
    if (listed[index] == "!") {
      return kMoreData;
    }
    name = listed[index];
    return std::int32_t{0};
  };
  EXPECT_EQ(shell::ChooseVerb(read), GetParam().chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Verbs, VerbChoiceTest,
    ::testing::Values(VerbCase{"None", {}, ""}, VerbCase{"FirstListed", {"print", "edit"}, "print"},
                      VerbCase{"OpenWins", {"print", "Open", "edit"}, "open"},
                      VerbCase{"AmpersandOpen", {"edit", "&OPEN"}, "open"},
                      VerbCase{"UnreadableSkipped", {"!", "!", "edit"}, "edit"},
                      VerbCase{"OpenAfterUnreadable", {"print", "!", "open"}, "open"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VerbChoiceTest, AKeyThatKeepsFailingEndsTheEnumeration) {
  std::uint32_t calls = 0;
  const std::string verb = shell::ChooseVerb([&](std::uint32_t, std::string&) {
    // Deleted under the open handle: every index fails. (The fake gives up after a while so that
    // an unbounded enumeration fails this test instead of hanging it.)
    return ++calls < 100000 ? kKeyDeleted : kNoMoreItems;
  });
  EXPECT_EQ(verb, "");
  EXPECT_EQ(calls, static_cast<std::uint32_t>(shell::kUnreadableVerbsInARow));
}

TEST(VerbChoiceTest, AFailingRunAfterAVerbKeepsThatVerb) {
  const std::string verb = shell::ChooseVerb([](std::uint32_t index, std::string& name) {
    if (index == 0) {
      name = "print";
      return std::int32_t{0};
    }
    return kKeyDeleted;
  });
  EXPECT_EQ(verb, "print");
}

}  // namespace
