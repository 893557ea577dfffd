#include "wizardcore/Search.h"

#include <utility>

#include "errors/ObjectRequired.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"
#include "wizardcore/DeletedItemCollection.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Host.h"

namespace wizardcore {
namespace {

EntryKind KindOf(sourcecontrol::IVSSItem& item) {
  return item.Type() == sourcecontrol::ItemType::Project ? EntryKind::Project : EntryKind::File;
}

}  // namespace

void Search::SearchVssItem(const std::shared_ptr<sourcecontrol::IVSSItem>& item) {
  errors::Procedure proc("Scourwell.FMain.SearchVssItem", host_);
  stack_.clear();
  Tally done;
  if (!Enter(proc, item, done)) {
    return;
  }
  while (!stack_.empty()) {
    Frame& frame = stack_.back();
    if (frame.stopped || frame.index >= frame.count) {
      listedAbove_ = frame.listedAbove;
      const Tally total = Leave(frame);
      stack_.pop_back();
      if (!stack_.empty()) {
        stack_.back().below += total;
        AfterChild(proc, stack_.back());
      }
      continue;
    }
    const int index = ++frame.index;  // 109
    std::shared_ptr<sourcecontrol::IVSSItem> child;
    if (!proc.Do(109, [&] { child = frame.children->Item(index); })) {
      frame.below.complete = false;
      continue;
    }
    // 110: the visit of the child. Where it goes into the child's children, the statements after
    // it run when the child's frame is left (above); otherwise they run here.
    bool entered = false;
    Tally childTally;
    const std::size_t depth = stack_.size();
    if (!proc.Do(110, [&] { entered = Enter(proc, child, childTally); })) {
      stack_.resize(depth);  // a frame half pushed does not count
      entered = false;
      stack_.back().below.complete = false;
    } else if (!entered) {
      stack_.back().below += childTally;
    }
    if (!entered) {
      AfterChild(proc, stack_.back());
    }
  }
}

bool Search::Enter(errors::Procedure& proc, const std::shared_ptr<sourcecontrol::IVSSItem>& item,
                   Tally& done) {
  if (proc.If(100, [&] { return host_.StopRequested(); })) {
    done = Tally{};
    done.complete = false;  // the walk stopped before this item
    return false;
  }
  // What the item is and weighs, for the counts beside the entries. These reads are no
  // statements of the walk: a failure only leaves the counts incomplete.
  EntryKind kind = EntryKind::Unknown;
  Tally own{1, 0, true};
  errors::CaptureError([&] { kind = KindOf(errors::Object(item)); });
  own.complete = !errors::CaptureError([&] { own.bytes = errors::Object(item).Size(); });

  // An item whose deleted mark cannot be read is not listed: every entry starts checked and
  // would be destroyed by a purge.
  int listed = -1;
  if (proc.If(
          101, [&] { return errors::Object(item).Deleted(); }, false)) {
    // Under a key of its own: a path deleted more than once (a file deleted, added again and
    // deleted again) gives each of its entries a numbered key.
    std::string key;
    proc.Do(102, [&] {
      const std::string spec = item->Spec();
      key = DeletedList::KeyFor(spec, list_.WithPath(spec) + 1);
      items_.Add(item, key);
    });
    proc.Do(103, [&] {
      DeletedEntry entry;
      entry.spec = item->Spec();
      entry.key = key;
      entry.kind = kind;
      entry.takes = own;
      // Not a statement of the walk either: unread, the time and user are shown as unknown.
      errors::CaptureError([&] { entry.deletion = errors::Object(item).DeletedBy(); });
      entry.parent = listedAbove_;
      entry.item = item;  // the purge destroys exactly the item the entry was listed for
      listed = list_.Add(std::move(entry));
    });
    // Only the entry that line 103 added is checked; when 103 failed there is none.
    proc.Do(104, [&] {
      if (listed >= 0) {
        list_.SetChecked(listed, true);
      }
    });
    proc.Do(105, [&] { host_.DoEvents(); });
  }
  // What its destroy frees on disk, only for what a purge can take: a listed entry and what lies
  // below one. Not a statement of the walk: unread, the figure is a lower bound.
  if (listed >= 0 || listedAbove_ >= 0) {
    errors::CaptureError([&] { own.disk = errors::Object(item).DiskSize(); });
  }
  // 106: a failure to fetch the children (as for a file) means there are none. A project whose
  // children cannot be read leaves the search incomplete, which the window says.
  Tally below;
  std::shared_ptr<sourcecontrol::IVSSItems> children;
  if (const errors::CapturedError error =
          errors::CaptureError([&] { children = errors::Object(item).Items(true); })) {
    if (kind != EntryKind::File) {
      below.complete = false;
      std::string spec = "(an item whose path cannot be read)";
      errors::CaptureError([&] { spec = item->Spec(); });
      list_.AddUnread(std::move(spec), error.description);
    }
  }
  bool counted = false;
  int count = 0;
  if (proc.If(
          107,
          [&] {
            count = children ? children->Count() : 0;
            counted = true;
            return count > 0;
          },
          false)) {
    proc.Do(108, [&] { host_.ShowSearchedFolder(item->Spec()); });
    Frame frame;
    frame.children = std::move(children);
    frame.count = count;
    frame.listed = listed;
    frame.listedAbove = listedAbove_;
    frame.own = own;
    frame.below = below;
    stack_.push_back(std::move(frame));
    listedAbove_ = listed >= 0 ? listed : listedAbove_;
    return true;
  }
  if (!counted) {
    below.complete = false;  // the children were fetched but could not be counted
  }
  done = own;
  done += below;
  if (listed >= 0) {
    list_.Close(listed, done);
  }
  return false;
}

void Search::AfterChild(errors::Procedure& proc, Frame& frame) {
  proc.Do(111, [&] { host_.DoEvents(); });
  if (proc.If(112, [&] { return host_.StopRequested(); })) {
    frame.below.complete = frame.below.complete && frame.index == frame.count;
    frame.stopped = true;
  }
}

Tally Search::Leave(Frame& frame) {
  Tally all = frame.own;
  all += frame.below;
  if (frame.listed >= 0) {
    list_.Close(frame.listed, all);
  }
  return all;
}

}  // namespace wizardcore
