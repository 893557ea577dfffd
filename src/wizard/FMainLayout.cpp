// The window's size: it starts at the layout's size, which is also its smallest, and may grow or
// be maximised; the list and the fields grow with it, the buttons keep to the bottom right.
#include <QResizeEvent>
#include <QStyle>
#include <algorithm>

#include "platform/translation/Tr.h"
#include "wizard/FMain.h"
#include "wizard/Twips.h"

namespace wizard {
namespace {

using translation::Tr;

constexpr int kGap = 6;  // pixels between the list and what lies under it

// The space between a field and the caption before it, where a caption is wider than the
// English one the layout was made for.
constexpr int kCaptionGap = 4;

}  // namespace

void FMain::FitToTexts() {
  // The buttons: each as wide as its widest caption needs (a caption in another language may be
  // longer than the English one), the row still ending where it did, with its gaps.
  const int margin = 2 * style()->pixelMetric(QStyle::PM_ButtonMargin);
  const struct {
    QPushButton& button;
    std::vector<QString> captions;
  } row[] = {
      {cmdCancel, {Tr("FMain", "&Close"), Tr("FMain", "&Stop")}},
      {cmdNext, {Tr("FMain", "&List All >>"), Tr("FMain", "&Purge >>")}},
      {cmdRecover, {Tr("FMain", "&Recover")}},
      {cmdView, {Tr("FMain", "&View")}},
  };
  const int gap = cmdCancel.x() - (cmdNext.x() + cmdNext.width());
  int right = cmdCancel.x() + cmdCancel.width();
  for (const auto& button : row) {
    int width = button.button.width();
    for (const QString& caption : button.captions) {
      width = std::max(
          width, button.button.fontMetrics().size(Qt::TextShowMnemonic, caption).width() + margin);
    }
    button.button.setGeometry(right - width, button.button.y(), width, button.button.height());
    right -= width + gap;
  }
  // The fields after their captions: a group of fields starts where its widest caption leaves
  // room, keeping its right edge.
  const auto fit = [](std::initializer_list<std::pair<QLabel*, QWidget*>> group) {
    int left = 0;
    for (const auto& [caption, field] : group) {
      left = std::max({left, field->x(), caption->x() + caption->width() + kCaptionGap});
    }
    for (const auto& [caption, field] : group) {
      const int right = field->x() + field->width();
      field->setGeometry(left, field->y(), right - left, field->height());
    }
  };
  fit({{&Label1, &txtLoginName}, {&Label2, &txtPassword}, {&Label3, &txtVssDb}});
  fit({{&lblFilter, &txtFilter}});
  fit({{&lblNowSearchingIn, &lblSearchedFolder}});
}

void FMain::LayOutSummary() {
  // The account of a run takes the lines it needs, and the outcomes under it what is left down to
  // the report's link, three lines at least while they are shown.
  const int gap = Px(1590) - Px(435 + 1125);
  const int bottom = lblReport.y() - (Px(2490) - Px(1590 + 840));
  const int least = txtOutcomes.isHidden() ? 0
                                           : 3 * txtOutcomes.fontMetrics().lineSpacing() +
                                                 2 * txtOutcomes.frameWidth() + gap;
  const int wanted = std::max(Px(1125), lblSummary.heightForWidth(lblSummary.width()));
  const int height = std::max(Px(1125), std::min(wanted, bottom - least - lblSummary.y()));
  lblSummary.resize(lblSummary.width(), height);
  const int top = std::max(Px(1590), lblSummary.y() + height + gap);
  txtOutcomes.setGeometry(txtOutcomes.x(), top, txtOutcomes.width(), std::max(0, bottom - top));
}

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
  LayOutSummary();
}

}  // namespace wizard
