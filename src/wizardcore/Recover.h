#pragma once

#include <string>
#include <vector>

#include "wizardcore/PurgeReport.h"

namespace wizardcore {

class DeletedList;
class Host;

// What one recover did.
struct RecoverSummary {
  int recovered = 0;
  int refused = 0;  // the engine would not (a name taken, an item of a kind it does not recover)
  int failed = 0;
  int notReached = 0;  // checked entries Stop left
  bool stopped = false;
  std::vector<OutcomeRow> rows;  // every checked entry, in list order: recovered, refused, ...
};

// Recovers the items of the checked entries, first to last, so that a project comes back before
// what is listed below it: each comes back live where it was and its entry leaves the list. A
// project comes back alone; the deleted entries below it stay deleted and listed (checked ones
// are recovered in their turn). Each failure is written to the host's log; Stop ends the run
// before the next entry.
RecoverSummary RecoverChecked(Host& host, DeletedList& list);

// "Recovered: 3 entries.\nRefused: 1.\nFailed: 0.\nNot reached because of Stop: 0."
std::string DescribeRecover(const RecoverSummary& summary);

}  // namespace wizardcore
