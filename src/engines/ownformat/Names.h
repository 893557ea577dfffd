#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sourcesafe {

// The root project's spec and name.
inline constexpr std::string_view kRootSpec = "$/";
inline constexpr std::string_view kRootName = "$";

// How deep and how long a spec may be. Deeper or longer paths are refused when made, and a
// database holding them (made by other means) is not walked past them.
inline constexpr std::size_t kMaxSpecDepth = 256;   // names below "$/"
inline constexpr std::size_t kMaxSpecBytes = 4096;  // "$/" included

// Throws kInvalidName unless `name` can name an item: valid UTF-8, 1 to 255 bytes, none of
// / \ : * ? " < > | ; not beginning with '$', and nothing that could only deceive (see
// ValidateUserName), nor a name of dots alone.
void ValidateItemName(std::string_view name);

// Throws kInvalidName unless `name` can name a new user: valid UTF-8, 1 to 255 bytes, no control,
// invisible or direction-changing characters, no space but the plain one, and none at either end.
void ValidateUserName(std::string_view name);

// The key under which names are compared: the name in Unicode normal form C, case folded, so
// "README" and "readme" (and "STRASSE" and "straße", and "é" composed or not) are one name.
std::string FoldName(std::string_view name);

// The key earlier versions filed names under (case folded, not normalized): names are looked up
// under both, so that a decomposed name filed by one of them is still found.
std::string LegacyFoldName(std::string_view name);

// Whether a spec lies within kMaxSpecDepth and kMaxSpecBytes.
bool IsWithinSpecLimits(std::string_view spec);

// The names along a spec: "$/A/B" gives {"A", "B"}, "$/" and "$" give {}. A trailing '/' is
// allowed; an empty name in the middle, or a spec that does not begin with "$", is refused
// (kInvalidName). The names are not validated.
std::vector<std::string> SplitSpec(std::string_view spec);

// The spec of a child of the project whose spec is `parentSpec`.
std::string ChildSpec(std::string_view parentSpec, std::string_view name);

// `text` between single quotes, for messages.
std::string Quoted(std::string_view text);

// The spec of the project above `spec`, and the last name of `spec`. Throws kAlreadyExists for
// the root, which has no project above it.
std::pair<std::string, std::string> SplitParent(std::string_view spec);

}  // namespace sourcesafe
