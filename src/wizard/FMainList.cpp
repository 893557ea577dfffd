// The item list on the selection page: the purge button follows the check boxes, and the
// check-all link checks or unchecks every entry.
#include "errors/Procedure.h"
#include "wizard/FMain.h"

namespace wizard {

void FMain::List1_ItemCheck(int /*index*/) {
  errors::Procedure proc("Scourwell.FMain.List1_ItemCheck");
  if (proc.If(100, [&] { return WizardStep != 2; })) {
    return;
  }
  bool any = false;  // 101
  const int count = List1.count();
  for (int index = 0; index < count; ++index) {  // 102
    proc.Do(103, [&] { any = any || List1.item(index)->checkState() == Qt::Checked; });
  }
  proc.Do(104, [&] { cmdNext.setEnabled(any); });
}

void FMain::lblCheckAll_Click() {
  errors::Procedure proc("Scourwell.FMain.lblCheckAll_Click");
  proc.Do(100, [&] { AllChecked = !AllChecked; });
  proc.Do(101, [&] { List1.setEnabled(false); });
  {
    // Each check change would run the purge-button rule over the whole list: the rule runs
    // once, after the loop, instead.
    checkingAll_ = true;
    const int count = List1.count();
    for (int index = 0; index < count; ++index) {  // 102
      proc.Do(103,
              [&] { List1.item(index)->setCheckState(AllChecked ? Qt::Checked : Qt::Unchecked); });
    }
    checkingAll_ = false;
  }
  proc.Do(104, [&] { List1.setEnabled(true); });
  proc.Do(105, [&] {
    lblCheckAll.setText(QString::fromLatin1(AllChecked ? "Uncheck" : "Check") +
                        QStringLiteral(" All"));
    lblCheckAll.adjustSize();  // the label sizes itself to its caption
  });
  List1_ItemCheck(-1);
}

}  // namespace wizard
