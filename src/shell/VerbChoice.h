#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace shell {

// Reads the name of a file type's verb at `index` (from 0): 0 with the name, 259 (no more
// items) past the last one, any other code when that one cannot be read.
using VerbReader = std::function<std::int32_t(std::uint32_t index, std::string& name)>;

// A verb that cannot be read is skipped; a run of this many that cannot be read ends the
// enumeration, as a key that keeps failing would otherwise be enumerated for ever.
inline constexpr int kUnreadableVerbsInARow = 16;

// The verb to perform on a document whose type lists verbs but names no default: "open" when a
// verb is named "open" or "&open" (in any case), else the first one listed; empty when there is
// none.
std::string ChooseVerb(const VerbReader& read);

}  // namespace shell
