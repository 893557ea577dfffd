#include "EngineFixture.h"

namespace engine_test {
namespace {

using ::testing::ElementsAre;

TEST_F(EngineTest, ChildrenComeInNameOrderIgnoringCaseWithDeletedDuplicatesInCreationOrder) {
  admin->MakeProject("$/P");
  AddFile("$/P/b.txt");
  AddFile("$/P/a.txt");
  Delete("$/P/a.txt");
  AddFile("$/P/A.TXT");  // a live item may share the name of deleted ones
  Delete("$/P/A.TXT");
  AddFile("$/P/a.txt");
  admin->MakeProject("$/P/Zeta");
  AddFile("$/P/Zeta/x");
  admin->MakeProject("$/P/alpha");
  AddFile("$/P/C.txt");

  EXPECT_THAT(Walk(),
              ElementsAre("$/", "$/P", "$/P/a.txt (deleted)", "$/P/A.TXT (deleted)", "$/P/a.txt",
                          "$/P/alpha", "$/P/b.txt", "$/P/C.txt", "$/P/Zeta", "$/P/Zeta/x"));
}

TEST_F(EngineTest, DeletingAProjectMarksOnlyTheProject) {
  admin->MakeProject("$/P/Q");
  AddFile("$/P/Q/f");
  AddFile("$/P/g");
  Delete("$/P/g");
  Delete("$/P");
  EXPECT_THAT(Walk(), ElementsAre("$/", "$/P (deleted)", "$/P/g (deleted)", "$/P/Q", "$/P/Q/f"));
  // Without deleted items the project's subtree is out of sight.
  EXPECT_TRUE(admin->Children(admin->Root(), false).empty());
}

TEST_F(EngineTest, AFileHasNoChildren) {
  AddFile("$/f", "content");
  const ItemRecord file = admin->Find("$/f", false);
  EXPECT_FALSE(file.isProject);
  EXPECT_TRUE(admin->Children(file, true).empty());
  EXPECT_EQ(file.size, 7);
  const std::vector<unsigned char> content = admin->Content(file);
  EXPECT_EQ(std::string(content.begin(), content.end()), "content");
}

TEST_F(EngineTest, FindNamesTheLiveItemOrTheOnlyDeletedOne) {
  AddFile("$/f");
  Delete("$/f");
  EXPECT_TRUE(admin->Find("$/F", true).deleted);
  EXPECT_EQ(ErrorNumberOf([&] { admin->Find("$/f", false); }), N(ErrorCode::kItemNotFound));
  AddFile("$/f");
  EXPECT_FALSE(admin->Find("$/f", true).deleted);
  Delete("$/f");
  std::string description;
  EXPECT_EQ(ErrorNumberOf([&] { admin->Find("$/f", true); }, &description),
            N(ErrorCode::kAmbiguousSpec));
  EXPECT_NE(description.find("2 deleted items"), std::string::npos) << description;
  EXPECT_EQ(admin->Resolve("$/f", true).size(), 2u);
}

TEST_F(EngineTest, SpecsKeepTheStoredCaseWhateverCaseFindWasGiven) {
  admin->MakeProject("$/Alpha/Beta");
  EXPECT_EQ(admin->Find("$/ALPHA/beta", false).spec, "$/Alpha/Beta");
}

TEST_F(EngineTest, MakingAndAddingRefuseClashesAndMissingProjects) {
  admin->MakeProject("$/P");
  AddFile("$/P/f");
  struct Case {
    std::function<void()> call;
    ErrorCode code;
  };
  const std::vector<Case> cases = {
      {[&] { admin->MakeProject("$/p"); }, ErrorCode::kAlreadyExists},
      {[&] { AddFile("$/P/F"); }, ErrorCode::kAlreadyExists},
      {[&] { admin->MakeProject("$/P/f/sub"); }, ErrorCode::kNotAProject},
      {[&] { AddFile("$/P/f/sub"); }, ErrorCode::kNotAProject},
      {[&] { AddFile("$/Missing/f"); }, ErrorCode::kItemNotFound},
      {[&] { AddFile("$/P/bad:name"); }, ErrorCode::kInvalidName},
      {[&] { admin->MakeProject("$/"); }, ErrorCode::kAlreadyExists},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(ErrorNumberOf(cases[i].call), N(cases[i].code)) << "case " << i;
  }
  EXPECT_THAT(Walk(), ElementsAre("$/", "$/P", "$/P/f"));
}

}  // namespace
}  // namespace engine_test

namespace engine_test {
namespace {

// Children are read ahead in batches; what another user changed must show once the read-ahead
// has expired, and what this session changed at once.
TEST_F(EngineTest, ChildrenReadAheadNeverHidesChangesLongerThanItsLifetime) {
  admin->MakeProject("$/P/Q");
  sourcesafe::OpenOptions options;
  options.readAheadLifetime = std::chrono::milliseconds(0);
  const auto reader = Session::Open(Dir(), "Admin", "", options);
  const auto writer = OpenAs("Admin");
  EXPECT_TRUE(reader->Children(reader->Find("$/P/Q", false), true).empty());  // reads ahead
  writer->AddFile("$/P/Q/new", {});
  EXPECT_EQ(reader->Children(reader->Find("$/P/Q", false), true).size(), 1u);

  EXPECT_EQ(admin->Children(admin->Root(), true).size(), 1u);  // reads $/P and $/P/Q ahead
  admin->AddFile("$/P/Q/mine", {});
  EXPECT_EQ(admin->Children(admin->Find("$/P/Q", false), true).size(), 2u);
}

}  // namespace
}  // namespace engine_test
