#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace vss6 {

// The stored password value of a user without a password: the bytes 90 6E, read as a
// little-endian number like every other.
inline constexpr std::uint16_t kNoPasswordHash = 0x6E90;

// A user of a SourceSafe 6 database, from data/um.dat.
struct User {
  std::string name;  // bytes in the writer's code page
  std::uint16_t passwordHash = 0;
  bool readOnly = false;
};

// Reads data/um.dat: its magic, then one UU record a user, each checked. Throws FormatError.
std::vector<User> ReadUsers(const std::filesystem::path& umDat);

class LoginError : public std::runtime_error {
 public:
  enum class Kind { kUnknownUser, kInvalidPassword, kCannotCheck };
  LoginError(Kind kind, const std::string& description)
      : std::runtime_error(description), kind_(kind) {}
  Kind GetKind() const noexcept { return kind_; }

 private:
  Kind kind_;
};

// The user named `name` (without regard to ASCII case) whose password `password` is. SourceSafe
// keeps a 16-bit value of each password, made by a method no public source gives, save its value
// for the empty password; so an empty password is checked against that value, and any other is
// refused as one this program cannot check. Throws LoginError.
const User& LogIn(const std::vector<User>& users, const std::string& name,
                  const std::string& password);

// Whether `user` may destroy items: never a read-only user; with project security switched on
// only Admin, as the rights of each project (rights.dat) are not read.
bool MayDestroy(const User& user, bool projectSecurity);

}  // namespace vss6
