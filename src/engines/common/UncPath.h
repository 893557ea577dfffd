#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace sourcesafe {

// True for a path of the form \\server\share[\rest] or //server/share[/rest].
bool IsUncPath(std::string_view path);

// The local path of a UNC path, through the CIFS/SMB mounts listed in `mountinfo` (the text of
// /proc/self/mountinfo). Server and share compare without regard to case; where several mounts
// serve the path, the one whose mounted folder lies deepest wins. Throws kFileNotFound, naming
// the share, when no mount serves the path.
std::filesystem::path ResolveUncPath(std::string_view unc, std::string_view mountinfo);

}  // namespace sourcesafe
