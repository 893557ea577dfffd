#pragma once

#include <QLocale>
#include <cstdint>
#include <string>
#include <vector>

#include "wizardcore/DeletedEntry.h"

namespace wizardcore {

struct PurgeSummary;
struct Selection;

// The texts the window shows about what a purge takes and what it did. Lines are separated by
// "\n"; sizes are written in the given locale ("120 bytes", "3.4 KiB").

std::string FormatSize(std::int64_t bytes, const QLocale& locale = QLocale());

// "Project" or "File", as the list's kind column shows it, in the user's language.
std::string DescribeKind(EntryKind kind);
// "project", "file" or "unknown", as scripts read it: never translated.
std::string KindWord(EntryKind kind);
// The word for an outcome as the window shows it: OutcomeWord in the user's language.
std::string ShownOutcomeWord(Outcome outcome);
// What goes with an entry: "12 items below, 3.4 KiB" for a project, the size for a file; or why
// it is kept when the engine would refuse it ("shared with '$/b': kept").
std::string DescribeTakes(const DeletedEntry& entry, const QLocale& locale = QLocale());
// The count under the list: "67 items found", or "54 of 67 shown" while a filter hides some.
std::string DescribeCount(int shown, int found);
// The line under the list: "3 checked: 15 items, 2.1 MiB".
std::string DescribeSelection(const Selection& selection, const QLocale& locale = QLocale());
// The question asked before a purge starts: what goes, how many of the checked entries the
// filter hides (`hidden`), and the engine's advice for a purge (a line, or empty).
std::string ConfirmationPrompt(const Selection& selection, int hidden = 0,
                               const std::string& advice = {}, const QLocale& locale = QLocale());
// The paragraph of the question that says where a copy of what goes is kept first, and about how
// large it is: "Before anything is destroyed, a copy of it (about 2.1 MiB) is kept in the
// folder", and the folder on its own line.
std::string KeepCopyNote(const std::string& folder, std::int64_t bytes,
                         const QLocale& locale = QLocale());
// The question asked before a recover: how many entries come back, and how many of them the
// filter hides.
std::string RecoverPrompt(int checked, int hidden);
// The question's title: the program's, saying so when checked entries are hidden.
std::string ConfirmationTitle(const std::string& appTitle, int hidden);
// The same figures in one line, for a report: "3 checked entries: 15 items will be destroyed for
// good, 12 of them inside projects, and 2.1 MiB reclaimed."
std::string DescribeTotals(const Selection& selection, const QLocale& locale = QLocale());
// The finish page's account of a purge.
std::string DescribeSummary(const PurgeSummary& summary, const QLocale& locale = QLocale());
// Why a search's result is incomplete: the projects whose children could not be read.
std::string DescribeUnread(const std::vector<UnreadProject>& unread);

}  // namespace wizardcore
