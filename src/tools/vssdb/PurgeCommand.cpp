#include "tools/vssdb/PurgeCommand.h"

#include <QLocale>
#include <algorithm>
#include <string>

#include "engines/common/EngineError.h"
#include "errors/ErrorRecord.h"
#include "platform/files/SafeFiles.h"
#include "platform/text/AsciiCase.h"
#include "platform/text/Printable.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "tools/vssdb/Arguments.h"
#include "tools/vssdb/ConsoleHost.h"
#include "tools/vssdb/DatabaseCommands.h"
#include "tools/vssdb/DeletedReport.h"
#include "wizardcore/DeletedItemCollection.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/KeepCopy.h"
#include "wizardcore/Purge.h"
#include "wizardcore/PurgeReport.h"
#include "wizardcore/PurgeRules.h"
#include "wizardcore/Wording.h"

namespace vssdb {
namespace {

using sourcesafe::ErrorCode;
using wizardcore::DeletedEntry;
using wizardcore::Outcome;

constexpr int kKeptOrRefused = 3;

// The row of the report for an entry, with the error or the reason that goes with it.
void AddRow(DeletedReport& report, const DeletedEntry& entry, const wizardcore::OutcomeRow& row) {
  errors::CapturedError error = row.error;
  if (!error && !row.reason.empty()) {
    error = {static_cast<std::int32_t>(ErrorCode::kDestroyNotWritten), row.reason};
  }
  report.Add(entry, row.outcome, std::move(error), row.label);
}

// Asks at the terminal; only "y" or "yes" goes on.
bool Confirmed(const wizardcore::Selection& selection, const std::string& advice,
               Console& console) {
  std::string prompt = wizardcore::ConfirmationPrompt(selection, 0, advice);
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
  const std::optional<std::string> keepIn = arguments.Value("--keep-copy");
  if (keepIn && arguments.Flag("--no-copy")) {
    throw UsageError("--keep-copy and --no-copy say opposite things; give one");
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
  wizardcore::PurgeSummary summary;
  std::string keptCopy;
  const bool asked = dryRun || selection.checked == 0;
  const std::string advice = database->PurgeAdvice();
  if (!asked) {
    if (!arguments.Flag("--yes") && wizardcore::AskBeforePurge(selection) &&
        !Confirmed(selection, advice, console)) {
      console.err << "vssdb: nothing was purged\n";
      return 1;
    }
    if (!arguments.Flag("--no-copy")) {
      // Nothing is destroyed before the copy is whole on disk; a copy that cannot be written
      // ends the command here with the reason.
      console.err << "vssdb: keeping a copy of what the purge destroys\n" << std::flush;
      keptCopy =
          wizardcore::KeepCopy(host, list, {arguments.operands.at(0), arguments.user},
                               keepIn ? std::filesystem::path(*keepIn) : wizardcore::KeptFolder())
              .string();
      console.err << "vssdb: kept the copy in " << text::Printable(keptCopy, false) << '\n';
    }
    console.err << "vssdb: purging " << selection.checked << " entries\n" << std::flush;
    wizardcore::Purge purge(host, list, items, database.get());
    host.SetQuietReports(true);  // every failure is written to the log once
    purge.PurgeVssItems();
    host.EndProgress();
    summary = purge.Summary();
  }

  // Each entry the patterns asked for, in list order: what came of it, or (a dry run) what would.
  const std::vector<wizardcore::OutcomeRow> rows =
      wizardcore::PurgeOutcomes(list, summary, keptByRule);
  auto row = rows.begin();
  bool refused = false;
  bool failed = summary.stopped;
  for (int index = 0; index < list.Size(); ++index) {
    if (row != rows.end() && row->index == index) {
      if (patterns.Selects(row->spec)) {  // refused entries not asked for are left out
        AddRow(report, list[index], *row);
        refused = refused || row->outcome == "kept" || row->outcome == "refused";
        failed = failed || row->outcome == "failed" || row->outcome == "not-reached";
      }
      ++row;
    } else if (asked && list[index].checked) {
      report.Add(list[index], "would-destroy", {}, list.Label(index));
    }
  }
  if (asked) {
    report.SetTotals(selection);
  } else {
    report.SetSummary(wizardcore::DescribeSummary(summary, QLocale::c()));
  }
  report.Write(format, console.out);
  if (const std::optional<std::string> file = arguments.Value("--report"); file && !dryRun) {
    wizardcore::PurgeContext context;
    context.database = arguments.operands.at(0);
    context.user = arguments.user;
    context.asked = wizardcore::DescribeTotals(selection, QLocale::c());
    context.advice = advice;
    context.keptCopy = keptCopy;
    files::ReplaceFile(*file,
                       wizardcore::PurgeReportText(
                           context, rows, wizardcore::DescribeSummary(summary, QLocale::c())),
                       0600);
  }
  return failed ? 1 : refused ? kKeptOrRefused : 0;
}

}  // namespace vssdb
