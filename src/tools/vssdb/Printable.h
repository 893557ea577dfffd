#pragma once

#include <string>
#include <string_view>

namespace vssdb {

// Text safe to print on a terminal or as one line of a script's input: control characters
// (C0, DEL and C1, which could move the cursor or end the line) as \xNN or \uNNNN; with
// `names`, a backslash doubled, so that a name's own backslash is told from an escape.
std::string Printable(std::string_view text, bool names);

}  // namespace vssdb
