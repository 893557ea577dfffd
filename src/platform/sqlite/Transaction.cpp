#include "platform/sqlite/Transaction.h"

#include <sqlite3.h>

#include "platform/sqlite/Connection.h"

namespace sqlite {

Transaction::Transaction(Connection& connection, Kind kind) : connection_(connection) {
  connection_.Execute(kind == Kind::Immediate ? "BEGIN IMMEDIATE" : "BEGIN");
}

Transaction::~Transaction() {
  if (open_) {
    // Never throws: a failed rollback leaves SQLite to roll back when the connection closes.
    sqlite3_exec(connection_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

void Transaction::Commit() {
  connection_.Execute("COMMIT");
  open_ = false;
}

Savepoint::Savepoint(Connection& connection) : connection_(connection) {
  connection_.Execute("SAVEPOINT change");
}

Savepoint::~Savepoint() {
  if (open_) {
    // Never throws; once SQLite has rolled back the whole transaction there is nothing to undo.
    sqlite3_exec(connection_.Handle(), "ROLLBACK TO change; RELEASE change", nullptr, nullptr,
                 nullptr);
  }
}

void Savepoint::Release() {
  connection_.Execute("RELEASE change");
  open_ = false;
}

}  // namespace sqlite
