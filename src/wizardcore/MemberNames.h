#pragma once

#include <optional>
#include <string>
#include <unordered_set>

namespace wizardcore {

// The names of a kept copy's members. Each is made from an item's path, so that the archive reads
// as the database did, but never as it is: every name along it is encoded so that no member name
// holds "..", ".", an empty name, a leading "/", a backslash or a control character ('%' and each
// of those bytes as %XX), and a name met again (two entries of one path, a file deleted, added
// again and deleted again) gets " (2)", " (3)", ... before its extension, letter case aside. The
// manifest keeps the real path; the member name is only where its content lies.
class MemberNames {
 public:
  // The member for `path` ("$/a/b.txt" or "data/b/baaaaaaa") below `folder` ("files", "raw"),
  // never given before; nothing, with `why` said, when the path cannot be kept safely (it is not
  // UTF-8, or a name of it is too long to be a file's name once encoded).
  std::optional<std::string> For(const std::string& folder, const std::string& path,
                                 std::string& why);

  // One name of a path, encoded.
  static std::string Encoded(const std::string& name);

 private:
  std::unordered_set<std::string> given_;  // folded, so that case alone does not tell two apart
};

}  // namespace wizardcore
