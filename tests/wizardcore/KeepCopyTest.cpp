// The copy kept before a purge: a tar archive any tool opens, with every file a destroy takes and
// a manifest; nothing is left when it cannot be written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>
#include <map>

#include "RecordingHost.h"
#include "errors/ErrorRecord.h"
#include "support/ArchiveMembers.h"
#include "support/FakeDatabase.h"
#include "support/TempDir.h"
#include "wizardcore/DeletedItemCollection.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/KeepCopy.h"
#include "wizardcore/Search.h"

namespace {

using testing_support::Fake;
using namespace std::string_literals;

class KeepCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // $/P (deleted) holds a live file and a deleted one; $/x.txt is deleted beside it; $/y.txt
    // is deleted and will not be checked.
    auto p = Fake("$/P", true, 0, true);
    p->children = {Fake("$/P/live.txt", false, 4), Fake("$/P/gone.txt", true, 3)};
    p->children[0]->content = "live";
    p->children[1]->content = "old";
    auto x = Fake("$/x.txt", true, 5);
    x->content = "x\0y\nz"s;  // bytes as they are, a zero byte too
    root->children = {p, x, Fake("$/y.txt", true, 1)};
    root->children[2]->content = "y";
    wizardcore::Search(host, list, items).SearchVssItem(root);
    ASSERT_EQ(list.Size(), 4);
    list.Check(3, false);  // $/y.txt stays
  }

  std::shared_ptr<testing_support::FakeItem> root = Fake("$/", false, 0, true);
  wizardcore_test::RecordingHost host;
  wizardcore::DeletedList list;
  wizardcore::DeletedItemCollection items;
  testing_support::TempDir folder;
};

TEST_F(KeepCopyTest, HoldsEveryFileTheCheckedEntriesTakeAndAManifest) {
  const std::filesystem::path kept =
      wizardcore::KeepCopy(host, list, {"/srv/vss/", "Admin"}, folder / "kept");
  EXPECT_EQ(kept.parent_path(), folder / "kept");
  EXPECT_THAT(kept.filename().string(),
              ::testing::MatchesRegex("vss-[0-9]{8}-[0-9]{6}\\.tar\\.zst"));
  EXPECT_EQ(std::filesystem::status(folder / "kept").permissions(),
            std::filesystem::perms::owner_all);
  EXPECT_EQ(std::filesystem::status(kept).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  std::map<std::string, std::string> members = testing_support::ArchiveMembers(kept);
  ASSERT_EQ(members.count("manifest.json"), 1u);
  const QJsonObject manifest =
      QJsonDocument::fromJson(QByteArray::fromStdString(members["manifest.json"])).object();
  members.erase("manifest.json");
  EXPECT_THAT(members, ::testing::ElementsAre(::testing::Pair("files/P/gone.txt", "old"),
                                              ::testing::Pair("files/P/live.txt", "live"),
                                              ::testing::Pair("files/x.txt", "x\0y\nz"s)));
  EXPECT_EQ(manifest["database"].toString(), "/srv/vss/");
  EXPECT_EQ(manifest["user"].toString(), "Admin");
  const QJsonArray entries = manifest["entries"].toArray();
  ASSERT_EQ(entries.size(), 2);  // P once, with what it holds; x.txt
  EXPECT_EQ(entries[0].toObject()["path"].toString(), "$/P");
  EXPECT_EQ(entries[0].toObject()["kind"].toString(), "project");
  EXPECT_EQ(entries[0].toObject()["size"].toInteger(), 7);
  EXPECT_EQ(entries[0].toObject()["items"].toArray().size(), 3);  // P and its two files
  EXPECT_EQ(entries[1].toObject()["path"].toString(), "$/x.txt");
  EXPECT_EQ(entries[1].toObject()["size"].toInteger(), 5);
}

// A folder that cannot be made, and a file whose content cannot be read: the copy's own error,
// saying why, and no file left behind.
TEST_F(KeepCopyTest, WhatCannotBeWrittenOrReadStopsItAndLeavesNothing) {
  std::ofstream(folder / "in the way") << "a file";
  try {
    wizardcore::KeepCopy(host, list, {"/srv/vss", "Admin"}, folder / "in the way" / "kept");
    FAIL() << "kept";
  } catch (const errors::ErrorRecord& error) {
    EXPECT_EQ(error.Number(), wizardcore::kCopyNotKept);
    EXPECT_THAT(error.Description(), ::testing::HasSubstr("so nothing was purged"));
  }

  root->children[1]->onSpec = [] {
    throw errors::ErrorRecord(-2147166571, "SourceSafe", "the content file is gone");
  };
  try {
    wizardcore::KeepCopy(host, list, {"/srv/vss", "Admin"}, folder / "kept");
    FAIL() << "kept";
  } catch (const errors::ErrorRecord& error) {
    EXPECT_EQ(error.Number(), wizardcore::kCopyNotKept);
    EXPECT_THAT(error.Description(), ::testing::HasSubstr("the content file is gone"));
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder / "kept"));
}

// Members are named from paths but never as they are: two entries of one path each keep their own
// content, and no name can lead an extractor out of its folder or move a terminal's cursor. The
// manifest has the real paths and says which member holds what.
TEST(KeepCopyNamesTest, EveryItemHasAMemberOfItsOwnWithASafeName) {
  auto project = Fake("$/D", true, 0, true);
  project->children = {Fake("$/D/x.txt", true, 5), Fake("$/D/x.txt", true, 6)};
  project->children[0]->content = "first";
  project->children[1]->content = "second";
  auto root = Fake("$/", false, 0, true);
  root->children = {project, Fake("$/P/../../../../tmp/evil", true, 1), Fake("$/a\nb", true, 1),
                    Fake("$/50%\\", true, 1), Fake("$/X.TXT", true, 1)};
  wizardcore_test::RecordingHost host;
  wizardcore::DeletedList list;
  wizardcore::DeletedItemCollection items;
  wizardcore::Search(host, list, items).SearchVssItem(root);
  testing_support::TempDir folder;
  const std::filesystem::path kept =
      wizardcore::KeepCopy(host, list, {"/srv/vss", "Admin"}, folder / "kept");

  std::map<std::string, std::string> members = testing_support::ArchiveMembers(kept);
  const QJsonObject manifest =
      QJsonDocument::fromJson(QByteArray::fromStdString(members["manifest.json"])).object();
  members.erase("manifest.json");
  EXPECT_THAT(
      members,
      ::testing::UnorderedElementsAre(
          ::testing::Pair("files/D/x.txt", "first"), ::testing::Pair("files/D/x (2).txt", "second"),
          ::testing::Pair("files/P/%2E%2E/%2E%2E/%2E%2E/%2E%2E/tmp/evil", ""),
          ::testing::Pair("files/a%0Ab", ""), ::testing::Pair("files/50%25%5C", ""),
          ::testing::Pair("files/X.TXT", "")));
  std::map<std::string, std::string> memberOf;
  for (const QJsonValue& entry : manifest["entries"].toArray()) {
    for (const QJsonValue& item : entry.toObject()["items"].toArray()) {
      memberOf[item.toObject()["member"].toString().toStdString()] =
          item.toObject()["path"].toString().toStdString();
    }
  }
  EXPECT_EQ(memberOf["files/D/x (2).txt"], "$/D/x.txt");
  EXPECT_EQ(memberOf["files/a%0Ab"], "$/a\nb");
  EXPECT_EQ(memberOf["files/P/%2E%2E/%2E%2E/%2E%2E/%2E%2E/tmp/evil"], "$/P/../../../../tmp/evil");
}

// A path that is not UTF-8 cannot be named in the manifest as it is: the copy, and so the purge,
// stops before anything is destroyed, saying why.
TEST(KeepCopyNamesTest, APathThatCannotBeKeptSafelyStopsTheCopy) {
  auto root = Fake("$/", false, 0, true);
  root->children = {Fake("$/\xFF.txt", true, 1)};
  wizardcore_test::RecordingHost host;
  wizardcore::DeletedList list;
  wizardcore::DeletedItemCollection items;
  wizardcore::Search(host, list, items).SearchVssItem(root);
  testing_support::TempDir folder;
  try {
    wizardcore::KeepCopy(host, list, {"/srv/vss", "Admin"}, folder / "kept");
    FAIL() << "kept";
  } catch (const errors::ErrorRecord& error) {
    EXPECT_EQ(error.Number(), wizardcore::kCopyNotKept);
    EXPECT_THAT(error.Description(), ::testing::HasSubstr("is not UTF-8"));
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder / "kept"));
}

}  // namespace
