#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace text {

// Text safe to print on a terminal, in a report or as one line of a script's input: control
// characters (C0, DEL and C1, which could move the cursor, clear the screen or end the line) as
// \xNN or \uNNNN; with `names`, a backslash doubled, so that a name's own backslash is told from
// an escape. Every name and message that reaches a person goes through it.
inline std::string Printable(std::string_view text, bool names = false) {
  std::string printable;
  printable.reserve(text.size());
  char escape[8];
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (byte < 0x20 || byte == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      printable += escape;
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080 to U+009F
      std::snprintf(escape, sizeof escape, "\\u%04X", next);
      printable += escape;
      ++i;
    } else if (byte == '\\' && names) {
      printable += "\\\\";
    } else {
      printable += static_cast<char>(byte);
    }
  }
  return printable;
}

}  // namespace text
