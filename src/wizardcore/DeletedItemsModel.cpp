#include "wizardcore/DeletedItemsModel.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/translation/Tr.h"
#include "wizardcore/DeletionTime.h"
#include "wizardcore/Wording.h"

namespace wizardcore {

using translation::Tr;

DeletedItemsModel::DeletedItemsModel(DeletedList& list) : list_(list) { list_.SetObserver(this); }

DeletedItemsModel::~DeletedItemsModel() { list_.SetObserver(nullptr); }

int DeletedItemsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DeletedItemsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant DeletedItemsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) {
    return {};
  }
  const DeletedEntry& entry = list_[EntryOf(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      switch (index.column()) {
        case kItemColumn:
          return QString::fromStdString(entry.spec);
        case kKindColumn:
          return QString::fromStdString(DescribeKind(entry.kind));
        case kDeletedOnColumn: {
          if (!entry.deletion.time) {
            return Tr("DeletedItemsModel", "unknown").Q();
          }
          // The list shows the minute; the tip the second.
          const QString time = QString::fromStdString(FormatDeletionTime(entry.deletion));
          return role == Qt::DisplayRole ? time.left(16) : time;
        }
        case kDeletedByColumn:
          return entry.deletion.user.empty() ? Tr("DeletedItemsModel", "unknown").Q()
                                             : QString::fromStdString(entry.deletion.user);
        default:
          return QString::fromStdString(DescribeTakes(entry));
      }
    case kSortRole:
      // Unknown times and users sort first; sizes by the bytes that go.
      switch (index.column()) {
        case kItemColumn:
          return QString::fromStdString(entry.spec).toCaseFolded();
        case kKindColumn:
          return static_cast<int>(entry.kind);
        case kDeletedOnColumn:
          return static_cast<qlonglong>(
              entry.deletion.time.value_or(std::numeric_limits<std::int64_t>::min()));
        case kDeletedByColumn:
          return QString::fromStdString(entry.deletion.user).toCaseFolded();
        default:
          return static_cast<qlonglong>(entry.takes.bytes);
      }
    case Qt::CheckStateRole:
      if (index.column() == kItemColumn) {
        return entry.checked ? Qt::Checked : Qt::Unchecked;
      }
      return {};
    case Qt::AccessibleTextRole:
      // What a screen reader says of an entry: its path, its kind and that it is deleted.
      if (index.column() == kItemColumn) {
        return (entry.kind == EntryKind::Project ? Tr("DeletedItemsModel", "%1, deleted project")
                : entry.kind == EntryKind::File  ? Tr("DeletedItemsModel", "%1, deleted file")
                                                 : Tr("DeletedItemsModel", "%1, deleted unknown"))
            .FillQ(entry.spec);
      }
      return {};
    case Qt::AccessibleDescriptionRole:
      if (index.column() == kItemColumn && !entry.refusal.empty()) {
        return QString::fromStdString(DescribeTakes(entry));
      }
      if (index.column() == kItemColumn) {
        return entry.checked ? Tr("DeletedItemsModel", "checked: it will be purged").Q()
                             : Tr("DeletedItemsModel", "not checked: it will be kept").Q();
      }
      return {};
    default:
      return {};
  }
}

bool DeletedItemsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || !index.isValid() || index.column() != kItemColumn) {
    return false;
  }
  const int entry = EntryOf(index.row());
  list_.Check(entry, value.value<Qt::CheckState>() == Qt::Checked);
  emit UserChecked(entry);
  return true;
}

Qt::ItemFlags DeletedItemsModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) {
    return Qt::NoItemFlags;
  }
  // An entry the engine would refuse is shown greyed, and its box cannot be checked.
  if (!list_[EntryOf(index.row())].refusal.empty()) {
    return Qt::ItemIsSelectable;
  }
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == kItemColumn) {
    flags |= Qt::ItemIsUserCheckable;
  }
  return flags;
}

QVariant DeletedItemsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return {};
  }
  switch (section) {
    case kItemColumn:
      return Tr("DeletedItemsModel", "Deleted item").Q();
    case kKindColumn:
      return Tr("DeletedItemsModel", "Kind").Q();
    case kTakesColumn:
      return Tr("DeletedItemsModel", "Goes with it").Q();
    case kDeletedOnColumn:
      return Tr("DeletedItemsModel", "Deleted on").Q();
    case kDeletedByColumn:
      return Tr("DeletedItemsModel", "Deleted by").Q();
    default:
      return {};
  }
}

void DeletedItemsModel::EntryAdded(int index) {
  if (holds_ > 0) {
    changedWhileHeld_ = true;
    return;
  }
  const int row = rowCount();
  beginInsertRows({}, row, row);
  rows_.push_back(index);
  endInsertRows();
}

DeletedItemsModel::Hold::~Hold() {
  if (--model_.holds_ > 0 || !std::exchange(model_.changedWhileHeld_, false)) {
    return;
  }
  model_.beginResetModel();
  model_.rows_.clear();
  for (int entry = 0; entry < model_.list_.Size(); ++entry) {
    if (!model_.list_[entry].removed) {
      model_.rows_.push_back(entry);
    }
  }
  model_.endResetModel();
}

void DeletedItemsModel::EntryRemoved(int index) {
  if (holds_ > 0) {
    changedWhileHeld_ = true;
    return;
  }
  const auto found = std::lower_bound(rows_.begin(), rows_.end(), index);
  if (found == rows_.end() || *found != index) {
    return;
  }
  const int row = static_cast<int>(found - rows_.begin());
  beginRemoveRows({}, row, row);
  rows_.erase(found);
  endRemoveRows();
}

void DeletedItemsModel::ChecksChanged(int first, int last) {
  if (holds_ > 0) {
    changedWhileHeld_ = true;  // told with the rest when the hold ends
    return;
  }
  const auto from = std::lower_bound(rows_.begin(), rows_.end(), first);
  const auto to = std::upper_bound(from, rows_.end(), last);
  if (from == to) {
    return;
  }
  emit dataChanged(createIndex(static_cast<int>(from - rows_.begin()), kItemColumn),
                   createIndex(static_cast<int>(to - rows_.begin()) - 1, kItemColumn),
                   {Qt::CheckStateRole});
}

void DeletedItemsModel::Cleared() {
  beginResetModel();
  rows_.clear();
  endResetModel();
}

}  // namespace wizardcore
