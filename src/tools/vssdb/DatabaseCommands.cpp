#include "tools/vssdb/DatabaseCommands.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "engines/common/EngineError.h"
#include "engines/factory/NewVSSDatabase.h"
#include "engines/vss6/CodePage.h"
#include "errors/ErrorRecord.h"
#include "platform/text/Printable.h"
#include "platform/translation/Tr.h"
#include "sourcecontrol/IVSSDatabase.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"
#include "tools/vssdb/Arguments.h"
#include "tools/vssdb/DeletedReport.h"

namespace vssdb {

using translation::Tr;
namespace {

using sourcecontrol::IVSSItem;
using sourcecontrol::IVSSItems;
using sourcesafe::EngineError;
using sourcesafe::ErrorCode;

// One line of a listing: the item's path, with --long after its kind, deleted mark and size (?
// when its content cannot be read), and for a deleted item the engine would not destroy, why.
void PrintItem(std::ostream& out, bool longForm, IVSSItem& item) {
  const std::string spec = item.Spec();
  if (longForm) {
    const bool project = item.Type() == sourcecontrol::ItemType::Project;
    std::string bytes = "?";
    try {
      bytes = std::to_string(item.Size());
    } catch (const errors::ErrorRecord&) {
      // A content file that cannot be read: the rest of the listing goes on.
    }
    char columns[64];
    std::snprintf(columns, sizeof columns, "%-7s  %-7s  %12s  ", project ? "project" : "file",
                  item.Deleted() ? "deleted" : "-", bytes.c_str());
    out << columns;
  }
  out << text::Printable(spec, true);
  if (longForm && item.Deleted()) {
    try {
      if (const std::string refusal = item.DestroyRefusal(); !refusal.empty()) {
        out << "  (kept: " << text::Printable(refusal, false) << ')';
      }
    } catch (const errors::ErrorRecord&) {
      // Not known: the purge checks again.
    }
  }
  out << '\n';
}

// Depth first, each item before its children, in the order of its project's children. The
// engines refuse a tree that runs round a cycle.
template <class Visit>
void Walk(const std::shared_ptr<IVSSItem>& start, Visit&& visit) {
  struct Frame {
    std::shared_ptr<IVSSItems> children;
    int next = 1;
  };
  visit(*start);
  std::vector<Frame> stack{{start->Items(true)}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next > frame.children->Count()) {
      stack.pop_back();
      continue;
    }
    const std::shared_ptr<IVSSItem> child = frame.children->Item(frame.next++);
    visit(*child);
    if (child->Type() == sourcecontrol::ItemType::Project) {
      stack.push_back({child->Items(true)});
    }
  }
}

// The last name of a path.
std::string NameOf(const std::string& spec) {
  const std::size_t slash = spec.rfind('/');
  return slash == std::string::npos ? spec : spec.substr(slash + 1);
}

// Every item that `spec` names, deleted ones and those below deleted projects included; names
// compare without regard to case, as people type them.
std::vector<std::shared_ptr<IVSSItem>> Named(sourcecontrol::IVSSDatabase& database,
                                             const std::string& spec) {
  std::vector<std::shared_ptr<IVSSItem>> found{database.VSSItem("$/", false)};
  const QString path = QString::fromStdString(spec);
  if (!path.startsWith(QStringLiteral("$/"))) {
    throw EngineError(
        ErrorCode::kInvalidName,
        Tr("vssdb", "'%1' is not a path of the database: it starts with $/").Fill(spec));
  }
  const QStringList names = path.mid(2).split(QLatin1Char('/'), Qt::SkipEmptyParts);
  for (qsizetype at = 0; at < names.size(); ++at) {
    const bool last = at + 1 == names.size();
    std::vector<std::shared_ptr<IVSSItem>> next;
    for (const std::shared_ptr<IVSSItem>& project : found) {
      const std::shared_ptr<IVSSItems> children = project->Items(true);
      for (const std::shared_ptr<IVSSItem> child : *children) {
        if ((last || child->Type() == sourcecontrol::ItemType::Project) &&
            QString::fromStdString(NameOf(child->Spec())).compare(names[at], Qt::CaseInsensitive) ==
                0) {
          next.push_back(child);
        }
      }
    }
    found = std::move(next);
  }
  if (found.empty()) {
    throw EngineError(ErrorCode::kItemNotFound,
                      Tr("vssdb", "No item '%1' in the database").Fill(spec));
  }
  return found;
}

// The code page --codepage names, or empty for the default; a usage error when it is unknown.
std::string CheckedCodePage(const Arguments& arguments) {
  const std::optional<std::string> codePage = arguments.Value("--codepage");
  if (codePage) {
    try {
      vss6::CodePage check(*codePage);
    } catch (const std::invalid_argument& error) {
      throw UsageError(error.what());
    }
  }
  return codePage.value_or("");
}

}  // namespace

std::shared_ptr<sourcecontrol::IVSSDatabase> OpenDatabase(const Arguments& arguments,
                                                          std::ostream& err) {
  const std::string& path = arguments.operands.at(0);
  std::shared_ptr<sourcecontrol::IVSSDatabase> database = sourcecontrol::NewVSSDatabase(path);
  database->SetNameCodePage(CheckedCodePage(arguments));
  database->Open(path, arguments.user, arguments.password);
  for (const std::string& note : database->OpenNotes()) {
    err << "vssdb: " << text::Printable(note, false) << '\n';
  }
  return database;
}

int ListCommand(const Arguments& arguments, Console& console) {
  const ReportFormat format = ParseFormat(arguments.Value("--format"));
  if (format != ReportFormat::Text && !arguments.Flag("--deleted")) {
    throw UsageError(Tr("vssdb", "--format %1 lists the deleted items: add --deleted")
                         .Fill(*arguments.Value("--format")));
  }
  const wizardcore::DeletionFilter deletion = DeletionFilterOf(arguments);
  if (!deletion.Empty() && !arguments.Flag("--deleted")) {
    throw UsageError(
        Tr("vssdb", "--deleted-before and --deleted-by list deleted items: add --deleted").Str());
  }
  const auto database = OpenDatabase(arguments, console.err);
  const std::string start = arguments.operands.size() > 1 ? arguments.operands[1] : "$/";
  if (format != ReportFormat::Text) {
    return WriteDeletedReport(*database, arguments.operands[0], start, format, deletion, console);
  }
  const bool deletedOnly = arguments.Flag("--deleted");
  Walk(database->VSSItem(start, true), [&](IVSSItem& item) {
    if (!deletedOnly || (item.Deleted() && deletion.Selects(item.DeletedBy()))) {
      PrintItem(console.out, arguments.Flag("--long"), item);
    }
  });
  return 0;
}

// The one deleted item `spec` names, for a destroy or else a recover.
std::shared_ptr<IVSSItem> OnlyDeleted(sourcecontrol::IVSSDatabase& database,
                                      const std::string& spec, bool destroy) {
  std::vector<std::shared_ptr<IVSSItem>> deleted = Named(database, spec);
  std::erase_if(deleted, [](const std::shared_ptr<IVSSItem>& item) { return !item->Deleted(); });
  if (deleted.empty()) {
    throw EngineError(
        ErrorCode::kItemNotDeleted,
        (destroy ? Tr("vssdb", "'%1' is not deleted; only deleted items can be destroyed")
                 : Tr("vssdb", "'%1' is not deleted; only deleted items can be recovered"))
            .Fill(spec));
  }
  if (deleted.size() > 1) {
    throw EngineError(ErrorCode::kAmbiguousSpec,
                      (destroy ? Tr("vssdb", "%1 deleted items are named '%2'; none was destroyed")
                               : Tr("vssdb", "%1 deleted items are named '%2'; none was recovered"))
                          .Fill(deleted.size(), spec));
  }
  return deleted.front();
}

int CatCommand(const Arguments& arguments, Console& console) {
  const auto database = OpenDatabase(arguments, console.err);
  const std::string& spec = arguments.operands.at(1);
  std::vector<std::shared_ptr<IVSSItem>> named = Named(*database, spec);
  const auto live =
      std::find_if(named.begin(), named.end(),
                   [](const std::shared_ptr<IVSSItem>& item) { return !item->Deleted(); });
  if (live == named.end() && named.size() > 1) {
    throw EngineError(
        ErrorCode::kAmbiguousSpec,
        Tr("vssdb", "%1 deleted items are named '%2' and no live one; none was written")
            .Fill(named.size(), spec));
  }
  IVSSItem& item = live != named.end() ? **live : *named.front();
  if (item.Type() == sourcecontrol::ItemType::Project) {
    throw EngineError(ErrorCode::kInvalidArgument,
                      Tr("vssdb", "'%1' is a project: only a file has content").Fill(spec));
  }
  const std::vector<unsigned char> content = item.Content();
  console.out.write(reinterpret_cast<const char*>(content.data()),
                    static_cast<std::streamsize>(content.size()));
  console.out.flush();
  return console.out ? 0 : 1;
}

int DestroyCommand(const Arguments& arguments, Console& console) {
  const auto database = OpenDatabase(arguments, console.err);
  OnlyDeleted(*database, arguments.operands.at(1), true)->Destroy();
  return 0;
}

int RecoverCommand(const Arguments& arguments, Console& console) {
  const auto database = OpenDatabase(arguments, console.err);
  OnlyDeleted(*database, arguments.operands.at(1), false)->Recover();
  return 0;
}

int CheckCommand(const Arguments& arguments, Console& console) {
  const std::string& path = arguments.operands.at(0);
  const std::shared_ptr<sourcecontrol::IVSSDatabase> database = sourcecontrol::NewVSSDatabase(path);
  database->SetNameCodePage(CheckedCodePage(arguments));
  const std::vector<std::string> faults = database->Check(path);
  for (const std::string& fault : faults) {
    console.out << text::Printable(fault, false) << '\n';
  }
  if (!faults.empty()) {
    throw EngineError(ErrorCode::kDamaged,
                      Tr("vssdb", "%1 faults found in %2").Fill(faults.size(), path));
  }
  console.out << "ok\n";
  return 0;
}

}  // namespace vssdb
