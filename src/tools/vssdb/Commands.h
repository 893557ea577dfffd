#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "tools/vssdb/Console.h"

namespace vssdb {

// Runs the tool on a command line (without the program name), writing results to `out` and
// failures to `err`. Returns the exit status: 0 success, 1 failure, 2 usage error, 3 a purge
// that kept or was refused some of what it was asked to destroy.
int Run(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
// The same, reading a password given with --password-stdin from `in`.
int Run(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
        std::ostream& err);
// The same on a console that may be a terminal, where a purge may ask before it destroys.
int Run(const std::vector<std::string>& words, Console& console);

}  // namespace vssdb
