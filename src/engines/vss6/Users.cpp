#include "engines/vss6/Users.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <set>

#include "engines/vss6/Layout.h"
#include "engines/vss6/Records.h"
#include "platform/files/SafeFiles.h"
#include "platform/text/AsciiCase.h"

namespace vss6 {
namespace {

constexpr std::string_view kMagic = "UserManagement@Microsoft";
constexpr std::size_t kMaxUsersBytes = 16u << 20;
constexpr std::size_t kPasswordBytes = 15;
constexpr std::string_view kPasswordFiller = "BrianDavidHarry";

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The ways the typed password may have been stored, each as its bytes in the code page with its
// letters in upper case.
std::set<std::string> PasswordReadings(const std::string& password, const CodePage& codePage) {
  std::string upper;    // letters beyond ASCII upper-cased in the code page, where it has them
  std::string asTyped;  // letters beyond ASCII as typed
  for (const char32_t character : FromUtf8(password).toUcs4()) {
    const QString one = QString::fromUcs4(&character, 1);
    const std::optional<std::string> bytes = codePage.FromUtf8(one.toStdString());
    if (!bytes || character == 0xFFFD) {
      throw LoginError(LoginError::Kind::kCannotCheck,
                       "The password holds a character ('" + one.toStdString() +
                           "') that the code page " + codePage.Name() +
                           " has no bytes for, so it cannot be checked; set the code page the "
                           "database was written in");
    }
    if (character < 0x80) {
      upper += text::AsciiUpper(bytes->front());
      asTyped += text::AsciiUpper(bytes->front());
      continue;
    }
    const char32_t upperCharacter = QChar::toUpper(character);
    const std::optional<std::string> upperBytes =
        codePage.FromUtf8(QString::fromUcs4(&upperCharacter, 1).toStdString());
    upper += upperBytes ? *upperBytes : *bytes;
    asTyped += *bytes;
  }
  return {upper, asTyped};
}

bool SameName(const std::string& storedBytes, const std::string& typed, const CodePage& codePage) {
  return FromUtf8(codePage.ToUtf8(storedBytes)).compare(FromUtf8(typed), Qt::CaseInsensitive) == 0;
}

}  // namespace

std::vector<User> ReadUsers(const std::filesystem::path& umDat) {
  std::string bytesRead;
  try {
    bytesRead = files::ReadPlainFile(umDat, kMaxUsersBytes);
  } catch (const files::FileError& error) {
    throw FormatError(error.what());
  }
  return ReadUsers(std::vector<unsigned char>(bytesRead.begin(), bytesRead.end()), umDat.string());
}

std::vector<User> ReadUsers(const std::vector<unsigned char>& bytes, const std::string& file) {
  if (FieldText(bytes, 0, kMagicSize, file) != kMagic) {
    throw FormatError("'" + file + "' is not a SourceSafe user file (its magic is missing)");
  }
  std::vector<User> users;
  std::size_t offset = kFirstUser;
  while (offset < bytes.size()) {
    const Record record = ReadRecord(bytes, offset, "UU", file);
    if (record.body.size() < kUserBodySize) {
      throw FormatError("'" + file + "' at offset " + std::to_string(offset) +
                        ": a user record of " + std::to_string(record.body.size()) +
                        " bytes, not " + std::to_string(kUserBodySize));
    }
    User user;
    user.name = std::string(FieldText(record.body, 0, kUserNameSize, file));
    user.passwordCode = ReadU16(record.body, kUserPasswordAt, file);
    user.readOnly = (ReadU16(record.body, kUserFlagsAt, file) & kReadOnlyFlag) != 0;
    users.push_back(std::move(user));
    offset = record.End();
  }
  return users;
}

std::uint16_t PasswordCode(std::string_view upperCaseBytes) {
  const std::string_view password = upperCaseBytes.substr(0, kPasswordBytes);
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < kPasswordBytes; ++i) {
    const char byte = i < password.size() ? password[i] : kPasswordFiller[i - password.size()];
    const int value = static_cast<signed char>(byte) ^ 0x96;
    sum += static_cast<std::uint32_t>(static_cast<int>(i + 1) * value);
  }
  return static_cast<std::uint16_t>(sum);
}

User LogIn(const std::vector<User>& users, const std::string& name, const std::string& password,
           const CodePage& codePage) {
  std::vector<const User*> named;
  for (const User& user : users) {
    if (!name.empty() && SameName(user.name, name, codePage)) {
      named.push_back(&user);
    }
  }
  if (named.empty()) {
    throw LoginError(LoginError::Kind::kUnknownUser,
                     "User '" + name + "' is not a user of this SourceSafe database");
  }
  std::set<std::uint16_t> codes;
  for (const std::string& reading : PasswordReadings(password, codePage)) {
    codes.insert(PasswordCode(reading));
  }
  const auto match = std::find_if(named.begin(), named.end(), [&](const User* user) {
    return codes.count(user->passwordCode);
  });
  if (match == named.end()) {
    throw LoginError(LoginError::Kind::kInvalidPassword, "Invalid password");
  }
  User user = **match;
  user.readOnly =
      std::any_of(named.begin(), named.end(), [](const User* u) { return u->readOnly; });
  return user;
}

bool MayDestroy(const User& user, bool projectSecurity) {
  return !user.readOnly && (!projectSecurity || text::AsciiEqualNoCase(user.name, "Admin"));
}

}  // namespace vss6
