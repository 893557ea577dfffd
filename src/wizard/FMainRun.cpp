// The search and the purge, run by wizardcore with the window as their host; the question asked
// before a purge and the account of it on the finish page.
#include <QUrl>
#include <iostream>

#include "errors/ObjectRequired.h"
#include "errors/Procedure.h"
#include "platform/forms/Forms.h"
#include "platform/text/Printable.h"
#include "platform/translation/Tr.h"
#include "shell/CShell.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "wizard/FMain.h"
#include "wizardcore/KeptCopies.h"
#include "wizardcore/PurgeRules.h"
#include "wizardcore/Runs.h"
#include "wizardcore/Wording.h"

namespace wizard {

using translation::Tr;

void FMain::SearchVssItem(const std::shared_ptr<sourcecontrol::IVSSItem>& item) {
  // The list's page is hidden during the search: its view learns what was found at the end.
  wizardcore::DeletedItemsModel::Hold hold(listModel_);
  wizardcore::ListDeleted(host_, listed_, DeletedItems, item);
  // The search's line stands again after the refusal pass's own.
  if (lblSearchedFolder.isHidden()) {
    lblNowSearchingIn.setText(Tr("FMain", "Now searching in:"));
    lblNowSearchingIn.adjustSize();
    lblSearchedFolder.show();
  }
}

void FMain::PurgeVssItems() {
  wizardcore::PurgeRequest request;
  request.context = asked_;
  request.context.database = txtVssDb.text().toStdString();
  request.context.user = txtLoginName.text().toStdString();
  request.keepIn = KeptCopyFolder();
  request.beforeDestroys = [this](const std::string& keptCopy) { ShowKeptCopy(keptCopy); };
  ShowKeptCopy({});
  wizardcore::PurgeRun run;
  {
    // The list's page is hidden during the purge: its view learns what left once, at the end.
    wizardcore::DeletedItemsModel::Hold hold(listModel_);
    run = wizardcore::RunPurge(host_, listed_, DeletedItems, Database.get(), request);
  }
  if (run.notStarted) {
    // Nothing was destroyed without the copy the user was told of: the reason is all there is.
    lblSummary.setText(QString::fromStdString(run.notStarted.description));
    lblSummary.show();
    txtOutcomes.hide();
    LayOutSummary();
    lblReport.hide();
    return;
  }
  ShowReportLink("purge", run.reportPath, run.reportError);
  std::string summary = wizardcore::DescribeSummary(run.summary);
  if (!run.afterAdvice.empty()) {
    summary += "\n" + run.afterAdvice;
  }
  // Copies pile up, one a purge: how many the folder holds now, and how much they take.
  if (!run.keptCopy.empty()) {
    errors::CaptureError([&] {
      summary += "\n" + wizardcore::DescribeKeptCopies(wizardcore::KeptCopiesIn(
                            std::filesystem::path(run.keptCopy).parent_path()));
    });
  }
  lblSummary.setText(QString::fromStdString(summary));
  lblSummary.show();
  ShowOutcomes(run.outcomes, wizardcore::Outcome::Destroyed);
}

bool FMain::ConfirmPurge() {
  const wizardcore::Selection selection = listed_.Selected();
  asked_ = {};
  asked_.asked = wizardcore::DescribeTotals(selection);
  asked_.hidden = CheckedHidden();
  errors::CaptureError([&] { asked_.advice = errors::Object(Database).PurgeAdvice(); });
  if (!wizardcore::AskBeforePurge(selection)) {
    return true;
  }
  std::string paragraphs = asked_.advice;
  if (const std::optional<std::filesystem::path> folder = KeptCopyFolder()) {
    paragraphs += (paragraphs.empty() ? "" : "\r\n\r\n") +
                  wizardcore::KeepCopyNote(folder->string(), selection.takes.bytes);
  }
  // No is the default: Enter never purges, least of all entries the filter hides.
  return forms::Current().MsgBox(
             wizardcore::ConfirmationPrompt(selection, asked_.hidden, paragraphs),
             forms::vbYesNo | forms::vbExclamation | forms::vbDefaultButton2,
             wizardcore::ConfirmationTitle(kAppTitle, asked_.hidden)) == forms::vbYes;
}

void FMain::ShowReportLink(const std::string& run, const std::string& path,
                           const errors::CapturedError& error) {
  reportPath_ = path;
  if (error) {
    lblReport.setText(QString::fromStdString(error.description));
  } else {
    lblReport.setText((run == "recover" ? Tr("FMain", "Open the recover report (%1)")
                                        : Tr("FMain", "Open the purge report (%1)"))
                          .FillQ(reportPath_));
  }
  lblReport.setToolTip(QString::fromStdString(reportPath_));
  lblReport.show();
}

void FMain::ShowOutcomes(const std::vector<wizardcore::OutcomeRow>& outcomes,
                         wizardcore::Outcome success) {
  QString lines;
  for (const wizardcore::OutcomeRow& row : outcomes) {
    if (row.outcome == success) {
      continue;
    }
    // One line each, whatever the names hold.
    lines += QString::fromStdString(wizardcore::ShownOutcomeWord(row.outcome) + ": " +
                                    text::Printable(row.label, true));
    if (row.error) {
      lines += QString::fromStdString(" (" + std::to_string(row.error.number) + ") " +
                                      text::Printable(row.error.description));
    } else if (!row.reason.empty()) {
      lines += QString::fromStdString(" (" + text::Printable(row.reason) + ")");
    }
    lines += QLatin1Char('\n');
  }
  txtOutcomes.setPlainText(lines);
  txtOutcomes.setVisible(!lines.isEmpty());
  LayOutSummary();
}

void FMain::lblReport_Click() { OpenFileLink("Scourwell.FMain.lblReport_Click", reportPath_); }

void FMain::OpenFileLink(const char* procedure, const std::string& path) {
  errors::Procedure proc(procedure, report_);
  if (!path.empty()) {
    // As the web link opens the site: the desktop's handler for the URL (a text viewer for a
    // report, an archive manager for a copy).
    proc.Do(100, [&] {
      shell::CShell().OpenUrl(QUrl::fromLocalFile(QString::fromStdString(path))
                                  .toString(QUrl::FullyEncoded)
                                  .toStdString());
    });
  }
}

void FMain::RunHost::StatementFailed(const std::string& source, std::int32_t line,
                                     const errors::CapturedError& error) noexcept {
  window_.report_.StatementFailed(source, line, error);
}

void FMain::RunHost::DoEvents() { forms::Current().DoEvents(); }

void FMain::RunHost::ShowSearchedFolder(const std::string& spec) {
  window_.lblSearchedFolder.setText(QString::fromStdString(spec));
}

void FMain::RunHost::ShowChecking(const std::string& line) {
  // In the place of the search's line, which the pass follows on the same page.
  window_.lblSearchedFolder.hide();
  window_.lblNowSearchingIn.setText(QString::fromStdString(line));
  window_.lblNowSearchingIn.adjustSize();
}

void FMain::RunHost::ShowNowPurging(const std::string& caption) {
  window_.lblNowPurging.setText(QString::fromStdString(caption));
}

void FMain::RunHost::ShowPurgeFileName(const std::string& spec) {
  window_.lblPurgeFileName.setText(QString::fromStdString(spec));
}

void FMain::RunHost::Log(const std::string& line) { std::cerr << line << std::endl; }

}  // namespace wizard
