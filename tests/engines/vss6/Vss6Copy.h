#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engines/vss6/Destroy.h"
#include "engines/vss6/Vss6Tree.h"
#include "support/TempDir.h"
#include "support/Vss6Builder.h"

namespace vss6_test {

inline const std::filesystem::path kShared = SCOURWELL_SHARED_DIR "/realvss";
inline const std::filesystem::path kIndependentReader = SCOURWELL_SHARED_DIR "/tools/vssread.py";

// A copy of a shared real database in a temporary folder, for tests that write.
class Vss6Copy {
 public:
  // Copies `folder` of the shared databases; Valid() is false when it is not there.
  explicit Vss6Copy(const std::string& folder);
  // The database `builder` makes.
  explicit Vss6Copy(const testing_support::Vss6Builder& builder, bool withIni = true);

  bool Valid() const noexcept { return valid_; }
  std::filesystem::path Root() const { return dir_.Path() / "db"; }
  std::filesystem::path Data() const { return Root() / "data"; }
  std::filesystem::path Journal() const { return Root() / "scourwell-destroy.journal"; }

  // Every file below the copy, by path relative to it, with its bytes.
  std::map<std::string, std::string> Snapshot() const;

  // What the independent reader (shared/tools/vssread.py) lists of the copy, one "kind state
  // spec" line an entry ("file DELETED $/a.txt"), and whether it read every record without a
  // problem; nothing when the reader or python3 is not there.
  struct Independent {
    std::vector<std::string> lines;
    bool sound = false;
  };
  std::optional<Independent> ReadIndependently() const;
  // The same lines from this program's own walk of the tree.
  static std::vector<std::string> Lines(vss6::Vss6Tree& tree);

  // An item of the tree, with its path.
  struct Walked : vss6::TreeItem {
    std::string spec;
  };
  // The whole tree, depth first.
  static std::vector<Walked> Walk(vss6::Vss6Tree& tree);
  // The item of `items` whose path is `spec`; throws when there is none.
  static const Walked& Find(const std::vector<Walked>& items, const std::string& spec);

  // A request to destroy `item`, as the window makes it.
  vss6::DestroyRequest RequestFor(vss6::Vss6Tree& tree, const vss6::TreeItem& item) const;

  // Changes the JP record of `physical` in the current entry file of the project `parent`, and
  // gives it its right check value again.
  void PatchEntry(const std::string& parent, const std::string& physical,
                  const std::function<void(std::span<unsigned char> body)>& change) const;
  // Changes the bytes of an item file and gives the record at `recordOffset` its right check value
  // again (the DH record when not given).
  void PatchItem(const std::string& physical,
                 const std::function<void(std::vector<unsigned char>& bytes)>& change,
                 std::size_t recordOffset = 0x34) const;

 private:
  testing_support::TempDir dir_;
  bool valid_ = false;
};

}  // namespace vss6_test
