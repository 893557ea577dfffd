#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// Case folding and character classes of ASCII alone, whatever the locale: file formats, keys,
// physical file names and option words are compared with these, so that a Turkish 'I' or a
// German decimal comma in the user's locale changes nothing. Names meant for people are folded
// elsewhere, with Unicode's rules.
namespace text {

constexpr char AsciiLower(char c) noexcept {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char AsciiUpper(char c) noexcept {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr bool IsAsciiDigit(char c) noexcept { return c >= '0' && c <= '9'; }

constexpr bool IsAsciiLetter(char c) noexcept {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

inline std::string AsciiLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) { return AsciiLower(c); });
  return text;
}

inline std::string AsciiUpper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) { return AsciiUpper(c); });
  return text;
}

inline bool AsciiEqualNoCase(std::string_view a, std::string_view b) noexcept {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

}  // namespace text
