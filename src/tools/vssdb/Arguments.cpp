#include "tools/vssdb/Arguments.h"

#include <algorithm>
#include <string_view>

#include "platform/translation/Tr.h"
#include "tools/vssdb/CommandForms.h"

namespace vssdb {
namespace {

using translation::Tr;

// How many single-letter edits turn `a` into `b`.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) {
    row[j] = j;
  }
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The command whose name is nearest to a mistyped one.
std::string_view Nearest(std::string_view typed) {
  std::string_view best;
  std::size_t bestDistance = 0;
  for (const CommandForm& form : Commands()) {
    const std::size_t distance = EditDistance(typed, form.name);
    if (best.empty() || distance < bestDistance) {
      best = form.name;
      bestDistance = distance;
    }
  }
  return best;
}

const OptionForm* FindOption(const CommandForm& form, std::string_view name) {
  for (const OptionForm& option : form.options) {
    if (option.name == name) {
      return &option;
    }
  }
  return nullptr;
}

}  // namespace

std::optional<std::string> Arguments::Value(const std::string& name) const {
  const auto found = values.find(name);
  return found == values.end() ? std::nullopt : std::optional<std::string>(found->second.back());
}

std::vector<std::string> Arguments::Values(const std::string& name) const {
  const auto found = values.find(name);
  return found == values.end() ? std::vector<std::string>() : found->second;
}

wizardcore::DeletionFilter DeletionFilterOf(const Arguments& arguments) {
  wizardcore::DeletionFilter filter;
  if (const std::optional<std::string> date = arguments.Value("--deleted-before")) {
    filter.before = wizardcore::ParseIsoDate(*date);
    if (!filter.before) {
      throw UsageError(
          Tr("vssdb", "--deleted-before takes a date as 2024-01-31, not '%1'").Fill(*date));
    }
  }
  filter.by = arguments.Value("--deleted-by");
  if (filter.by && filter.by->empty()) {
    throw UsageError(Tr("vssdb", "--deleted-by takes a user's name").Str());
  }
  return filter;
}

Arguments ParseArguments(const std::vector<std::string>& words) {
  Arguments arguments;
  if (words.size() == 1 && (words[0] == "--version" || words[0] == "-V")) {
    arguments.version = true;
    return arguments;
  }
  // First pass: the login and --help, which may stand anywhere before "--".
  std::vector<std::string> rest;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (!optionsEnded && (word == "-u" || word == "-p")) {
      if (i + 1 == words.size()) {
        throw UsageError(Tr("vssdb", "%1 needs a value").Fill(word));
      }
      (word == "-u" ? arguments.user : arguments.password) = words[++i];
      arguments.passwordGiven = arguments.passwordGiven || word == "-p";
    } else if (!optionsEnded && word == "--password-stdin") {
      arguments.passwordFromStdin = true;
    } else if (!optionsEnded && (word == "--help" || word == "-h")) {
      arguments.help = true;
    } else {
      optionsEnded = optionsEnded || word == "--";
      rest.push_back(word);
    }
  }

  // The command: its first word, or its first two for "user add".
  std::size_t next = 0;
  if (next < rest.size() && rest[next] != "--") {
    arguments.command = rest[next++];
    if (arguments.command == "user" && next < rest.size()) {
      arguments.command += " " + rest[next++];
    }
  }
  if (arguments.command.empty()) {
    if (arguments.help) {
      return arguments;
    }
    throw UsageError(Tr("vssdb", "no command given").Str());
  }
  if (arguments.command == "user") {
    if (arguments.help) {
      return arguments;
    }
    throw UsageError(Tr("vssdb", "'user' needs a subcommand: %1")
                         .Fill(std::string(FindCommand("user add")->synopsis)));
  }
  const CommandForm* form = FindCommand(arguments.command);
  if (form == nullptr && arguments.command.rfind("user ", 0) == 0) {
    throw UsageError(
        Tr("vssdb", "'user' has no subcommand '%1'; it has one: %2")
            .Fill(arguments.command.substr(5), std::string(FindCommand("user add")->synopsis)));
  }
  if (form == nullptr) {
    throw UsageError(Tr("vssdb", "unknown command '%1'; did you mean '%2'?")
                         .Fill(arguments.command, std::string(Nearest(arguments.command))));
  }
  if (arguments.help) {
    return arguments;
  }

  optionsEnded = false;
  for (; next < rest.size(); ++next) {
    const std::string& word = rest[next];
    if (!optionsEnded && word == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && word.size() > 1 && word[0] == '-') {
      const std::size_t equals = word.find('=');
      const std::string name = word.substr(0, equals);
      const OptionForm* option = FindOption(*form, name);
      if (option == nullptr) {
        throw UsageError(Tr("vssdb", "'%1' has no option %2").Fill(arguments.command, name));
      }
      if (!option->takesValue) {
        if (equals != std::string::npos) {
          throw UsageError(Tr("vssdb", "%1 takes no value").Fill(name));
        }
        arguments.flags.insert(name);
      } else if (equals != std::string::npos) {
        arguments.values[name].push_back(word.substr(equals + 1));
      } else if (next + 1 < rest.size()) {
        arguments.values[name].push_back(rest[++next]);
      } else {
        throw UsageError(Tr("vssdb", "%1 needs a value").Fill(name));
      }
    } else {
      arguments.operands.push_back(word);
    }
  }
  if (arguments.operands.size() < form->minOperands ||
      arguments.operands.size() > form->maxOperands) {
    throw UsageError(Usage(form->synopsis));
  }
  return arguments;
}

}  // namespace vssdb
