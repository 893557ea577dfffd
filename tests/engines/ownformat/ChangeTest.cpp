#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>

#include "EngineFixture.h"
#include "engines/ownformat/Integrity.h"
#include "engines/ownformat/Names.h"
#include "engines/ownformat/OwnDatabase.h"
#include "sourcecontrol/IVSSItems.h"

namespace engine_test {
namespace {

using ::testing::ElementsAre;

TEST_F(EngineTest, DestroyingAProjectRemovesEverythingBelowItInOneStep) {
  admin->MakeProject("$/P/Q/R");
  AddFile("$/P/Q/R/deep", std::string(10000, 'd'));
  AddFile("$/P/f", "f");
  AddFile("$/keep", "k");
  Delete("$/P");
  admin->Destroy(admin->Find("$/P", true));

  EXPECT_THAT(Walk(), ElementsAre("$/", "$/keep"));
  EXPECT_TRUE(sourcesafe::CheckIntegrity(*admin).empty());
  // A new project of the old name starts empty.
  admin->MakeProject("$/P");
  EXPECT_TRUE(admin->Children(admin->Find("$/P", false), true).empty());
}

// What the engine says a destroy frees is near what the data file gives back: the rows and the
// contents go, and the freed pages are returned after the destroy.
TEST_F(EngineTest, WhatADestroyIsSaidToFreeIsNearWhatTheFileGivesBack) {
  admin->MakeProject("$/old");
  for (int i = 0; i < 300; ++i) {
    AddFile("$/old/file" + std::to_string(i) + ".txt", std::string(2000, 'x'));
  }
  Delete("$/old");
  admin.reset();
  sourcesafe::OwnDatabase database;
  database.Open(Dir(), "Admin", "");
  const auto project = database.VSSItem("$/old", true);
  std::int64_t said = project->DiskSize();
  const auto files = project->Items(true);
  for (const auto& file : *files) {
    said += file->DiskSize();
  }
  const auto size = [&] { return std::filesystem::file_size(folder / "db" / "data.vssdb"); };
  const auto before = static_cast<std::int64_t>(size());
  project->Destroy();
  const auto freed = before - static_cast<std::int64_t>(size());
  EXPECT_GT(said, 300 * 2000);
  EXPECT_GT(freed, said * 2 / 3) << said;
  EXPECT_LT(freed, said * 3 / 2) << said;
}

TEST_F(EngineTest, DestroyIsRefusedAfterAnotherUserRecoveredTheItem) {
  AddFile("$/f", "precious");
  Delete("$/f");
  const ItemRecord listed = admin->Find("$/f", true);

  const auto other = OpenAs("admin");
  other->Recover(other->Find("$/f", true));

  std::string description;
  EXPECT_EQ(ErrorNumberOf([&] { admin->Destroy(listed); }, &description),
            N(ErrorCode::kItemChanged));
  EXPECT_NE(description.find("'$/f'"), std::string::npos) << description;
  EXPECT_THAT(Walk(), ElementsAre("$/", "$/f"));
}

TEST_F(EngineTest, DestroyIsRefusedForAnItemDestroyedOrDeletedAgainMeanwhile) {
  AddFile("$/f");
  Delete("$/f");
  const ItemRecord listed = admin->Find("$/f", true);
  const auto other = OpenAs("Admin");
  other->Destroy(other->Find("$/f", true));
  EXPECT_EQ(ErrorNumberOf([&] { admin->Destroy(listed); }), N(ErrorCode::kItemChanged));

  // Recovered and deleted again: the mark is as it was, but the record is not.
  AddFile("$/g");
  Delete("$/g");
  const ItemRecord stale = admin->Find("$/g", true);
  other->Recover(other->Find("$/g", true));
  other->Delete(other->Find("$/g", false));
  EXPECT_EQ(ErrorNumberOf([&] { admin->Destroy(stale); }), N(ErrorCode::kItemChanged));
  EXPECT_THAT(Walk(), ElementsAre("$/", "$/g (deleted)"));
}

TEST_F(EngineTest, AnItemRecoveredOrAddedBelowAProjectStopsItsDestroy) {
  admin->MakeProject("$/P/Q");
  AddFile("$/P/Q/keep.txt");
  Delete("$/P/Q/keep.txt");
  Delete("$/P");
  const auto other = OpenAs("Admin");
  struct Change {
    const char* name;
    std::function<void()> made;
  };
  for (const Change& change :
       {Change{"recovered deep below",
               [&] { RecoverBelowDeletedProject(*other, "$/P", "$/P/Q/keep.txt"); }},
        Change{"added below", [&] {
                 other->Recover(other->Find("$/P", true));
                 other->AddFile("$/P/new.txt", {});
                 other->Delete(other->Find("$/P", false));
               }}}) {
    SCOPED_TRACE(change.name);
    const ItemRecord listed = admin->Find("$/P", true);
    change.made();
    std::string description;
    EXPECT_EQ(ErrorNumberOf([&] { admin->Destroy(listed); }, &description),
              N(ErrorCode::kItemChanged));
    EXPECT_NE(description.find("'$/P', or an item below it, was changed"), std::string::npos)
        << description;
    EXPECT_EQ(Walk().size(), 4u + (std::string(change.name) == "added below" ? 1u : 0u));
  }
}

TEST_F(EngineTest, DestroysBelowAProjectDoNotStopItsDestroy) {
  admin->MakeProject("$/P");
  AddFile("$/P/mine.txt");
  AddFile("$/P/theirs.txt");
  Delete("$/P/mine.txt");
  Delete("$/P/theirs.txt");
  Delete("$/P");
  const ItemRecord project = admin->Find("$/P", true);
  const ItemRecord mine = admin->Find("$/P/mine.txt", true);
  const auto other = OpenAs("Admin");
  other->Destroy(other->Find("$/P/theirs.txt", true));
  admin->Destroy(mine);  // a purge destroys the entries below a project first
  admin->Destroy(project);
  EXPECT_THAT(Walk(), ElementsAre("$/"));
}

TEST_F(EngineTest, DestroyIsRefusedWithoutTheRightAndChangesNothing) {
  admin->AddUser("Guest", "guest-pass", false);
  AddFile("$/f");
  Delete("$/f");
  const auto guest = OpenAs("guest", "guest-pass");
  std::string description;
  EXPECT_EQ(ErrorNumberOf([&] { guest->Destroy(guest->Find("$/f", true)); }, &description),
            N(ErrorCode::kAccessDenied));
  EXPECT_NE(description.find("'Guest'"), std::string::npos) << description;
  EXPECT_THAT(Walk(), ElementsAre("$/", "$/f (deleted)"));
  // Other users may add users only through Admin.
  EXPECT_EQ(ErrorNumberOf([&] { guest->AddUser("Eve", "", true); }), N(ErrorCode::kAccessDenied));
}

TEST_F(EngineTest, RecoverIsRefusedWhileALiveItemHasTheName) {
  AddFile("$/f");
  Delete("$/f");
  AddFile("$/F");
  std::vector<ItemRecord> both = admin->Resolve("$/f", true);
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(ErrorNumberOf([&] { admin->Recover(both[1]); }), N(ErrorCode::kAlreadyExists));
}

// A kept entry put back: whole and deleted, under its project as spelled today; refused, with
// nothing written, when its project is gone or a deleted item has its name.
TEST_F(EngineTest, RestorePutsAKeptEntryBackWholeOrRefusesIt) {
  admin->MakeProject("$/P");
  const auto bytes = [](const char* text) {
    return std::vector<unsigned char>(text, text + std::strlen(text));
  };
  const std::vector<sourcecontrol::RestoredItem> kept{{"$/p/Q", true, false, {}},
                                                      {"$/p/Q/a.txt", false, false, bytes("a")},
                                                      {"$/p/Q/b.txt", false, true, bytes("bb")}};
  admin->Restore(kept);
  EXPECT_TRUE(admin->Find("$/P/Q", true).deleted);
  EXPECT_FALSE(admin->Find("$/P/Q/a.txt", true).deleted);
  EXPECT_EQ(admin->Content(admin->Find("$/P/Q/b.txt", true)), bytes("bb"));
  EXPECT_TRUE(sourcesafe::CheckIntegrity(*admin).empty());

  for (const auto& [items, code] :
       std::vector<std::pair<std::vector<sourcecontrol::RestoredItem>, ErrorCode>>{
           {kept, ErrorCode::kAlreadyExists},
           {{{"$/Gone/x.txt", false, true, bytes("x")}}, ErrorCode::kItemNotFound}}) {
    try {
      admin->Restore(items);
      ADD_FAILURE() << items.front().spec << " was put back";
    } catch (const EngineError& error) {
      EXPECT_EQ(error.Code(), code) << error.what();
    }
  }
  EXPECT_EQ(admin->Children(admin->Find("$/P", false), true).size(), 1u);
}

TEST_F(EngineTest, TheRootCannotBeDeletedOrDestroyed) {
  EXPECT_EQ(ErrorNumberOf([&] { admin->Delete(admin->Root()); }), N(ErrorCode::kAccessDenied));
  EXPECT_EQ(ErrorNumberOf([&] { admin->Destroy(admin->Root()); }), N(ErrorCode::kAccessDenied));
}

TEST_F(EngineTest, NoPasswordTextIsStoredAnywhereInTheDatabase) {
  const std::string password = "Correct-Horse-Battery-Staple";
  admin->AddUser("Carol", password, true);
  OpenAs("Carol", password);  // the password works...
  for (const auto& entry : std::filesystem::directory_iterator(folder / "db")) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.find(password), std::string::npos) << entry.path();  // ...but is nowhere
  }
}

TEST_F(EngineTest, DestroyedContentIsOverwrittenOnDisk) {
  const std::string secret = "TOP-SECRET-CONTENT-0123456789";
  AddFile("$/secret", secret);
  Delete("$/secret");
  admin->Destroy(admin->Find("$/secret", true));
  std::ifstream in(folder / "db" / "data.vssdb", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes.find(secret), std::string::npos);
}

}  // namespace
}  // namespace engine_test

namespace engine_test {
namespace {

TEST_F(EngineTest, TheSameNameComposedAndDecomposedCannotStandSideBySide) {
  AddFile("$/caf\xc3\xa9.txt");
  EXPECT_EQ(ErrorNumberOf([&] { AddFile("$/cafe\xcc\x81.txt"); }), N(ErrorCode::kAlreadyExists));
  EXPECT_EQ(admin->Find("$/CAFE\xcc\x81.TXT", false).name, "caf\xc3\xa9.txt");
}

TEST_F(EngineTest, PathsDeeperThanTheLimitAreRefusedWhenMade) {
  std::string spec = "$";
  for (std::size_t level = 0; level < sourcesafe::kMaxSpecDepth; ++level) {
    spec += "/d";
  }
  admin->MakeProject(spec);
  std::string description;
  EXPECT_EQ(ErrorNumberOf([&] { admin->MakeProject(spec + "/d"); }, &description),
            N(ErrorCode::kInvalidName));
  EXPECT_NE(description.find("at most 256 names"), std::string::npos) << description;
  EXPECT_EQ(ErrorNumberOf([&] { AddFile(spec + "/f.txt"); }), N(ErrorCode::kInvalidName));
}

}  // namespace
}  // namespace engine_test
