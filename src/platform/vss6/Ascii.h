#pragma once

#include <algorithm>
#include <cctype>
#include <string>

namespace vss6 {

// Physical names, file names on disk and short names are compared without regard to ASCII case.
inline std::string AsciiUpper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

inline std::string AsciiLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace vss6
