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

}  // namespace sqlite
