#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

namespace sqlite {

class Connection;

// One prepared statement, finalized when the object goes. Parameters are numbered from 1,
// result columns from 0, as in SQLite.
class Statement {
 public:
  // Prepares exactly one statement; text after it (a second statement) is refused.
  Statement(Connection& connection, std::string_view sql);

  Statement& Bind(int index, std::int64_t value);
  Statement& Bind(int index, std::string_view text);  // an empty text binds as '', not NULL
  Statement& BindBlob(int index, std::span<const unsigned char> data);

  // Advances to the next row: true while there is one, false when the statement is done.
  bool Step();
  // Runs a statement that returns no rows to its end.
  void Run();
  // Makes the statement ready to run again; the bindings are kept.
  void Reset() noexcept;

  bool IsNull(int column) const;
  std::int64_t Int(int column) const;
  std::string Text(int column) const;
  std::vector<unsigned char> Blob(int column) const;

 private:
  struct Finalizer {
    void operator()(sqlite3_stmt* statement) const noexcept;
  };
  Connection& connection_;
  std::unique_ptr<sqlite3_stmt, Finalizer> statement_;
};

}  // namespace sqlite
