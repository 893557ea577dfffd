#include "platform/sqlite/Blob.h"

#include <sqlite3.h>

#include <limits>

#include "platform/sqlite/Connection.h"

namespace sqlite {

void Blob::Closer::operator()(sqlite3_blob* blob) const noexcept { sqlite3_blob_close(blob); }

Blob::Blob(Connection& connection, const char* table, const char* column, std::int64_t row)
    : connection_(connection) {
  sqlite3_blob* raw = nullptr;
  const int rc = sqlite3_blob_open(connection_.Handle(), "main", table, column, row, 1, &raw);
  blob_.reset(raw);
  if (rc != SQLITE_OK) {
    connection_.Fail(rc);
  }
}

void Blob::Write(std::span<const unsigned char> bytes, std::int64_t offset) {
  if (offset < 0 || offset > std::numeric_limits<int>::max() ||
      bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max() - offset)) {
    connection_.Fail(SQLITE_TOOBIG);
  }
  const int rc = sqlite3_blob_write(blob_.get(), bytes.data(), static_cast<int>(bytes.size()),
                                    static_cast<int>(offset));
  if (rc != SQLITE_OK) {
    connection_.Fail(rc);
  }
}

std::int64_t Blob::Size() const noexcept { return sqlite3_blob_bytes(blob_.get()); }

}  // namespace sqlite
