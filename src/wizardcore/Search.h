#pragma once

#include <memory>
#include <vector>

#include "errors/Procedure.h"
#include "wizardcore/DeletedEntry.h"

namespace sourcecontrol {
class IVSSItem;
class IVSSItems;
}  // namespace sourcecontrol

namespace wizardcore {

class DeletedItemCollection;
class DeletedList;
class Host;

// The search: a depth-first walk from an item down that lists every item marked deleted, each
// checked, and keeps the item under its spec. Beside each entry it counts what a destroy of it
// would take, from what the walk reads anyway: every item below it, live and deleted, and their
// sizes. Projects whose children cannot be fetched are noted as unread.
//
// The walk keeps its own stack of the projects it is inside, one frame each, rather than
// calling itself: however deep a tree is, the walk cannot run out of call stack, and each frame
// holds its item once, with no copy of the paths above it.
class Search {
 public:
  Search(Host& host, DeletedList& list, DeletedItemCollection& items)
      : host_(host), list_(list), items_(items) {}

  // The walk, its statements numbered 100 to 112: 100 to 108 for each item as it is met, 109
  // to 112 for each child of a project, 110 being the visit of the child.
  void SearchVssItem(const std::shared_ptr<sourcecontrol::IVSSItem>& item);

 private:
  // A project whose children the walk is going through: the children, not the project itself,
  // which the walk needs no more once its statements up to 108 have run.
  struct Frame {
    std::shared_ptr<sourcecontrol::IVSSItems> children;
    int count = 0;
    int index = 0;         // the child visited last, from 1
    int listed = -1;       // the project's own entry
    int listedAbove = -1;  // the nearest listed project above it
    Tally own;             // the project itself
    Tally below;           // what the children visited so far hold
    bool stopped = false;
  };

  // Statements 100 to 108 for one item. Gives back true with a frame pushed when the walk goes
  // into the item's children; false, with what the item holds in `done`, when it does not.
  bool Enter(errors::Procedure& proc, const std::shared_ptr<sourcecontrol::IVSSItem>& item,
             Tally& done);
  // Statements 111 and 112 after a child, in the frame of its project.
  void AfterChild(errors::Procedure& proc, Frame& frame);
  // Closes the frame's entry; gives back what the project and everything below it hold.
  Tally Leave(Frame& frame);

  Host& host_;
  DeletedList& list_;
  DeletedItemCollection& items_;
  std::vector<Frame> stack_;
  int listedAbove_ = -1;  // the entry of the nearest listed project the walk is inside
};

}  // namespace wizardcore
