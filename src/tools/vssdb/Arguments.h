#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "wizardcore/DeletionTime.h"

namespace vssdb {

// A command line that does not fit any command's form.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Arguments {
  std::string command;  // "create", "user add", ... ; empty with a bare --help
  std::vector<std::string> operands;
  // Options with a value, by name ("--from"), each value in the order given.
  std::map<std::string, std::vector<std::string>> values;
  std::set<std::string> flags;  // options without one ("--no-destroy")
  std::string user = "Admin";
  std::string password;
  bool passwordGiven = false;      // -p was given
  bool passwordFromStdin = false;  // --password-stdin: the first line of standard input
  bool help = false;
  bool version = false;  // --version, alone

  // The option's value; the last one when it was given more than once.
  std::optional<std::string> Value(const std::string& name) const;
  // Every value of an option that may be given more than once ("--match").
  std::vector<std::string> Values(const std::string& name) const;
  bool Flag(const std::string& name) const { return flags.count(name) != 0; }
};

// Reads a command line (without the program name). -u USER, -p PASSWORD, --password-stdin and
// --help may stand anywhere; "--" ends the options. Throws UsageError.
Arguments ParseArguments(const std::vector<std::string>& words);

// --deleted-before DATE and --deleted-by USER as the filter they ask for. Throws UsageError for a
// date that is not an ISO date.
wizardcore::DeletionFilter DeletionFilterOf(const Arguments& arguments);

// The help of the whole tool, and of one command.
std::string ToolHelp();
std::string CommandHelp(std::string_view command);

}  // namespace vssdb
