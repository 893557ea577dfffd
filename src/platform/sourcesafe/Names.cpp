#include "platform/sourcesafe/Names.h"

#include <QByteArray>
#include <QString>

#include "platform/sourcesafe/EngineError.h"

namespace sourcesafe {
namespace {

constexpr std::size_t kMaxNameBytes = 255;

bool IsValidUtf8(std::string_view text) {
  const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
  return QString::fromUtf8(bytes).toUtf8() == bytes;
}

void ValidateText(std::string_view name, std::string_view what) {
  if (name.empty()) {
    throw EngineError(ErrorCode::kInvalidName,
                      std::string("An empty ") + std::string(what) + " name is not allowed");
  }
  if (name.size() > kMaxNameBytes) {
    throw EngineError(ErrorCode::kInvalidName,
                      std::string("The ") + std::string(what) + " name is longer than 255 bytes");
  }
  if (!IsValidUtf8(name)) {
    throw EngineError(ErrorCode::kInvalidName,
                      std::string("The ") + std::string(what) + " name is not valid UTF-8");
  }
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
      throw EngineError(ErrorCode::kInvalidName, std::string("The ") + std::string(what) +
                                                     " name contains a control character");
    }
  }
}

}  // namespace

void ValidateItemName(std::string_view name) {
  ValidateText(name, "item");
  if (name.find_first_of("/\\:*?\"<>|;") != std::string_view::npos) {
    throw EngineError(ErrorCode::kInvalidName,
                      "'" + std::string(name) + "' contains a character not allowed in names");
  }
  if (name.front() == '$') {
    throw EngineError(ErrorCode::kInvalidName,
                      "'" + std::string(name) + "' may not begin with '$'");
  }
}

void ValidateUserName(std::string_view name) { ValidateText(name, "user"); }

std::string FoldName(std::string_view name) {
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))
      .toCaseFolded()
      .toStdString();
}

std::vector<std::string> SplitSpec(std::string_view spec) {
  if (spec.empty() || spec.front() != '$' || (spec.size() > 1 && spec[1] != '/')) {
    throw EngineError(ErrorCode::kInvalidName,
                      "'" + std::string(spec) + "' is not a spec: specs begin with \"$/\"");
  }
  if (spec.size() > 2 && spec[2] == '/') {
    throw EngineError(ErrorCode::kInvalidName,
                      "'" + std::string(spec) + "' has an empty name between two '/'");
  }
  std::vector<std::string> names;
  std::string_view rest = spec.size() > 2 ? spec.substr(2) : std::string_view();
  if (!rest.empty() && rest.back() == '/') {
    rest.remove_suffix(1);
  }
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view name = rest.substr(0, slash);
    if (name.empty()) {
      throw EngineError(ErrorCode::kInvalidName,
                        "'" + std::string(spec) + "' has an empty name between two '/'");
    }
    names.emplace_back(name);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (slash != std::string_view::npos && rest.empty()) {
      throw EngineError(ErrorCode::kInvalidName,
                        "'" + std::string(spec) + "' has an empty name between two '/'");
    }
  }
  return names;
}

std::string ChildSpec(std::string_view parentSpec, std::string_view name) {
  std::string spec(parentSpec);
  if (spec.back() != '/') {
    spec += '/';
  }
  spec += name;
  return spec;
}

}  // namespace sourcesafe
