#pragma once

#include <istream>
#include <ostream>

namespace vssdb {

// Where the tool reads and writes: results to `out`, failures, notes, questions and progress to
// `err`. `terminal` is true when a person sits at it (standard input and standard error are a
// terminal): then a purge may ask, and progress is shown in place.
struct Console {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  bool terminal = false;
};

}  // namespace vssdb
