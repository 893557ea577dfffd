// The purge run: destroys the items of the checked entries, from the bottom of the list up.
#include "errors/ObjectRequired.h"
#include "errors/Procedure.h"
#include "platform/forms/Forms.h"
#include "sourcecontrol/IVSSItem.h"
#include "wizard/DeletedEntry.h"
#include "wizard/FMain.h"

namespace wizard {

void FMain::PurgeVssItems() {
  errors::Procedure proc("Scourwell.FMain.PurgeVssItems");
  // Counting pass. Entry counts and indexes are plain int: a list may hold more than 32,767.
  int total = 0;                                              // 100
  for (int index = List1.count() - 1; index >= 0; --index) {  // 101
    // An entry whose check state cannot be read is counted.
    if (proc.If(102, [&] { return List1.item(index)->checkState() == Qt::Checked; })) {
      proc.Do(103, [&] { ++total; });
    }
    proc.Do(104, [&] { forms::Current().DoEvents(); });
    if (proc.If(105, [&] { return StopRequested; })) {
      return;
    }
  }

  // Purge pass. Removing entry i never shifts an entry still to be visited.
  int current = 0;                                            // 106
  for (int index = List1.count() - 1; index >= 0; --index) {  // 107
    // An entry whose check state cannot be read is not destroyed.
    if (!proc.If(
            108, [&] { return List1.item(index)->checkState() == Qt::Checked; }, false)) {
      continue;
    }
    proc.Do(109, [&] { ++current; });
    proc.Do(110, [&] {
      lblNowPurging.setText(QStringLiteral("Now purging item (%1/%2):").arg(current).arg(total));
    });
    proc.Do(111, [&] { lblPurgeFileName.setText(List1.item(index)->text()); });
    proc.Do(112, [&] { forms::Current().DoEvents(); });
    // 113: the entry's own item, the very one the search listed for it.
    std::shared_ptr<sourcecontrol::IVSSItem> item;
    const bool found = proc.Do(113, [&] {
      item = Entry(index).Item();
      errors::Object(item);
    });
    if (found) {
      proc.Do(114, [&] { errors::Object(item).Destroy(); });
    }
    proc.Do(115, [&] {
      // The collection holds only the first of two items with the same spec; the key goes with
      // that item's entry.
      const std::string key = List1.item(index)->text().toStdString();
      if (DeletedItems.Holds(key, item.get())) {
        DeletedItems.Remove(key);
      }
    });
    proc.Do(116, [&] { std::unique_ptr<QListWidgetItem> removed(List1.takeItem(index)); });
    proc.Do(117, [&] { forms::Current().DoEvents(); });
    if (proc.If(118, [&] { return StopRequested; })) {
      return;
    }
  }
}

}  // namespace wizard
