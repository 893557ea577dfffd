#include <algorithm>

#include "EngineFixture.h"
#include "engines/ownformat/Generator.h"
#include "engines/ownformat/Integrity.h"

namespace engine_test {
namespace {

class GeneratorTest : public ::testing::Test {
 protected:
  std::vector<std::string> Generate(const std::string& name, std::uint64_t seed) {
    const std::filesystem::path dir = folder / name;
    sourcesafe::GenerateDatabase(dir, {2000, 0.1, seed});
    sessions.push_back(Session::Open(dir.string(), "Admin", ""));
    std::vector<std::string> specs;
    std::vector<ItemRecord> pending{sessions.back()->Root()};
    while (!pending.empty()) {
      const ItemRecord item = pending.back();
      pending.pop_back();
      specs.push_back(item.spec + (item.deleted ? " D" : "") + (item.isProject ? " P" : ""));
      for (ItemRecord& child : sessions.back()->Children(item, true)) {
        pending.push_back(std::move(child));
      }
    }
    return specs;
  }

  testing_support::TempDir folder;
  std::vector<std::unique_ptr<Session>> sessions;
};

TEST_F(GeneratorTest, TheSameSeedGivesTheSameTreeAndAnotherSeedAnother) {
  const auto first = Generate("a", 7);
  EXPECT_EQ(first, Generate("b", 7));
  EXPECT_NE(first, Generate("c", 8));
}

TEST_F(GeneratorTest, TheTreeHasTheAskedShape) {
  const auto specs = Generate("a", 3);
  ASSERT_EQ(specs.size(), 2001u);  // the items and the root
  const auto count = [&](const char* mark) {
    return std::count_if(specs.begin(), specs.end(), [&](const std::string& spec) {
      return spec.find(mark) != std::string::npos;
    });
  };
  EXPECT_EQ(count(" D"), 200);
  const auto projects = count(" P") - 1;
  EXPECT_GT(projects, 2000 / 11 / 2);
  EXPECT_LT(projects, 2000 / 11 * 2);
  std::size_t deepest = 0;
  for (const std::string& spec : specs) {
    deepest = std::max<std::size_t>(deepest, std::count(spec.begin(), spec.end(), '/'));
  }
  EXPECT_LE(deepest, 9u);  // 8 nested projects and a file
  EXPECT_GE(deepest, 3u);
  EXPECT_TRUE(sourcesafe::CheckIntegrity(*sessions.back()).empty());
}

}  // namespace
}  // namespace engine_test
