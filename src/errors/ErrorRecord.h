#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace errors {

// What a class raises when an operation fails: a 32-bit error number, the source that raised it
// and a description for people.
class ErrorRecord : public std::exception {
 public:
  ErrorRecord(std::int32_t number, std::string source, std::string description)
      : number_(number), source_(std::move(source)), description_(std::move(description)) {}

  std::int32_t Number() const noexcept { return number_; }
  const std::string& Source() const noexcept { return source_; }
  const std::string& Description() const noexcept { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
};

// The error numbers of the classes are 0x80040000 plus an offset from the class's own block; as
// 32-bit signed numbers they are negative.
constexpr std::int32_t ClassErrorNumber(std::int32_t offset) {
  return static_cast<std::int32_t>(0x80040000u + static_cast<std::uint32_t>(offset));
}

}  // namespace errors
