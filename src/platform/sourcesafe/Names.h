#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sourcesafe {

// The root project's spec and name.
inline constexpr std::string_view kRootSpec = "$/";
inline constexpr std::string_view kRootName = "$";

// Throws kInvalidName unless `name` can name an item: valid UTF-8, 1 to 255 bytes, no control
// characters, none of / \ : * ? " < > | ; and not beginning with '$'.
void ValidateItemName(std::string_view name);

// Throws kInvalidName unless `name` can name a user: valid UTF-8, 1 to 255 bytes, no control
// characters.
void ValidateUserName(std::string_view name);

// The key under which names are compared: Unicode case folding, so "README" and "readme" (and
// "STRASSE" and "straße") are one name.
std::string FoldName(std::string_view name);

// The names along a spec: "$/A/B" gives {"A", "B"}, "$/" and "$" give {}. A trailing '/' is
// allowed; an empty name in the middle, or a spec that does not begin with "$", is refused
// (kInvalidName). The names are not validated.
std::vector<std::string> SplitSpec(std::string_view spec);

// The spec of a child of the project whose spec is `parentSpec`.
std::string ChildSpec(std::string_view parentSpec, std::string_view name);

}  // namespace sourcesafe
