#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "errors/Reporter.h"
#include "wizardcore/Purge.h"
#include "wizardcore/PurgeReport.h"
#include "wizardcore/Recover.h"

namespace sourcecontrol {
class IVSSDatabase;
class IVSSItem;
}  // namespace sourcecontrol

namespace wizardcore {

class DeletedItemCollection;
class DeletedList;
class Host;

// The runs as every front end starts them: the listing, the purge and the recover, each from its
// first step to its account. The window and vssdb only ask and show.

// Lists every deleted entry at or below `start` (the search), then marks those the engine would
// refuse to destroy (unchecked, with the reason). False when Stop ended it.
bool ListDeleted(Host& host, DeletedList& list, DeletedItemCollection& items,
                 const std::shared_ptr<sourcecontrol::IVSSItem>& start);

// Where a run's report goes.
struct ReportTarget {
  enum class Kind {
    None,         // no report
    NewInFolder,  // a new file named by the run and the time, in `path` (SavePurgeReport)
    File,         // the file `path`, replaced whole (made the user's alone)
  };
  Kind kind = Kind::NewInFolder;
  std::filesystem::path path = PurgeReportFolder();
};

// What a purge is asked with.
struct PurgeRequest {
  // The database and the user as given, the question's figures and the engine's advice: for the
  // copy's manifest and the report.
  PurgeContext context;
  // The folder the copy kept before the purge goes to (KeepCopyFolderFrom); none keeps no copy.
  std::optional<std::filesystem::path> keepIn;
  // Entries that were selected but unchecked by the rule between the boxes, for the account.
  std::vector<int> keptByRule;
  ReportTarget report;
  // Called once the copy is whole and before the first destroy, with the copy's path (empty when
  // none was kept).
  std::function<void(const std::string& keptCopy)> beforeDestroys;
};

// What a purge came to.
struct PurgeRun {
  // Why nothing was destroyed: the copy could not be kept (kCopyNotKept). The rest is empty then.
  errors::CapturedError notStarted;
  PurgeSummary summary;
  std::vector<OutcomeRow> outcomes;   // PurgeOutcomes
  std::string keptCopy;               // the copy's path, when one was kept
  std::string reportPath;             // the report's path, when one was written
  errors::CapturedError reportError;  // why the report could not be written
  std::string afterAdvice;            // the engine's word on what may follow the purge
};

// The purge of the checked entries: the copy kept first (when asked, and anything is checked),
// then the destroys (Purge, saved in groups), the account of every entry, and the report. Only
// the copy's failure stops it before the first destroy; the report's is given back beside the
// outcomes.
PurgeRun RunPurge(Host& host, DeletedList& list, DeletedItemCollection& items,
                  sourcecontrol::IVSSDatabase* database, const PurgeRequest& request);

// What a recover came to.
struct RecoverRun {
  RecoverSummary summary;
  std::string reportPath;
  errors::CapturedError reportError;
};

// The recover of the checked entries (RecoverChecked), then its report; `context.asked` is set
// from the number of checked entries.
RecoverRun RunRecover(Host& host, DeletedList& list, PurgeContext context,
                      const ReportTarget& report = {});

}  // namespace wizardcore
