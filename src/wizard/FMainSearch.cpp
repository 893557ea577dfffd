// The search: a depth-first walk of the database that lists every item marked deleted.
#include "errors/ObjectRequired.h"
#include "errors/Procedure.h"
#include "platform/forms/Forms.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"
#include "wizard/DeletedEntry.h"
#include "wizard/FMain.h"

namespace wizard {

void FMain::SearchVssItem(const std::shared_ptr<sourcecontrol::IVSSItem>& item) {
  errors::Procedure proc("Scourwell.FMain.SearchVssItem");
  if (proc.If(100, [&] { return StopRequested; })) {
    return;
  }
  // An item whose deleted mark cannot be read is not listed: every entry starts checked and
  // would be destroyed by a purge.
  if (proc.If(
          101, [&] { return errors::Object(item).Deleted(); }, false)) {
    proc.Do(102, [&] { DeletedItems.Add(item, item->Spec()); });
    proc.Do(103, [&] {
      // The entry keeps the item it was listed for (the purge destroys exactly that one).
      auto entry = std::make_unique<DeletedEntry>(QString::fromStdString(item->Spec()), item);
      entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
      entry->setCheckState(Qt::Unchecked);
      List1.addItem(entry.release());  // the list owns its entries
    });
    proc.Do(104, [&] { List1.item(List1.count() - 1)->setCheckState(Qt::Checked); });
    proc.Do(105, [&] { forms::Current().DoEvents(); });
  }
  // 106: a failure to fetch the children (as for a file) means there are none.
  std::shared_ptr<sourcecontrol::IVSSItems> children;
  errors::CaptureError([&] { children = errors::Object(item).Items(true); });
  if (proc.If(
          107, [&] { return children && children->Count() > 0; }, false)) {
    proc.Do(108, [&] { lblSearchedFolder.setText(QString::fromStdString(item->Spec())); });
    const int count = children->Count();
    for (int index = 1; index <= count; ++index) {  // 109
      std::shared_ptr<sourcecontrol::IVSSItem> child;
      if (!proc.Do(109, [&] { child = children->Item(index); })) {
        continue;
      }
      proc.Do(110, [&] { SearchVssItem(child); });
      proc.Do(111, [&] { forms::Current().DoEvents(); });
      if (proc.If(112, [&] { return StopRequested; })) {
        break;
      }
    }
  }
}

}  // namespace wizard
