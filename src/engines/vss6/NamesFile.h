#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/Layout.h"
#include "engines/vss6/Records.h"

namespace vss6 {

// The kinds of name in a name set that give an item's real name.

// data/names.dat: the long names of items, in name sets (SN records) that a NAME field points
// to. A database without the file gives no long names.
class NamesFile {
 public:
  NamesFile() = default;
  // Checks the file's HN header; throws FormatError.
  NamesFile(std::vector<unsigned char> bytes, std::string path);

  // The name of `kind` in the name set at `offset`, in the writer's code page; nothing when the
  // set has none. Throws FormatError when no sound name set is there.
  std::optional<std::string> Name(std::uint32_t offset, std::uint16_t kind) const;

 private:
  std::vector<unsigned char> bytes_;
  std::string path_;
};

class CodePage;

// An entry's name in UTF-8: its long name from `names`, else its short name, read in `codePage`.
std::string EntryName(const NameField& name, bool project, const NamesFile& names,
                      const CodePage& codePage);

}  // namespace vss6
