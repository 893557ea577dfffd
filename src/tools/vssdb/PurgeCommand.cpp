#include "tools/vssdb/PurgeCommand.h"

#include <QLocale>
#include <algorithm>
#include <stdexcept>
#include <string>

#include "engines/common/EngineError.h"
#include "errors/ErrorRecord.h"
#include "platform/text/AsciiCase.h"
#include "platform/text/Printable.h"
#include "platform/translation/Tr.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "tools/vssdb/Arguments.h"
#include "tools/vssdb/ConsoleHost.h"
#include "tools/vssdb/DatabaseCommands.h"
#include "tools/vssdb/DeletedReport.h"
#include "wizardcore/DeletedItemCollection.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/KeepCopy.h"
#include "wizardcore/PurgeReport.h"
#include "wizardcore/PurgeRules.h"
#include "wizardcore/Runs.h"
#include "wizardcore/Wording.h"

namespace vssdb {

using translation::Tr;
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
  report.Add(entry, std::string(wizardcore::OutcomeWord(row.outcome)), std::move(error), row.label);
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
    throw UsageError(Tr("vssdb",
                        "a purge destroys for good, and there is no terminal to ask at: give "
                        "--yes, or --dry-run to see what would go")
                         .Str());
  }
  const std::optional<std::string> keepIn = arguments.Value("--keep-copy");
  if (keepIn && arguments.Flag("--no-copy")) {
    throw UsageError(Tr("vssdb", "--keep-copy and --no-copy say opposite things; give one").Str());
  }
  wizardcore::PatternSelection patterns;
  for (const std::string& pattern : arguments.Values("--match")) {
    patterns.match.emplace_back(pattern);
  }
  for (const std::string& pattern : arguments.Values("--exclude")) {
    patterns.exclude.emplace_back(pattern);
  }
  patterns.deletion = DeletionFilterOf(arguments);

  const auto database = OpenDatabase(arguments, console.err);
  if (!dryRun && !database->MayDestroy()) {
    throw sourcesafe::EngineError(ErrorCode::kAccessDenied,
                                  Tr("vssdb",
                                     "User '%1' may not destroy items in this database, so "
                                     "nothing can be purged")
                                      .Fill(arguments.user));
  }
  ConsoleHost host(console);
  StopOnInterrupt interrupt;
  wizardcore::DeletedList list;
  wizardcore::DeletedItemCollection items;
  if (!SearchDeleted(*database, "$/", host, list, items)) {
    console.err << Tr("vssdb", "vssdb: stopped during the search; nothing was purged").Str()
                << '\n';
    return 1;
  }
  const std::vector<int> keptByRule = wizardcore::CheckSelected(list, patterns);
  const wizardcore::Selection selection = list.Selected();

  DeletedReport report(arguments.operands.at(0));
  wizardcore::PurgeRun run;
  const bool asked = dryRun || selection.checked == 0;
  const std::string advice = database->PurgeAdvice();
  if (!dryRun) {
    if (!asked && !arguments.Flag("--yes") && wizardcore::AskBeforePurge(selection) &&
        !Confirmed(selection, advice, console)) {
      console.err << Tr("vssdb", "vssdb: nothing was purged").Str() << '\n';
      return 1;
    }
    wizardcore::PurgeRequest request;
    request.context.database = arguments.operands.at(0);
    request.context.user = arguments.user;
    request.context.asked = wizardcore::DescribeTotals(selection, QLocale::c());
    request.context.advice = advice;
    if (!arguments.Flag("--no-copy") && !asked) {
      request.keepIn = keepIn ? std::filesystem::path(*keepIn) : wizardcore::KeptFolder();
      console.err << Tr("vssdb", "vssdb: keeping a copy of what the purge destroys").Str() << '\n'
                  << std::flush;
    }
    request.keptByRule = keptByRule;
    request.report.kind = wizardcore::ReportTarget::Kind::None;
    if (const std::optional<std::string> file = arguments.Value("--report")) {
      request.report = {wizardcore::ReportTarget::Kind::File, *file};
    }
    request.beforeDestroys = [&](const std::string& keptCopy) {
      if (!keptCopy.empty()) {
        console.err
            << Tr("vssdb", "vssdb: kept the copy in %1").Fill(text::Printable(keptCopy, false))
            << '\n';
      }
      if (!asked) {
        console.err << Tr("vssdb", "vssdb: purging %1 entries").Fill(selection.checked) << '\n'
                    << std::flush;
      }
      host.SetQuietReports(true);  // every failure is written to the log once
    };
    run = wizardcore::RunPurge(host, list, items, database.get(), request);
    host.EndProgress();
    if (run.notStarted) {
      // A copy that cannot be written ends the command here with the reason.
      throw errors::ErrorRecord(run.notStarted.number, "Scourwell", run.notStarted.description);
    }
  } else {
    run.outcomes = wizardcore::PurgeOutcomes(list, run.summary, keptByRule);
  }
  const wizardcore::PurgeSummary& summary = run.summary;

  // Each entry the patterns asked for, in list order: what came of it, or (a dry run) what would.
  const std::vector<wizardcore::OutcomeRow>& rows = run.outcomes;
  auto row = rows.begin();
  bool refused = false;
  bool failed = summary.stopped;
  for (int index = 0; index < list.Size(); ++index) {
    if (row != rows.end() && row->index == index) {
      if (patterns.Selects(list[index])) {  // refused entries not asked for are left out
        AddRow(report, list[index], *row);
        refused = refused || row->outcome == Outcome::Kept || row->outcome == Outcome::Refused;
        failed = failed || row->outcome == Outcome::Failed || row->outcome == Outcome::NotReached;
      }
      ++row;
    } else if (asked && list[index].checked) {
      report.Add(list[index], std::string(wizardcore::OutcomeWord(Outcome::WouldDestroy)), {},
                 list.Label(index));
    }
  }
  if (asked) {
    report.SetTotals(selection);
  } else {
    report.SetSummary(summary);
  }
  report.Write(format, console.out);
  if (!run.afterAdvice.empty()) {
    console.err << "vssdb: " << run.afterAdvice << '\n';
  }
  if (run.reportError) {
    throw std::runtime_error(run.reportError.description);  // the file's own message
  }
  return failed ? 1 : refused ? kKeptOrRefused : 0;
}

}  // namespace vssdb
