#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "wizardcore/DeletedEntry.h"

namespace wizardcore {

// What a purge of the checked entries would take.
struct Selection {
  int checked = 0;  // checked entries
  int roots = 0;    // checked entries without a checked entry above them
  Tally takes;      // the items those destroys take, contents included
};

// The entries a search listed, in the order found, with the rule between their check boxes: a
// project cannot be destroyed without what lies below it, so unchecking an entry unchecks every
// listed project above it, and checking a project checks every entry listed below it.
//
// Entries are addressed by the index they were added at; the purge takes entries off the list
// without moving the others, and keeps what it did with each for its summary.
class DeletedList {
 public:
  // Told about every change, so that a view can follow.
  class Observer {
   public:
    virtual ~Observer() = default;
    virtual void EntryAdded(int index) = 0;
    virtual void EntryRemoved(int index) = 0;
    // The check boxes of entries first to last (inclusive) may have changed.
    virtual void ChecksChanged(int first, int last) = 0;
    virtual void Cleared() = 0;
  };

  // While a batch lives, check changes are gathered and told to the observer once, as one span,
  // when it ends.
  class Batch {
   public:
    explicit Batch(DeletedList& list);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    DeletedList& list_;
  };

  void SetObserver(Observer* observer) noexcept { observer_ = observer; }

  // Entries added since the last Clear, listed or not.
  int Size() const noexcept { return static_cast<int>(entries_.size()); }
  // Entries still on the list.
  int Count() const noexcept { return count_; }
  const DeletedEntry& operator[](int index) const {
    return entries_.at(static_cast<std::size_t>(index));
  }
  DeletedEntry& At(int index) { return entries_.at(static_cast<std::size_t>(index)); }

  // Appends an entry and returns its index. Its place in the tree comes with it (`parent`);
  // `end` is set when the walk leaves it (Close). It is numbered among the entries of its path.
  int Add(DeletedEntry entry);
  // How many entries added so far have the path `spec` (without regard to case, as the database
  // compares paths).
  int WithPath(const std::string& spec) const;
  // The entry's path as people are shown it: with "(2 of 3 entries of this path)" after it when
  // more than one listed entry has that path, so that they can be told apart.
  std::string Label(int index) const;
  // The key the search keeps the entry's item under: its path, numbered when it is not the first.
  static std::string KeyFor(const std::string& spec, int samePath);
  // The walk has left the entry at `index`: what it holds is known.
  void Close(int index, const Tally& takes);
  // Takes the entry off the list; it keeps its index and its outcome.
  void Remove(int index);
  void Clear();

  // The engine would refuse to destroy the entry at `index`, for `reason`: it is unchecked and
  // can be checked no more, and so is every listed project above it, which cannot go without it.
  void Refuse(int index, const std::string& reason);

  // Sets one entry's check box and nothing else, as check-all does for every entry. A refused
  // entry stays unchecked.
  void SetChecked(int index, bool checked);
  // Sets one entry's check box as the user does, with the rule between the boxes.
  void Check(int index, bool checked);
  // The same for several entries at once.
  void CheckEach(const std::vector<int>& indices, bool checked);

  // What a purge of the checked entries takes.
  Selection Selected() const;

  // Projects whose children the search could not read, and why; the list is incomplete without
  // them.
  void AddUnread(std::string spec, std::string reason) {
    unread_.push_back({std::move(spec), std::move(reason)});
  }
  const std::vector<UnreadProject>& Unread() const noexcept { return unread_; }

 private:
  void Set(int index, bool checked);
  void Changed(int first, int last);

  static std::string FoldPath(const std::string& spec);

  std::vector<DeletedEntry> entries_;
  std::unordered_map<std::string, int> paths_;  // entries by folded path
  std::vector<UnreadProject> unread_;
  int count_ = 0;
  Observer* observer_ = nullptr;
  // The span of check changes not yet told, while a batch lives.
  int batches_ = 0;
  int changedFirst_ = -1;
  int changedLast_ = -1;
};

}  // namespace wizardcore
