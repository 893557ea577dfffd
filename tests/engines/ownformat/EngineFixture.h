#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engines/common/EngineError.h"
#include "engines/ownformat/Schema.h"
#include "engines/ownformat/Session.h"
#include "support/TempDir.h"

namespace engine_test {

using sourcesafe::EngineError;
using sourcesafe::ErrorCode;
using sourcesafe::ItemRecord;
using sourcesafe::Session;

// A new database in a temporary folder, and Admin's session on it.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sourcesafe::CreateDatabase(Dir());
    admin = Session::Open(Dir(), "Admin", "");
  }

  std::string Dir() const { return (folder / "db").string(); }

  std::unique_ptr<Session> OpenAs(const std::string& user, const std::string& password = "") {
    return Session::Open(Dir(), user, password);
  }

  void AddFile(const std::string& spec, const std::string& content = "") {
    admin->AddFile(spec, {reinterpret_cast<const unsigned char*>(content.data()), content.size()});
  }

  void Delete(const std::string& spec) { admin->Delete(admin->Find(spec, false)); }

  // Every spec below `spec`, depth first, each item before its children.
  std::vector<std::string> Walk(Session& session, const ItemRecord& item) {
    std::vector<std::string> specs{item.spec + (item.deleted ? " (deleted)" : "")};
    for (const ItemRecord& child : session.Children(item, true)) {
      for (std::string& spec : Walk(session, child)) {
        specs.push_back(std::move(spec));
      }
    }
    return specs;
  }
  std::vector<std::string> Walk() { return Walk(*admin, admin->Root()); }

  testing_support::TempDir folder;
  std::unique_ptr<Session> admin;
};

// Runs `call` and returns the number of the EngineError it raised (0 when none).
template <class Call>
std::int32_t ErrorNumberOf(Call&& call, std::string* description = nullptr) {
  try {
    call();
  } catch (const EngineError& error) {
    if (description != nullptr) {
      *description = error.what();
    }
    return error.Number();
  }
  return 0;
}

inline std::int32_t N(ErrorCode code) { return static_cast<std::int32_t>(code); }

// Another user makes the deleted `item` live below the deleted `project`, as a user can: the
// project recovered first, then the item, then the project deleted again.
inline void RecoverBelowDeletedProject(Session& session, const std::string& project,
                                       const std::string& item) {
  session.Recover(session.Find(project, true));
  session.Recover(session.Find(item, true));
  session.Delete(session.Find(project, false));
}

}  // namespace engine_test
