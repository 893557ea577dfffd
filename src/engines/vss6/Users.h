#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engines/vss6/CodePage.h"

namespace vss6 {

// A user of a SourceSafe 6 database, from data/um.dat.
struct User {
  std::string name;  // bytes in the writer's code page, as um.dat spells it
  std::uint16_t passwordCode = 0;
  bool readOnly = false;
};

// Reads data/um.dat, whose bytes are `bytes` (`file` names it in errors): its magic, then one UU
// record a user, each checked. Throws FormatError.
std::vector<User> ReadUsers(const std::vector<unsigned char>& bytes, const std::string& file);
// As ReadUsers, from the plain file at `umDat`.
std::vector<User> ReadUsers(const std::filesystem::path& umDat);

// The 16-bit code SourceSafe keeps of a password, from the password's bytes in the database's
// code page, already in upper case: at most 15 of them, filled up to 15 with the first bytes of
// "BrianDavidHarry"; the sum of each (signed) byte XOR 0x96 times its position, 1 to 15.
std::uint16_t PasswordCode(std::string_view upperCaseBytes);

class LoginError : public std::runtime_error {
 public:
  enum class Kind { kUnknownUser, kInvalidPassword, kCannotCheck };
  LoginError(Kind kind, const std::string& description)
      : std::runtime_error(description), kind_(kind) {}
  Kind GetKind() const noexcept { return kind_; }

 private:
  Kind kind_;
};

// The user named `name` (UTF-8; letter case does not count) if `password` (UTF-8) is theirs.
// The password's ASCII letters are compared in upper case, as SourceSafe stores them; a letter
// beyond ASCII is taken both upper-cased in the code page and as typed, since which of the two
// SourceSafe stored is not known. A name that um.dat lists twice lets in the password of either
// record, and is read-only when either record is. Throws LoginError: an unknown user, a wrong
// password, or kCannotCheck for a password with a character the code page has no bytes for.
User LogIn(const std::vector<User>& users, const std::string& name, const std::string& password,
           const CodePage& codePage);

// Whether `user` may destroy items: never a read-only user; with project security switched on
// only Admin, as the rights of each project (rights.dat) are not read.
bool MayDestroy(const User& user, bool projectSecurity);

}  // namespace vss6
