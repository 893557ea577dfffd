// The login page's fields: each selects its whole text on focus, and "Change" picks the
// database folder in the folder dialog.
#include <algorithm>

#include "errors/Procedure.h"
#include "platform/translation/Tr.h"
#include "platform/windowing/QtWindowing.h"
#include "shell/CBrowseForFolder.h"
#include "wizard/FMain.h"

namespace wizard {

using translation::Tr;
namespace {

// Selection start 0, length 65535: the field limits the length to its text, so all of it is
// selected and typing replaces it.
void SelectAll(const char* source, errors::Reporter& reporter, QLineEdit& field) {
  errors::Procedure proc(source, reporter);
  proc.Do(100, [&] { field.setCursorPosition(0); });
  proc.Do(101, [&] { field.setSelection(0, std::min<int>(65535, field.text().size())); });
}

}  // namespace

void FMain::txtLoginName_GotFocus() {
  SelectAll("Scourwell.FMain.txtLoginName_GotFocus", report_, txtLoginName);
}

void FMain::ForgetPassword() noexcept {
  // The copy shares the field's text; once the field has let go of it the copy holds the only
  // reference, so writing to it wipes that very buffer rather than a copy of it.
  QString text = txtPassword.text();
  // setText, not clear(): clearing is an edit that the undo history keeps, with the text.
  txtPassword.setText(QString());
  if (!text.isEmpty()) {
    std::fill(text.data(), text.data() + text.size(), QChar(u'\0'));
  }
}

void FMain::txtPassword_GotFocus() {
  SelectAll("Scourwell.FMain.txtPassword_GotFocus", report_, txtPassword);
}

void FMain::UseDatabasePath(const QString& path) { txtVssDb.setText(path); }

void FMain::txtVssDb_GotFocus() {
  SelectAll("Scourwell.FMain.txtVssDb_GotFocus", report_, txtVssDb);
}

void FMain::lblChangePath_Click() {
  errors::Procedure proc("Scourwell.FMain.lblChangePath_Click", report_);
  proc.Do(100, [&] { UnderlineLabels(nullptr); });
  shell::CBrowseForFolder picker;  // one for this click, released when it ends
  proc.Do(101, [&] {
    picker.Init(txtVssDb.text().toStdString(),
                static_cast<std::intptr_t>(windowing::QtWindowing::HandleOf(*this)),
                Tr("FMain", "VSS Database Location").Str(), 1);
  });
  bool chosen = false;
  proc.Do(102, [&] { chosen = picker.Browse(); });
  // After a cancel, or a reported failure of the browse, the field keeps what the user typed.
  if (proc.If(
          103, [&] { return chosen; }, false)) {
    txtVssDb.setText(QString::fromStdString(picker.SelectedPath()));
  }
}

}  // namespace wizard
