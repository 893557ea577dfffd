#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wizardcore/DeletedList.h"

namespace {

using wizardcore::DeletedEntry;
using wizardcore::DeletedList;
using wizardcore::EntryKind;
using wizardcore::Tally;

// Three levels of deleted projects, as a walk lists them:
//   0 $/P            project   (takes 9 items: itself, Q's 5, f2, h and a live file)
//   1 $/P/Q          project   (takes 5)
//   2 $/P/Q/R        project   (takes 3: itself, f and a live file)
//   3 $/P/Q/R/f      file
//   4 $/P/Q/g        file
//   5 $/P/h          file
//   6 $/x            file      (beside P)
class DeletedListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto add = [&](const char* spec, EntryKind kind, int parent, Tally takes) {
      DeletedEntry entry;
      entry.spec = spec;
      entry.kind = kind;
      entry.parent = parent;
      entry.takes = takes;
      return list.Add(entry);
    };
    const int p = add("$/P", EntryKind::Project, -1, {});
    const int q = add("$/P/Q", EntryKind::Project, p, {});
    const int r = add("$/P/Q/R", EntryKind::Project, q, {});
    add("$/P/Q/R/f", EntryKind::File, r, {1, 100, true});
    list.Close(r, {3, 150, true});
    add("$/P/Q/g", EntryKind::File, q, {1, 10, true});
    list.Close(q, {5, 160, true});
    add("$/P/h", EntryKind::File, p, {1, 1, true});
    list.Close(p, {9, 1161, false});  // a part of P could not be read
    add("$/x", EntryKind::File, -1, {1, 1000, true});
  }

  void SetAll(bool checked) {
    for (int index = 0; index < list.Size(); ++index) {
      list.SetChecked(index, checked);
    }
  }
  // The check boxes, "1" checked, in list order.
  std::string Boxes() const {
    std::string boxes;
    for (int index = 0; index < list.Size(); ++index) {
      boxes += list[index].checked ? '1' : '0';
    }
    return boxes;
  }

  DeletedList list;
};

struct CascadeCase {
  const char* name;
  bool allCheckedFirst;
  std::vector<int> entries;
  bool check;
  const char* boxes;
};

class CascadeTest : public DeletedListTest, public ::testing::WithParamInterface<CascadeCase> {};

TEST_P(CascadeTest, FollowsTheTreeOfTheList) {
  SetAll(GetParam().allCheckedFirst);
  if (GetParam().entries.size() == 1) {
    list.Check(GetParam().entries[0], GetParam().check);
  } else {
    list.CheckEach(GetParam().entries, GetParam().check);
  }
  EXPECT_EQ(Boxes(), GetParam().boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, CascadeTest,
    ::testing::Values(
        // Unchecking goes up: every listed project above, over three levels, and nothing else.
        CascadeCase{"UncheckDeepestFile", true, {3}, false, "0000111"},
        CascadeCase{"UncheckMiddleFile", true, {4}, false, "0011011"},
        CascadeCase{"UncheckOutside", true, {6}, false, "1111110"},
        // Checking goes down: a project checks everything listed below it; a file only itself.
        CascadeCase{"CheckTopProject", false, {0}, true, "1111110"},
        CascadeCase{"CheckMiddleProject", false, {1}, true, "0111100"},
        CascadeCase{"CheckFile", false, {3}, true, "0001000"},
        // Several at once, as the shown entries are.
        CascadeCase{"UncheckSeveral", true, {4, 5}, false, "0011001"},
        CascadeCase{"CheckSeveral", false, {5, 2}, true, "0011010"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeletedListTest, WhatThePurgeTakesCountsEachCheckedProjectWithAllItHolds) {
  SetAll(true);
  wizardcore::Selection all = list.Selected();
  EXPECT_EQ(all.checked, 7);
  EXPECT_EQ(all.roots, 2);  // P and x
  EXPECT_EQ(all.takes.items, 10);
  EXPECT_EQ(all.takes.bytes, 2161);
  EXPECT_FALSE(all.takes.complete);  // P's count is a lower bound

  list.Check(3, false);  // f: R, Q and P are kept
  wizardcore::Selection some = list.Selected();
  EXPECT_EQ(some.checked, 3);  // g, h, x
  EXPECT_EQ(some.roots, 3);
  EXPECT_EQ(some.takes.items, 3);
  EXPECT_EQ(some.takes.bytes, 1011);
  EXPECT_TRUE(some.takes.complete);
}

// An entry the engine would refuse is unchecked and stays so whatever sets the boxes, and the
// projects above it go with it, saying why; what lies beside them is untouched.
TEST_F(DeletedListTest, ARefusedEntryAndTheProjectsAboveItCanNoMoreBeChecked) {
  SetAll(true);
  list.Refuse(3, "shared with '$/S'");
  EXPECT_EQ(Boxes(), "0000111");
  EXPECT_EQ(list[3].refusal, "shared with '$/S'");
  EXPECT_EQ(list[2].refusal, "'$/P/Q/R/f' below it is kept");
  EXPECT_EQ(list[0].refusal, "'$/P/Q/R/f' below it is kept");
  EXPECT_EQ(list[4].refusal, "");
  list.Check(0, true);  // the user: P and everything below it
  SetAll(true);         // check-all
  EXPECT_EQ(Boxes(), "0000111");
  // In no total: g, h and x alone.
  const wizardcore::Selection selection = list.Selected();
  EXPECT_EQ(selection.checked, 3);
  EXPECT_EQ(selection.takes.items, 3);
  EXPECT_EQ(selection.takes.bytes, 1011);
}

TEST_F(DeletedListTest, ARemovedEntryLeavesTheListButKeepsItsPlace) {
  SetAll(true);
  list.Remove(6);
  EXPECT_EQ(list.Count(), 6);
  EXPECT_EQ(list.Size(), 7);
  EXPECT_EQ(list.Selected().checked, 6);
  list.Check(0, false);
  list.Check(0, true);
  EXPECT_TRUE(list[6].removed);
  EXPECT_EQ(list[3].parent, 2);
}

// Tells how many times the observer heard of check changes.
class CountingObserver final : public DeletedList::Observer {
 public:
  void EntryAdded(int) override {}
  void EntryRemoved(int) override {}
  void ChecksChanged(int first, int last) override { spans.push_back({first, last}); }
  void Cleared() override {}
  std::vector<std::pair<int, int>> spans;
};

TEST_F(DeletedListTest, ABatchTellsTheObserverOnceWithTheSpanOfItsChanges) {
  CountingObserver observer;
  list.SetObserver(&observer);
  {
    DeletedList::Batch batch(list);
    SetAll(true);
  }
  list.Check(0, true);  // nothing changes: nothing told
  list.Check(4, false);
  list.SetObserver(nullptr);
  EXPECT_EQ(observer.spans, (std::vector<std::pair<int, int>>{{0, 6}, {0, 4}}));
}

}  // namespace
