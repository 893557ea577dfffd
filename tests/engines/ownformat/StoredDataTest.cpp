// Databases holding what this engine would not write today: made by earlier versions, other
// tools, or someone with the file in hand.
#include <gmock/gmock.h>

#include "EngineFixture.h"
#include "engines/ownformat/Integrity.h"
#include "engines/ownformat/Names.h"
#include "engines/ownformat/Passwords.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/Statement.h"
#include "support/InChild.h"
#include "support/Process.h"

namespace engine_test {
namespace {

using ::testing::HasSubstr;

class StoredDataTest : public EngineTest {
 protected:
  std::filesystem::path DataFile() const { return folder / "db" / "data.vssdb"; }

  void Sql(const std::string& sql) {
    sqlite::Connection raw(DataFile(), sqlite::Connection::Mode::ReadWrite);
    raw.Execute(sql);
  }

  // Files an item under the root as earlier versions did: the name as given, folded without
  // normalizing.
  void InsertOldItem(const std::string& name) {
    sqlite::Connection raw(DataFile(), sqlite::Connection::Mode::ReadWrite);
    sqlite::Statement insert(raw,
                             "INSERT INTO items (parent, name, fold, is_project, deleted)"
                             " VALUES (1, ?1, ?2, 0, 1)");
    insert.Bind(1, name).Bind(2, sourcesafe::LegacyFoldName(name)).Run();
    sqlite::Statement content(raw, "INSERT INTO contents (item, data) VALUES (?1, x'')");
    content.Bind(1, raw.LastInsertRowId()).Run();
  }
};

TEST_F(StoredDataTest, NamesRefusedTodayStillOpenListAndAreFound) {
  const std::vector<std::string> names = {" spaced", "evil\xe2\x80\xaetxt.exe", "cafe\xcc\x81",
                                          ".."};
  for (const std::string& name : names) {
    InsertOldItem(name);
  }
  Sql("INSERT INTO users (name, fold, password_hash, can_destroy) VALUES (' Bob', ' bob', '" +
      sourcesafe::HashPassword("pw") + "', 1)");
  const auto bob = OpenAs(" Bob", "pw");
  EXPECT_EQ(bob->Children(bob->Root(), true).size(), names.size());
  EXPECT_TRUE(bob->Find("$/cafe\xcc\x81", true).deleted);
  EXPECT_NO_THROW(bob->Destroy(bob->Find("$/ spaced", true)));

  const auto check = testing_support::RunCommand({SCOURWELL_VSSDB, "check", Dir()});
  EXPECT_EQ(check.status, 1);
  EXPECT_THAT(check.out, HasSubstr("(evil\xe2\x80\xaetxt.exe) has a name the engine refuses"));
  EXPECT_THAT(check.out, HasSubstr("user ' Bob' has a name the engine refuses"));
}

// A data file of the first format keeps no deletions: its deletes read as unknown, and the first
// delete made in it upgrades it, recording from then on who deleted what and when.
TEST_F(StoredDataTest, AFirstFormatFileIsUpgradedByItsFirstDeleteAndKnowsOnlyLaterDeletes) {
  AddFile("$/old.txt");
  AddFile("$/new.txt");
  AddFile("$/back.txt");
  admin.reset();
  InsertOldItem("gone.txt");
  Sql("DROP TABLE deletions; PRAGMA user_version = 1");
  admin = OpenAs("Admin");
  Delete("$/old.txt");  // as the earlier version would, but made by this one: recorded
  const auto userVersion = [&] {
    sqlite::Connection raw(DataFile(), sqlite::Connection::Mode::ReadOnly);
    sqlite::Statement version(raw, "PRAGMA user_version");
    version.Step();
    return version.Int(0);
  };
  EXPECT_EQ(userVersion(), 2);
  EXPECT_FALSE(admin->DeletionOf(admin->Find("$/gone.txt", true)).time.has_value());
  const std::int64_t before = sourcesafe::WallClockNow();
  Delete("$/new.txt");
  Delete("$/back.txt");
  const sourcecontrol::Deletion made = admin->DeletionOf(admin->Find("$/new.txt", true));
  ASSERT_TRUE(made.time.has_value());
  EXPECT_GE(*made.time, before);
  EXPECT_LE(*made.time, sourcesafe::WallClockNow());
  EXPECT_EQ(made.user, "Admin");
  // A recover forgets the delete, a destroy takes its record with it: the check stays clean.
  admin->Recover(admin->Find("$/back.txt", true));
  EXPECT_FALSE(admin->DeletionOf(admin->Find("$/back.txt", false)).time.has_value());
  admin->Destroy(admin->Find("$/new.txt", true));
  EXPECT_THAT(sourcesafe::CheckIntegrity(*admin), ::testing::IsEmpty());
  sqlite::Connection raw(DataFile(), sqlite::Connection::Mode::ReadOnly);
  sqlite::Statement left(raw, "SELECT count(*) FROM deletions");
  left.Step();
  EXPECT_EQ(left.Int(0), 1);  // old.txt's
}

TEST_F(StoredDataTest, ListingATreeThatRunsRoundACycleEndsWithAClearError) {
  admin->MakeProject("$/A/B");
  admin.reset();
  Sql("UPDATE items SET parent = (SELECT id FROM items WHERE name = 'B') WHERE id = 1");
  const auto list = testing_support::RunCommand({SCOURWELL_VSSDB, "list", Dir()});
  EXPECT_EQ(list.status, 1);
  EXPECT_THAT(list.err, HasSubstr("is damaged: its root project lies below item"));
  EXPECT_EQ(list.out, "");
}

struct StoredHash {
  const char* name;
  const char* from;  // a part of our own hash
  const char* to;    // what it becomes
};

class StoredHashTest : public StoredDataTest, public ::testing::WithParamInterface<StoredHash> {};

TEST_P(StoredHashTest, IsRefusedWithoutDoingTheWorkItNames) {
  std::string hash = sourcesafe::HashPassword("");
  const std::size_t at = hash.find(GetParam().from);
  ASSERT_NE(at, std::string::npos) << hash;
  hash.replace(at, std::string(GetParam().from).size(), GetParam().to);
  Sql("UPDATE users SET password_hash = '" + hash + "'");
  admin.reset();
  const int status = testing_support::RunInChild(20, [&] {
    std::string description;
    const bool refused =
        ErrorNumberOf([&] { OpenAs("Admin"); }, &description) == N(ErrorCode::kDamaged);
    return refused && description.find("was not checked") != std::string::npos ? 0 : 3;
  });
  EXPECT_EQ(status, 0) << "142 means the check ran on until the alarm";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredHashTest,
    ::testing::Values(StoredHash{"FourBillionPasses", ",t=2,", ",t=4000000000,"},
                      StoredHash{"FourGigabytes", "m=65536,", "m=4194304,"},
                      StoredHash{"OneParallelLaneMore", ",p=1$", ",p=2$"},
                      StoredHash{"AnotherAlgorithm", "$argon2id$", "$argon2i$"},
                      StoredHash{"NotAHash", "$argon2id$v=19$", "$scrypt$"}),
    [](const auto& info) { return std::string(info.param.name); });

struct Damage {
  const char* name;
  const char* sql;
  std::vector<const char*> faults;  // what `vssdb check` must say
};

class CheckTest : public StoredDataTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(CheckTest, FindsWhatTheEngineWouldRefuseWithoutALogin) {
  admin->MakeProject("$/P");
  AddFile("$/P/f.txt", "abc");
  AddFile("$/g.txt", "");
  admin.reset();
  Sql(GetParam().sql);
  const auto check = testing_support::RunCommand({SCOURWELL_VSSDB, "check", Dir()});
  EXPECT_EQ(check.status, 1) << check.out << check.err;
  for (const char* fault : GetParam().faults) {
    EXPECT_THAT(check.out, HasSubstr(fault));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckTest,
    ::testing::Values(
        Damage{"NameWithSlash",
               "UPDATE items SET name = 'a/b', fold = 'a/b' WHERE name = 'g.txt'",
               {"(a/b) has a name the engine refuses"}},
        Damage{"EmptyName",
               "UPDATE items SET name = '', fold = '' WHERE name = 'g.txt'",
               {"() has a name the engine refuses"}},
        Damage{"ControlCharacter",
               "UPDATE items SET name = 'a' || char(7), fold = 'a' || char(7) WHERE name = 'g.txt'",
               {"has a name the engine refuses: The item name contains a control character"}},
        Damage{"DuplicateLiveNames",
               "DROP INDEX items_live_names; UPDATE items SET name = 'P', fold = 'p'"
               " WHERE name = 'g.txt'",
               {"the index items_live_names is missing", "are live in one project under the name"}},
        Damage{"FlagOutOfRange",
               "UPDATE items SET deleted = 7 WHERE name = 'g.txt'",
               {"has deleted = 7, which is neither 0 nor 1"}},
        Damage{"TextVersion",
               "UPDATE items SET version = 'two' WHERE name = 'g.txt'",
               {"has a version of type text"}},
        Damage{
            "MissingIndex", "DROP INDEX items_by_parent", {"the index items_by_parent is missing"}},
        Damage{"NoAdmin", "DELETE FROM users", {"there is no user Admin"}},
        Damage{"RootInACycle",
               "UPDATE items SET parent = (SELECT id FROM items WHERE name = 'P') WHERE id = 1",
               {"the root project (id 1) is missing or not a live project",
                "the root project lies below item 2, so the tree runs round a cycle"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace engine_test
