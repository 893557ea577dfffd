// The link labels: the underline that follows the pointer, and the web and e-mail links.
#include "errors/Procedure.h"
#include "shell/CShell.h"
#include "wizard/FMain.h"

namespace wizard {

void FMain::UnderlineLabel(QLabel& label, bool underlined) {
  errors::Procedure proc("Scourwell.FMain.UnderlineLabel", report_);
  QLabel* working = nullptr;
  proc.Do(100, [&] { working = &label; });
  proc.Do(101, [&] {
    // The underline is written only when it changes.
    if (working->font().underline() != underlined) {
      QFont font = working->font();
      font.setUnderline(underlined);
      working->setFont(font);
    }
  });
}

void FMain::UnderlineLabels(const QLabel* label) {
  errors::Procedure proc("Scourwell.FMain.UnderlineLabels", report_);
  if (proc.If(100, [&] { return label == nullptr; })) {
    proc.Do(101, [&] { UnderlineLabel(lblCheckAll, false); });
    proc.Do(102, [&] { UnderlineLabel(lblEMail, false); });
    proc.Do(103, [&] { UnderlineLabel(lblWWW, false); });
    proc.Do(104, [&] { UnderlineLabel(lblChangePath, false); });
  } else {
    const QString name = label->objectName();  // exact, case-sensitive names
    proc.Do(105, [&] { UnderlineLabel(lblCheckAll, name == QStringLiteral("lblCheckAll")); });
    proc.Do(106, [&] { UnderlineLabel(lblEMail, name == QStringLiteral("lblEMail")); });
    proc.Do(107, [&] { UnderlineLabel(lblWWW, name == QStringLiteral("lblWWW")); });
    proc.Do(108, [&] { UnderlineLabel(lblChangePath, name == QStringLiteral("lblChangePath")); });
  }
}

// Pointer movements over the links underline them; errors are ignored there.
void FMain::lblCheckAll_MouseMove() {
  errors::CaptureError([&] { UnderlineLabels(&lblCheckAll); });
}

void FMain::lblWWW_MouseMove() {
  errors::CaptureError([&] { UnderlineLabels(&lblWWW); });
}

void FMain::lblChangePath_MouseMove() {
  errors::CaptureError([&] { UnderlineLabels(&lblChangePath); });
}

void FMain::lblEMail_MouseMove() {
  errors::CaptureError([&] { UnderlineLabels(&lblEMail); });
}

void FMain::lblWWW_Click() {
  errors::Procedure proc("Scourwell.FMain.lblWWW_Click", report_);
  proc.Do(100, [&] { UnderlineLabels(nullptr); });
  proc.Do(101, [&] { UnderlineLabel(lblWWW, false); });
  proc.Do(102, [&] { shell::CShell().OpenUrl("http://" + std::string(WebHost())); });
}

void FMain::lblEMail_Click() {
  errors::Procedure proc("Scourwell.FMain.lblEMail_Click", report_);
  proc.Do(100, [&] { UnderlineLabels(nullptr); });
  proc.Do(101, [&] { UnderlineLabel(lblEMail, false); });
  proc.Do(102, [&] { shell::CShell().OpenUrl("mailto:" + std::string(EMailAddress())); });
}

}  // namespace wizard
