// The five real databases in the shared folder, read in place (the reader never writes).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>

#include "engines/vss6/Records.h"
#include "engines/vss6/Vss6Tree.h"
#include "support/Required.h"
#include "support/TempDir.h"

namespace {

using vss6::TreeItem;
using vss6::Vss6Tree;

const std::filesystem::path kShared = SCOURWELL_SHARED_DIR "/realvss";

struct Counts {
  int projects = 0;  // the root included
  int files = 0;     // file entries: a shared file counts once in each project
  int deleted = 0;
  std::vector<std::string> specs;  // each with " (deleted)" when it is
};

Counts Walk(Vss6Tree& tree) {
  Counts counts;
  std::vector<TreeItem> pending{tree.Root()};
  while (!pending.empty()) {
    const TreeItem item = pending.back();
    pending.pop_back();
    (item.project ? counts.projects : counts.files) += 1;
    counts.deleted += item.deleted ? 1 : 0;
    counts.specs.push_back(tree.SpecOf(item) + (item.deleted ? " (deleted)" : ""));
    std::vector<TreeItem> children = tree.Children(item);
    std::move(children.rbegin(), children.rend(), std::back_inserter(pending));
  }
  return counts;
}

struct RealDatabase {
  const char* folder;
  const char* codePage;
  int projects;
  int files;
  int deleted;
};

class RealDatabaseTest : public ::testing::TestWithParam<RealDatabase> {};

TEST_P(RealDatabaseTest, ListsTheCountsItsReadmeStates) {
  const RealDatabase& database = GetParam();
  const std::filesystem::path data = kShared / database.folder / "data";
  SCOURWELL_REQUIRE_SHARED(data);
  // The user's locale changes nothing: a Turkish 'I' is still the 'i' of a file name.
  for (const char* name : {"C", "tr_TR.UTF-8", "de_DE.UTF-8"}) {
    const testing_support::ScopedLocale locale(name);
    SCOURWELL_REQUIRE(locale.Valid(), std::string("the locale ") + name);
    Vss6Tree tree(data, database.codePage);
    const Counts counts = Walk(tree);
    EXPECT_EQ(counts.projects, database.projects) << name;
    EXPECT_EQ(counts.files, database.files) << name;
    EXPECT_EQ(counts.deleted, database.deleted) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shared, RealDatabaseTest,
    ::testing::Values(RealDatabase{"shukladhaval25_Inventory-Shaili", "CP1252", 61, 442, 67},
                      RealDatabase{"chuing_Push114CRM", "GBK", 12, 189, 0},
                      RealDatabase{"alex632_mylvss", "CP1252", 6, 32, 0},
                      RealDatabase{"alex632_mylvss_2aaad69", "CP1252", 1, 0, 0},
                      RealDatabase{"tempnjayaraj_vss", "CP1252", 2, 2, 0}),
    [](const auto& info) {
      std::string name = info.param.folder;
      std::replace_if(
          name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
      return name;
    });

}  // namespace

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

std::vector<std::string> SpecsOf(const char* folder, const char* codePage) {
  Vss6Tree tree(kShared / folder / "data", codePage);
  return Walk(tree).specs;
}

TEST(RealNamesTest, LongNamesComeFromNamesDatInTheWritersCodePage) {
  SCOURWELL_REQUIRE_SHARED(kShared / "chuing_Push114CRM");
  EXPECT_THAT(SpecsOf("chuing_Push114CRM", "GBK"),
              Contains("$/\xe8\x8a\xb1\xe5\x9f\x8e"
                       "CRM/BLL/BLL.csproj"));  // 花城CRM
  const std::vector<std::string> shaili = SpecsOf("shukladhaval25_Inventory-Shaili", "CP1252");
  EXPECT_THAT(shaili, Contains("$/Invetory Shaili/64bitApp/~sak082e066b01d1672d.vbproj (deleted)"));
}

// A copy of the smallest database with one thing spoilt, and what the walk must then say.
struct Spoilt {
  const char* name;
  std::function<void(const std::filesystem::path& data)> spoil;
  const char* says;
};

class SpoiltDatabaseTest : public ::testing::TestWithParam<Spoilt> {};

void Patch(const std::filesystem::path& file, std::streamoff offset, const std::string& bytes) {
  std::fstream stream(file, std::ios::binary | std::ios::in | std::ios::out);
  stream.seekp(offset);
  stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The current entry file of the root project of the copy.
std::filesystem::path RootEntries(const std::filesystem::path& data) {
  for (const char* name : {"aaaaaaaa.a", "aaaaaaaa.b"}) {
    if (std::filesystem::exists(data / "a" / name)) {
      return data / "a" / name;
    }
  }
  return {};
}

TEST_P(SpoiltDatabaseTest, IsAClearErrorNamingTheFileNeverACrashOrAHang) {
  const std::filesystem::path source = kShared / "alex632_mylvss";
  SCOURWELL_REQUIRE_SHARED(source);
  testing_support::TempDir folder;
  std::filesystem::copy(source, folder / "db", std::filesystem::copy_options::recursive);
  const std::filesystem::path data = folder / "db" / "data";
  GetParam().spoil(data);
  try {
    Vss6Tree tree(data, "CP1252");
    Walk(tree);
    FAIL() << "the walk went through";
  } catch (const vss6::FormatError& error) {
    EXPECT_THAT(error.what(), HasSubstr(GetParam().says));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpoiltDatabaseTest,
    ::testing::Values(
        Spoilt{
            "OtherVersion",
            [](const auto& data) { std::ofstream(data / "version.dat") << std::string("\5\0", 2); },
            "version.dat' says format version 5"},
        Spoilt{"FlippedEntryByte", [](const auto& data) { Patch(RootEntries(data), 8 + 10, "#"); },
               "record's check value is wrong"},
        Spoilt{"CutEntryFile",
               [](const auto& data) {
                 const auto file = RootEntries(data);
                 std::filesystem::resize_file(file, std::filesystem::file_size(file) - 7);
               },
               "runs past the end of the file"},
        Spoilt{"MissingItemFile",
               [](const auto& data) { std::filesystem::remove(data / "b" / "baaaaaaa"); },
               "baaaaaaa' is missing"},
        Spoilt{"NotAnItemFile",
               [](const auto& data) { Patch(data / "a" / "aaaaaaaa", 0, "Sourcesafe"); },
               "is not a SourceSafe item file"},
        Spoilt{"ALoopBackToTheRoot",
               [](const auto& data) {
                 // The root's first entry names a project; make it name the root itself, with
                 // a check value that fits, so only the loop is wrong.
                 const auto file = RootEntries(data);
                 std::ifstream in(file, std::ios::binary);
                 std::string bytes((std::istreambuf_iterator<char>(in)), {});
                 in.close();
                 bytes.replace(8, 2, std::string("\1\0", 2));
                 bytes.replace(8 + 46, 8, "AAAAAAAA");
                 const std::uint16_t check = vss6::CheckValue(
                     {reinterpret_cast<const unsigned char*>(bytes.data()) + 8, 56});
                 bytes[6] = static_cast<char>(check & 0xff);
                 bytes[7] = static_cast<char>(check >> 8);
                 std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
               },
               "the tree runs round a loop"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// The time and user of each deleted entry's delete, as the log of its project has them (read
// from the bytes by hand: the DeleteFile records at 0x819 of data/a/akaaaaaa, and at 0x819 and
// 0xb51 of data/a/ataaaaaa).
TEST(RealDeletionsTest, EachDeletedEntryCarriesTheLastDeleteItsProjectLogs) {
  const std::filesystem::path data = kShared / "shukladhaval25_Inventory-Shaili" / "data";
  SCOURWELL_REQUIRE_SHARED(data);
  Vss6Tree tree(data, "CP1252");
  std::map<std::string, vss6::DeletionSeen> seen;
  int deleted = 0;
  std::vector<TreeItem> pending{tree.Root()};
  while (!pending.empty()) {
    const TreeItem item = pending.back();
    pending.pop_back();
    if (item.deleted) {
      ++deleted;
      ASSERT_TRUE(item.deletion.has_value()) << tree.SpecOf(item);
      seen[item.physical] = *item.deletion;
    } else {
      EXPECT_FALSE(item.deletion.has_value()) << tree.SpecOf(item);
    }
    for (TreeItem& child : tree.Children(item)) {
      pending.push_back(std::move(child));
    }
  }
  EXPECT_EQ(deleted, 67);
  const std::pair<const char*, std::int64_t> pinned[] = {
      {"NNAAAAAA", 1455476963}, {"ITAAAAAA", 1487663702}, {"MTAAAAAA", 1488527639}};
  for (const auto& [physical, time] : pinned) {
    ASSERT_EQ(seen.count(physical), 1u) << physical;
    EXPECT_EQ(seen[physical].time, time) << physical;
    EXPECT_EQ(seen[physical].user, "Dhaval") << physical;
  }
}

}  // namespace
