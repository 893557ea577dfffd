// What keyboard users and screen readers get: the links take the focus in their place in the tab
// order, every control has a name (and a description where its name is not enough), and the
// step markers say which step is the current one.
#include <QAccessible>

#include "wizard/FMain.h"
#include "wizard/LinkAccessible.h"

namespace wizard {
namespace {

const char* const kStepCaptions[] = {"Start", "List All", "Select", "Purge", "Finish"};

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
      {txtLoginName, "Login name", "The SourceSafe user to log in as"},
      {txtPassword, "Password", "Empty for a user without a password"},
      {txtVssDb, "Database path",
       "The database folder or its srcsafe.ini, or a UNC path of a mounted share"},
      {lblChangePath, "Change database path", "Opens a folder dialog to choose the database"},
      {txtFilter, "Filter", "Shows only the entries whose names match; * and ? are wildcards"},
      {chkDeletedBefore, "Deleted before", "Shows only the entries deleted before the date"},
      {dtpDeletedBefore, "Date", "The day before which the entries shown were deleted"},
      {List1, "Deleted items", "Each checked entry is purged, with everything below it"},
      {lblCheckAll, "Check or uncheck all entries", ""},
      {lblWWW, "Web site", ""},
      {lblEMail, "Write an e-mail", ""},
      {lblReport, "Open the purge report", ""},
      {lblKeptCopy, "Open the copy kept before the purge", ""},
      {cmdView, "View", "Opens the latest content of the entry under the cursor"},
      {cmdRecover, "Recover", "Brings the checked entries back where they were"},
      {txtOutcomes, "Entries that failed or were kept", "Each with the reason"},
      {Frame1, "Steps", "Where the wizard stands: Start, List All, Select, Purge, Finish"},
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
      {lblNotice, "Notice"},
      {lblSelection, "Selection"},
      {lblCount, "Items found"},
      {lblSummary, "What the purge did"},
      {lblNowPurging, "Progress"},
      {lblPurgeFileName, "The item being purged"},
      {lblSearchedFolder, "The project being searched"},
  };
  for (const auto& label : status) {
    label.label.setAccessibleName(QString());
    label.label.setAccessibleDescription(QString::fromUtf8(label.description));
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
  label.setAccessibleName(QStringLiteral("Step %1 of 5: %2%3")
                              .arg(step + 1)
                              .arg(QString::fromLatin1(kStepCaptions[step]))
                              .arg(current ? QStringLiteral(", the current step") : QString()));
  label.setAccessibleDescription(current ? QStringLiteral("current step") : QString());
  QAccessibleEvent changed(&label, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&changed);
}

}  // namespace wizard
