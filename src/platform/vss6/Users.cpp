#include "platform/vss6/Users.h"

#include <algorithm>

#include "platform/files/SafeFiles.h"
#include "platform/text/AsciiCase.h"
#include "platform/vss6/Records.h"

namespace vss6 {
namespace {

constexpr std::string_view kMagic = "UserManagement@Microsoft";
constexpr std::size_t kFirstUser = 0x7C;
constexpr std::size_t kUserBodySize = 56;
constexpr std::uint16_t kReadOnlyFlag = 0x01;
constexpr std::size_t kMaxUsersBytes = 16u << 20;

bool SameName(const std::string& a, const std::string& b) { return text::AsciiEqualNoCase(a, b); }

}  // namespace

std::vector<User> ReadUsers(const std::filesystem::path& umDat) {
  std::string text;
  try {
    text = files::ReadPlainFile(umDat, kMaxUsersBytes);
  } catch (const files::FileError& error) {
    throw FormatError(error.what());
  }
  const std::string file = umDat.string();
  const Bytes bytes(reinterpret_cast<const unsigned char*>(text.data()), text.size());
  if (FieldText(bytes, 0, 32, file) != kMagic) {
    throw FormatError("'" + file + "' is not a SourceSafe user file (its magic is missing)");
  }
  std::vector<User> users;
  std::size_t offset = kFirstUser;
  while (offset < bytes.size()) {
    const Record record = ReadRecord(bytes, offset, "UU", file);
    if (record.body.size() < kUserBodySize) {
      throw FormatError("'" + file + "' at offset " + std::to_string(offset) +
                        ": a user record of " + std::to_string(record.body.size()) +
                        " bytes, not 56");
    }
    User user;
    user.name = std::string(FieldText(record.body, 0, 32, file));
    user.passwordHash = ReadU16(record.body, 32, file);
    user.readOnly = (ReadU16(record.body, 34, file) & kReadOnlyFlag) != 0;
    users.push_back(std::move(user));
    offset = record.End();
  }
  return users;
}

const User& LogIn(const std::vector<User>& users, const std::string& name,
                  const std::string& password) {
  const auto found = std::find_if(users.begin(), users.end(),
                                  [&](const User& user) { return SameName(user.name, name); });
  if (name.empty() || found == users.end()) {
    throw LoginError(LoginError::Kind::kUnknownUser,
                     "User '" + name + "' is not a user of this SourceSafe database");
  }
  if (!password.empty()) {
    throw LoginError(LoginError::Kind::kCannotCheck,
                     "This program cannot yet check the password of a SourceSafe database's "
                     "user; it can open one only as a user without a password");
  }
  if (found->passwordHash != kNoPasswordHash) {
    throw LoginError(LoginError::Kind::kInvalidPassword, "Invalid password");
  }
  return *found;
}

bool MayDestroy(const User& user, bool projectSecurity) {
  return !user.readOnly && (!projectSecurity || SameName(user.name, "Admin"));
}

}  // namespace vss6
