#include "tools/vssdb/Commands.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <unordered_set>

#include "engines/common/EngineError.h"
#include "engines/common/Location.h"
#include "engines/ownformat/Generator.h"
#include "engines/ownformat/Integrity.h"
#include "engines/ownformat/Schema.h"
#include "engines/ownformat/Session.h"
#include "engines/vss6/Destroy.h"
#include "engines/vss6/DestroyJournal.h"
#include "engines/vss6/Records.h"
#include "engines/vss6/Users.h"
#include "engines/vss6/Vss6Check.h"
#include "engines/vss6/Vss6Errors.h"
#include "engines/vss6/Vss6Tree.h"
#include "platform/text/AsciiCase.h"
#include "tools/vssdb/Arguments.h"

namespace vssdb {
namespace {

using sourcesafe::EngineError;
using sourcesafe::ErrorCode;
using sourcesafe::ItemRecord;
using sourcesafe::Session;

// A whole number or fraction from an option; a UsageError when the text is not one.
template <class Number>
Number ParseNumber(const std::string& option, const std::string& text) {
  Number value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) {
    throw UsageError(option + " takes a number, not '" + text + "'");
  }
  return value;
}

std::unique_ptr<Session> LogIn(const Arguments& arguments) {
  return Session::Open(arguments.operands.at(0), arguments.user, arguments.password);
}

std::vector<unsigned char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw EngineError(ErrorCode::kFileNotFound, "Cannot read '" + path + "'");
  }
  std::vector<unsigned char> content((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
  if (in.bad()) {
    throw EngineError(ErrorCode::kFileNotFound, "Cannot read '" + path + "'");
  }
  return content;
}

// The one deleted item that `spec` names, for recover and destroy.
ItemRecord OnlyDeleted(Session& session, const std::string& spec, const char* verb) {
  std::vector<ItemRecord> matches = session.Resolve(spec, true);
  std::erase_if(matches, [](const ItemRecord& item) { return !item.deleted; });
  if (matches.empty()) {
    throw EngineError(ErrorCode::kItemNotDeleted,
                      "'" + spec + "' is not deleted; only deleted items can be " + verb);
  }
  if (matches.size() > 1) {
    throw EngineError(ErrorCode::kAmbiguousSpec, std::to_string(matches.size()) +
                                                     " deleted items are named '" + spec +
                                                     "'; none was " + verb);
  }
  return std::move(matches.front());
}

// Text safe to print on a terminal or as one line of a script's input: control characters
// (C0, DEL and C1, which could move the cursor or end the line) as \xNN or \uNNNN; with
// `names`, a backslash doubled, so that a name's own backslash is told from an escape.
std::string Printable(std::string_view text, bool names) {
  std::string printable;
  printable.reserve(text.size());
  char escape[8];
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (byte < 0x20 || byte == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      printable += escape;
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080 to U+009F
      std::snprintf(escape, sizeof escape, "\\u%04X", next);
      printable += escape;
      ++i;
    } else if (byte == '\\' && names) {
      printable += "\\\\";
    } else {
      printable += static_cast<char>(byte);
    }
  }
  return printable;
}

// One line of a listing: the item's path, with --long after its kind, deleted mark and size (?
// when its content cannot be read).
void PrintItem(std::ostream& out, bool longForm, bool project, bool deleted, std::int64_t size,
               const std::string& spec) {
  if (longForm) {
    char columns[64];
    const std::string bytes = size < 0 ? "?" : std::to_string(size);
    std::snprintf(columns, sizeof columns, "%-7s  %-7s  %12s  ", project ? "project" : "file",
                  deleted ? "deleted" : "-", bytes.c_str());
    out << columns;
  }
  out << Printable(spec, true) << '\n';
}

// Depth first, each item before its children, in the order of its project's children. An item
// met a second time means the tree runs round a cycle: the walk ends there.
void List(Session& session, const ItemRecord& start, bool deletedOnly, bool longForm,
          std::ostream& out) {
  std::vector<ItemRecord> pending{start};
  std::unordered_set<std::int64_t> seen;
  while (!pending.empty()) {
    const ItemRecord item = std::move(pending.back());
    pending.pop_back();
    if (!seen.insert(item.id).second) {
      throw EngineError(ErrorCode::kDamaged,
                        "'" + item.spec +
                            "' was met twice: the database's tree runs round a "
                            "cycle. Run 'vssdb check'");
    }
    if (!deletedOnly || item.deleted) {
      PrintItem(out, longForm, item.isProject, item.deleted, item.size, item.spec);
    }
    std::vector<ItemRecord> children = session.Children(item, true);
    std::move(children.rbegin(), children.rend(), std::back_inserter(pending));
  }
}

// Whether `spec` is `top` or lies below it, names compared without regard to ASCII case.
bool Within(const std::string& spec, const std::string& start) {
  const std::string top =
      start.size() > 2 && start.back() == '/' ? start.substr(0, start.size() - 1) : start;
  return top == "$/" || top == "$" ||
         (spec.size() >= top.size() && text::AsciiEqualNoCase(spec.substr(0, top.size()), top) &&
          (spec.size() == top.size() || spec[top.size()] == '/'));
}

// Every item of a SourceSafe 6 database's tree, depth first, each before its children, with its
// path.
template <class Visit>
void WalkSourceSafe6(vss6::Vss6Tree& tree, Visit&& visit) {
  std::vector<vss6::TreeItem> pending{tree.Root()};
  while (!pending.empty()) {
    const vss6::TreeItem item = std::move(pending.back());
    pending.pop_back();
    visit(item, tree.SpecOf(item));
    std::vector<vss6::TreeItem> children = tree.Children(item);
    std::move(children.rbegin(), children.rend(), std::back_inserter(pending));
  }
}

// Opens a SourceSafe 6 database as the user the arguments name, after finishing a destroy that
// was cut off there (what that did goes to `err`).
std::unique_ptr<vss6::Vss6Tree> OpenSourceSafe6(const sourcesafe::SourceSafe6Location& location,
                                                const Arguments& arguments, vss6::User& user,
                                                std::ostream& err) {
  const std::string codePage = arguments.Value("--codepage").value_or("CP1252");
  std::unique_ptr<vss6::Vss6Tree> tree;
  try {
    tree = std::make_unique<vss6::Vss6Tree>(location.data, codePage);
  } catch (const std::invalid_argument& error) {
    throw UsageError(error.what());
  }
  user = vss6::LogIn(tree->Users(), arguments.user, arguments.password, tree->NameCodePage());
  for (const std::string& note :
       vss6::FinishInterruptedDestroy(vss6::JournalPath(location.folder), location.data).notes) {
    err << "vssdb: " << Printable(note, false) << '\n';
  }
  return tree;
}

// The same listing for a SourceSafe 6 database, read through its reader.
void ListSourceSafe6(const sourcesafe::SourceSafe6Location& location, const Arguments& arguments,
                     std::ostream& out, std::ostream& err) {
  sourcesafe::WithVss6Errors([&] {
    vss6::User user;
    const auto tree = OpenSourceSafe6(location, arguments, user, err);
    const std::string start = arguments.operands.size() > 1 ? arguments.operands[1] : "$/";
    bool found = false;
    WalkSourceSafe6(*tree, [&](const vss6::TreeItem& item, const std::string& spec) {
      if (Within(spec, start)) {
        found = true;
        if (!arguments.Flag("--deleted") || item.deleted) {
          PrintItem(out, arguments.Flag("--long"), item.project, item.deleted, item.size, spec);
        }
      }
    });
    if (!found) {
      throw EngineError(ErrorCode::kItemNotFound, "No item '" + start + "' in the database");
    }
  });
}

// Destroys the one deleted item of a SourceSafe 6 database that the arguments name.
void DestroySourceSafe6(const sourcesafe::SourceSafe6Location& location, const Arguments& arguments,
                        std::ostream& err) {
  sourcesafe::WithVss6Errors([&] {
    vss6::User user;
    const auto tree = OpenSourceSafe6(location, arguments, user, err);
    if (!vss6::MayDestroy(user, location.projectSecurity)) {
      throw EngineError(
          ErrorCode::kAccessDenied,
          "User '" + tree->NameCodePage().ToUtf8(user.name) +
              "' may not destroy items of this database" +
              (user.readOnly          ? " (a read-only user)"
               : location.ini.empty() ? " (without its srcsafe.ini, project security is taken to "
                                        "be on: only Admin may)"
                                      : " (project security is on: only Admin may)"));
    }
    const std::string& wanted = arguments.operands.at(1);
    std::vector<vss6::TreeItem> matches;
    bool named = false;
    WalkSourceSafe6(*tree, [&](const vss6::TreeItem& item, const std::string& spec) {
      if (Within(spec, wanted) && spec.size() == wanted.size()) {
        named = true;
        if (item.deleted) {
          matches.push_back(item);
        }
      }
    });
    if (!named) {
      throw EngineError(ErrorCode::kItemNotFound, "No item '" + wanted + "' in the database");
    }
    if (matches.empty()) {
      throw EngineError(ErrorCode::kItemNotDeleted,
                        "'" + wanted + "' is not deleted; only deleted items can be destroyed");
    }
    if (matches.size() > 1) {
      throw EngineError(ErrorCode::kAmbiguousSpec, std::to_string(matches.size()) +
                                                       " deleted items are named '" + wanted +
                                                       "'; none was destroyed");
    }
    const vss6::DestroyRequest request =
        vss6::RequestFor(*tree, matches.front(), vss6::JournalPath(location.folder), user.name);
    const vss6::DestroyDone done = vss6::DestroyEntry(request);
    if (!done.leftovers.empty()) {
      throw EngineError(ErrorCode::kDestroyedWithLeftovers,
                        vss6::DescribeLeftovers(request.spec, done));
    }
  });
}

int Execute(const Arguments& arguments, std::ostream& out, std::ostream& err) {
  const std::string& command = arguments.command;
  const std::vector<std::string>& operands = arguments.operands;
  const auto real = sourcesafe::LocateSourceSafe6(operands.at(0), "/proc/self/mountinfo");
  if (real && command == "list") {
    ListSourceSafe6(*real, arguments, out, err);
    return 0;
  }
  if (real && command == "destroy") {
    DestroySourceSafe6(*real, arguments, err);
    return 0;
  }
  if (real && command != "check") {
    throw EngineError(ErrorCode::kUnsupportedVersion,
                      "'" + operands[0] +
                          "' is a SourceSafe 6 database: vssdb lists, destroys and "
                          "checks it, but does not " +
                          command + " there");
  }
  if (command == "create") {
    sourcesafe::CreateDatabase(operands[0]);
  } else if (command == "user add") {
    LogIn(arguments)->AddUser(operands[1], arguments.Value("--password").value_or(""),
                              !arguments.Flag("--no-destroy"));
  } else if (command == "mkdir") {
    LogIn(arguments)->MakeProject(operands[1]);
  } else if (command == "add") {
    const std::optional<std::string> from = arguments.Value("--from");
    const std::vector<unsigned char> content =
        from ? ReadFile(*from) : std::vector<unsigned char>();
    LogIn(arguments)->AddFile(operands[1], content);
  } else if (command == "delete") {
    const auto session = LogIn(arguments);
    session->Delete(session->Find(operands[1], false));
  } else if (command == "recover") {
    const auto session = LogIn(arguments);
    session->Recover(OnlyDeleted(*session, operands[1], "recovered"));
  } else if (command == "destroy") {
    const auto session = LogIn(arguments);
    session->Destroy(OnlyDeleted(*session, operands[1], "destroyed"));
  } else if (command == "list") {
    const auto session = LogIn(arguments);
    const ItemRecord start =
        operands.size() > 1 ? session->Find(operands[1], true) : session->Root();
    List(*session, start, arguments.Flag("--deleted"), arguments.Flag("--long"), out);
  } else if (command == "generate") {
    const std::optional<std::string> items = arguments.Value("--items");
    if (!items) {
      throw UsageError("generate needs --items N");
    }
    sourcesafe::GenerateOptions options;
    options.items = ParseNumber<std::int64_t>("--items", *items);
    options.deletedFraction =
        ParseNumber<double>("--deleted", arguments.Value("--deleted").value_or("0"));
    options.seed = ParseNumber<std::uint64_t>("--seed", arguments.Value("--seed").value_or("1"));
    if (options.items < 0 || !(options.deletedFraction >= 0.0 && options.deletedFraction <= 1.0)) {
      throw UsageError("--items must not be negative and --deleted must lie between 0 and 1");
    }
    const sourcesafe::GenerateResult result = sourcesafe::GenerateDatabase(operands[0], options);
    out << "generated " << options.items << " items (" << result.projects << " projects, "
        << result.files << " files, " << result.deleted << " deleted) in " << operands[0] << '\n';
  } else if (command == "check") {
    std::vector<std::string> faults;
    if (real) {
      try {
        faults = vss6::CheckDatabase(real->data);
        const std::vector<std::string> pending =
            vss6::PendingDestroys(vss6::JournalPath(real->folder), real->data);
        faults.insert(faults.end(), pending.begin(), pending.end());
      } catch (const vss6::FormatError& error) {
        throw EngineError(ErrorCode::kUnsupportedVersion, error.what());
      }
    } else {
      faults = sourcesafe::CheckIntegrity(operands[0]);
    }
    for (const std::string& fault : faults) {
      out << Printable(fault, false) << '\n';
    }
    if (!faults.empty()) {
      throw EngineError(ErrorCode::kDamaged,
                        std::to_string(faults.size()) + " faults found in " + operands[0]);
    }
    out << "ok\n";
  }
  return 0;
}

}  // namespace

int Run(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  return Run(words, std::cin, out, err);
}

int Run(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
        std::ostream& err) {
  try {
    Arguments arguments = ParseArguments(words);
    if (arguments.passwordFromStdin) {
      if (arguments.passwordGiven) {
        throw UsageError("-p and --password-stdin give the password twice");
      }
      if (!std::getline(in, arguments.password)) {
        arguments.password.clear();
      }
      if (!arguments.password.empty() && arguments.password.back() == '\r') {
        arguments.password.pop_back();
      }
    } else if (const char* fromEnvironment = std::getenv("VSSDB_PASSWORD");
               fromEnvironment != nullptr && !arguments.passwordGiven) {
      arguments.password = fromEnvironment;
    }
    if (arguments.version) {
      out << "vssdb " SCOURWELL_VERSION "\n";
      return 0;
    }
    if (arguments.help) {
      out << (arguments.command.empty() ? ToolHelp() : CommandHelp(arguments.command));
      return 0;
    }
    return Execute(arguments, out, err);
  } catch (const UsageError& error) {
    err << "vssdb: " << error.what() << " (see 'vssdb --help')\n";
    return 2;
  } catch (const EngineError& error) {
    char number[16];
    std::snprintf(number, sizeof number, "0x%08X", static_cast<unsigned>(error.Number()));
    err << "vssdb: error " << number << ": " << Printable(error.what(), false) << '\n';
    return 1;
  } catch (const std::exception& error) {
    err << "vssdb: " << Printable(error.what(), false) << '\n';
    return 1;
  }
}

}  // namespace vssdb
