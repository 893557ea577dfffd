#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>

namespace sqlite {
class Connection;
class Transaction;
}  // namespace sqlite

namespace sourcesafe {

// A session's changes (destroys, entries put back) saved in groups: while grouping, changes are
// made inside one write transaction, saved when it holds kItems changes or is kTime old, and at
// End. A crash loses at most the open group. The caller is given a turn about every kTurnEvery
// while a change takes long.
class ChangeGroup {
 public:
  static constexpr int kItems = 200;
  static constexpr std::chrono::milliseconds kTime{50};
  static constexpr std::chrono::milliseconds kTurnEvery{20};

  // Grouping on, with `between` for the turns.
  void Begin(std::function<void()> between);
  // Grouping off, and the open group saved (Save).
  void End(sqlite::Connection& connection, const std::filesystem::path& dataFile);
  bool Grouping() const noexcept { return grouping_; }
  bool Open() const noexcept { return transaction_ != nullptr; }
  // How many changes of the open group are not saved yet.
  int Unsaved() const noexcept { return transaction_ ? count_ : 0; }

  // Opens the group's transaction unless one is open, and runs `first` (the checks read once
  // for the whole group) once it holds the write lock.
  void OpenIfNeeded(sqlite::Connection& connection, const std::function<void()>& first = {});
  // One more change was made in the open group; it is saved when full or old.
  void Counted(sqlite::Connection& connection, const std::filesystem::path& dataFile);
  // Forgets the open group, which SQLite has rolled back or will as it goes: how many changes
  // were lost with it.
  int Lose();
  // Saves the open group; raises kDestroysNotSaved when it cannot (none of it took place).
  void Save(sqlite::Connection& connection, const std::filesystem::path& dataFile);
  // The open group starts its time again (a destroy in steps leaves its last step open).
  void Restart() noexcept;

  // Entries put back by this grouping: a deleted sibling of theirs is no clash.
  std::unordered_set<std::int64_t>& Restored() noexcept { return restored_; }

  // Gives the caller a turn when one is due, or `always`.
  void Turn(bool always = false);

 private:
  bool grouping_ = false;
  std::unique_ptr<sqlite::Transaction> transaction_;
  std::chrono::steady_clock::time_point start_;
  int count_ = 0;
  std::function<void()> between_;
  std::unordered_set<std::int64_t> restored_;
  std::chrono::steady_clock::time_point lastTurn_;
};

}  // namespace sourcesafe
