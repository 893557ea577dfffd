// The wizard's flow: the pages, the busy pointer, the forward button and the Close/Stop button.
#include <string.h>

#include <QApplication>

#include "engines/factory/NewVSSDatabase.h"
#include "errors/ObjectRequired.h"
#include "errors/Procedure.h"
#include "platform/forms/Forms.h"
#include "platform/translation/Tr.h"
#include "settings/SettingsFile.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "sourcecontrol/IVSSItem.h"
#include "wizard/FMain.h"
#include "wizardcore/Wording.h"

namespace wizard {

using translation::Tr;

void FMain::SetControls() {
  errors::Procedure proc("Scourwell.FMain.SetControls", report_);
  proc.Do(100, [&] { frmHost(0).hide(); });
  proc.Do(101, [&] { frmHost(1).hide(); });
  proc.Do(102, [&] { frmHost(2).hide(); });
  // 102 again, a statement added to the line: the recover button belongs to the selection page.
  proc.Do(102, [&] {
    cmdRecover.setVisible(WizardStep == 2);
    cmdView.setVisible(WizardStep == 2);
  });
  switch (WizardStep) {  // 103
    case 1:
      proc.Do(104, [&] { frmHost(0).show(); });
      break;
    case 2:
      proc.Do(106, [&] { frmHost(1).show(); });
      break;
    case 3:
      proc.Do(108, [&] { frmHost(2).show(); });
      break;
    default:
      break;
  }
}

void FMain::SetHourglass(bool on) {
  errors::Procedure proc("Scourwell.FMain.SetHourglass", report_);
  proc.Do(100, [&] {
    forms::Current().SetScreenMousePointer(on ? forms::MousePointer::Hourglass
                                              : forms::MousePointer::Default);
  });
  proc.Do(101, [&] { Busy = on; });
}

void FMain::cmdCancel_MouseMove() {
  // Errors ignored: hovering never reports.
  errors::CaptureError([&] {
    if (forms::Current().ScreenMousePointer() == forms::MousePointer::Hourglass) {
      forms::Current().SetScreenMousePointer(forms::MousePointer::Default);
    }
  });
}

void FMain::Form_MouseMove() {
  errors::CaptureError([&] { UnderlineLabels(nullptr); });
  errors::CaptureError([&] {
    const bool hourglass = forms::Current().ScreenMousePointer() == forms::MousePointer::Hourglass;
    if (hourglass != Busy) {
      forms::Current().SetScreenMousePointer(Busy ? forms::MousePointer::Hourglass
                                                  : forms::MousePointer::Default);
    }
  });
}

void FMain::frmHost_MouseMove(int /*index*/) { Form_MouseMove(); }

void FMain::List1_MouseMove() { Form_MouseMove(); }

void FMain::cmdNext_Click() {
  errors::Procedure proc("Scourwell.FMain.cmdNext_Click", report_);
  running_ = true;
  switch (WizardStep) {  // 100
    case 1: {
      // Connect and search.
      proc.Do(101,
              [&] { Database = sourcecontrol::NewVSSDatabase(txtVssDb.text().toStdString()); });
      proc.Do(102, [&] { DeletedItems = wizardcore::DeletedItemCollection(); });
      // 103 to 107: the open's errors are kept, not reported.
      const errors::CapturedError hourglassError =
          errors::CaptureError([&] { SetHourglass(true); });
      const errors::CapturedError openError = errors::CaptureError([&] {
        // Names in a SourceSafe 6 database are in the code page of the machine that wrote them:
        // General\CodePage in the settings names it ("GBK"); unset or unreadable, the default.
        std::string codePage;
        errors::CaptureError([&] {
          const settings::SettingValue value =
              errors::Object(AppSettings)
                  .GetSetting("General", "CodePage", settings::SettingValue::Text(""));
          codePage = value.IsText() ? value.AsText() : std::string();
        });
        errors::Object(Database).SetNameCodePage(codePage);
        // The copies of the password made here are wiped as soon as the open is done.
        QByteArray utf8 = txtPassword.text().toUtf8();
        std::string password(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        explicit_bzero(utf8.data(), static_cast<std::size_t>(utf8.size()));
        const auto wipe = [&] { explicit_bzero(password.data(), password.size()); };
        try {
          errors::Object(Database).Open(txtVssDb.text().toStdString(),
                                        txtLoginName.text().toStdString(), password);
        } catch (...) {
          wipe();
          throw;
        }
        wipe();
      });
      const errors::CapturedError& kept = openError ? openError : hourglassError;  // 105, 106
      proc.Do(107, [&] { SetHourglass(false); });
      if (proc.If(108, [&] { return kept.number != 0; })) {
        proc.Do(151, [&] {
          forms::Current().MsgBox(
              Tr("FMain", "Could not connect to the VSS database.\r\n\r\nDetails: %1")
                  .Fill(kept.description),
              forms::vbOKOnly | forms::vbCritical, kAppTitle);
        });
        break;
      }
      // The password is not needed again: the field is disabled from here on (117), and the
      // window keeps no copy of it for the rest of its life.
      ForgetPassword();
      // The login is remembered only after a successful open; the password never.
      proc.Do(109, [&] {
        settings::NamingTheSettingsFile([&] {
          errors::Object(AppSettings)
              .SaveSetting("General", "LoginName",
                           settings::SettingValue::Text(txtLoginName.text().toStdString()));
        });
      });
      proc.Do(110, [&] {
        settings::NamingTheSettingsFile([&] {
          errors::Object(AppSettings)
              .SaveSetting("General", "VssDb",
                           settings::SettingValue::Text(txtVssDb.text().toStdString()));
        });
      });
      proc.Do(111, [&] { cmdNext.setEnabled(false); });
      proc.Do(112, [&] { StopRequested = false; });
      proc.Do(113, [&] { cmdCancel.setText(Tr("FMain", "&Stop")); });
      proc.Do(114, [&] { forms::Current().DoEvents(); });
      proc.Do(115, [&] { cmdCancel.setFocus(); });
      proc.Do(116, [&] { txtLoginName.setEnabled(false); });
      proc.Do(117, [&] { txtPassword.setEnabled(false); });
      proc.Do(118, [&] { txtVssDb.setEnabled(false); });
      proc.Do(119, [&] { lblChangePath.setEnabled(false); });
      proc.Do(120, [&] { SetBorder(Shape1, false); });
      proc.Do(121, [&] { SetBorder(Shape2, true); });
      proc.Do(122, [&] { repaint(); });
      proc.Do(123, [&] {
        listed_.Clear();
        mayDestroy_.reset();
      });
      proc.Do(124, [&] {
        lblPleaseWait.setText(Tr("FMain",
                                 "Please wait until Scourwell builds the list of items that are "
                                 "deleted but not purged."));
      });
      proc.Do(125, [&] { lblNowSearchingIn.show(); });
      proc.Do(126, [&] { lblSearchedFolder.show(); });
      proc.Do(127, [&] { SetHourglass(true); });
      proc.Do(128, [&] { SearchVssItem(errors::Object(Database).VSSItem("$/", false)); });
      proc.Do(129, [&] { SetHourglass(false); });
      if (!proc.If(130, [&] { return listed_.Count() == 0; })) {
        proc.Do(131, [&] { WizardStep = 2; });
        proc.Do(132, [&] { SetControls(); });
        proc.Do(133, [&] { SetBorder(Shape2, false); });
        proc.Do(134, [&] { SetBorder(Shape3, true); });
        proc.Do(135, [&] { repaint(); });
        proc.Do(136, [&] { AllChecked = true; });
        proc.Do(137,
                [&] { lblCount.setText(Tr("FMain", "%1 items found").FillQ(listed_.Count())); });
        // 137 again, a statement added to the line: what the checked entries take.
        proc.Do(137, [&] { ShowSelection(); });
        proc.Do(138, [&] { cmdNext.setText(Tr("FMain", "&Purge >>")); });
        // 139 again, statements added to the line: the button is enabled only for a user who may
        // destroy, and the notice says why otherwise and why the list may be incomplete.
        proc.Do(139, [&] { mayDestroy_ = errors::Object(Database).MayDestroy(); });
        proc.Do(139, [&] { cmdNext.setEnabled(mayDestroy_.value_or(false)); });
        proc.Do(139, [&] { ShowNotice(); });
        proc.Do(140, [&] { cmdCancel.setText(Tr("FMain", "&Close")); });
        proc.Do(141, [&] { forms::Current().DoEvents(); });
        proc.Do(142, [&] { cmdNext.setFocus(); });
        break;
      }
      proc.Do(143, [&] { WizardStep = 3; });
      proc.Do(144, [&] { SetControls(); });
      proc.Do(145, [&] { SetBorder(Shape2, false); });
      proc.Do(146, [&] { SetBorder(Shape5, true); });
      proc.Do(147, [&] { repaint(); });
      proc.Do(148, [&] { lblPurgeFileName.hide(); });
      proc.Do(149, [&] { lblNowPurging.setText(Tr("FMain", "No deleted items found.")); });
      // 149 again, a statement added to the line: nothing found may still not be everything, so
      // say which projects could not be read.
      proc.Do(149, [&] {
        lblSummary.setText(QString::fromStdString(wizardcore::DescribeUnread(listed_.Unread())));
        lblSummary.setVisible(!listed_.Unread().empty());
        LayOutSummary();
      });
      proc.Do(150, [&] { cmdCancel.setText(Tr("FMain", "&Close")); });
      break;
    }
    case 2:
      // Purge, once the user has said yes to what it will destroy; No keeps the page as it is.
      // 152 is new here: the question asked before the purge.
      if (!proc.If(
              152, [&] { return ConfirmPurge(); }, false)) {
        break;
      }
      proc.Do(153, [&] { WizardStep = 3; });
      proc.Do(154, [&] { SetControls(); });
      proc.Do(155, [&] { cmdNext.setEnabled(false); });
      proc.Do(156, [&] { StopRequested = false; });
      proc.Do(157, [&] { cmdCancel.setText(Tr("FMain", "&Stop")); });
      proc.Do(158, [&] { SetBorder(Shape3, false); });
      proc.Do(159, [&] { SetBorder(Shape4, true); });
      proc.Do(160, [&] { forms::Current().DoEvents(); });
      proc.Do(161, [&] { cmdCancel.setFocus(); });
      proc.Do(162, [&] { SetHourglass(true); });
      proc.Do(163, [&] { PurgeVssItems(); });
      proc.Do(164, [&] { SetHourglass(false); });
      proc.Do(165, [&] { lblPurgeFileName.hide(); });
      proc.Do(166, [&] { lblNowPurging.setText(Tr("FMain", "Finished.")); });
      proc.Do(167, [&] { cmdCancel.setText(Tr("FMain", "&Close")); });
      proc.Do(168, [&] { SetBorder(Shape4, false); });
      proc.Do(169, [&] { SetBorder(Shape5, true); });
      proc.Do(170, [&] { repaint(); });
      break;
    default:
      break;
  }
  running_ = false;
  if (closeRequested_) {
    close();  // the close box was used while the run pumped messages
  }
}

void FMain::cmdCancel_Click() {
  errors::Procedure proc("Scourwell.FMain.cmdCancel_Click", report_);
  if (proc.If(100, [&] { return cmdCancel.text() == Tr("FMain", "&Close").Q(); })) {
    proc.Do(101, [&] { close(); });
  } else if (proc.If(102, [&] { return cmdCancel.text() == Tr("FMain", "&Stop").Q(); })) {
    proc.Do(103, [&] { StopRequested = true; });
  }
}

}  // namespace wizard
