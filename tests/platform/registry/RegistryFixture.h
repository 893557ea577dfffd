#pragma once

#include <gtest/gtest.h>

#include "platform/registry/Registry.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace registry_test {

// Both hives in a temporary folder.
class RegistryTest : public ::testing::Test {
 protected:
  testing_support::TempDir folder;
  testing_support::ScopedEnv config{"XDG_CONFIG_HOME", (folder / "home").string()};
  testing_support::ScopedEnv dirs{"XDG_CONFIG_DIRS", (folder / "etc").string() + ":/etc/xdg"};

  std::filesystem::path UserHive() const {
    return folder / "home" / "Pellbrook" / "registry" / "user.hive";
  }
};

}  // namespace registry_test
