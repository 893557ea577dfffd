#include "wizardcore/Wording.h"

#include "wizardcore/DeletedList.h"
#include "wizardcore/Purge.h"

namespace wizardcore {
namespace {

std::string Count(std::int64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "15 items, 2.1 MiB", as a lower bound when not all of it could be read.
std::string Amount(const Tally& tally, const QLocale& locale) {
  return std::string(tally.complete ? "" : "at least ") + Count(tally.items, "item", "items") +
         ", " + FormatSize(tally.bytes, locale);
}

// What a destroy frees, after the items it takes: the database's files when the engine tells
// it (the content alone says little where files are empty but their histories are not), else
// the content.
std::string Frees(const Tally& tally, const QLocale& locale) {
  if (tally.disk > 0) {
    return ", holding " + FormatSize(tally.bytes, locale) + " of content; this frees about " +
           FormatSize(tally.disk, locale) + " on disk.";
  }
  return ", and " + FormatSize(tally.bytes, locale) + " reclaimed.";
}

}  // namespace

std::string FormatSize(std::int64_t bytes, const QLocale& locale) {
  return locale.formattedDataSize(bytes, 1).toStdString();
}

std::string DescribeKind(EntryKind kind) {
  switch (kind) {
    case EntryKind::Project:
      return "Project";
    case EntryKind::File:
      return "File";
    case EntryKind::Unknown:
      break;
  }
  return "Unknown";
}

std::string DescribeTakes(const DeletedEntry& entry, const QLocale& locale) {
  if (!entry.refusal.empty()) {
    return entry.refusal + ": kept";
  }
  if (entry.kind == EntryKind::File) {
    return entry.takes.complete ? FormatSize(entry.takes.bytes, locale) : "size unknown";
  }
  const Tally below{entry.takes.items - 1, entry.takes.bytes, entry.takes.complete};
  if (below.items == 0 && below.complete) {
    return "nothing below";
  }
  return Amount(below, locale) + " below";
}

std::string DescribeCount(int shown, int found) {
  return shown < found ? std::to_string(shown) + " of " + std::to_string(found) + " shown"
                       : std::to_string(found) + " items found";
}

std::string DescribeSelection(const Selection& selection, const QLocale& locale) {
  if (selection.checked == 0) {
    return "None checked";
  }
  return std::to_string(selection.checked) + " checked: " + Amount(selection.takes, locale) +
         (selection.takes.disk > 0
              ? " (about " + FormatSize(selection.takes.disk, locale) + " on disk)"
              : "");
}

std::string ConfirmationPrompt(const Selection& selection, int hidden, const std::string& advice,
                               const QLocale& locale) {
  const std::int64_t inside = selection.takes.items - selection.roots;
  std::string prompt =
      "Purge " + Count(selection.checked, "checked entry", "checked entries") + "?\r\n\r\n";
  if (hidden > 0) {
    prompt += std::to_string(hidden) + " of them " + (hidden == 1 ? "is" : "are") +
              " hidden by the filter.\r\n\r\n";
  }
  prompt += std::string(selection.takes.complete ? "" : "At least ") +
            Count(selection.takes.items, "item", "items") + " will be destroyed for good";
  if (inside > 0) {
    prompt += ", " + std::to_string(inside) + " of them inside projects";
  }
  prompt += Frees(selection.takes, locale) + "\r\n\r\n";
  if (!advice.empty()) {
    prompt += advice + "\r\n\r\n";
  }
  return prompt + "This cannot be undone.";
}

std::string KeepCopyNote(const std::string& folder, std::int64_t bytes, const QLocale& locale) {
  // The folder on a line of its own: a box that wraps a long path breaks it at a separator,
  // never between the quote and its first name.
  return "Before anything is destroyed, a copy of it (about " + FormatSize(bytes, locale) +
         ") is kept in the folder\r\n" + folder;
}

std::string RecoverPrompt(int checked, int hidden) {
  std::string prompt =
      "Recover " + Count(checked, "checked entry", "checked entries") + "?\r\n\r\n";
  if (hidden > 0) {
    prompt += std::to_string(hidden) + " of them " + (hidden == 1 ? "is" : "are") +
              " hidden by the filter.\r\n\r\n";
  }
  return prompt +
         "Each comes back where it was, no longer deleted; a project comes back without the "
         "deleted items below it that are not checked.";
}

std::string ConfirmationTitle(const std::string& appTitle, int hidden) {
  return hidden > 0 ? appTitle + ": checked entries are hidden by the filter" : appTitle;
}

std::string DescribeTotals(const Selection& selection, const QLocale& locale) {
  const std::int64_t inside = selection.takes.items - selection.roots;
  return Count(selection.checked, "checked entry", "checked entries") + ": " +
         (selection.takes.complete ? "" : "at least ") +
         Count(selection.takes.items, "item", "items") + " will be destroyed for good" +
         (inside > 0 ? ", " + std::to_string(inside) + " of them inside projects" : "") +
         Frees(selection.takes, locale);
}

std::string DescribeSummary(const PurgeSummary& summary, const QLocale& locale) {
  std::string text = "Destroyed: " + Count(summary.destroyed, "entry", "entries") + ", " +
                     Amount(summary.reclaimed, locale) +
                     (summary.reclaimed.disk > 0
                          ? " of content; about " + FormatSize(summary.reclaimed.disk, locale) +
                                " freed on disk.\n"
                          : " reclaimed.\n");
  text += "Failed: " + std::to_string(summary.failed) + ".\n";
  text +=
      "Kept because an entry below them was not checked: " + std::to_string(summary.kept) + ".\n";
  text += "Not reached because of Stop: " + std::to_string(summary.notReached) + ".";
  if (summary.stopped) {
    text += "\nThe purge was stopped.";
  }
  if (!summary.repeated.empty()) {
    text += "\nShown once and then counted (each one is written to standard error):";
    for (const RepeatedFailure& failure : summary.repeated) {
      text += "\n  (" + std::to_string(failure.first.number) + ") at line " +
              std::to_string(failure.line) + ", " +
              Count(failure.repeats, "more time", "more times") + " after '" +
              failure.first.description + "'";
    }
  }
  return text;
}

std::string DescribeUnread(const std::vector<UnreadProject>& unread) {
  if (unread.empty()) {
    return {};
  }
  constexpr std::size_t kNamed = 3;
  std::string text = "The search is incomplete: " +
                     Count(static_cast<std::int64_t>(unread.size()), "project", "projects") +
                     " could not be read: ";
  for (std::size_t i = 0; i < unread.size() && i < kNamed; ++i) {
    text += (i == 0 ? "" : ", ") + unread[i].spec;
    if (i == 0 && !unread[i].reason.empty()) {
      text += " (" + unread[i].reason + ")";  // often the same for all: a damaged database
    }
  }
  if (unread.size() > kNamed) {
    text += " and " + std::to_string(unread.size() - kNamed) + " more";
  }
  return text + ".";
}

}  // namespace wizardcore
