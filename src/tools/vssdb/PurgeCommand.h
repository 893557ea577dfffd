#pragma once

#include "tools/vssdb/Console.h"

namespace vssdb {

struct Arguments;

// `vssdb purge`: the window's search and purge from a command line. The deleted entries are
// listed as the window lists them, the patterns check what they select under the rule between
// the boxes, and the window's purge destroys them (the keep guard, bottom-up order, repeated
// failures counted). Exit status: 0 when everything selected was destroyed (or, for a dry run,
// would be); 3 when some were kept or the engine refused them; 1 on any other failure, when
// stopped, or when the question was not answered yes.
int PurgeCommand(const Arguments& arguments, Console& console);

}  // namespace vssdb
