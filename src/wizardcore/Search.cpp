#include "wizardcore/Search.h"

#include <utility>

#include "errors/ObjectRequired.h"
#include "errors/Procedure.h"
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

void Search::SearchVssItem(const std::shared_ptr<sourcecontrol::IVSSItem>& item) { Visit(item); }

Tally Search::Visit(const std::shared_ptr<sourcecontrol::IVSSItem>& item) {
  errors::Procedure proc("Scourwell.FMain.SearchVssItem", host_);
  Tally below;  // what lies below the item
  if (proc.If(100, [&] { return host_.StopRequested(); })) {
    below.complete = false;  // the walk stopped before this item
    return below;
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
    proc.Do(102, [&] { items_.Add(item, item->Spec()); });
    proc.Do(103, [&] {
      DeletedEntry entry;
      entry.spec = item->Spec();
      entry.kind = kind;
      entry.takes = own;
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
  // 106: a failure to fetch the children (as for a file) means there are none. A project whose
  // children cannot be read leaves the search incomplete, which the window says.
  std::shared_ptr<sourcecontrol::IVSSItems> children;
  if (errors::CaptureError([&] { children = errors::Object(item).Items(true); })) {
    if (kind != EntryKind::File) {
      below.complete = false;
      std::string spec = "(an item whose path cannot be read)";
      errors::CaptureError([&] { spec = item->Spec(); });
      list_.AddUnread(std::move(spec));
    }
  }
  bool counted = false;
  if (proc.If(
          107,
          [&] {
            const bool any = children && children->Count() > 0;
            counted = true;
            return any;
          },
          false)) {
    proc.Do(108, [&] { host_.ShowSearchedFolder(item->Spec()); });
    const int above = std::exchange(listedAbove_, listed >= 0 ? listed : listedAbove_);
    const int count = children->Count();
    for (int index = 1; index <= count; ++index) {  // 109
      std::shared_ptr<sourcecontrol::IVSSItem> child;
      if (!proc.Do(109, [&] { child = children->Item(index); })) {
        below.complete = false;
        continue;
      }
      if (!proc.Do(110, [&] { below += Visit(child); })) {
        below.complete = false;
      }
      proc.Do(111, [&] { host_.DoEvents(); });
      if (proc.If(112, [&] { return host_.StopRequested(); })) {
        below.complete = below.complete && index == count;
        break;
      }
    }
    listedAbove_ = above;
  } else if (!counted) {
    below.complete = false;  // the children were fetched but could not be counted
  }
  Tally all = own;
  all += below;
  if (listed >= 0) {
    list_.Close(listed, all);
  }
  return all;
}

}  // namespace wizardcore
