#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace testing_support {

// Whether the tests run in CI, where everything they need must be there.
inline bool InCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::string(ci) == "true";
}

// The shared folder of real databases beside the project.
inline const std::filesystem::path kSharedDatabases = SCOURWELL_SHARED_DIR "/realvss";

// Sets the C library's locale for the object's lifetime (all of it: case, numbers, ...), as a
// program that takes its user's locale does; Valid() is false when the system lacks it.
class ScopedLocale {
 public:
  explicit ScopedLocale(const char* name) {
    if (const char* old = std::setlocale(LC_ALL, nullptr)) {
      old_ = old;
    }
    valid_ = std::setlocale(LC_ALL, name) != nullptr;
  }
  ~ScopedLocale() { std::setlocale(LC_ALL, old_.c_str()); }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;
  bool Valid() const noexcept { return valid_; }

 private:
  std::string old_ = "C";
  bool valid_ = false;
};

}  // namespace testing_support

// Ends the test when `condition` (something the test needs from the machine) does not hold: a
// skip on a developer's machine, a failure in CI, where scripts/setup and the checkout provide
// it, so that no test silently stops running there.
#define SCOURWELL_REQUIRE(condition, what)                \
  if (!(condition)) {                                     \
    if (::testing_support::InCi()) {                      \
      FAIL() << (what) << " is missing; CI must have it"; \
    }                                                     \
    GTEST_SKIP() << (what) << " is missing";              \
  }

// As SCOURWELL_REQUIRE, for the shared real databases.
#define SCOURWELL_REQUIRE_SHARED(path) \
  SCOURWELL_REQUIRE(std::filesystem::exists(path), "the shared database " + (path).string())
