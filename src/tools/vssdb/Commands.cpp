#include "tools/vssdb/Commands.h"

#include <QLocale>
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
#include "engines/ownformat/Compact.h"
#include "engines/ownformat/Generator.h"
#include "engines/ownformat/Schema.h"
#include "engines/ownformat/Session.h"
#include "errors/ErrorRecord.h"
#include "platform/text/Printable.h"
#include "platform/translation/Tr.h"
#include "tools/vssdb/Arguments.h"
#include "tools/vssdb/DatabaseCommands.h"
#include "tools/vssdb/PurgeCommand.h"

namespace vssdb {

using translation::Tr;
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
    throw UsageError(Tr("vssdb", "%1 takes a number, not '%2'").Fill(option, text));
  }
  return value;
}

std::unique_ptr<Session> LogIn(const Arguments& arguments) {
  return Session::Open(arguments.operands.at(0), arguments.user, arguments.password);
}

std::vector<unsigned char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw EngineError(ErrorCode::kFileNotFound, Tr("vssdb", "Cannot read '%1'").Fill(path));
  }
  std::vector<unsigned char> content((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
  if (in.bad()) {
    throw EngineError(ErrorCode::kFileNotFound, Tr("vssdb", "Cannot read '%1'").Fill(path));
  }
  return content;
}

int Execute(const Arguments& arguments, Console& console) {
  const std::string& command = arguments.command;
  const std::vector<std::string>& operands = arguments.operands;
  if (command == "list") {
    return ListCommand(arguments, console);
  }
  if (command == "kept") {
    return KeptCommand(arguments, console);
  }
  if (command == "cat") {
    return CatCommand(arguments, console);
  }
  if (command == "destroy") {
    return DestroyCommand(arguments, console);
  }
  if (command == "check") {
    return CheckCommand(arguments, console);
  }
  if (command == "purge") {
    return PurgeCommand(arguments, console);
  }
  if (command == "recover") {
    return RecoverCommand(arguments, console);
  }
  if (command == "restore") {
    return RestoreCommand(arguments, console);
  }
  // The other commands are our own engine's.
  if (sourcesafe::FormatOf(operands.at(0)) == sourcesafe::DatabaseFormat::SourceSafe6) {
    throw EngineError(ErrorCode::kUnsupportedVersion,
                      Tr("vssdb",
                         "'%1' is a SourceSafe 6 database: vssdb lists, checks, destroys, purges "
                         "and recovers in it, but does not %2 there")
                          .Fill(operands[0], command));
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
  } else if (command == "compact") {
    const sourcesafe::Compacted done =
        sourcesafe::CompactDatabase(operands[0], arguments.user, arguments.password);
    const QLocale plain = QLocale::c();
    console.out << Tr("vssdb", "compacted %1: %2 before, %3 now")
                       .Fill(operands[0], plain.formattedDataSize(done.before, 1),
                             plain.formattedDataSize(done.after, 1))
                << '\n';
  } else if (command == "delete") {
    const auto session = LogIn(arguments);
    session->Delete(session->Find(operands[1], false));
  } else if (command == "generate") {
    const std::optional<std::string> items = arguments.Value("--items");
    if (!items) {
      throw UsageError(Tr("vssdb", "generate needs --items N").Str());
    }
    sourcesafe::GenerateOptions options;
    options.items = ParseNumber<std::int64_t>("--items", *items);
    options.deletedFraction =
        ParseNumber<double>("--deleted", arguments.Value("--deleted").value_or("0"));
    options.seed = ParseNumber<std::uint64_t>("--seed", arguments.Value("--seed").value_or("1"));
    if (options.items < 0 || !(options.deletedFraction >= 0.0 && options.deletedFraction <= 1.0)) {
      throw UsageError(
          Tr("vssdb", "--items must not be negative and --deleted must lie between 0 and 1").Str());
    }
    const sourcesafe::GenerateResult result = sourcesafe::GenerateDatabase(operands[0], options);
    console.out << Tr("vssdb", "generated %1 items (%2 projects, %3 files, %4 deleted) in %5")
                       .Fill(options.items, result.projects, result.files, result.deleted,
                             operands[0])
                << '\n';
  }
  return 0;
}

void PrintError(std::ostream& err, std::int32_t number, std::string_view description) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(number));
  err << Tr("vssdb", "vssdb: error %1: %2").Fill(text, text::Printable(description, false)) << '\n';
}

}  // namespace

int Run(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  return Run(words, std::cin, out, err);
}

int Run(const std::vector<std::string>& words, std::istream& in, std::ostream& out,
        std::ostream& err) {
  Console console{in, out, err, false};
  return Run(words, console);
}

int Run(const std::vector<std::string>& words, Console& console) {
  std::ostream& out = console.out;
  std::ostream& err = console.err;
  try {
    Arguments arguments = ParseArguments(words);
    if (arguments.passwordFromStdin) {
      if (arguments.passwordGiven) {
        throw UsageError("-p and --password-stdin give the password twice");
      }
      if (!std::getline(console.in, arguments.password)) {
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
    return Execute(arguments, console);
  } catch (const UsageError& error) {
    err << Tr("vssdb", "vssdb: %1 (see 'vssdb --help')").Fill(error.what()) << '\n';
    return 2;
  } catch (const EngineError& error) {
    PrintError(err, error.Number(), error.what());
    return 1;
  } catch (const errors::ErrorRecord& error) {
    PrintError(err, error.Number(), error.Description());
    return 1;
  } catch (const std::exception& error) {
    err << "vssdb: " << text::Printable(error.what(), false) << '\n';
    return 1;
  }
}

}  // namespace vssdb
