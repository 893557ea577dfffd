#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "errors/Reporter.h"
#include "wizardcore/DeletedEntry.h"

namespace wizardcore {

class DeletedList;
struct PurgeSummary;

// One line of a purge's account: an entry that was asked for, or kept, and what came of it.
struct OutcomeRow {
  int index = -1;                   // the entry's index on the list
  Outcome outcome = Outcome::None;  // Destroyed, Failed, Refused, Kept, NotReached, Recovered
  std::string spec;
  std::string label;                 // its path as people are shown it (DeletedList::Label)
  errors::CapturedError error;       // why it failed or was refused; 0 when it did not
  std::string reason;                // why it was kept, when no error says it
  sourcecontrol::Deletion deletion;  // when and by whom it was deleted, where recorded
};

// Every entry a purge had to do with, in list order: those it visited, those Stop left, those
// the engine said it would refuse (kept, with the reason), and `keptByRule` (entries that were
// selected but unchecked by the rule between the boxes).
std::vector<OutcomeRow> PurgeOutcomes(const DeletedList& list, const PurgeSummary& summary,
                                      const std::vector<int>& keptByRule = {});

// "refused" for an error that says the engine would not do it (and will not until someone
// changes the database), rather than that something went wrong.
[[nodiscard]] bool RefusedByEngine(const errors::CapturedError& error);

// What a purge report says of where and by whom it was asked.
struct PurgeContext {
  std::string database;  // the path as given
  std::string user;
  std::string asked;          // the question's figures (DescribeTotals)
  int hidden = 0;             // checked entries the filter hid
  std::string advice;         // the engine's advice, when it had one
  std::string run = "purge";  // or "recover"
  std::string keptCopy;       // the copy kept before the purge, when one was
};

// The plain-text report of a purge: what was asked, each entry's outcome with its error number
// and text, and the totals.
std::string PurgeReportText(const PurgeContext& context, const std::vector<OutcomeRow>& rows,
                            const std::string& summary);

// The folder purge reports go to: $XDG_STATE_HOME/scourwell (or ~/.local/state/scourwell).
std::filesystem::path PurgeReportFolder();

// Writes `text` to a new file named by `kind` and the time in `folder`, which is made (mode 0700)
// when it is missing; the file is the user's alone (0600) and synced. Gives back its path. Throws
// errors::ErrorRecord when it cannot be written.
std::filesystem::path SavePurgeReport(const std::string& text,
                                      const std::filesystem::path& folder = PurgeReportFolder(),
                                      const std::string& kind = "purge");

}  // namespace wizardcore
