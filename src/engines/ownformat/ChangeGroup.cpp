#include "engines/ownformat/ChangeGroup.h"

#include <utility>

#include "engines/common/EngineError.h"
#include "engines/ownformat/StorageErrors.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/Transaction.h"

namespace sourcesafe {

void ChangeGroup::Begin(std::function<void()> between) {
  grouping_ = true;
  between_ = std::move(between);
  restored_.clear();
}

void ChangeGroup::End(sqlite::Connection& connection, const std::filesystem::path& dataFile) {
  grouping_ = false;
  between_ = nullptr;
  restored_.clear();
  Save(connection, dataFile);
}

void ChangeGroup::OpenIfNeeded(sqlite::Connection& connection, const std::function<void()>& first) {
  if (transaction_) {
    return;
  }
  auto transaction =
      std::make_unique<sqlite::Transaction>(connection, sqlite::Transaction::Kind::Immediate);
  if (first) {
    first();
  }
  transaction_ = std::move(transaction);
  Restart();
}

void ChangeGroup::Counted(sqlite::Connection& connection, const std::filesystem::path& dataFile) {
  ++count_;
  if (count_ >= kItems || std::chrono::steady_clock::now() - start_ >= kTime) {
    Save(connection, dataFile);
  }
}

int ChangeGroup::Lose() {
  transaction_.reset();
  return std::exchange(count_, 0);
}

void ChangeGroup::Save(sqlite::Connection& connection, const std::filesystem::path& dataFile) {
  if (!transaction_) {
    return;
  }
  const int count = std::exchange(count_, 0);
  const std::unique_ptr<sqlite::Transaction> group = std::move(transaction_);
  try {
    WithStorageErrors(dataFile, [&] {
      connection.Execute("PRAGMA incremental_vacuum");
      group->Commit();
    });
  } catch (const EngineError& error) {
    // The transaction rolls back as `group` goes: none of its changes took place.
    throw EngineError(ErrorCode::kDestroysNotSaved,
                      std::to_string(count) +
                          " changes (destroys, or entries put back) could not be saved and did "
                          "not take place: " +
                          error.what());
  }
}

void ChangeGroup::Restart() noexcept {
  start_ = std::chrono::steady_clock::now();
  count_ = 0;
}

void ChangeGroup::Turn(bool always) {
  const auto now = std::chrono::steady_clock::now();
  if (between_ && (always || now - lastTurn_ >= kTurnEvery)) {
    lastTurn_ = now;
    between_();
  }
}

}  // namespace sourcesafe
