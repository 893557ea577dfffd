#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace vssdb {

// Runs the tool on a command line (without the program name), writing results to `out` and
// failures to `err`. Returns the exit status: 0 success, 1 failure, 2 usage error.
int Run(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
// The same, reading a password given with --password-stdin from `in`.
int Run(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
        std::ostream& err);

}  // namespace vssdb
