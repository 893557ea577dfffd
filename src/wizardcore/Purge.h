#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "errors/Procedure.h"
#include "errors/Reporter.h"
#include "sourcecontrol/ErrorNumbers.h"
#include "wizardcore/DeletedEntry.h"

namespace sourcecontrol {
class IVSSDatabase;
}

namespace wizardcore {

class DeletedItemCollection;
class DeletedList;
class Host;

// Raised (and reported at the destroy's line) for a checked project that is kept because an
// entry below it is listed and not checked: destroying it would take that entry too.
inline constexpr std::int32_t kKeptForUncheckedEntry =
    sourcecontrol::Number(sourcecontrol::ErrorCode::kKeptForUncheckedEntry);

// A failure that came again during one purge: shown once, counted after that.
struct RepeatedFailure {
  std::int32_t line = 0;
  errors::CapturedError first;  // the one that was shown
  int repeats = 0;              // how many more came
};

// What one purge did.
struct PurgeSummary {
  int destroyed = 0;   // entries whose item is gone
  Tally reclaimed;     // the items those destroys took, contents included, and their size
  int failed = 0;      // entries whose destroy failed
  int kept = 0;        // checked projects kept because an entry below was not checked
  int notReached = 0;  // checked entries the run did not reach because of Stop
  bool stopped = false;
  std::vector<RepeatedFailure> repeated;  // failures that came more than once
};

// The purge run: destroys the items of the checked entries, from the bottom of the list up, and
// takes each entry it handles off the list.
//
// The destroys are saved in groups when `database` is given (see IVSSDatabase::BeginDestroyGroup):
// an entry counts as destroyed once its group is saved; when a group cannot be saved, every
// entry of it counts as failed, with the reason.
//
// Two guards beyond the numbered statements: a checked project whose listed descendants are not
// all checked is kept (reported like a refused destroy, counted apart), and a failure that repeats
// (same error number at the same line) is reported once and then only counted. Every failure is
// also written to the host's log with the item in hand.
class Purge {
 public:
  Purge(Host& host, DeletedList& list, DeletedItemCollection& items,
        sourcecontrol::IVSSDatabase* database = nullptr);
  ~Purge();
  Purge(const Purge&) = delete;
  Purge& operator=(const Purge&) = delete;

  // Numbered statements 100 to 118.
  void PurgeVssItems();
  const PurgeSummary& Summary() const noexcept { return summary_; }

 private:
  class Failures;
  // Counts what the run did, once it has ended.
  void Summarize(bool stopped);
  // After a destroy: forgets the entries whose destroys are saved now.
  void NoteSaved();
  // The entries of a group that could not be saved failed after all.
  void NoteNotSaved(const errors::CapturedError& error);
  // Saves the last group and counts what the run did.
  void Finish(errors::Procedure& proc, bool stopped);

  Host& host_;
  DeletedList& list_;
  DeletedItemCollection& items_;
  std::unique_ptr<Failures> failures_;
  sourcecontrol::IVSSDatabase* database_;
  std::vector<bool> visited_;  // the entries this run has handled, by index
  std::vector<int> unsaved_;   // entries destroyed in a group not saved yet
  PurgeSummary summary_;
};

}  // namespace wizardcore
