#pragma once

#include <QtGlobal>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "errors/Reporter.h"
#include "sourcecontrol/IVSSItem.h"

namespace wizardcore {

// A project whose children the search could not read, and the error that said why.
struct UnreadProject {
  std::string spec;
  std::string reason;
};

enum class EntryKind { Project, File, Unknown };

// What a destroy takes: a number of items and their size in bytes. `complete` is false when the
// search could not read all of it (a project whose children could not be fetched, a size that
// could not be read, a walk stopped inside), so the figures are a lower bound. `disk` is what the
// destroy frees in the database's files, as the engine tells it (0 when it cannot).
struct Tally {
  std::int64_t items = 0;
  std::int64_t bytes = 0;
  bool complete = true;
  std::int64_t disk = 0;

  Tally& operator+=(const Tally& other) {
    items += other.items;
    bytes += other.bytes;
    complete = complete && other.complete;
    disk += other.disk;
    return *this;
  }
};

// How a run ended for an entry: the purge's outcomes are kept on the entry itself; the others are
// what a row of an account says (a recover, a restore, a dry run).
enum class Outcome {
  None,          // not visited (unchecked, or not reached because of Stop)
  Destroyed,     // the item is gone, with everything below it
  Failed,        // its destroy failed or its item could not be found
  Kept,          // a project kept because an entry below it was not checked, or an entry the
                 // engine said it would refuse
  Refused,       // the engine would not do it (and will not until someone changes the database)
  NotReached,    // checked, but Stop ended the run first
  Recovered,     // back, live, where it was
  Restored,      // put back from a kept copy
  WouldDestroy,  // a dry run's: a purge would destroy it
};

// The word for an outcome in every account of a run that scripts read: "destroyed",
// "not-reached", ...; empty for None. The window shows its translation (ShownOutcomeWord).
constexpr std::string_view OutcomeWord(Outcome outcome) {
  switch (outcome) {
    case Outcome::None:
      return "";
    case Outcome::Destroyed:
      return QT_TRANSLATE_NOOP("Outcome", "destroyed");
    case Outcome::Failed:
      return QT_TRANSLATE_NOOP("Outcome", "failed");
    case Outcome::Kept:
      return QT_TRANSLATE_NOOP("Outcome", "kept");
    case Outcome::Refused:
      return QT_TRANSLATE_NOOP("Outcome", "refused");
    case Outcome::NotReached:
      return QT_TRANSLATE_NOOP("Outcome", "not-reached");
    case Outcome::Recovered:
      return QT_TRANSLATE_NOOP("Outcome", "recovered");
    case Outcome::Restored:
      return QT_TRANSLATE_NOOP("Outcome", "restored");
    case Outcome::WouldDestroy:
      return QT_TRANSLATE_NOOP("Outcome", "would-destroy");
  }
  return "";
}

// One listed deleted item: what the search read of it, where it stands in the tree of the list,
// its check box, and the item it was listed for (the purge destroys that very item).
struct DeletedEntry {
  std::string spec;
  // Its key among the items the search keeps: its path, and for the second and later entries of
  // one path (a file deleted, added again and deleted again) their number after it.
  std::string key;
  int samePath = 1;  // its number among the listed entries of its path, from 1
  EntryKind kind = EntryKind::Unknown;
  sourcecontrol::Deletion deletion;  // when and by whom, where the database records it
  // What goes when this entry is destroyed: the item itself and everything below it, live and
  // deleted.
  Tally takes;
  // The nearest listed entry above it, or -1; and one past its last listed descendant. Entries
  // are in the order of a depth-first walk, so an entry's descendants are the entries between
  // it and `end`.
  int parent = -1;
  int end = 0;
  bool checked = false;
  // Why the engine would refuse to destroy it, in a few words ("shared with '$/b'"); empty when
  // nothing is known to stand in the way. A refused entry is never checked and counts in no
  // total.
  std::string refusal;
  bool removed = false;  // taken off the list by the purge
  Outcome outcome = Outcome::None;
  errors::CapturedError failure;  // why the purge could not destroy it
  std::shared_ptr<sourcecontrol::IVSSItem> item;
};

}  // namespace wizardcore
