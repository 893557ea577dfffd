// View: the latest content of the entry under the cursor, opened by the desktop's viewer from a
// private file that goes with the window.
#include <QUrl>

#include "errors/ObjectRequired.h"
#include "errors/Procedure.h"
#include "platform/forms/Forms.h"
#include "platform/translation/Tr.h"
#include "shell/CShell.h"
#include "wizard/FMain.h"

namespace wizard {

using translation::Tr;

void FMain::cmdView_Click() {
  errors::Procedure proc("Scourwell.FMain.cmdView_Click", report_);
  const QModelIndex current = List1.currentIndex();
  if (proc.If(100, [&] { return !current.isValid(); })) {
    proc.Do(101, [&] {
      forms::Current().MsgBox(Tr("FMain", "Select an entry to view first.").Str(),
                              forms::vbOKOnly | forms::vbInformation, kAppTitle);
    });
    return;
  }
  std::string path;
  std::string why;
  proc.Do(102, [&] {
    const wizardcore::DeletedEntry& entry =
        listModel_.Entry(shownEntries_.mapToSource(current).row());
    // A content that cannot be read or written is said in a box of its own: it is no fault of
    // the window's.
    if (const errors::CapturedError error = errors::CaptureError(
            [&] { path = views_.Write(errors::Object(entry.item)).string(); })) {
      why = error.description;
    }
  });
  if (proc.If(103, [&] { return !why.empty(); })) {
    proc.Do(104, [&] {
      forms::Current().MsgBox(Tr("FMain", "The content cannot be shown: %1").Fill(why),
                              forms::vbOKOnly | forms::vbExclamation, kAppTitle);
    });
    return;
  }
  proc.Do(105, [&] {
    shell::CShell().OpenUrl(QUrl::fromLocalFile(QString::fromStdString(path))
                                .toString(QUrl::FullyEncoded)
                                .toStdString());
  });
}

}  // namespace wizard
