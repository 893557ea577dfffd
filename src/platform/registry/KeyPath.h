#pragma once

#include <string>
#include <vector>

#include "platform/registry/Registry.h"

namespace registry {

// The names of a subkey path "A\B\C". A leading backslash (ERROR_BAD_PATHNAME), an empty name in
// the middle or a name longer than 255 characters (ERROR_INVALID_PARAMETER) is refused; a
// trailing backslash is allowed.
LONG SplitKeyPath(const std::string& path, std::vector<std::string>* names);

}  // namespace registry
