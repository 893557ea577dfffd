// The consistency check on the shared databases (all sound) and on copies with one rule broken.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "engines/vss6/Records.h"
#include "engines/vss6/Vss6Check.h"
#include "support/Required.h"
#include "support/TempDir.h"

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace fs = std::filesystem;

const fs::path kShared = SCOURWELL_SHARED_DIR "/realvss";

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// Writes `bytes` into the body of the record at `record` and gives it a check value that fits,
// so that only the rule under test is broken.
void PatchBody(const fs::path& file, std::size_t record, std::size_t at, const std::string& bytes) {
  std::string all = ReadAll(file);
  const std::size_t length =
      static_cast<unsigned char>(all[record]) |
      (static_cast<std::size_t>(static_cast<unsigned char>(all[record + 1])) << 8);
  all.replace(record + 8 + at, bytes.size(), bytes);
  const std::uint16_t check =
      vss6::CheckValue({reinterpret_cast<const unsigned char*>(all.data()) + record + 8, length});
  all[record + 6] = static_cast<char>(check & 0xff);
  all[record + 7] = static_cast<char>(check >> 8);
  WriteAll(file, all);
}

fs::path EntryFileOf(const fs::path& data, const std::string& physical) {
  const std::string letter(1, physical[0]);
  for (const char* extension : {".a", ".b"}) {
    const fs::path path = data / letter / (physical + extension);
    if (fs::exists(path)) {
      return path;  // the current one is the only one in this database
    }
  }
  return {};
}

TEST(Vss6CheckTest, TheSharedDatabasesAreSound) {
  SCOURWELL_REQUIRE_SHARED(kShared);
  for (const auto& database : fs::directory_iterator(kShared)) {
    if (fs::is_directory(database.path() / "data")) {
      EXPECT_THAT(vss6::CheckDatabase(database.path() / "data"), IsEmpty()) << database.path();
    }
  }
}

struct Breach {
  const char* name;
  std::function<void(const fs::path& data)> make;
  const char* says;
};

class Vss6BreachTest : public ::testing::TestWithParam<Breach> {};

TEST_P(Vss6BreachTest, IsReportedWithItsFile) {
  const fs::path source = kShared / "alex632_mylvss";
  SCOURWELL_REQUIRE_SHARED(source);
  testing_support::TempDir folder;
  fs::copy(source, folder / "db", fs::copy_options::recursive);
  const fs::path data = folder / "db" / "data";
  GetParam().make(data);
  const std::vector<std::string> faults = vss6::CheckDatabase(data);
  EXPECT_THAT(faults, Contains(HasSubstr(GetParam().says))) << ::testing::PrintToString(faults);
}

constexpr std::size_t kHeaderRecord = 0x34;

INSTANTIATE_TEST_SUITE_P(
    Cases, Vss6BreachTest,
    ::testing::Values(Breach{"ALogRecordWithAWrongCheckValue",
                             [](const fs::path& data) {
                               // The root's first log entry follows its header record (8 + 356
                               // bytes).
                               std::string all = ReadAll(data / "a" / "aaaaaaaa");
                               all[kHeaderRecord + 8 + 356 + 8 + 20] ^= 0x5a;
                               WriteAll(data / "a" / "aaaaaaaa", all);
                             },
                             "aaaaaaaa' at offset 416: the EL record's check value is wrong"},
                      Breach{"AHeaderCountingOneLogEntryTooMany",
                             [](const fs::path& data) {
                               const std::string all = ReadAll(data / "a" / "aaaaaaaa");
                               const auto count =
                                   static_cast<unsigned char>(all[kHeaderRecord + 8 + 2]);
                               PatchBody(data / "a" / "aaaaaaaa", kHeaderRecord, 2,
                                         std::string(1, static_cast<char>(count + 1)));
                             },
                             "log entries; it holds"},
                      Breach{"AnEntryGoneWithoutADestroyRecord",
                             [](const fs::path& data) {
                               // The root's entry file loses its first entry (64 bytes), the header
                               // unchanged.
                               const fs::path entries = EntryFileOf(data, "aaaaaaaa");
                               WriteAll(entries, ReadAll(entries).substr(64));
                             },
                             "which its entry file"},
                      Breach{"AFileMarkedSharedThatOneProjectHolds",
                             [](const fs::path& data) {
                               // A file item: its flags at body offset 80 gain the shared bit.
                               for (const auto& file : fs::directory_iterator(data / "c")) {
                                 if (file.path().extension().empty()) {
                                   const std::string all = ReadAll(file.path());
                                   if (all[0x20] == 2) {
                                     PatchBody(file.path(), kHeaderRecord, 80,
                                               std::string(1, '\x20'));
                                     return;
                                   }
                                 }
                               }
                             },
                             "is marked shared but is named by 1 entries"},
                      Breach{"AnItemFileThatNoProjectNames",
                             [](const fs::path& data) {
                               fs::create_directories(data / "z");
                               fs::copy_file(data / "a" / "aaaaaaaa", data / "z" / "zzzzzzzz");
                             },
                             "zzzzzzzz' is an item file that no project names"},
                      Breach{"EntriesOutOfOrder",
                             [](const fs::path& data) {
                               // The root's first two entries (64 bytes each) change places.
                               const fs::path entries = EntryFileOf(data, "aaaaaaaa");
                               const std::string all = ReadAll(entries);
                               WriteAll(entries,
                                        all.substr(64, 64) + all.substr(0, 64) + all.substr(128));
                             },
                             "order: "}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
