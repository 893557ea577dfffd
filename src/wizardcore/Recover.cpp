#include "wizardcore/Recover.h"

#include "errors/ErrorRecord.h"
#include "platform/translation/Tr.h"
#include "sourcecontrol/ErrorNumbers.h"
#include "sourcecontrol/IVSSItem.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Host.h"

namespace wizardcore {

using translation::Tr;

RecoverSummary RecoverChecked(Host& host, DeletedList& list) {
  RecoverSummary summary;
  std::vector<int> checked;
  for (int index = 0; index < list.Size(); ++index) {
    if (!list[index].removed && list[index].checked) {
      checked.push_back(index);
    }
  }
  int done = 0;
  for (const int index : checked) {
    const DeletedEntry& entry = list[index];
    OutcomeRow row;
    row.index = index;
    row.spec = entry.spec;
    row.label = list.Label(index);
    host.DoEvents();
    if (host.StopRequested()) {
      summary.stopped = true;
    }
    if (summary.stopped) {
      row.outcome = Outcome::NotReached;
      ++summary.notReached;
      summary.rows.push_back(std::move(row));
      continue;
    }
    ++done;
    host.ShowNowPurging(Tr("Recover", "Now recovering item (%1/%2):").Fill(done, checked.size()));
    host.ShowPurgeFileName(entry.spec);
    try {
      if (!entry.item) {
        throw errors::ErrorRecord(sourcecontrol::Number(sourcecontrol::ErrorCode::kItemNotFound),
                                  "Scourwell", "'" + entry.spec + "' was not read by the search");
      }
      entry.item->Recover();
      row.outcome = Outcome::Recovered;
      ++summary.recovered;
      list.Remove(index);
    } catch (const errors::ErrorRecord& error) {
      row.error = {error.Number(), error.Description()};
      const bool refused =
          RefusedByEngine(row.error) ||
          error.Number() == sourcecontrol::Number(sourcecontrol::ErrorCode::kAlreadyExists);
      row.outcome = refused ? Outcome::Refused : Outcome::Failed;
      ++(refused ? summary.refused : summary.failed);
      host.Log("Recover of '" + entry.spec + "' " + std::string(OutcomeWord(row.outcome)) + ": (" +
               std::to_string(error.Number()) + ") " + error.Description());
    }
    summary.rows.push_back(std::move(row));
  }
  return summary;
}

std::string DescribeRecover(const RecoverSummary& summary) {
  std::string text = translation::Plural(summary.recovered, Tr("Recover", "Recovered: %1 entry."),
                                         Tr("Recover", "Recovered: %1 entries."))
                         .Fill(summary.recovered) +
                     "\n";
  text += Tr("Recover", "Refused: %1.").Fill(summary.refused) + "\n";
  text += Tr("Recover", "Failed: %1.").Fill(summary.failed) + "\n";
  text += Tr("Recover", "Not reached because of Stop: %1.").Fill(summary.notReached);
  if (summary.stopped) {
    text += "\n" + Tr("Recover", "The recover was stopped.").Str();
  }
  return text;
}

}  // namespace wizardcore
