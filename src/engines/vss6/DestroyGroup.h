#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engines/vss6/Destroy.h"

namespace vss6 {

// The waiting destroys of a group could not be written: none of them took place.
class GroupNotWritten : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The destroys of a purge written together. The entries of one project wait while the purge goes
// on among them, and are written as one change (DestroyEntries) when an entry of another project
// comes, when kMaxWaiting wait, or when the group is written out: a purge of many entries of few
// projects writes each project's files once, not once an entry. Each entry is checked as a destroy
// checks it when it comes, so that refusals are said entry by entry; a change that cannot be
// written fails all of its entries, and a crash loses at most those waiting, which stay deleted.
class DestroyGroup {
 public:
  static constexpr std::size_t kMaxWaiting = 200;

  // `written` hears of each change written: its project and what it did.
  using Written = std::function<void(const std::string& parent, const DestroyDone& done)>;
  explicit DestroyGroup(Written written) : written_(std::move(written)) {}

  // Checks `request` and has it wait, writing those waiting first when they lie in another project
  // or are many. Throws what a destroy throws for this entry, and GroupNotWritten (with this entry
  // not taken) when those waiting could not be written.
  void Add(DestroyRequest request);
  // How many entries wait.
  int Waiting() const noexcept { return static_cast<int>(waiting_.size()); }
  // Writes those waiting. Throws GroupNotWritten.
  void Write();
  // What the changes written so far could not remove, each with why; taken.
  std::vector<std::string> TakeLeftovers() { return std::exchange(leftovers_, {}); }

 private:
  Written written_;
  std::vector<DestroyRequest> waiting_;
  std::vector<std::string> leftovers_;
};

}  // namespace vss6
