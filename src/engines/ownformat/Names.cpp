#include "engines/ownformat/Names.h"

#include <QByteArray>
#include <QString>

#include <algorithm>

#include "engines/common/EngineError.h"

namespace sourcesafe {
namespace {

constexpr std::size_t kMaxNameBytes = 255;

bool IsValidUtf8(std::string_view text) {
  const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
  return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// Characters that cannot be told apart from others, or from nothing, on screen, or that change
// how the text around them reads: controls (U+0085 too), invisible formatting (zero-width
// spaces and joiners, direction marks and overrides, the byte order mark), line and paragraph
// separators, and every space but the plain one (the non-breaking ones among them).
bool IsDeceptive(QChar c) {
  switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
      return true;
    case QChar::Separator_Space:
      return c != QLatin1Char(' ');
    default:
      return false;
  }
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
  const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  for (const QChar c : text) {
    if (c.category() == QChar::Other_Control) {
      throw EngineError(ErrorCode::kInvalidName, std::string("The ") + std::string(what) +
                                                     " name contains a control character");
    }
    if (IsDeceptive(c)) {
      throw EngineError(
          ErrorCode::kInvalidName,
          std::string("The ") + std::string(what) +
              " name contains an invisible, direction-changing or unusual space "
              "character (U+" +
              QString::number(c.unicode(), 16).toUpper().rightJustified(4, '0').toStdString() +
              "), which could make it pass for another name");
    }
  }
  if (text.front().isSpace() || text.back().isSpace()) {
    throw EngineError(ErrorCode::kInvalidName, std::string("The ") + std::string(what) +
                                                   " name begins or ends with a space");
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
  if (name.find_first_not_of('.') == std::string_view::npos) {
    throw EngineError(ErrorCode::kInvalidName,
                      "'" + std::string(name) + "' is made of dots alone, which read as a path");
  }
}

void ValidateUserName(std::string_view name) { ValidateText(name, "user"); }

std::string FoldName(std::string_view name) {
  // Folding can undo the composition, so the result is brought into form C once more.
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))
      .normalized(QString::NormalizationForm_C)
      .toCaseFolded()
      .normalized(QString::NormalizationForm_C)
      .toStdString();
}

std::string LegacyFoldName(std::string_view name) {
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))
      .toCaseFolded()
      .toStdString();
}

bool IsWithinSpecLimits(std::string_view spec) {
  if (spec.size() > kMaxSpecBytes) {
    return false;
  }
  const auto slashes = static_cast<std::size_t>(std::count(spec.begin(), spec.end(), '/'));
  const bool root = spec.size() <= 2;
  return root || slashes - (spec.back() == '/' ? 1 : 0) <= kMaxSpecDepth;
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

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::pair<std::string, std::string> SplitParent(std::string_view spec) {
  std::vector<std::string> names = SplitSpec(spec);
  if (names.empty()) {
    throw EngineError(ErrorCode::kAlreadyExists, "The root project $/ always exists");
  }
  std::string parent(kRootSpec);
  for (std::size_t i = 0; i + 1 < names.size(); ++i) {
    parent = ChildSpec(parent, names[i]);
  }
  return {parent, names.back()};
}

}  // namespace sourcesafe
