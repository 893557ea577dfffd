// The window's size: it starts at the layout's size, which is also its smallest, and may grow or
// be maximised; the list and the fields grow with it, the buttons keep to the bottom right.
#include <QResizeEvent>

#include "wizard/FMain.h"
#include "wizard/Twips.h"

namespace wizard {
namespace {

constexpr int kGap = 6;  // pixels between the list and what lies under it

}  // namespace

void FMain::AnchorControls() {
  using F = Anchors::Flag;
  anchors_.Add(Frame1, F::kStretchWidth);
  for (int index = 0; index < 3; ++index) {
    anchors_.Add(frmHost(index), F::kStretchWidth | F::kStretchHeight);
  }
  // The login page.
  anchors_.Add(lblPleaseWait, F::kStretchWidth);
  anchors_.Add(txtVssDb, F::kStretchWidth);
  anchors_.Add(lblChangePath, F::kMoveRight);
  anchors_.Add(lblSearchedFolder, F::kStretchWidth);
  // The selection page; the list itself is laid out by LayOutList.
  anchors_.Add(Label6, F::kStretchWidth);
  anchors_.Add(txtFilter, F::kStretchWidth);
  anchors_.Add(cmdCheckShown, F::kMoveRight);
  anchors_.Add(cmdUncheckShown, F::kMoveRight);
  anchors_.Add(lblNotice, F::kMoveDown | F::kStretchWidth);
  anchors_.Add(lblCheckAll, F::kMoveDown);
  anchors_.Add(lblSelection, F::kMoveDown | F::kStretchWidth);
  anchors_.Add(lblCount, F::kMoveRight | F::kMoveDown);
  // The progress page.
  anchors_.Add(lblNowPurging, F::kStretchWidth);
  anchors_.Add(lblPurgeFileName, F::kStretchWidth);
  anchors_.Add(lblSummary, F::kStretchWidth);
  anchors_.Add(txtOutcomes, F::kStretchWidth | F::kStretchHeight);
  anchors_.Add(lblReport, F::kMoveDown | F::kStretchWidth);
  anchors_.Add(lblKeptCopy, F::kMoveDown | F::kStretchWidth);
  // The button row.
  anchors_.Add(Frame5, F::kMoveDown | F::kStretchWidth);
  anchors_.Add(lblWWW, F::kMoveDown);
  anchors_.Add(lblEMail, F::kMoveDown);
  anchors_.Add(cmdView, F::kMoveRight | F::kMoveDown);
  anchors_.Add(cmdRecover, F::kMoveRight | F::kMoveDown);
  anchors_.Add(cmdNext, F::kMoveRight | F::kMoveDown);
  anchors_.Add(cmdCancel, F::kMoveRight | F::kMoveDown);
}

void FMain::LayOutList() {
  const int bottom = (lblNotice.isHidden() ? lblCheckAll.y() : lblNotice.y()) - kGap;
  const int width = frmHost1.width() - (Px(7440) - Px(6855));
  List1.setGeometry(List1.x(), List1.y(), width, std::max(0, bottom - List1.y()));
  int others = 0;
  for (int column = 1; column < wizardcore::DeletedItemsModel::kColumns; ++column) {
    others += List1.columnWidth(column);
  }
  List1.setColumnWidth(wizardcore::DeletedItemsModel::kItemColumn,
                       std::max(Px(1800), List1.viewport()->width() - others));
}

void FMain::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  anchors_.Apply(event->size() - minimumSize());
  LayOutList();
}

}  // namespace wizard
