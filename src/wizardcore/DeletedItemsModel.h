#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "wizardcore/DeletedList.h"

namespace wizardcore {

// The item list's rows: the entries still on the list, in the order found, with five columns
// (the item's spec with its check box, its kind, what goes with it, when and by whom it was
// deleted). A click on a check box goes to the list's rule between the boxes; UserChecked is
// signalled once afterwards. kSortRole gives each cell's value to sort by.
class DeletedItemsModel final : public QAbstractTableModel, public DeletedList::Observer {
  Q_OBJECT

 public:
  enum Column {
    kItemColumn = 0,
    kKindColumn = 1,
    kTakesColumn = 2,
    kDeletedOnColumn = 3,
    kDeletedByColumn = 4,
    kColumns = 5
  };
  static constexpr int kSortRole = Qt::UserRole + 1;

  explicit DeletedItemsModel(DeletedList& list);
  ~DeletedItemsModel() override;

  // The entry's index in the list for a row of this model.
  int EntryOf(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
  const DeletedEntry& Entry(int row) const { return list_[EntryOf(row)]; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // While a hold lives, the model's rows stay as they were, and views learn of every change at
  // once when it ends. The search fills and the purge empties a list that no one sees
  // meanwhile; told one entry at a time, the filter's mapping of all the rows would be redone
  // for each.
  class Hold {
   public:
    explicit Hold(DeletedItemsModel& model) : model_(model) { ++model_.holds_; }
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    DeletedItemsModel& model_;
  };

 signals:
  // The user set the box of the entry at `entry` (an index of the list), and the rule between
  // the boxes has been applied.
  void UserChecked(int entry);

 private:
  void EntryAdded(int index) override;
  void EntryRemoved(int index) override;
  void ChecksChanged(int first, int last) override;
  void Cleared() override;

  DeletedList& list_;
  std::vector<int> rows_;  // the entries on the list, ascending
  int holds_ = 0;
  bool changedWhileHeld_ = false;
};

}  // namespace wizardcore
