// The search and the purge, run by wizardcore with the window as their host; the question asked
// before a purge and the account of it on the finish page.
#include <iostream>

#include "errors/ObjectRequired.h"
#include "platform/forms/Forms.h"
#include "wizard/FMain.h"
#include "wizardcore/Purge.h"
#include "wizardcore/PurgeRules.h"
#include "wizardcore/Search.h"
#include "wizardcore/Wording.h"

namespace wizard {

void FMain::SearchVssItem(const std::shared_ptr<sourcecontrol::IVSSItem>& item) {
  // The list's page is hidden during the search: its view learns what was found at the end.
  wizardcore::DeletedItemsModel::Hold hold(listModel_);
  wizardcore::Search(host_, listed_, DeletedItems).SearchVssItem(item);
}

void FMain::PurgeVssItems() {
  wizardcore::Purge purge(host_, listed_, DeletedItems, Database.get());
  {
    // The list's page is hidden during the purge: its view learns what left once, at the end.
    wizardcore::DeletedItemsModel::Hold hold(listModel_);
    purge.PurgeVssItems();
  }
  ShowSummary(purge.Summary());
}

bool FMain::ConfirmPurge() {
  const wizardcore::Selection selection = listed_.Selected();
  if (!wizardcore::AskBeforePurge(selection)) {
    return true;
  }
  return forms::Current().MsgBox(wizardcore::ConfirmationPrompt(selection),
                                 forms::vbYesNo | forms::vbExclamation | forms::vbDefaultButton2,
                                 kAppTitle) == forms::vbYes;
}

void FMain::ShowSummary(const wizardcore::PurgeSummary& summary) {
  lblSummary.setText(QString::fromStdString(wizardcore::DescribeSummary(summary)));
  lblSummary.show();
}

void FMain::RunHost::StatementFailed(const std::string& source, std::int32_t line,
                                     const errors::CapturedError& error) noexcept {
  window_.report_.StatementFailed(source, line, error);
}

void FMain::RunHost::DoEvents() { forms::Current().DoEvents(); }

void FMain::RunHost::ShowSearchedFolder(const std::string& spec) {
  window_.lblSearchedFolder.setText(QString::fromStdString(spec));
}

void FMain::RunHost::ShowNowPurging(const std::string& caption) {
  window_.lblNowPurging.setText(QString::fromStdString(caption));
}

void FMain::RunHost::ShowPurgeFileName(const std::string& spec) {
  window_.lblPurgeFileName.setText(QString::fromStdString(spec));
}

void FMain::RunHost::Log(const std::string& line) { std::cerr << line << std::endl; }

}  // namespace wizard
