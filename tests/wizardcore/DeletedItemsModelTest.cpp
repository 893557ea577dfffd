#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStringList>
#include <string>
#include <vector>

#include "wizardcore/DeletedItemsModel.h"
#include "wizardcore/DeletedList.h"
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

//   0 $/P          project
//   1 $/P/~sak1    file
//   2 $/P/keep     file
//   3 $/~sak2      file
//   4 $/Q          project
//   5 $/Q/~sak3    file
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

  int Add(const char* spec, EntryKind kind, int parent) {
    DeletedEntry entry;
    entry.spec = spec;
    entry.kind = kind;
    entry.parent = parent;
    entry.takes = {1, 10, true};
    entry.checked = true;
    return list.Add(entry);
  }
  void Fill() {
    const int p = Add("$/P", EntryKind::Project, -1);
    Add("$/P/~sak1", EntryKind::File, p);
    Add("$/P/keep", EntryKind::File, p);
    list.Close(p, {3, 20, true});
    Add("$/~sak2", EntryKind::File, -1);
    const int q = Add("$/Q", EntryKind::Project, -1);
    Add("$/Q/~sak3", EntryKind::File, q);
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

}  // namespace
