#include "tools/vssdb/PurgeCommand.h"

#include <QLocale>
#include <algorithm>
#include <string>

#include "engines/common/EngineError.h"
#include "errors/ErrorRecord.h"
#include "platform/text/AsciiCase.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "tools/vssdb/Arguments.h"
#include "tools/vssdb/ConsoleHost.h"
#include "tools/vssdb/DatabaseCommands.h"
#include "tools/vssdb/DeletedReport.h"
#include "wizardcore/DeletedItemCollection.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Purge.h"
#include "wizardcore/PurgeRules.h"
#include "wizardcore/Wording.h"

namespace vssdb {
namespace {

using sourcesafe::ErrorCode;
using wizardcore::DeletedEntry;
using wizardcore::Outcome;

constexpr int kKeptOrRefused = 3;

// A destroy the engine refused before writing anything, for a reason that will hold until
// someone changes the database: the entry stays as it was.
bool Refused(const errors::CapturedError& error) {
  for (const ErrorCode code : {ErrorCode::kDestroyNotWritten, ErrorCode::kAccessDenied,
                               ErrorCode::kItemChanged, ErrorCode::kLockTimeout}) {
    if (error.number == static_cast<std::int32_t>(code)) {
      return true;
    }
  }
  return error.number == wizardcore::kKeptForUncheckedEntry;
}

const char* OutcomeName(const DeletedEntry& entry, bool stopped) {
  switch (entry.outcome) {
    case Outcome::Destroyed:
      return "destroyed";
    case Outcome::Failed:
      return Refused(entry.failure) ? "refused" : "failed";
    case Outcome::Kept:
      return "kept";
    case Outcome::None:
      break;
  }
  return stopped ? "not-reached" : "kept";
}

// Why a selected project is kept: the rule between the boxes unchecked it.
errors::CapturedError KeptByRule() {
  return {wizardcore::kKeptForUncheckedEntry,
          "an entry below it is not selected, and destroying the project would destroy that "
          "entry too"};
}

// Asks at the terminal; only "y" or "yes" goes on.
bool Confirmed(const wizardcore::Selection& selection, Console& console) {
  std::string prompt = wizardcore::ConfirmationPrompt(selection);
  std::erase(prompt, '\r');
  console.err << prompt << " [y/N] " << std::flush;
  std::string answer;
  if (!std::getline(console.in, answer)) {
    console.err << '\n';
    return false;
  }
  return text::AsciiEqualNoCase(answer, "y") || text::AsciiEqualNoCase(answer, "yes");
}

}  // namespace

int PurgeCommand(const Arguments& arguments, Console& console) {
  const ReportFormat format = ParseFormat(arguments.Value("--format"));
  const bool dryRun = arguments.Flag("--dry-run");
  if (!dryRun && !arguments.Flag("--yes") && !console.terminal) {
    throw UsageError(
        "a purge destroys for good, and there is no terminal to ask at: give --yes, or "
        "--dry-run to see what would go");
  }
  wizardcore::PatternSelection patterns;
  for (const std::string& pattern : arguments.Values("--match")) {
    patterns.match.emplace_back(pattern);
  }
  for (const std::string& pattern : arguments.Values("--exclude")) {
    patterns.exclude.emplace_back(pattern);
  }

  const auto database = OpenDatabase(arguments, console.err);
  if (!dryRun && !database->MayDestroy()) {
    throw sourcesafe::EngineError(ErrorCode::kAccessDenied,
                                  "User '" + arguments.user +
                                      "' may not destroy items in this database, so nothing "
                                      "can be purged");
  }
  ConsoleHost host(console);
  StopOnInterrupt interrupt;
  wizardcore::DeletedList list;
  wizardcore::DeletedItemCollection items;
  if (!SearchDeleted(*database, "$/", host, list, items)) {
    console.err << "vssdb: stopped during the search; nothing was purged\n";
    return 1;
  }
  const std::vector<int> keptByRule = wizardcore::CheckSelected(list, patterns);
  const wizardcore::Selection selection = list.Selected();

  DeletedReport report(arguments.operands.at(0));
  if (dryRun || selection.checked == 0) {
    for (int index = 0; index < list.Size(); ++index) {
      if (list[index].checked) {
        report.Add(list[index], "would-destroy");
      } else if (std::binary_search(keptByRule.begin(), keptByRule.end(), index)) {
        report.Add(list[index], "kept", KeptByRule());
      }
    }
    report.SetTotals(selection);
    report.Write(format, console.out);
    return keptByRule.empty() ? 0 : kKeptOrRefused;
  }

  if (!arguments.Flag("--yes") && wizardcore::AskBeforePurge(selection) &&
      !Confirmed(selection, console)) {
    console.err << "vssdb: nothing was purged\n";
    return 1;
  }
  console.err << "vssdb: purging " << selection.checked << " entries\n" << std::flush;
  wizardcore::Purge purge(host, list, items, database.get());
  host.SetQuietReports(true);  // every failure is written to the log once
  purge.PurgeVssItems();
  host.EndProgress();
  const wizardcore::PurgeSummary& summary = purge.Summary();

  bool refused = !keptByRule.empty();
  bool failed = summary.stopped;
  for (int index = 0; index < list.Size(); ++index) {
    const DeletedEntry& entry = list[index];
    const bool selected = entry.checked || entry.outcome != Outcome::None;
    if (std::binary_search(keptByRule.begin(), keptByRule.end(), index)) {
      report.Add(entry, "kept", KeptByRule());
    } else if (selected) {
      report.Add(entry, OutcomeName(entry, summary.stopped), entry.failure);
      refused = refused || entry.outcome == Outcome::Kept ||
                (entry.outcome == Outcome::Failed && Refused(entry.failure));
      failed = failed || (entry.outcome == Outcome::Failed && !Refused(entry.failure));
    }
  }
  report.SetSummary(wizardcore::DescribeSummary(summary, QLocale::c()));
  report.Write(format, console.out);
  return failed ? 1 : refused ? kKeptOrRefused : 0;
}

}  // namespace vssdb
