#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

struct sqlite3_blob;

namespace sqlite {

class Connection;

// A blob of a row opened for incremental writing, closed when the object goes: content far
// larger than is wise to hold in memory goes in piece by piece. The row's blob must have its
// final size already (zeroblob(N) when it was inserted).
class Blob {
 public:
  Blob(Connection& connection, const char* table, const char* column, std::int64_t row);
  // Writes `bytes` at `offset`, which with the bytes must lie inside the blob.
  void Write(std::span<const unsigned char> bytes, std::int64_t offset);
  std::int64_t Size() const noexcept;

 private:
  struct Closer {
    void operator()(sqlite3_blob* blob) const noexcept;
  };
  Connection& connection_;
  std::unique_ptr<sqlite3_blob, Closer> blob_;
};

}  // namespace sqlite
