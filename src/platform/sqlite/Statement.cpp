#include "platform/sqlite/Statement.h"

#include <sqlite3.h>

#include "platform/sqlite/Connection.h"
#include "platform/sqlite/SqliteError.h"

namespace sqlite {

void Statement::Finalizer::operator()(sqlite3_stmt* statement) const noexcept {
  sqlite3_finalize(statement);
}

Statement::Statement(Connection& connection, std::string_view sql) : connection_(connection) {
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  const int rc = sqlite3_prepare_v2(connection.Handle(), sql.data(), static_cast<int>(sql.size()),
                                    &raw, &tail);
  statement_.reset(raw);
  if (rc != SQLITE_OK) {
    connection.Fail(rc);
  }
  if (raw == nullptr) {
    throw SqliteError(SQLITE_MISUSE, SQLITE_MISUSE, "empty SQL statement");
  }
  const std::string_view rest(tail, static_cast<std::size_t>(sql.data() + sql.size() - tail));
  if (rest.find_first_not_of(" \t\r\n;") != std::string_view::npos) {
    throw SqliteError(SQLITE_MISUSE, SQLITE_MISUSE,
                      "only one SQL statement may be prepared at a time");
  }
}

Statement& Statement::Bind(int index, std::int64_t value) {
  const int rc = sqlite3_bind_int64(statement_.get(), index, value);
  if (rc != SQLITE_OK) {
    connection_.Fail(rc);
  }
  return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
  // A null data pointer would bind NULL; an empty text must stay an empty text.
  const char* data = text.data() != nullptr ? text.data() : "";
  const int rc = sqlite3_bind_text64(statement_.get(), index, data, text.size(), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
  if (rc != SQLITE_OK) {
    connection_.Fail(rc);
  }
  return *this;
}

Statement& Statement::BindBlob(int index, std::span<const unsigned char> data) {
  static const unsigned char kEmpty = 0;
  const void* bytes = data.empty() ? &kEmpty : data.data();
  const int rc = sqlite3_bind_blob64(statement_.get(), index, bytes, data.size(), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) {
    connection_.Fail(rc);
  }
  return *this;
}

bool Statement::Step() {
  const int rc = sqlite3_step(statement_.get());
  if (rc == SQLITE_ROW) {
    return true;
  }
  if (rc == SQLITE_DONE) {
    return false;
  }
  sqlite3_reset(statement_.get());
  connection_.Fail(rc);
}

void Statement::Run() {
  while (Step()) {
  }
}

void Statement::Reset() noexcept { sqlite3_reset(statement_.get()); }

bool Statement::IsNull(int column) const {
  return sqlite3_column_type(statement_.get(), column) == SQLITE_NULL;
}

std::int64_t Statement::Int(int column) const {
  return sqlite3_column_int64(statement_.get(), column);
}

std::string Statement::Text(int column) const {
  const auto* text = sqlite3_column_text(statement_.get(), column);
  const int size = sqlite3_column_bytes(statement_.get(), column);
  return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text), size);
}

std::vector<unsigned char> Statement::Blob(int column) const {
  const auto* data =
      static_cast<const unsigned char*>(sqlite3_column_blob(statement_.get(), column));
  const int size = sqlite3_column_bytes(statement_.get(), column);
  return data == nullptr ? std::vector<unsigned char>()
                         : std::vector<unsigned char>(data, data + size);
}

}  // namespace sqlite
