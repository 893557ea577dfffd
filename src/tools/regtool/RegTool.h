#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/registry/Registry.h"

namespace regtool {

// A key written as ROOT\path: HKCU or HKEY_CURRENT_USER, HKLM or HKEY_LOCAL_MACHINE (any case).
struct KeyPath {
  registry::HKEY root = 0;
  std::string subKey;
};
std::optional<KeyPath> ParseKeyPath(const std::string& text);

// The bytes `set` stores for DATA given on the command line as a value of `type`. Throws
// std::invalid_argument when the text is not one.
std::vector<unsigned char> ParseData(registry::DWORD type, const std::string& text);

// Where a question is asked and answered: the terminal when standard input is one.
struct Terminal {
  std::istream& in;
  std::ostream& out;
  bool interactive;
};

// Runs the tool on a command line (without the program name). Returns the exit status: 0
// success, 1 failure (one line on `err`), 2 usage error. Without a terminal nothing is asked.
int Run(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
int Run(const std::vector<std::string>& words, std::ostream& out, std::ostream& err,
        const Terminal& terminal);

}  // namespace regtool
