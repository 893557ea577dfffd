#pragma once

namespace wizardcore {

class DeletedList;
class Host;

// Asks the engine, for every entry on the list, whether it would refuse to destroy it, and marks
// those it would refuse (DeletedList::Refuse), so that the list, the totals and the question tell
// the truth before the purge. Nothing is written. An entry whose answer cannot be read stays as
// it is: the purge's own check still stands. Shows its progress ("Checking which entries can be
// purged: 12 of 3000"), pumps the host between entries and ends early when it is asked to stop,
// leaving the entries not asked as they were.
void MarkRefused(Host& host, DeletedList& list);

}  // namespace wizardcore
