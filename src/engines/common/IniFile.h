#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sourcesafe {

// The settings of a srcsafe.ini: "Key = Value" lines. Keys compare without regard to ASCII
// case; blank lines, lines beginning with ';' or '#', and [section] lines are passed over;
// surrounding blanks are trimmed; a later line wins over an earlier one with the same key.
class IniFile {
 public:
  // Returns nothing when the text cannot be an ini file (a NUL byte, or a line that is neither
  // a setting, a comment nor a section).
  static std::optional<IniFile> Parse(std::string_view text);

  std::optional<std::string> Get(std::string_view key) const;
  // The keys, in lower case, that hold `part` (given in lower case).
  std::vector<std::string> KeysContaining(std::string_view part) const;

 private:
  std::map<std::string, std::string> values_;  // by lower-case key
};

}  // namespace sourcesafe
