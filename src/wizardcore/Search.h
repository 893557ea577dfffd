#pragma once

#include <memory>

#include "wizardcore/DeletedEntry.h"

namespace sourcecontrol {
class IVSSItem;
}

namespace wizardcore {

class DeletedItemCollection;
class DeletedList;
class Host;

// The search: a depth-first walk from an item down that lists every item marked deleted, each
// checked, and keeps the item under its spec. Beside each entry it counts what a destroy of it
// would take, from what the walk reads anyway: every item below it, live and deleted, and their
// sizes. Projects whose children cannot be fetched are noted as unread.
class Search {
 public:
  Search(Host& host, DeletedList& list, DeletedItemCollection& items)
      : host_(host), list_(list), items_(items) {}

  // One call of the walk, numbered statements 100 to 112; calls itself for each child.
  void SearchVssItem(const std::shared_ptr<sourcecontrol::IVSSItem>& item);

 private:
  // SearchVssItem, giving back what the item and everything below it that the walk read hold.
  Tally Visit(const std::shared_ptr<sourcecontrol::IVSSItem>& item);

  Host& host_;
  DeletedList& list_;
  DeletedItemCollection& items_;
  int listedAbove_ = -1;  // the entry of the nearest listed project the walk is inside
};

}  // namespace wizardcore
