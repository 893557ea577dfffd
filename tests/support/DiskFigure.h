#pragma once

#include <QString>
#include <regex>
#include <string>

namespace testing_support {

// A text with each "about <size> on disk" (and "... freed on disk") figure written "about N": what
// our format's destroy frees is the engine's estimate, tested where it is made, and the wording
// around it is what these tests pin.
inline std::string AnyDiskFigure(const std::string& text) {
  static const std::regex figure("about [0-9][0-9.,]* (bytes|[KMGT]iB)( freed)? on disk");
  return std::regex_replace(text, figure, "about N$2 on disk");
}

inline std::string AnyDiskFigure(const QString& text) { return AnyDiskFigure(text.toStdString()); }

}  // namespace testing_support
