#include "tools/vssdb/DeletedReport.h"

#include <csv.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <algorithm>
#include <cstdio>

#include "platform/text/AsciiCase.h"
#include "platform/text/DisplayWidth.h"
#include "platform/text/Printable.h"
#include "platform/translation/Tr.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "sourcecontrol/IVSSItem.h"
#include "tools/vssdb/Arguments.h"
#include "tools/vssdb/ConsoleHost.h"
#include "wizardcore/DeletedItemCollection.h"
#include "wizardcore/Runs.h"
#include "wizardcore/Wording.h"

namespace vssdb {

using translation::Tr;
namespace {

using wizardcore::EntryKind;

// Figures for scripts are not in the user's locale: "1234", not "1.234".
const QLocale& Plain() {
  static const QLocale c = QLocale::c();
  return c;
}

std::string KindName(EntryKind kind) { return wizardcore::KindWord(kind); }

// The columns of one entry, as text: size is the file's own (empty for a project, or when it
// could not be read); below counts what a project holds.
struct Columns {
  std::string size;
  std::int64_t itemsBelow = 0;
  std::int64_t bytesBelow = 0;
};

Columns ColumnsOf(EntryKind kind, const wizardcore::Tally& takes) {
  Columns columns;
  if (kind == EntryKind::Project) {
    columns.itemsBelow = takes.items - 1;
    columns.bytesBelow = takes.bytes;
  } else if (takes.complete) {
    columns.size = std::to_string(takes.bytes);
  }
  return columns;
}

// One CSV field, quoted by libcsv.
std::string CsvField(const std::string& text) {
  std::string field(text.size() * 2 + 2, '\0');
  field.resize(csv_write(field.data(), field.size(), text.data(), text.size()));
  return field;
}

void CsvRow(std::ostream& out, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    out << (i == 0 ? "" : ",") << CsvField(fields[i]);
  }
  out << "\r\n";
}

}  // namespace

std::string ErrorNumber(const errors::CapturedError& error) {
  if (!error) {
    return {};
  }
  char number[16];
  std::snprintf(number, sizeof number, "0x%08X", static_cast<unsigned>(error.number));
  return number;
}

ReportFormat ParseFormat(const std::optional<std::string>& name) {
  if (!name || *name == "text") {
    return ReportFormat::Text;
  }
  if (*name == "json") {
    return ReportFormat::Json;
  }
  if (*name == "csv") {
    return ReportFormat::Csv;
  }
  throw UsageError(Tr("vssdb", "--format takes text, json or csv, not '%1'").Fill(*name));
}

void DeletedReport::Add(const wizardcore::DeletedEntry& entry, std::string outcome,
                        errors::CapturedError error, std::string label) {
  rows_.push_back({entry.spec, label.empty() ? entry.spec : std::move(label), entry.kind,
                   entry.takes, entry.deletion, std::move(outcome), std::move(error)});
}

void DeletedReport::Write(ReportFormat format, std::ostream& out) const {
  switch (format) {
    case ReportFormat::Text:
      WriteText(out);
      break;
    case ReportFormat::Json:
      WriteJson(out);
      break;
    case ReportFormat::Csv:
      WriteCsv(out);
      break;
  }
}

void DeletedReport::WriteText(std::ostream& out) const {
  for (const Row& row : rows_) {
    wizardcore::DeletedEntry entry;
    entry.kind = row.kind;
    entry.takes = row.takes;
    // Columns by the terminal's cells: what goes with an entry may be in a language whose
    // characters take two.
    out << text::PadToWidth(row.outcome, 12) << ' ' << text::PadToWidth(KindName(row.kind), 8)
        << ' ' << text::PadToWidth(wizardcore::DescribeTakes(entry, Plain()), 28) << ' '
        << text::Printable(row.label, true) << '\n';
    if (row.error) {
      out << "    " << ErrorNumber(row.error) << ": "
          << text::Printable(row.error.description, false) << '\n';
    }
  }
  if (totals_) {
    out << wizardcore::DescribeTotals(*totals_, Plain()) << '\n';
  }
  if (summary_) {
    out << wizardcore::DescribeSummary(*summary_, Plain()) << '\n';
  }
}

void DeletedReport::WriteJson(std::ostream& out) const {
  QJsonArray entries;
  for (const Row& row : rows_) {
    const Columns columns = ColumnsOf(row.kind, row.takes);
    QJsonObject entry{
        {"path", QString::fromStdString(row.spec)},
        {"kind", QString::fromStdString(KindName(row.kind))},
        {"size",
         columns.size.empty() ? QJsonValue() : QJsonValue(static_cast<qint64>(row.takes.bytes))},
        {"items_below", static_cast<qint64>(columns.itemsBelow)},
        {"bytes_below", static_cast<qint64>(columns.bytesBelow)},
        {"complete", row.takes.complete},
        {"deleted_on", row.deletion.time ? QJsonValue(QString::fromStdString(
                                               wizardcore::IsoDeletionTime(row.deletion)))
                                         : QJsonValue()},
        {"deleted_by", row.deletion.user.empty()
                           ? QJsonValue()
                           : QJsonValue(QString::fromStdString(row.deletion.user))}};
    if (!row.outcome.empty()) {
      entry.insert("outcome", QString::fromStdString(row.outcome));
    }
    if (row.error) {
      entry.insert("error_number", QString::fromStdString(ErrorNumber(row.error)));
      entry.insert("error", QString::fromStdString(row.error.description));
    }
    entries.append(entry);
  }
  QJsonObject report{{"database", QString::fromStdString(database_)}, {"entries", entries}};
  if (totals_) {
    report.insert(
        "totals",
        QJsonObject{{"entries", totals_->checked},
                    {"items", static_cast<qint64>(totals_->takes.items)},
                    {"bytes", static_cast<qint64>(totals_->takes.bytes)},
                    {"inside_projects", static_cast<qint64>(totals_->takes.items - totals_->roots)},
                    {"complete", totals_->takes.complete}});
  }
  if (summary_) {
    // Scripts read it: in the source texts, whatever the user's language.
    const translation::SourceTexts english;
    report.insert("summary",
                  QString::fromStdString(wizardcore::DescribeSummary(*summary_, Plain())));
  }
  out << QJsonDocument(report).toJson(QJsonDocument::Indented).toStdString();
}

void DeletedReport::WriteCsv(std::ostream& out) const {
  const bool outcomes =
      std::any_of(rows_.begin(), rows_.end(), [](const Row& row) { return !row.outcome.empty(); });
  std::vector<std::string> header{"path",        "kind",     "size",       "items_below",
                                  "bytes_below", "complete", "deleted_on", "deleted_by"};
  if (outcomes) {
    header.insert(header.end(), {"outcome", "error_number", "error"});
  }
  CsvRow(out, header);
  for (const Row& row : rows_) {
    const Columns columns = ColumnsOf(row.kind, row.takes);
    std::vector<std::string> fields{row.spec,
                                    KindName(row.kind),
                                    columns.size,
                                    std::to_string(columns.itemsBelow),
                                    std::to_string(columns.bytesBelow),
                                    row.takes.complete ? "true" : "false",
                                    wizardcore::IsoDeletionTime(row.deletion),
                                    row.deletion.user};
    if (outcomes) {
      fields.insert(fields.end(), {row.outcome, ErrorNumber(row.error), row.error.description});
    }
    CsvRow(out, fields);
  }
}

bool SearchDeleted(sourcecontrol::IVSSDatabase& database, const std::string& start,
                   ConsoleHost& host, wizardcore::DeletedList& list,
                   wizardcore::DeletedItemCollection& items) {
  wizardcore::ListDeleted(host, list, items, database.VSSItem(start, true));
  host.EndProgress();
  for (const wizardcore::UnreadProject& unread : list.Unread()) {
    host.Log(unread.reason.empty()
                 ? Tr("vssdb", "vssdb: %1 could not be read").Fill(unread.spec)
                 : Tr("vssdb", "vssdb: %1 could not be read: %2").Fill(unread.spec, unread.reason));
  }
  return !host.StopRequested();
}

int WriteDeletedReport(sourcecontrol::IVSSDatabase& database, const std::string& path,
                       const std::string& start, ReportFormat format,
                       const wizardcore::DeletionFilter& deletion, Console& console) {
  ConsoleHost host(console);
  StopOnInterrupt interrupt;
  wizardcore::DeletedList list;
  wizardcore::DeletedItemCollection items;
  if (!SearchDeleted(database, start, host, list, items)) {
    console.err << Tr("vssdb", "vssdb: stopped; the list is incomplete and was not written").Str()
                << '\n';
    return 1;
  }
  DeletedReport report(path);
  for (int index = 0; index < list.Size(); ++index) {
    if (deletion.Selects(list[index].deletion)) {
      report.Add(list[index]);
    }
  }
  report.Write(format, console.out);
  return 0;
}

}  // namespace vssdb
