#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "errors/Reporter.h"
#include "tools/vssdb/Console.h"
#include "wizardcore/DeletedEntry.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/DeletionTime.h"
#include "wizardcore/Purge.h"

namespace sourcecontrol {
class IVSSDatabase;
}

namespace wizardcore {
class DeletedItemCollection;
}

namespace vssdb {

class ConsoleHost;

enum class ReportFormat { Text, Json, Csv };

// An error's number as vssdb prints it ("0x8004DF0D"); empty for no error.
std::string ErrorNumber(const errors::CapturedError& error);

// The format --format names (text when it is not given); a UsageError for any other.
ReportFormat ParseFormat(const std::optional<std::string>& name);

// A report of deleted entries for people or scripts, with the window's columns: path, kind, the
// file's size, what lies below a project (items and bytes), whether those figures are complete;
// for a purge also each entry's outcome and, where it failed, the error's number and text. JSON
// and CSV are written through Qt's JSON classes and libcsv.
class DeletedReport {
 public:
  explicit DeletedReport(std::string database) : database_(std::move(database)) {}

  // `label` is the entry's path as the text shows it (DeletedList::Label); its spec otherwise.
  void Add(const wizardcore::DeletedEntry& entry, std::string outcome = {},
           errors::CapturedError error = {}, std::string label = {});
  // What the purge would take (a dry run) or the account of what it did, for people; in JSON
  // also as numbers.
  void SetTotals(const wizardcore::Selection& selection) { totals_ = selection; }
  void SetSummary(const wizardcore::PurgeSummary& summary) { summary_ = summary; }

  void Write(ReportFormat format, std::ostream& out) const;

 private:
  struct Row {
    std::string spec;
    std::string label;
    wizardcore::EntryKind kind;
    wizardcore::Tally takes;
    sourcecontrol::Deletion deletion;
    std::string outcome;
    errors::CapturedError error;
  };
  void WriteText(std::ostream& out) const;
  void WriteJson(std::ostream& out) const;
  void WriteCsv(std::ostream& out) const;

  std::string database_;
  std::vector<Row> rows_;
  std::optional<wizardcore::Selection> totals_;
  std::optional<wizardcore::PurgeSummary> summary_;
};

// Searches the database from `start` down as the window does, with the progress and Ctrl+C of
// the console, filling `list`. False when Ctrl+C stopped the search: the list is incomplete.
bool SearchDeleted(sourcecontrol::IVSSDatabase& database, const std::string& start,
                   ConsoleHost& host, wizardcore::DeletedList& list,
                   wizardcore::DeletedItemCollection& items);

// `vssdb list --deleted --format json|csv`: the deleted entries below `start` of the database
// at `path`, in a report.
// Only the entries whose delete `deletion` lets through are written.
int WriteDeletedReport(sourcecontrol::IVSSDatabase& database, const std::string& path,
                       const std::string& start, ReportFormat format,
                       const wizardcore::DeletionFilter& deletion, Console& console);

}  // namespace vssdb
