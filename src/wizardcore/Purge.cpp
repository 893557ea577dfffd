#include "wizardcore/Purge.h"

#include <QString>
#include <algorithm>
#include <utility>

#include "errors/ErrorMessage.h"
#include "errors/ErrorRecord.h"
#include "errors/ObjectRequired.h"
#include "errors/Procedure.h"
#include "platform/translation/Tr.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "sourcecontrol/IVSSItem.h"
#include "wizardcore/DeletedItemCollection.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Host.h"

namespace wizardcore {

using translation::Tr;
namespace {

// For each entry, how many entries before it are listed and not checked: the entries below a
// project that are not checked are then a difference of two numbers. Check boxes cannot change
// while the purge runs (the list's page is hidden), so the counts hold for the whole run.
std::vector<int> UncheckedBefore(const DeletedList& list) {
  std::vector<int> before(static_cast<std::size_t>(list.Size()) + 1, 0);
  for (int index = 0; index < list.Size(); ++index) {
    const DeletedEntry& entry = list[index];
    before[static_cast<std::size_t>(index) + 1] =
        before[static_cast<std::size_t>(index)] + (!entry.removed && !entry.checked ? 1 : 0);
  }
  return before;
}

}  // namespace

// Between the purge's statements and the host: writes every failure to the log with the item in
// hand, shows the first of each kind (error number and line) and counts the repeats.
class Purge::Failures final : public errors::Reporter {
 public:
  explicit Failures(Host& host) : host_(host) {}

  void StatementFailed(const std::string& source, std::int32_t line,
                       const errors::CapturedError& error) noexcept override {
    if (entry != nullptr && (line == 113 || line == 114)) {  // finding or destroying it
      entry->failure = error;
    }
    try {
      host_.Log("scourwell: purge" + (inHand.empty() ? std::string() : " of '" + inHand + "'") +
                ", line " + std::to_string(line) + ": " +
                errors::ComposeErrorMessage(error.number, error.description));
      for (RepeatedFailure& seen : seen_) {
        if (seen.line == line && seen.first.number == error.number) {
          ++seen.repeats;
          return;
        }
      }
      seen_.push_back({line, error, 0});
    } catch (...) {
      // Out of memory: the failure is still shown below.
    }
    host_.StatementFailed(source, line, error);
  }

  std::vector<RepeatedFailure> Repeated() const {
    std::vector<RepeatedFailure> repeated;
    std::copy_if(seen_.begin(), seen_.end(), std::back_inserter(repeated),
                 [](const RepeatedFailure& failure) { return failure.repeats > 0; });
    return repeated;
  }

  std::string inHand;             // the path of the entry being purged
  DeletedEntry* entry = nullptr;  // and the entry itself

 private:
  Host& host_;
  std::vector<RepeatedFailure> seen_;
};

Purge::Purge(Host& host, DeletedList& list, DeletedItemCollection& items,
             sourcecontrol::IVSSDatabase* database)
    : host_(host),
      list_(list),
      items_(items),
      failures_(std::make_unique<Failures>(host)),
      database_(database) {}

Purge::~Purge() = default;

void Purge::PurgeVssItems() {
  errors::Procedure proc("Scourwell.FMain.PurgeVssItems", *failures_);
  visited_.assign(static_cast<std::size_t>(list_.Size()), false);
  // Counting pass. An entry whose check state cannot be read is counted.
  int total = 0;                                             // 100
  for (int index = list_.Size() - 1; index >= 0; --index) {  // 101
    if (list_[index].removed) {
      continue;  // not on the list any more
    }
    if (proc.If(102, [&] { return list_[index].checked; })) {
      proc.Do(103, [&] { ++total; });
    }
    proc.Do(104, [&] { host_.DoEvents(); });
    if (proc.If(105, [&] { return host_.StopRequested(); })) {
      Summarize(true);
      return;
    }
  }
  if (database_ != nullptr) {
    // 119, new here: the destroys are saved in groups, with turns for the window inside long ones.
    proc.Do(119, [&] { database_->BeginDestroyGroup([this] { host_.DoEvents(); }); });
  }

  // Purge pass. Entries keep their indexes when they leave the list.
  const std::vector<int> uncheckedBefore = UncheckedBefore(list_);
  int current = 0;                                           // 106
  for (int index = list_.Size() - 1; index >= 0; --index) {  // 107
    if (list_[index].removed) {
      continue;
    }
    // An entry whose check state cannot be read is not destroyed.
    if (!proc.If(
            108, [&] { return list_[index].checked; }, false)) {
      continue;
    }
    DeletedEntry& entry = list_.At(index);
    visited_[static_cast<std::size_t>(index)] = true;
    failures_->inHand = entry.spec;
    failures_->entry = &entry;
    entry.outcome = Outcome::Failed;  // until the destroy has succeeded
    proc.Do(109, [&] { ++current; });
    proc.Do(110, [&] {
      host_.ShowNowPurging(Tr("Purge", "Now purging item (%1/%2):").Fill(current, total));
    });
    proc.Do(111, [&] { host_.ShowPurgeFileName(entry.spec); });
    proc.Do(112, [&] { host_.DoEvents(); });
    // 113: the entry's own item, the very one the search listed for it.
    std::shared_ptr<sourcecontrol::IVSSItem> item;
    const bool found = proc.Do(113, [&] {
      item = entry.item;
      errors::Object(item);
    });
    if (found) {
      const bool destroyed = proc.Do(114, [&] {
        const std::size_t first = static_cast<std::size_t>(index) + 1;
        const std::size_t end = static_cast<std::size_t>(std::max(index + 1, entry.end));
        if (uncheckedBefore[end] != uncheckedBefore[first]) {
          entry.outcome = Outcome::Kept;
          throw errors::ErrorRecord(kKeptForUncheckedEntry, "Scourwell",
                                    "'" + entry.spec +
                                        "' was kept: an entry below it is not checked, and "
                                        "destroying the project would destroy that entry too");
        }
        errors::Object(item).Destroy();
        entry.outcome = Outcome::Destroyed;
      });
      if (destroyed) {
        unsaved_.push_back(index);
        NoteSaved();
      } else if (entry.failure.number == sourcecontrol::kDestroysNotSaved) {
        NoteNotSaved(entry.failure);
      }
    }
    proc.Do(115, [&] {
      // The entry's own key, when line 102 could put its item under it.
      if (items_.Holds(entry.key, item.get())) {
        items_.Remove(entry.key);
      }
    });
    proc.Do(116, [&] { list_.Remove(index); });
    proc.Do(117, [&] { host_.DoEvents(); });
    if (proc.If(118, [&] { return host_.StopRequested(); })) {
      Finish(proc, true);
      return;
    }
  }
  Finish(proc, false);
}

void Purge::NoteSaved() {
  // The destroys not saved yet are always the latest ones.
  const std::size_t unsaved =
      database_ == nullptr ? 0
                           : static_cast<std::size_t>(std::max(0, database_->UnsavedDestroys()));
  if (unsaved < unsaved_.size()) {
    unsaved_.erase(unsaved_.begin(), unsaved_.end() - static_cast<std::ptrdiff_t>(unsaved));
  }
}

void Purge::NoteNotSaved(const errors::CapturedError& error) {
  for (const int index : unsaved_) {
    DeletedEntry& entry = list_.At(index);
    entry.outcome = Outcome::Failed;
    entry.failure = error;
    host_.Log("scourwell: purge of '" + entry.spec + "' did not take place: " + error.description);
  }
  unsaved_.clear();
}

void Purge::Finish(errors::Procedure& proc, bool stopped) {
  failures_->inHand.clear();  // what fails now is the group's, not the last entry's
  failures_->entry = nullptr;
  if (database_ != nullptr) {
    // 120, new here: the last group of destroys is saved.
    const errors::CapturedError error = errors::CaptureError([&] { database_->EndDestroyGroup(); });
    if (error) {
      proc.Report(120, error);
      if (error.number == sourcecontrol::kDestroysNotSaved) {
        NoteNotSaved(error);
      }
    }
  }
  Summarize(stopped);
}

void Purge::Summarize(bool stopped) {
  PurgeSummary summary;
  summary.stopped = stopped;
  int covered = 0;  // entries before this one lie inside a project destroyed and counted
  for (int index = 0; index < list_.Size(); ++index) {
    const DeletedEntry& entry = list_[index];
    if (!visited_[static_cast<std::size_t>(index)]) {
      if (stopped && entry.checked && !entry.removed) {
        ++summary.notReached;
      }
      continue;
    }
    switch (entry.outcome) {
      case Outcome::Destroyed:
        ++summary.destroyed;
        if (index >= covered) {
          summary.reclaimed += entry.takes;
          covered = entry.end;
        }
        break;
      case Outcome::Failed:
        ++summary.failed;
        break;
      case Outcome::Kept:
        ++summary.kept;
        break;
      default:  // the purge gives an entry no other outcome
        break;
    }
  }
  summary.repeated = failures_->Repeated();
  summary_ = std::move(summary);
}

}  // namespace wizardcore
