// The item list on the selection page: the purge button follows the check boxes, the check-all
// link checks or unchecks every entry, the filter field narrows what the list shows and its two
// buttons set the boxes of the entries shown; the lines under the list say what the checked
// entries take and why the list may be incomplete.
#include "errors/Procedure.h"
#include "platform/translation/Tr.h"
#include "wizard/FMain.h"
#include "wizardcore/PurgeRules.h"
#include "wizardcore/Wording.h"

namespace wizard {

using translation::Tr;

void FMain::List1_ItemCheck(int /*index*/) {
  errors::Procedure proc("Scourwell.FMain.List1_ItemCheck", report_);
  if (proc.If(100, [&] { return WizardStep != 2; })) {
    return;
  }
  bool any = false;  // 101
  const int count = listed_.Size();
  for (int index = 0; index < count; ++index) {  // 102
    proc.Do(103, [&] { any = any || (listed_[index].checked && !listed_[index].removed); });
  }
  // Nothing can be purged by a user who may not destroy.
  proc.Do(104, [&] { cmdNext.setEnabled(wizardcore::PurgeAllowed(any, mayDestroy_)); });
  proc.Do(104, [&] { ShowSelection(); });
}

void FMain::lblCheckAll_Click() {
  errors::Procedure proc("Scourwell.FMain.lblCheckAll_Click", report_);
  proc.Do(100, [&] { AllChecked = !AllChecked; });
  proc.Do(101, [&] { List1.setEnabled(false); });
  {
    // The list is told once, after the loop; every entry takes the same state, so the rule
    // between the boxes has nothing to add.
    wizardcore::DeletedList::Batch batch(listed_);
    const int count = listed_.Size();
    for (int index = 0; index < count; ++index) {  // 102
      proc.Do(103, [&] { listed_.SetChecked(index, AllChecked); });
    }
  }
  proc.Do(104, [&] { List1.setEnabled(true); });
  proc.Do(105, [&] {
    lblCheckAll.setText(AllChecked ? Tr("FMain", "Uncheck All") : Tr("FMain", "Check All"));
    lblCheckAll.adjustSize();  // the label sizes itself to its caption
  });
  // The purge button's rule, once for the whole loop.
  List1_ItemCheck(-1);
}

void FMain::txtFilter_Change() {
  errors::Procedure proc("Scourwell.FMain.txtFilter_Change", report_);
  proc.Do(100, [&] { shownEntries_.SetPattern(txtFilter.text().toStdString()); });
  proc.Do(101, [&] { ShowCount(); });
}

void FMain::chkDeletedBefore_Click() {
  errors::Procedure proc("Scourwell.FMain.chkDeletedBefore_Click", report_);
  proc.Do(100, [&] { dtpDeletedBefore.setEnabled(chkDeletedBefore.isChecked()); });
  proc.Do(101, [&] { dtpDeletedBefore_Change(); });
}

void FMain::dtpDeletedBefore_Change() {
  errors::Procedure proc("Scourwell.FMain.dtpDeletedBefore_Change", report_);
  proc.Do(100, [&] {
    shownEntries_.SetDeletedBefore(
        chkDeletedBefore.isChecked()
            ? wizardcore::ParseIsoDate(dtpDeletedBefore.date().toString(Qt::ISODate).toStdString())
            : std::nullopt);
  });
  proc.Do(101, [&] { ShowCount(); });
}

void FMain::ShowCount() {
  lblCount.setText(QString::fromStdString(
      wizardcore::DescribeCount(static_cast<int>(shownEntries_.Shown().size()), listed_.Count())));
}

int FMain::CheckedHidden() const {
  return wizardcore::CheckedHidden(listed_, shownEntries_.Shown());
}

void FMain::cmdCheckShown_Click() { CheckShown(true); }

void FMain::cmdUncheckShown_Click() { CheckShown(false); }

// Sets the boxes of the entries the filter shows, with the rule between the boxes; hidden
// entries change only where the rule asks it (the projects above an unchecked entry, the
// entries below a checked project).
void FMain::CheckShown(bool checked) {
  errors::Procedure proc(
      checked ? "Scourwell.FMain.cmdCheckShown_Click" : "Scourwell.FMain.cmdUncheckShown_Click",
      report_);
  proc.Do(100, [&] { listed_.CheckEach(shownEntries_.Shown(), checked); });
  proc.Do(101, [&] { List1_ItemCheck(-1); });
}

void FMain::ShowSelection() {
  lblSelection.setText(QString::fromStdString(wizardcore::DescribeSelection(listed_.Selected())));
}

void FMain::ShowNotice() {
  std::string notice = wizardcore::DescribeUnread(listed_.Unread());
  if (mayDestroy_ != true) {
    const std::string user = txtLoginName.text().toStdString();
    notice += std::string(notice.empty() ? "" : "\n") +
              (mayDestroy_.has_value()
                   ? Tr("FMain",
                        "User '%1' may not destroy items in this database, so nothing can be "
                        "purged.")
                         .Fill(user)
                   : Tr("FMain",
                        "Scourwell could not read whether user '%1' may destroy items in this "
                        "database, so nothing can be purged.")
                         .Fill(user));
  }
  // The line names the first few projects that could not be read; its tip names them all.
  std::string all = notice;
  if (!listed_.Unread().empty()) {
    all += "\n";
    for (const wizardcore::UnreadProject& unread : listed_.Unread()) {
      all += "\n" + unread.spec + (unread.reason.empty() ? "" : ": " + unread.reason);
    }
  }
  lblNotice.setText(QString::fromStdString(notice));
  lblNotice.setToolTip(QString::fromStdString(all));
  lblNotice.setVisible(!notice.empty());
  LayOutList();
}

}  // namespace wizard
