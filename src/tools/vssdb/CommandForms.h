#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vssdb {

// vssdb's commands: their words, operands, options, synopsis and what they do, for the parser
// and the help alike.
struct OptionForm {
  std::string_view name;
  bool takesValue;
};

struct CommandForm {
  std::string_view name;
  std::size_t minOperands;
  std::size_t maxOperands;
  std::vector<OptionForm> options;
  std::string_view synopsis;
  std::string_view purpose;
  bool logsIn = true;  // takes -u, -p and --password-stdin
};

// Every command, in the order the help lists them.
const std::vector<CommandForm>& Commands();
// The command named `name` ("user add"), or null.
const CommandForm* FindCommand(std::string_view name);
// "usage: vssdb ...": the synopsis itself is the command's syntax and never translated.
std::string Usage(std::string_view synopsis);
// What a command does, in the user's language.
std::string Purpose(const CommandForm& form);

}  // namespace vssdb
