#pragma once

#include <stdexcept>
#include <string>

namespace sqlite {

// A failed SQLite call: the primary result code, the extended one and SQLite's message.
class SqliteError : public std::runtime_error {
 public:
  SqliteError(int code, int extendedCode, const std::string& message)
      : std::runtime_error(message), code_(code), extendedCode_(extendedCode) {}

  int Code() const noexcept { return code_; }
  int ExtendedCode() const noexcept { return extendedCode_; }

 private:
  int code_;
  int extendedCode_;
};

}  // namespace sqlite
