#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStringList>
#include <string>
#include <vector>

#include "wizardcore/DeletedItemsModel.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/DeletionTime.h"
#include "wizardcore/PurgeRules.h"
#include "wizardcore/ShownEntries.h"

namespace {

using wizardcore::DeletedEntry;
using wizardcore::DeletedItemsModel;
using wizardcore::DeletedList;
using wizardcore::EntryKind;

// Every warning Qt gives while a test runs: the model tester reports what it finds that way.
QStringList& Warnings() {
  static QStringList warnings;
  return warnings;
}

void Collect(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtDebugMsg && type != QtInfoMsg) {
    Warnings().append(message);
  }
}

//   0 $/P          project  deleted 2020-01-01 by Ann
//   1 $/P/~sak1    file              2019-06-01 by Ann
//   2 $/P/keep     file     (when and by whom not recorded)
//   3 $/~sak2      file              2024-05-01 by Bob
//   4 $/Q          project           2018-01-01 by bob
//   5 $/Q/~sak3    file              2018-01-01 by Bob
class DeletedItemsModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Warnings().clear();
    previous_ = qInstallMessageHandler(Collect);
  }
  void TearDown() override {
    qInstallMessageHandler(previous_);
    EXPECT_TRUE(Warnings().isEmpty()) << Warnings().join('\n').toStdString();
  }

  int Add(const char* spec, EntryKind kind, int parent, const char* date = nullptr,
          const char* user = "") {
    DeletedEntry entry;
    entry.spec = spec;
    if (date != nullptr) {
      entry.deletion = {wizardcore::ParseIsoDate(date), user};
    }
    entry.kind = kind;
    entry.parent = parent;
    entry.takes = {1, 10, true};
    entry.checked = true;
    return list.Add(entry);
  }
  void Fill() {
    const int p = Add("$/P", EntryKind::Project, -1, "2020-01-01", "Ann");
    Add("$/P/~sak1", EntryKind::File, p, "2019-06-01", "Ann");
    Add("$/P/keep", EntryKind::File, p);
    list.Close(p, {3, 20, true});
    Add("$/~sak2", EntryKind::File, -1, "2024-05-01", "Bob");
    const int q = Add("$/Q", EntryKind::Project, -1, "2018-01-01", "bob");
    Add("$/Q/~sak3", EntryKind::File, q, "2018-01-01", "Bob");
    list.Close(q, {2, 10, true});
  }
  std::string Boxes() const {
    std::string boxes;
    for (int index = 0; index < list.Size(); ++index) {
      boxes += list[index].removed ? '-' : list[index].checked ? '1' : '0';
    }
    return boxes;
  }

  DeletedList list;
  DeletedItemsModel model{list};
  wizardcore::ShownEntries shown{model};
  QAbstractItemModelTester modelTester{&model,
                                       QAbstractItemModelTester::FailureReportingMode::Warning};
  QAbstractItemModelTester shownTester{&shown,
                                       QAbstractItemModelTester::FailureReportingMode::Warning};

 private:
  QtMessageHandler previous_ = nullptr;
};

// The model and its filter stay consistent through everything the window does to the list: the
// search adding entries one by one or held, a click on a box, a filter, the purge taking entries
// off (held or one by one), and a new search clearing it.
TEST_F(DeletedItemsModelTest, StaysConsistentThroughSearchCheckFilterPurgeAndClear) {
  {
    DeletedItemsModel::Hold hold(model);
    Fill();
    EXPECT_EQ(model.rowCount(), 0);  // nothing is told while held
  }
  ASSERT_EQ(model.rowCount(), 6);

  QSignalSpy userChecked(&model, &DeletedItemsModel::UserChecked);
  ASSERT_TRUE(model.setData(model.index(1, DeletedItemsModel::kItemColumn), Qt::Unchecked,
                            Qt::CheckStateRole));
  EXPECT_EQ(Boxes(), "001111");  // the rule unchecked $/P above it
  ASSERT_EQ(userChecked.count(), 1);
  EXPECT_EQ(userChecked.front().front().toInt(), 1);
  EXPECT_EQ(model.index(0, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);

  shown.SetPattern("~sak*");
  EXPECT_EQ(shown.Shown(), (std::vector<int>{1, 3, 5}));

  list.Remove(5);  // one by one, as a purge seen by its view
  EXPECT_EQ(shown.Shown(), (std::vector<int>{1, 3}));
  {
    DeletedItemsModel::Hold hold(model);
    list.Remove(3);
    list.Remove(4);
  }
  EXPECT_EQ(model.rowCount(), 3);
  EXPECT_EQ(shown.Shown(), (std::vector<int>{1}));
  list.Clear();
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_TRUE(shown.Shown().empty());
}

// A purge by patterns checks what they select, and the rule keeps a project whose listed entries
// are not all selected.
TEST_F(DeletedItemsModelTest, PatternsCheckWhatTheySelectAndKeepProjectsHoldingTheRest) {
  Fill();
  struct Case {
    std::vector<std::string> match;
    std::vector<std::string> exclude;
    const char* boxes;
    std::vector<int> keptByRule;
  };
  const std::vector<Case> cases = {
      {{}, {}, "111111", {}},
      {{"~sak*"}, {}, "010101", {}},
      {{"~sak*", "$/Q"}, {}, "010111", {}},   // no wildcard: every spec holding "$/Q"
      {{"~sak*", "$/?"}, {}, "010111", {0}},  // $/P holds keep, which is not selected
      {{}, {"keep"}, "010111", {0}},
      {{}, {"$/Q/*"}, "111100", {4}},
  };
  for (const Case& c : cases) {
    wizardcore::PatternSelection patterns;
    for (const std::string& pattern : c.match) {
      patterns.match.emplace_back(pattern);
    }
    for (const std::string& pattern : c.exclude) {
      patterns.exclude.emplace_back(pattern);
    }
    EXPECT_EQ(wizardcore::CheckSelected(list, patterns), c.keptByRule) << c.boxes;
    EXPECT_EQ(Boxes(), c.boxes);
  }
}

// An age or a user selects under the same rule: a project whose listed entries are not all
// selected is kept, and a delete whose time or user is not recorded is never selected by them.
TEST_F(DeletedItemsModelTest, AnAgeOrAUserSelectsUnderTheSameRuleAsPatterns) {
  Fill();
  struct Case {
    const char* before;
    const char* by;
    const char* match;
    const char* boxes;
    std::vector<int> keptByRule;
  };
  const std::vector<Case> cases = {
      {"2021-01-01", nullptr, nullptr, "010011", {0}},  // keep's delete is not recorded
      {"2018-01-01", nullptr, nullptr, "000000", {}},   // before that day, not on it
      {"2018-01-02", nullptr, nullptr, "000011", {}},
      {nullptr, "BOB", nullptr, "000111", {}},  // user names in any letter case
      {"2019-01-01", "bob", nullptr, "000011", {}},
      {"2030-01-01", nullptr, "~sak*", "010101", {}},
      {nullptr, "Ann", nullptr, "010000", {0}},
  };
  for (const Case& c : cases) {
    wizardcore::PatternSelection patterns;
    if (c.before != nullptr) {
      patterns.deletion.before = wizardcore::ParseIsoDate(c.before);
    }
    if (c.by != nullptr) {
      patterns.deletion.by = c.by;
    }
    if (c.match != nullptr) {
      patterns.match.emplace_back(c.match);
    }
    EXPECT_EQ(wizardcore::CheckSelected(list, patterns), c.keptByRule) << c.boxes;
    EXPECT_EQ(Boxes(), c.boxes);
  }
}

// Sorting a column orders the view alone: the list, whose order the purge follows, stays as
// found, and the entries shown are told in that order.
TEST_F(DeletedItemsModelTest, SortingAColumnOrdersTheViewAndNotTheList) {
  DeletedItemsModel model(list);
  wizardcore::ShownEntries shown(model);
  Fill();
  const auto viewOrder = [&] {
    std::vector<int> order;
    for (int row = 0; row < shown.rowCount(); ++row) {
      order.push_back(model.EntryOf(shown.mapToSource(shown.index(row, 0)).row()));
    }
    return order;
  };
  shown.sort(DeletedItemsModel::kDeletedOnColumn, Qt::AscendingOrder);
  EXPECT_EQ(viewOrder(), (std::vector<int>{2, 4, 5, 1, 0, 3}));  // the unknown first
  shown.sort(DeletedItemsModel::kTakesColumn, Qt::DescendingOrder);
  EXPECT_EQ(viewOrder(), (std::vector<int>{0, 2, 4, 5, 1, 3}));  // ties keep the order before
  shown.sort(DeletedItemsModel::kDeletedByColumn, Qt::AscendingOrder);
  EXPECT_EQ(viewOrder(), (std::vector<int>{2, 0, 1, 4, 5, 3}));  // "bob" and "Bob" alike
  EXPECT_EQ(shown.Shown(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(list[0].spec, "$/P");
  EXPECT_EQ(list[5].spec, "$/Q/~sak3");
  shown.SetDeletedBefore(wizardcore::ParseIsoDate("2020-01-01"));
  EXPECT_EQ(shown.Shown(), (std::vector<int>{1, 4, 5}));
  shown.sort(-1);
  shown.SetDeletedBefore(std::nullopt);
  EXPECT_EQ(viewOrder(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

}  // namespace
