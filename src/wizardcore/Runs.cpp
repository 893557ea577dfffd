#include "wizardcore/Runs.h"

#include <QLocale>

#include "errors/Procedure.h"
#include "platform/files/SafeFiles.h"
#include "platform/translation/Tr.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Host.h"
#include "wizardcore/KeepCopy.h"
#include "wizardcore/Refusals.h"
#include "wizardcore/Search.h"
#include "wizardcore/Wording.h"

namespace wizardcore {

using translation::Tr;
namespace {

// Writes the report where `target` says; gives back its path, or sets `error`.
std::string WriteReport(Host& host, const ReportTarget& target, const PurgeContext& context,
                        const std::string& text, errors::CapturedError& error) {
  std::string path;
  error = errors::CaptureError([&] {
    switch (target.kind) {
      case ReportTarget::Kind::None:
        break;
      case ReportTarget::Kind::NewInFolder:
        path = SavePurgeReport(text, target.path, context.run).string();
        break;
      case ReportTarget::Kind::File:
        files::ReplaceFile(target.path, text, 0600);
        path = target.path.string();
        break;
    }
  });
  if (error) {
    host.Log("scourwell: " + error.description);
  }
  return path;
}

}  // namespace

bool ListDeleted(Host& host, DeletedList& list, DeletedItemCollection& items,
                 const std::shared_ptr<sourcecontrol::IVSSItem>& start) {
  Search(host, list, items).SearchVssItem(start);
  // What the engine would refuse is shown as kept before anyone is asked.
  MarkRefused(host, list);
  return !host.StopRequested();
}

PurgeRun RunPurge(Host& host, DeletedList& list, DeletedItemCollection& items,
                  sourcecontrol::IVSSDatabase* database, const PurgeRequest& request) {
  PurgeRun run;
  PurgeContext context = request.context;
  context.run = "purge";
  if (request.keepIn && list.Selected().checked > 0) {
    // Nothing is destroyed before the copy is whole on disk.
    host.ShowNowPurging(Tr("Runs", "Keeping a copy of what the purge destroys:").Str());
    run.notStarted = errors::CaptureError([&] {
      run.keptCopy =
          KeepCopy(host, list, {context.database, context.user}, *request.keepIn).string();
    });
    if (run.notStarted) {
      host.Log("scourwell: " + run.notStarted.description);
      run.keptCopy.clear();
      return run;
    }
  }
  context.keptCopy = run.keptCopy;
  if (request.beforeDestroys) {
    request.beforeDestroys(run.keptCopy);
  }
  Purge purge(host, list, items, database);
  purge.PurgeVssItems();
  run.summary = purge.Summary();
  run.outcomes = PurgeOutcomes(list, run.summary, request.keptByRule);
  if (database != nullptr) {
    errors::CaptureError(
        [&] { run.afterAdvice = database->AfterPurgeAdvice(run.summary.reclaimed.disk); });
  }
  run.reportPath = WriteReport(
      host, request.report, context,
      PurgeReportText(context, run.outcomes, DescribeSummary(run.summary, QLocale::c())),
      run.reportError);
  return run;
}

RecoverRun RunRecover(Host& host, DeletedList& list, PurgeContext context,
                      const ReportTarget& report) {
  RecoverRun run;
  const int checked = list.Selected().checked;
  context.run = "recover";
  context.asked = translation::Plural(checked, Tr("Runs", "Recover %1 checked entry."),
                                      Tr("Runs", "Recover %1 checked entries."))
                      .Fill(checked);
  run.summary = RecoverChecked(host, list);
  run.reportPath = WriteReport(
      host, report, context,
      PurgeReportText(context, run.summary.rows, DescribeRecover(run.summary)), run.reportError);
  return run;
}

}  // namespace wizardcore
