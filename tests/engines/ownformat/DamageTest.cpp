#include <fstream>

#include "EngineFixture.h"
#include "engines/ownformat/Integrity.h"
#include "platform/sqlite/Connection.h"
#include "support/Process.h"

namespace engine_test {
namespace {

class DamageTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    admin->MakeProject("$/P");
    for (int i = 0; i < 200; ++i) {
      AddFile("$/P/file" + std::to_string(i), std::string(300, 'c'));
    }
    admin.reset();
  }

  std::filesystem::path DataFile() const { return folder / "db" / "data.vssdb"; }

  // Opens and walks the whole database; every failure must be an engine error, and is returned.
  std::int32_t OpenAndWalk() {
    return ErrorNumberOf([&] {
      admin = Session::Open(Dir(), "Admin", "");
      Walk();
    });
  }
};

TEST_F(DamageTest, OverwrittenPagesAreReportedAsDamage) {
  {
    std::fstream file(DataFile(), std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(4096 * 3);
    const std::string garbage(4096 * 4, '\x5a');
    file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
  }
  const std::int32_t number = OpenAndWalk();
  EXPECT_EQ(number, N(ErrorCode::kDamaged));
  const auto check = testing_support::RunCommand({SCOURWELL_VSSDB, "check", Dir()});
  EXPECT_EQ(check.status, 1) << check.out << check.err;
}

TEST_F(DamageTest, ATruncatedFileIsReportedAsDamage) {
  std::filesystem::resize_file(DataFile(), std::filesystem::file_size(DataFile()) / 2);
  EXPECT_EQ(OpenAndWalk(), N(ErrorCode::kDamaged));
  const auto check = testing_support::RunCommand({SCOURWELL_VSSDB, "check", Dir()});
  EXPECT_EQ(check.status, 1) << check.out << check.err;
}

TEST_F(DamageTest, CheckFindsAnItemCutOffFromTheTree) {
  {
    sqlite::Connection raw(DataFile(), sqlite::Connection::Mode::ReadWrite);
    raw.Execute("UPDATE items SET parent = 9999 WHERE name = 'file7'");
    raw.Execute("UPDATE items SET fold = 'WRONG' WHERE name = 'file8'");
  }
  admin = Session::Open(Dir(), "Admin", "");
  const std::vector<std::string> faults = sourcesafe::CheckIntegrity(*admin);
  const auto mentions = [&](const std::string& text) {
    return std::any_of(faults.begin(), faults.end(), [&](const std::string& fault) {
      return fault.find(text) != std::string::npos;
    });
  };
  EXPECT_TRUE(mentions("(file7) lies below a missing item"));
  EXPECT_TRUE(mentions("cannot be reached from the root"));
  EXPECT_TRUE(mentions("(file8) is filed under the wrong case-folded name"));
}

}  // namespace
}  // namespace engine_test
