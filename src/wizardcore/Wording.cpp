#include "wizardcore/Wording.h"

#include "platform/translation/Tr.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Purge.h"

namespace wizardcore {
namespace {

using translation::Plural;
using translation::Tr;

// A counted noun in the form its count takes; the count is %1.
std::string Count(std::int64_t count, translation::Text one, translation::Text many) {
  return Plural(count, std::move(one), std::move(many)).Fill(count);
}

std::string Items(std::int64_t count) {
  return Count(count, Tr("Wording", "%1 item"), Tr("Wording", "%1 items"));
}

std::string CheckedEntries(std::int64_t count) {
  return Count(count, Tr("Wording", "%1 checked entry"), Tr("Wording", "%1 checked entries"));
}

// "15 items, 2.1 MiB", as a lower bound when not all of it could be read.
std::string Amount(const Tally& tally, const QLocale& locale) {
  return (tally.complete ? Tr("Wording", "%1, %2") : Tr("Wording", "at least %1, %2"))
      .Fill(Items(tally.items), FormatSize(tally.bytes, locale));
}

// What a destroy frees, after the items it takes: the database's files when the engine tells
// it (the content alone says little where files are empty but their histories are not), else
// the content.
std::string Frees(const Tally& tally, const QLocale& locale) {
  if (tally.disk > 0) {
    return Tr("Wording", ", holding %1 of content; this frees about %2 on disk.")
        .Fill(FormatSize(tally.bytes, locale), FormatSize(tally.disk, locale));
  }
  return Tr("Wording", ", and %1 reclaimed.").Fill(FormatSize(tally.bytes, locale));
}

// What a run will destroy: "15 items will be destroyed for good, 12 of them inside projects".
std::string Destroys(const Selection& selection, bool sentence) {
  const std::int64_t inside = selection.takes.items - selection.roots;
  const std::int64_t items = selection.takes.items;
  std::string text;
  if (selection.takes.complete) {
    text = Count(items, Tr("Wording", "%1 item will be destroyed for good"),
                 Tr("Wording", "%1 items will be destroyed for good"));
  } else if (sentence) {
    text = Count(items, Tr("Wording", "At least %1 item will be destroyed for good"),
                 Tr("Wording", "At least %1 items will be destroyed for good"));
  } else {
    text = Count(items, Tr("Wording", "at least %1 item will be destroyed for good"),
                 Tr("Wording", "at least %1 items will be destroyed for good"));
  }
  if (inside > 0) {
    text += Tr("Wording", ", %1 of them inside projects").Fill(inside);
  }
  return text;
}

// "2 of them are hidden by the filter.", and the paragraph's break.
std::string Hidden(int hidden) {
  return Count(hidden, Tr("Wording", "%1 of them is hidden by the filter."),
               Tr("Wording", "%1 of them are hidden by the filter.")) +
         "\r\n\r\n";
}

}  // namespace

std::string FormatSize(std::int64_t bytes, const QLocale& locale) {
  return locale.formattedDataSize(bytes, 1).toStdString();
}

std::string DescribeKind(EntryKind kind) {
  switch (kind) {
    case EntryKind::Project:
      return Tr("Wording", "Project").Str();
    case EntryKind::File:
      return Tr("Wording", "File").Str();
    case EntryKind::Unknown:
      break;
  }
  return Tr("Wording", "Unknown").Str();
}

std::string KindWord(EntryKind kind) {
  switch (kind) {
    case EntryKind::Project:
      return "project";
    case EntryKind::File:
      return "file";
    case EntryKind::Unknown:
      break;
  }
  return "unknown";
}

std::string ShownOutcomeWord(Outcome outcome) {
  return Tr("Outcome", std::string(OutcomeWord(outcome)).c_str()).Str();
}

std::string DescribeTakes(const DeletedEntry& entry, const QLocale& locale) {
  if (!entry.refusal.empty()) {
    return Tr("Wording", "%1: kept").Fill(entry.refusal);
  }
  if (entry.kind == EntryKind::File) {
    return entry.takes.complete ? FormatSize(entry.takes.bytes, locale)
                                : Tr("Wording", "size unknown").Str();
  }
  const Tally below{entry.takes.items - 1, entry.takes.bytes, entry.takes.complete};
  if (below.items == 0 && below.complete) {
    return Tr("Wording", "nothing below").Str();
  }
  return Tr("Wording", "%1 below").Fill(Amount(below, locale));
}

std::string DescribeCount(int shown, int found) {
  return shown < found ? Tr("Wording", "%1 of %2 shown").Fill(shown, found)
                       : Tr("Wording", "%1 items found").Fill(found);
}

std::string DescribeSelection(const Selection& selection, const QLocale& locale) {
  if (selection.checked == 0) {
    return Tr("Wording", "None checked").Str();
  }
  const std::string amount = Amount(selection.takes, locale);
  return selection.takes.disk > 0
             ? Tr("Wording", "%1 checked: %2 (about %3 on disk)")
                   .Fill(selection.checked, amount, FormatSize(selection.takes.disk, locale))
             : Tr("Wording", "%1 checked: %2").Fill(selection.checked, amount);
}

std::string ConfirmationPrompt(const Selection& selection, int hidden, const std::string& advice,
                               const QLocale& locale) {
  std::string prompt =
      Tr("Wording", "Purge %1?").Fill(CheckedEntries(selection.checked)) + "\r\n\r\n";
  if (hidden > 0) {
    prompt += Hidden(hidden);
  }
  prompt += Destroys(selection, true) + Frees(selection.takes, locale) + "\r\n\r\n";
  if (!advice.empty()) {
    prompt += advice + "\r\n\r\n";
  }
  return prompt + Tr("Wording", "This cannot be undone.").Str();
}

std::string KeepCopyNote(const std::string& folder, std::int64_t bytes, const QLocale& locale) {
  // The folder on a line of its own: a box that wraps a long path breaks it at a separator,
  // never between the quote and its first name.
  return Tr("Wording",
            "Before anything is destroyed, a copy of it (about %1) is kept in the folder\r\n%2")
      .Fill(FormatSize(bytes, locale), folder);
}

std::string RecoverPrompt(int checked, int hidden) {
  std::string prompt = Tr("Wording", "Recover %1?").Fill(CheckedEntries(checked)) + "\r\n\r\n";
  if (hidden > 0) {
    prompt += Hidden(hidden);
  }
  return prompt + Tr("Wording",
                     "Each comes back where it was, no longer deleted; a project comes back "
                     "without the deleted items below it that are not checked.")
                      .Str();
}

std::string ConfirmationTitle(const std::string& appTitle, int hidden) {
  return hidden > 0 ? Tr("Wording", "%1: checked entries are hidden by the filter").Fill(appTitle)
                    : appTitle;
}

std::string DescribeTotals(const Selection& selection, const QLocale& locale) {
  return Tr("Wording", "%1: %2")
             .Fill(CheckedEntries(selection.checked), Destroys(selection, false)) +
         Frees(selection.takes, locale);
}

std::string DescribeSummary(const PurgeSummary& summary, const QLocale& locale) {
  const std::string entries =
      Count(summary.destroyed, Tr("Wording", "%1 entry"), Tr("Wording", "%1 entries"));
  const std::string amount = Amount(summary.reclaimed, locale);
  std::string text = (summary.reclaimed.disk > 0
                          ? Tr("Wording", "Destroyed: %1, %2 of content; about %3 freed on disk.")
                                .Fill(entries, amount, FormatSize(summary.reclaimed.disk, locale))
                          : Tr("Wording", "Destroyed: %1, %2 reclaimed.").Fill(entries, amount)) +
                     "\n";
  text += Tr("Wording", "Failed: %1.").Fill(summary.failed) + "\n";
  text +=
      Tr("Wording", "Kept because an entry below them was not checked: %1.").Fill(summary.kept) +
      "\n";
  text += Tr("Wording", "Not reached because of Stop: %1.").Fill(summary.notReached);
  if (summary.stopped) {
    text += "\n" + Tr("Wording", "The purge was stopped.").Str();
  }
  if (!summary.repeated.empty()) {
    text +=
        "\n" +
        Tr("Wording", "Shown once and then counted (each one is written to standard error):").Str();
    for (const RepeatedFailure& failure : summary.repeated) {
      text +=
          "\n  " +
          Plural(failure.repeats, Tr("Wording", "(%1) at line %2, %3 more time after '%4'"),
                 Tr("Wording", "(%1) at line %2, %3 more times after '%4'"))
              .Fill(failure.first.number, failure.line, failure.repeats, failure.first.description);
    }
  }
  return text;
}

std::string DescribeUnread(const std::vector<UnreadProject>& unread) {
  if (unread.empty()) {
    return {};
  }
  constexpr std::size_t kNamed = 3;
  std::string names;
  for (std::size_t i = 0; i < unread.size() && i < kNamed; ++i) {
    names += (i == 0 ? "" : Tr("Wording", ", ").Str()) + unread[i].spec;
    if (i == 0 && !unread[i].reason.empty()) {
      names += " (" + unread[i].reason + ")";  // often the same for all: a damaged database
    }
  }
  if (unread.size() > kNamed) {
    names = Tr("Wording", "%1 and %2 more").Fill(names, unread.size() - kNamed);
  }
  return Plural(static_cast<std::int64_t>(unread.size()),
                Tr("Wording", "The search is incomplete: %1 project could not be read: %2."),
                Tr("Wording", "The search is incomplete: %1 projects could not be read: %2."))
      .Fill(unread.size(), names);
}

}  // namespace wizardcore
