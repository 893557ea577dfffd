#include "wizardcore/DeletedList.h"

#include <QString>

#include <algorithm>
#include <utility>
#include "platform/translation/Tr.h"

namespace wizardcore {

DeletedList::Batch::Batch(DeletedList& list) : list_(list) { ++list_.batches_; }

DeletedList::Batch::~Batch() {
  if (--list_.batches_ == 0 && list_.changedFirst_ >= 0) {
    const int first = std::exchange(list_.changedFirst_, -1);
    const int last = std::exchange(list_.changedLast_, -1);
    if (list_.observer_ != nullptr) {
      list_.observer_->ChecksChanged(first, last);
    }
  }
}

std::string DeletedList::FoldPath(const std::string& spec) {
  return QString::fromStdString(spec).toCaseFolded().toStdString();
}

std::string DeletedList::KeyFor(const std::string& spec, int samePath) {
  // No path holds a NUL character, so no other entry's key can be this one.
  return samePath <= 1 ? spec : spec + '\0' + std::to_string(samePath);
}

int DeletedList::WithPath(const std::string& spec) const {
  const auto found = paths_.find(FoldPath(spec));
  return found == paths_.end() ? 0 : found->second;
}

std::string DeletedList::Label(int index) const {
  const DeletedEntry& entry = (*this)[index];
  const int all = WithPath(entry.spec);
  if (all <= 1) {
    return entry.spec;
  }
  return translation::Tr("DeletedList", "%1 (%2 of %3 entries of this path)")
      .Fill(entry.spec, entry.samePath, all);
}

int DeletedList::Add(DeletedEntry entry) {
  const int index = Size();
  entry.end = index + 1;
  entry.samePath = ++paths_[FoldPath(entry.spec)];
  if (entry.key.empty()) {
    entry.key = KeyFor(entry.spec, entry.samePath);
  }
  entries_.push_back(std::move(entry));
  ++count_;
  if (observer_ != nullptr) {
    observer_->EntryAdded(index);
  }
  return index;
}

void DeletedList::Close(int index, const Tally& takes) {
  DeletedEntry& entry = At(index);
  entry.end = Size();
  entry.takes = takes;
}

void DeletedList::Remove(int index) {
  DeletedEntry& entry = At(index);
  if (entry.removed) {
    return;
  }
  entry.removed = true;
  --count_;
  if (observer_ != nullptr) {
    observer_->EntryRemoved(index);
  }
}

void DeletedList::Clear() {
  entries_.clear();
  paths_.clear();
  unread_.clear();
  count_ = 0;
  if (observer_ != nullptr) {
    observer_->Cleared();
  }
}

void DeletedList::Changed(int first, int last) {
  changedFirst_ = changedFirst_ < 0 ? first : std::min(changedFirst_, first);
  changedLast_ = std::max(changedLast_, last);
}

void DeletedList::Set(int index, bool checked) {
  DeletedEntry& entry = At(index);
  if (checked && !entry.refusal.empty()) {
    return;
  }
  if (entry.checked != checked) {
    entry.checked = checked;
    Changed(index, index);
  }
}

void DeletedList::Refuse(int index, const std::string& reason) {
  Batch batch(*this);
  At(index).refusal = reason;
  for (int above = At(index).parent; above >= 0; above = At(above).parent) {
    DeletedEntry& project = At(above);
    if (project.refusal.empty()) {
      project.refusal = "'" + At(index).spec + "' below it is kept";
    }
  }
  CheckEach({index}, false);
}

void DeletedList::SetChecked(int index, bool checked) {
  Batch batch(*this);
  Set(index, checked);
}

void DeletedList::Check(int index, bool checked) { CheckEach({index}, checked); }

void DeletedList::CheckEach(const std::vector<int>& indices, bool checked) {
  Batch batch(*this);
  if (checked) {
    // A project's descendants follow it: one pass in list order checks each span once.
    std::vector<int> sorted = indices;
    std::sort(sorted.begin(), sorted.end());
    int covered = 0;
    for (const int index : sorted) {
      const int end = std::max(index + 1, At(index).end);
      for (int inside = std::max(index, covered); inside < end; ++inside) {
        if (!entries_[static_cast<std::size_t>(inside)].removed) {
          Set(inside, true);
        }
      }
      covered = std::max(covered, end);
    }
    return;
  }
  // Up the chain of projects above each entry; a project reached once is not climbed again.
  std::vector<bool> climbed(entries_.size(), false);
  for (const int index : indices) {
    Set(index, false);
    for (int above = At(index).parent; above >= 0 && !climbed[static_cast<std::size_t>(above)];
         above = At(above).parent) {
      climbed[static_cast<std::size_t>(above)] = true;
      Set(above, false);
    }
  }
}

Selection DeletedList::Selected() const {
  Selection selection;
  int covered = 0;  // entries before this one lie inside a checked project counted already
  for (int index = 0; index < Size(); ++index) {
    const DeletedEntry& entry = entries_[static_cast<std::size_t>(index)];
    if (entry.removed || !entry.checked) {
      continue;
    }
    ++selection.checked;
    if (index >= covered) {
      ++selection.roots;
      selection.takes += entry.takes;
      covered = entry.end;
    }
  }
  return selection;
}

}  // namespace wizardcore
