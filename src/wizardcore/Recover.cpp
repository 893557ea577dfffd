#include "wizardcore/Recover.h"

#include "errors/ErrorRecord.h"
#include "sourcecontrol/ErrorNumbers.h"
#include "sourcecontrol/IVSSItem.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Host.h"

namespace wizardcore {

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
    host.ShowNowPurging("Now recovering item (" + std::to_string(done) + "/" +
                        std::to_string(checked.size()) + "):");
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
  std::string text = "Recovered: " + std::to_string(summary.recovered) +
                     (summary.recovered == 1 ? " entry" : " entries") + ".\n";
  text += "Refused: " + std::to_string(summary.refused) + ".\n";
  text += "Failed: " + std::to_string(summary.failed) + ".\n";
  text += "Not reached because of Stop: " + std::to_string(summary.notReached) + ".";
  if (summary.stopped) {
    text += "\nThe recover was stopped.";
  }
  return text;
}

}  // namespace wizardcore
