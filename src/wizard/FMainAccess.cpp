// What keyboard users and screen readers get: the links take the focus in their place in the tab
// order, every control has a name (and a description where its name is not enough), and the
// step markers say which step is the current one.
#include <QAccessible>

#include "platform/translation/Tr.h"
#include "wizard/FMain.h"
#include "wizard/LinkAccessible.h"

namespace wizard {

using translation::Tr;
namespace {

const char* const kStepCaptions[] = {
    QT_TRANSLATE_NOOP("FMain", "Start"), QT_TRANSLATE_NOOP("FMain", "List All"),
    QT_TRANSLATE_NOOP("FMain", "Select"), QT_TRANSLATE_NOOP("FMain", "Purge"),
    QT_TRANSLATE_NOOP("FMain", "Finish")};

}  // namespace

void FMain::MakeAccessible() {
  for (QLabel* link :
       {&lblChangePath, &lblCheckAll, &lblWWW, &lblEMail, &lblReport, &lblKeptCopy}) {
    MarkAsLink(*link);
  }
  const struct {
    QWidget& control;
    const char* name;
    const char* description;
  } named[] = {
      {txtLoginName, QT_TRANSLATE_NOOP("FMain", "Login name"),
       QT_TRANSLATE_NOOP("FMain", "The SourceSafe user to log in as")},
      {txtPassword, QT_TRANSLATE_NOOP("FMain", "Password"),
       QT_TRANSLATE_NOOP("FMain", "Empty for a user without a password")},
      {txtVssDb, QT_TRANSLATE_NOOP("FMain", "Database path"),
       QT_TRANSLATE_NOOP(
           "FMain", "The database folder or its srcsafe.ini, or a UNC path of a mounted share")},
      {lblChangePath, QT_TRANSLATE_NOOP("FMain", "Change database path"),
       QT_TRANSLATE_NOOP("FMain", "Opens a folder dialog to choose the database")},
      {txtFilter, QT_TRANSLATE_NOOP("FMain", "Filter"),
       QT_TRANSLATE_NOOP("FMain",
                         "Shows only the entries whose names match; * and ? are wildcards")},
      {chkDeletedBefore, QT_TRANSLATE_NOOP("FMain", "Deleted before"),
       QT_TRANSLATE_NOOP("FMain", "Shows only the entries deleted before the date")},
      {dtpDeletedBefore, QT_TRANSLATE_NOOP("FMain", "Date"),
       QT_TRANSLATE_NOOP("FMain", "The day before which the entries shown were deleted")},
      {List1, QT_TRANSLATE_NOOP("FMain", "Deleted items"),
       QT_TRANSLATE_NOOP("FMain", "Each checked entry is purged, with everything below it")},
      {lblCheckAll, QT_TRANSLATE_NOOP("FMain", "Check or uncheck all entries"), ""},
      {lblWWW, QT_TRANSLATE_NOOP("FMain", "Web site"), ""},
      {lblEMail, QT_TRANSLATE_NOOP("FMain", "Write an e-mail"), ""},
      {lblReport, QT_TRANSLATE_NOOP("FMain", "Open the purge report"), ""},
      {lblKeptCopy, QT_TRANSLATE_NOOP("FMain", "Open the copy kept before the purge"), ""},
      {cmdView, QT_TRANSLATE_NOOP("FMain", "View"),
       QT_TRANSLATE_NOOP("FMain", "Opens the latest content of the entry under the cursor")},
      {cmdRecover, QT_TRANSLATE_NOOP("FMain", "Recover"),
       QT_TRANSLATE_NOOP("FMain", "Brings the checked entries back where they were")},
      {txtOutcomes, QT_TRANSLATE_NOOP("FMain", "Entries that failed or were kept"),
       QT_TRANSLATE_NOOP("FMain", "Each with the reason")},
      {Frame1, QT_TRANSLATE_NOOP("FMain", "Steps"),
       QT_TRANSLATE_NOOP("FMain",
                         "Where the wizard stands: Start, List All, Select, Purge, Finish")},
  };
  for (const auto& control : named) {
    control.control.setAccessibleName(QString::fromUtf8(control.name));
    control.control.setAccessibleDescription(QString::fromUtf8(control.description));
  }
  // Labels whose text changes keep no fixed name: a screen reader reads their text as their name
  // (and hears when it changes); the description says what they are.
  const struct {
    QLabel& label;
    const char* description;
  } status[] = {
      {lblNotice, QT_TRANSLATE_NOOP("FMain", "Notice")},
      {lblSelection, QT_TRANSLATE_NOOP("FMain", "Selection")},
      {lblCount, QT_TRANSLATE_NOOP("FMain", "Items found")},
      {lblSummary, QT_TRANSLATE_NOOP("FMain", "What the purge did")},
      {lblNowPurging, QT_TRANSLATE_NOOP("FMain", "Progress")},
      {lblPurgeFileName, QT_TRANSLATE_NOOP("FMain", "The item being purged")},
      {lblSearchedFolder, QT_TRANSLATE_NOOP("FMain", "The project being searched")},
  };
  for (const auto& label : status) {
    label.label.setAccessibleName(QString());
    label.label.setAccessibleDescription(Tr("FMain", label.description));
  }

  // The fields, the links, the list and the buttons take the focus, in the order they are read.
  QWidget* tabOrder[] = {&txtLoginName,     &txtPassword,   &txtVssDb,        &lblChangePath,
                         &txtFilter,        &cmdCheckShown, &cmdUncheckShown, &chkDeletedBefore,
                         &dtpDeletedBefore, &List1,         &lblCheckAll,     &txtOutcomes,
                         &lblReport,        &lblKeptCopy,   &lblWWW,          &lblEMail,
                         &cmdView,          &cmdRecover,    &cmdNext,         &cmdCancel};
  for (QWidget* control : tabOrder) {
    control->setFocusPolicy(Qt::StrongFocus);
  }
  for (std::size_t i = 0; i + 1 < std::size(tabOrder); ++i) {
    setTabOrder(tabOrder[i], tabOrder[i + 1]);
  }
  for (int step = 0; step < 5; ++step) {
    NameStep(step, step == 0);
  }
}

void FMain::NameStep(int step, bool current) {
  QLabel* labels[] = {&lblShape1, &lblShape2, &lblShape3, &lblShape4, &lblShape5};
  QLabel& label = *labels[step];
  const QString caption = Tr("FMain", kStepCaptions[step]);
  label.setAccessibleName(
      current ? Tr("FMain", "Step %1 of 5: %2, the current step").FillQ(step + 1, caption)
              : Tr("FMain", "Step %1 of 5: %2").FillQ(step + 1, caption));
  label.setAccessibleDescription(current ? Tr("FMain", "current step").Q() : QString());
  QAccessibleEvent changed(&label, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&changed);
}

}  // namespace wizard
