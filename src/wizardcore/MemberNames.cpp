#include "wizardcore/MemberNames.h"

#include <QString>
#include <cstdio>
#include <vector>

namespace wizardcore {
namespace {

// The longest file name the systems an archive is opened on take.
constexpr std::size_t kMaxNameBytes = 255;

bool IsUtf8(const std::string& text) { return QString::fromStdString(text).toStdString() == text; }

std::string Fold(const std::string& name) {
  return QString::fromStdString(name).toCaseFolded().toStdString();
}

std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> names;
  std::size_t at = 0;
  for (;;) {
    const std::size_t slash = path.find('/', at);
    names.push_back(path.substr(at, slash == std::string::npos ? std::string::npos : slash - at));
    if (slash == std::string::npos) {
      return names;
    }
    at = slash + 1;
  }
}

// "name (2).ext": the number before the last name's extension, if it has one.
std::string Numbered(const std::string& member, int number) {
  const std::size_t slash = member.rfind('/');
  const std::size_t dot = member.rfind('.');
  const std::size_t at = dot != std::string::npos && dot > slash + 1 ? dot : member.size();
  return member.substr(0, at) + " (" + std::to_string(number) + ")" + member.substr(at);
}

}  // namespace

std::string MemberNames::Encoded(const std::string& name) {
  const bool dots = name.find_first_not_of('.') == std::string::npos;  // "", "." and ".."
  if (name.empty()) {
    return "%";
  }
  std::string encoded;
  char escape[4];
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    const auto next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
    const bool c1 = byte == 0xC2 && next >= 0x80 && next <= 0x9F;  // U+0080 to U+009F
    if (byte < 0x20 || byte == 0x7F || byte == '%' || byte == '\\' || byte == '/' ||
        (dots && byte == '.') || c1) {
      std::snprintf(escape, sizeof escape, "%%%02X", byte);
      encoded += escape;
      if (c1) {
        std::snprintf(escape, sizeof escape, "%%%02X", next);
        encoded += escape;
        ++i;
      }
    } else {
      encoded += static_cast<char>(byte);
    }
  }
  return encoded;
}

std::optional<std::string> MemberNames::For(const std::string& folder, const std::string& path,
                                            std::string& why) {
  if (!IsUtf8(path)) {
    why = "the path '" + QString::fromStdString(path).toStdString() + "' is not UTF-8";
    return std::nullopt;
  }
  const std::string below = path.rfind("$/", 0) == 0 ? path.substr(2) : path;
  std::string member = folder;
  for (const std::string& name : Split(below)) {
    const std::string encoded = Encoded(name);
    if (encoded.size() > kMaxNameBytes) {
      why = "a name of '" + path +
            "' is longer than a file's name can be once its control "
            "characters are written out";
      return std::nullopt;
    }
    member += "/" + encoded;
  }
  std::string unique = member;
  for (int number = 2; !given_.insert(Fold(unique)).second; ++number) {
    unique = Numbered(member, number);
  }
  return unique;
}

}  // namespace wizardcore
