// The recover of the checked entries: the question, the run on the progress page, and its
// account on the finish page.
#include "errors/Procedure.h"
#include "platform/forms/Forms.h"
#include "platform/translation/Tr.h"
#include "wizard/FMain.h"
#include "wizardcore/Runs.h"
#include "wizardcore/Wording.h"

namespace wizard {

using translation::Tr;

void FMain::cmdRecover_Click() {
  errors::Procedure proc("Scourwell.FMain.cmdRecover_Click", report_);
  const int checked = listed_.Selected().checked;
  if (proc.If(100, [&] { return checked == 0; })) {
    proc.Do(101, [&] {
      forms::Current().MsgBox(Tr("FMain", "Check the entries to recover first.").Str(),
                              forms::vbOKOnly | forms::vbInformation, kAppTitle);
    });
    return;
  }
  // No is the default, as for a purge: Enter never changes the database.
  if (!proc.If(
          102,
          [&] {
            return forms::Current().MsgBox(
                       wizardcore::RecoverPrompt(checked, CheckedHidden()),
                       forms::vbYesNo | forms::vbQuestion | forms::vbDefaultButton2,
                       kAppTitle) == forms::vbYes;
          },
          false)) {
    return;
  }
  running_ = true;
  proc.Do(103, [&] { WizardStep = 3; });
  proc.Do(104, [&] { SetControls(); });
  proc.Do(105, [&] { cmdNext.setEnabled(false); });
  proc.Do(106, [&] { StopRequested = false; });
  proc.Do(107, [&] { cmdCancel.setText(Tr("FMain", "&Stop")); });
  proc.Do(108, [&] { SetBorder(Shape3, false); });
  proc.Do(109, [&] { SetBorder(Shape4, true); });
  proc.Do(110, [&] { cmdCancel.setFocus(); });
  proc.Do(111, [&] { SetHourglass(true); });
  wizardcore::RecoverRun run;
  proc.Do(112, [&] {
    wizardcore::DeletedItemsModel::Hold hold(listModel_);
    wizardcore::PurgeContext context;
    context.database = txtVssDb.text().toStdString();
    context.user = txtLoginName.text().toStdString();
    run = wizardcore::RunRecover(host_, listed_, context);
  });
  proc.Do(113, [&] { SetHourglass(false); });
  proc.Do(114, [&] { lblPurgeFileName.hide(); });
  proc.Do(115, [&] { lblNowPurging.setText(Tr("FMain", "Finished.")); });
  proc.Do(116, [&] {
    lblSummary.setText(QString::fromStdString(wizardcore::DescribeRecover(run.summary)));
    lblSummary.show();
    ShowOutcomes(run.summary.rows, wizardcore::Outcome::Recovered);
    lblKeptCopy.hide();
  });
  proc.Do(117, [&] { ShowReportLink("recover", run.reportPath, run.reportError); });
  proc.Do(118, [&] { cmdCancel.setText(Tr("FMain", "&Close")); });
  proc.Do(119, [&] { SetBorder(Shape4, false); });
  proc.Do(120, [&] { SetBorder(Shape5, true); });
  proc.Do(121, [&] { repaint(); });
  running_ = false;
  if (closeRequested_) {
    close();  // the close box was used while the run pumped messages
  }
}

}  // namespace wizard
