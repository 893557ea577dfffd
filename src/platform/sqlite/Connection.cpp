#include "platform/sqlite/Connection.h"

#include <sqlite3.h>

#include "platform/sqlite/SqliteError.h"

namespace sqlite {

void Connection::Closer::operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }

Connection::Connection(const std::filesystem::path& file, Mode mode) {
  int flags = SQLITE_OPEN_NOMUTEX;
  switch (mode) {
    case Mode::ReadOnly:
      flags |= SQLITE_OPEN_READONLY;
      break;
    case Mode::ReadWrite:
      flags |= SQLITE_OPEN_READWRITE;
      break;
    case Mode::ReadWriteCreate:
      flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
      break;
  }
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
  db_.reset(raw);  // sqlite3_open_v2 hands out a handle even on failure; it must be closed
  if (rc != SQLITE_OK) {
    Fail(rc);
  }
  sqlite3_extended_result_codes(raw, 1);
}

void Connection::Execute(const std::string& sql) {
  const int rc = sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    Fail(rc);
  }
}

void Connection::SetBusyTimeout(std::chrono::milliseconds timeout) {
  sqlite3_busy_timeout(db_.get(), static_cast<int>(timeout.count()));
}

std::int64_t Connection::LastInsertRowId() const noexcept {
  return sqlite3_last_insert_rowid(db_.get());
}

bool Connection::InTransaction() const noexcept { return sqlite3_get_autocommit(db_.get()) == 0; }

int Connection::Changes() const noexcept { return sqlite3_changes(db_.get()); }

std::int64_t Connection::MaxLength() const noexcept {
  return sqlite3_limit(db_.get(), SQLITE_LIMIT_LENGTH, -1);
}

void Connection::Fail(int resultCode) const {
  const std::string message = db_ ? sqlite3_errmsg(db_.get()) : sqlite3_errstr(resultCode);
  throw SqliteError(resultCode & 0xff, resultCode, message);
}

}  // namespace sqlite
