// The files View writes: where they go, under which names, and that none outlives its owner.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "sourcecontrol/ErrorNumbers.h"
#include "support/FakeDatabase.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "wizardcore/ContentViews.h"

namespace {

using testing_support::FakeItem;

std::string Read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ContentViewsTest, EachViewKeepsItsNameAndAllGoWithTheirOwner) {
  testing_support::TempDir folder;
  // No runtime folder: the temporary folder takes the views.
  const testing_support::ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
  const testing_support::ScopedEnv temporary("TMPDIR", folder.Path().string());
  FakeItem first("$/a/x.txt", true);
  first.content = "one";
  FakeItem second("$/b/x.txt", true);
  second.content = "two";
  std::filesystem::path views;
  {
    wizardcore::ContentViews owner;
    const std::filesystem::path one = owner.Write(first);
    const std::filesystem::path two = owner.Write(second);
    EXPECT_NE(one, two);
    EXPECT_EQ(one.filename(), "x.txt");
    EXPECT_EQ(two.filename(), "x.txt");
    EXPECT_EQ(Read(one), "one");
    EXPECT_EQ(Read(two), "two");
    views = owner.Folder();
    EXPECT_EQ(views.parent_path(), folder.Path());
    EXPECT_EQ(std::filesystem::status(views).permissions(), std::filesystem::perms::owner_all);
  }
  EXPECT_FALSE(std::filesystem::exists(views));
}

TEST(ContentViewsTest, AProjectHasNothingToView) {
  FakeItem project("$/P", true, 0, true);
  wizardcore::ContentViews owner;
  try {
    owner.Write(project);
    ADD_FAILURE() << "a project was written";
  } catch (const errors::ErrorRecord& error) {
    EXPECT_EQ(error.Number(), sourcecontrol::Number(sourcecontrol::ErrorCode::kViewNotWritten));
    EXPECT_NE(error.Description().find("'$/P' is a project"), std::string::npos);
  }
  EXPECT_TRUE(owner.Folder().empty());  // nothing was made for it
}

TEST(ContentViewsTest, ANameThatCannotNameAFileIsContent) {
  EXPECT_EQ(wizardcore::ViewName("$/a/b.txt"), "b.txt");
  EXPECT_EQ(wizardcore::ViewName("$/a/.."), "content");
  EXPECT_EQ(wizardcore::ViewName("$/"), "content");
  EXPECT_EQ(wizardcore::ViewName("$/" + std::string(300, 'n')), "content");
}

}  // namespace
