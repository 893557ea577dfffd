// vssdb restore: the entries of a copy kept before a purge, back into a database of our own or
// out into a folder.
#include <string>

#include "engines/common/EngineError.h"
#include "engines/common/Location.h"
#include "errors/ErrorRecord.h"
#include "platform/text/Printable.h"
#include "platform/translation/Tr.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "tools/vssdb/Arguments.h"
#include "tools/vssdb/DatabaseCommands.h"
#include "tools/vssdb/DeletedReport.h"
#include "wizardcore/KeptArchive.h"

namespace vssdb {

using translation::Tr;

int RestoreCommand(const Arguments& arguments, Console& console) {
  const std::string& copyPath = arguments.operands.at(0);
  if (const std::optional<std::string> folder = arguments.Value("--to")) {
    if (arguments.operands.size() > 1) {
      throw UsageError(Tr("vssdb",
                          "restore puts the copy back into a database or, with --to, into a "
                          "folder; not both")
                           .Str());
    }
    const auto written = wizardcore::ExtractKeptCopy(copyPath, *folder);
    console.out << Tr("vssdb",
                      "extracted %1 files of %2 into %3; no database was written (files/ holds "
                      "each item's latest content, raw/ the database's own files of it, "
                      "manifest.json what was kept)")
                       .Fill(written.size(), text::Printable(copyPath, false),
                             text::Printable(*folder, false))
                << '\n';
    return 0;
  }
  if (arguments.operands.size() < 2) {
    throw UsageError(
        Tr("vssdb", "restore needs the database to put the copy back into, or --to FOLDER").Str());
  }
  const std::string& target = arguments.operands[1];
  if (sourcesafe::FormatOf(target) == sourcesafe::DatabaseFormat::SourceSafe6) {
    throw sourcesafe::EngineError(
        sourcesafe::ErrorCode::kUnsupportedVersion,
        Tr("vssdb",
           "'%1' is a SourceSafe 6 database: Scourwell does not write kept entries back into one "
           "(nothing shows how SourceSafe would); vssdb restore %2 --to FOLDER extracts their "
           "files and the database's own files of them")
            .Fill(target, copyPath));
  }
  // The copy's manifest and members are checked before the database is opened: a damaged copy
  // writes nothing.
  const wizardcore::KeptCopyRead copy = wizardcore::ReadKeptCopy(copyPath);
  Arguments opening = arguments;
  opening.operands = {target};
  const auto database = OpenDatabase(opening, console.err);
  bool refused = false;
  bool failed = false;
  for (const wizardcore::RestoreRow& row : wizardcore::RestoreKept(*database, copy)) {
    console.out << wizardcore::OutcomeWord(row.outcome) << ' ' << text::Printable(row.spec, true);
    if (row.error) {
      console.out << ": error " << ErrorNumber(row.error) << ": "
                  << text::Printable(row.error.description, false);
    }
    refused = refused || row.outcome == wizardcore::Outcome::Refused;
    failed = failed || row.outcome == wizardcore::Outcome::Failed;
    console.out << '\n';
  }
  for (const wizardcore::KeptCopyRead::Entry& entry : copy.entries) {
    for (const std::string& spec : entry.unreadable) {
      console.err << Tr("vssdb",
                        "vssdb: the content of %1 could not be kept before the purge; it is back "
                        "without it")
                         .Fill(text::Printable(spec, false))
                  << '\n';
    }
  }
  return failed ? 1 : refused ? 3 : 0;
}

}  // namespace vssdb
