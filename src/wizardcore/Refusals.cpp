#include "wizardcore/Refusals.h"

#include "errors/Procedure.h"
#include "platform/translation/Tr.h"
#include "sourcecontrol/IVSSItem.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Host.h"

namespace wizardcore {

using translation::Tr;

void MarkRefused(Host& host, DeletedList& list) {
  DeletedList::Batch batch(list);
  int unknown = 0;  // answers that could not be read: the first is logged, the others counted
  int asked = 0;
  for (int index = 0; index < list.Size(); ++index) {
    const DeletedEntry& entry = list[index];
    if (entry.removed || !entry.item) {
      continue;
    }
    host.ShowChecking(Tr("Refusals", "Checking which entries can be purged: %1 of %2")
                          .Fill(++asked, list.Count()));
    std::string reason;
    if (const errors::CapturedError error =
            errors::CaptureError([&] { reason = entry.item->DestroyRefusal(); });
        error && unknown++ == 0) {
      host.Log("Whether '" + entry.spec +
               "' can be destroyed could not be read: " + error.description);
    }
    if (!reason.empty()) {
      list.Refuse(index, reason);
    }
    host.DoEvents();
    if (host.StopRequested()) {
      break;
    }
  }
  if (unknown > 1) {
    host.Log("Whether " + std::to_string(unknown - 1) +
             " more entries can be destroyed could not be read either");
  }
}

}  // namespace wizardcore
