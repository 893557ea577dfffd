#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace text {

// How many terminal columns a code point takes: two for the wide East Asian ranges (Han, Kana,
// Hangul, the fullwidth forms), none for combining marks, one for the rest.
inline int ColumnsOf(std::uint32_t code) {
  if ((code >= 0x0300 && code <= 0x036F) || (code >= 0x200B && code <= 0x200F)) {
    return 0;
  }
  const bool wide = (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0x303E) ||
                    (code >= 0x3041 && code <= 0x33FF) || (code >= 0x3400 && code <= 0x4DBF) ||
                    (code >= 0x4E00 && code <= 0x9FFF) || (code >= 0xA000 && code <= 0xA4CF) ||
                    (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
                    (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
                    (code >= 0xFFE0 && code <= 0xFFE6) || (code >= 0x20000 && code <= 0x3FFFD);
  return wide ? 2 : 1;
}

// The length of the UTF-8 sequence that `lead` begins (1 for a stray byte), and its code point.
inline std::size_t NextCodePoint(std::string_view text, std::size_t at, std::uint32_t& code) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  const std::size_t length = lead < 0x80         ? 1
                             : lead >> 5 == 0x6  ? 2
                             : lead >> 4 == 0xE  ? 3
                             : lead >> 3 == 0x1E ? 4
                                                 : 1;
  if (length == 1 || at + length > text.size()) {
    code = lead;
    return 1;
  }
  code = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  return length;
}

// The columns a UTF-8 text takes on a terminal.
inline std::size_t DisplayWidth(std::string_view text) {
  std::size_t width = 0;
  for (std::size_t at = 0; at < text.size();) {
    std::uint32_t code = 0;
    at += NextCodePoint(text, at, code);
    width += static_cast<std::size_t>(ColumnsOf(code));
  }
  return width;
}

// `text` with spaces after it up to `width` columns (as printf's "%-*s" does for ASCII).
inline std::string PadToWidth(std::string text, std::size_t width) {
  const std::size_t has = DisplayWidth(text);
  if (has < width) {
    text.append(width - has, ' ');
  }
  return text;
}

}  // namespace text
