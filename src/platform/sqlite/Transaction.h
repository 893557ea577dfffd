#pragma once

namespace sqlite {

class Connection;

// A transaction that rolls back when the object goes, unless Commit ran.
class Transaction {
 public:
  // Immediate takes the write lock at once, so a writer waits (busy timeout) at the start
  // instead of failing halfway; Deferred takes locks as statements need them.
  enum class Kind { Deferred, Immediate };

  explicit Transaction(Connection& connection, Kind kind = Kind::Deferred);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  void Commit();

 private:
  Connection& connection_;
  bool open_ = true;
};

// A savepoint inside the open transaction: what was written after it is rolled back when the
// object goes, unless Release ran. For a change that must go whole or not at all inside a larger
// transaction that goes on either way.
class Savepoint {
 public:
  explicit Savepoint(Connection& connection);
  ~Savepoint();
  Savepoint(const Savepoint&) = delete;
  Savepoint& operator=(const Savepoint&) = delete;

  void Release();

 private:
  Connection& connection_;
  bool open_ = true;
};

}  // namespace sqlite
