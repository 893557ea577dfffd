#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;

namespace sqlite {

// One connection to a SQLite file, closed when the object goes.
class Connection {
 public:
  enum class Mode { ReadOnly, ReadWrite, ReadWriteCreate };

  Connection(const std::filesystem::path& file, Mode mode);

  sqlite3* Handle() const noexcept { return db_.get(); }

  // Runs SQL that returns no rows; several statements separated by ';' are allowed.
  void Execute(const std::string& sql);
  void SetBusyTimeout(std::chrono::milliseconds timeout);
  std::int64_t LastInsertRowId() const noexcept;
  // The most bytes a text or blob of this connection may hold.
  std::int64_t MaxLength() const noexcept;
  int Changes() const noexcept;
  // True while a transaction is open; false once SQLite has rolled one back by itself.
  bool InTransaction() const noexcept;

  // Throws the SqliteError for a result code returned by a call on this connection.
  [[noreturn]] void Fail(int resultCode) const;

 private:
  struct Closer {
    void operator()(sqlite3* db) const noexcept;
  };
  std::unique_ptr<sqlite3, Closer> db_;
};

}  // namespace sqlite
