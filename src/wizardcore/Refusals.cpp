#include "wizardcore/Refusals.h"

#include "errors/Procedure.h"
#include "sourcecontrol/IVSSItem.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Host.h"

namespace wizardcore {

void MarkRefused(Host& host, DeletedList& list) {
  DeletedList::Batch batch(list);
  for (int index = 0; index < list.Size(); ++index) {
    const DeletedEntry& entry = list[index];
    if (entry.removed || !entry.item) {
      continue;
    }
    std::string reason;
    if (const errors::CapturedError error =
            errors::CaptureError([&] { reason = entry.item->DestroyRefusal(); })) {
      host.Log("Whether '" + entry.spec +
               "' can be destroyed could not be read: " + error.description);
    }
    if (!reason.empty()) {
      list.Refuse(index, reason);
    }
    host.DoEvents();
    if (host.StopRequested()) {
      return;
    }
  }
}

}  // namespace wizardcore
