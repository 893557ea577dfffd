#include "tools/vssdb/Arguments.h"

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <string_view>

#include "platform/text/DisplayWidth.h"
#include "platform/translation/Tr.h"

namespace vssdb {
namespace {

using translation::Tr;

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

const std::vector<CommandForm>& Commands() {
  static const std::vector<CommandForm> commands = {
      {"create",
       1,
       1,
       {},
       "vssdb create DIR",
       QT_TRANSLATE_NOOP("vssdb", "Makes a new database in DIR (made if missing)."),
       false},
      {"user add",
       2,
       2,
       {{"--password", true}, {"--no-destroy", false}},
       "vssdb user add DIR NAME [--password P] [--no-destroy]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Adds a user; --no-destroy withholds the right to destroy. Only Admin may add users.")},
      {"mkdir",
       2,
       2,
       {},
       "vssdb mkdir DIR SPEC",
       QT_TRANSLATE_NOOP("vssdb", "Makes a project, and the missing projects above it.")},
      {"add",
       2,
       2,
       {{"--from", true}},
       "vssdb add DIR SPEC [--from FILE]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Adds a file holding FILE's content (empty without --from) to an existing project.")},
      {"delete",
       2,
       2,
       {},
       "vssdb delete DIR SPEC",
       QT_TRANSLATE_NOOP("vssdb", "Marks a live item deleted.")},
      {"compact",
       1,
       1,
       {},
       "vssdb compact DIR",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Gives the space a purge freed in the data file of our own format back to the file "
           "system: a compacted copy is written beside it, synced, given the file's owner, group "
           "and mode, and renamed into its place. Needs the destroy right. Refused, with nothing "
           "changed, while another program has the database open (processes of other users are "
           "seen only by root) or when it changes meanwhile.")},
      {"cat",
       2,
       2,
       {{"--codepage", true}},
       "vssdb cat DIR SPEC [--codepage CP]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Writes the latest content of the file SPEC, deleted or not, to standard output, byte "
           "for "
           "byte; nothing in the database is written. Where a live file and deleted ones share the "
           "path the live one is written; several deleted ones and no live one are refused.")},
      {"recover",
       2,
       2,
       {{"--codepage", true}},
       "vssdb recover DIR SPEC [--codepage CP]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Brings a deleted item back where it was; refused while a live item of its project has "
           "its name. A project comes back without the deleted items below it. In a SourceSafe 6 "
           "database only files that are not shared, pinned, branched or checked out are "
           "recovered (projects are refused), with the same journal and locks as a destroy.")},
      {"destroy",
       2,
       2,
       {{"--codepage", true}},
       "vssdb destroy DIR SPEC [--codepage CP]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Destroys a deleted item for good. A live item is refused, and so is a spec that "
           "several deleted items share. In a SourceSafe 6 database only the kinds of item whose "
           "destroy is known are destroyed (not shared, branched, pinned, labelled or checked "
           "out); the others are refused with their reason and nothing is written. Its names are "
           "read in the Windows code page CP (default CP1252; a name or a number).")},
      {"list",
       1,
       2,
       {{"--deleted", false},
        {"--long", false},
        {"--codepage", true},
        {"--format", true},
        {"--deleted-before", true},
        {"--deleted-by", true}},
       "vssdb list DIR [SPEC] [--deleted] [--long] [--format text|json|csv] "
       "[--deleted-before DATE] [--deleted-by USER] [--codepage CP]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Lists SPEC (default $/) and everything below it, one spec a line, depth first, each "
           "item "
           "before its children; --deleted lists only the items marked deleted; --long puts the "
           "kind (project or file), the deleted mark and the size in bytes before each spec. With "
           "--deleted, --format json or csv gives the deleted entries as the window lists them, "
           "for reports: path, kind, size, items_below and bytes_below (what a project's destroy "
           "takes with it), complete (false when some of it could not be read), deleted_on (the "
           "wall-clock time the database recorded, as 2017-02-21T07:55:02) and deleted_by (null "
           "when the database does not record them). --deleted-before DATE (as 2024-01-31) lists "
           "only the items deleted before that day, --deleted-by USER only those USER deleted (any "
           "letter case); an item whose delete is not recorded is listed by neither. DIR "
           "may also be a SourceSafe 6 database; its names are read in the Windows code page CP "
           "(default CP1252), given by name or number (GBK or 936, CP1251 or 1251, ...), and "
           "each user logs in with their password, in any letter case.")},
      {"purge",
       1,
       1,
       {{"--match", true},
        {"--exclude", true},
        {"--dry-run", false},
        {"--yes", false},
        {"--format", true},
        {"--report", true},
        {"--keep-copy", true},
        {"--no-copy", false},
        {"--deleted-before", true},
        {"--deleted-by", true},
        {"--codepage", true}},
       "vssdb purge DIR [--match P]... [--exclude P]... [--deleted-before DATE] "
       "[--deleted-by USER] [--dry-run] [--yes] "
       "[--format text|json|csv] [--report FILE] [--keep-copy FOLDER | --no-copy] "
       "[--codepage CP]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Purges deleted items as the window does: lists every deleted entry, selects those "
           "whose "
           "path matches a --match pattern (all without one) and no --exclude pattern, and "
           "destroys "
           "them bottom-up. Patterns are the window's filter: * any run of characters, ? one, case "
           "does not count; without a wildcard a name containing P matches; with a / the whole "
           "path "
           "is matched ('$/Old/*'). --deleted-before DATE (as 2024-01-31) and --deleted-by USER "
           "select only the entries deleted before that day, or by that user (any letter case), "
           "as the database recorded it; an entry whose delete is not recorded is selected by "
           "neither. A project is destroyed only when every deleted entry below it is "
           "selected too; otherwise it is kept. --dry-run prints what would go and the totals and "
           "changes nothing. At a terminal the purge asks first ([y/N]) unless --yes; without a "
           "terminal it is refused without --yes. Ctrl+C stops after the item in hand. Progress "
           "goes to standard error at a terminal; the report (each entry's outcome and the "
           "summary) to standard output, and with --report FILE the window's plain-text purge "
           "report "
           "to FILE as well. Entries the engine would refuse (shared, pinned, branched, checked "
           "out, "
           "or holding such an entry) are kept and say why before anything is destroyed. Before "
           "the "
           "first destroy a copy of everything it destroys is written to a tar archive in FOLDER "
           "(default ~/.local/share/scourwell/kept): each file's latest content, the database's "
           "own "
           "files of each item and a manifest.json; vssdb restore puts it back. A copy that cannot "
           "be written stops the purge before anything is destroyed; --no-copy keeps none. Exit "
           "status: "
           "0 when everything selected was destroyed, "
           "3 when some were kept or refused (shared, pinned, checked out, changed since listed, "
           "locked, no right), 1 on any other failure, when stopped, or when not confirmed.")},
      {"restore",
       1,
       2,
       {{"--to", true}},
       "vssdb restore COPY DIR | vssdb restore COPY --to FOLDER",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Puts the entries of COPY, a copy kept before a purge, back into the database DIR of "
           "our own format as they were: deleted, with their content. An entry whose project is "
           "gone or whose name a deleted item of the project has now is refused, with the reason, "
           "and the others go on (exit status 3). A SourceSafe 6 database is not written: --to "
           "FOLDER extracts the copy's files there instead (never over a file there already).")},
      {"kept",
       0,
       1,
       {{"--older-than", true}, {"--remove", false}},
       "vssdb kept [FOLDER] [--older-than DAYS] [--remove]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Lists the copies kept before purges in FOLDER (default ~/.local/share/scourwell/kept), "
           "oldest first: when each was written, its size, how many entries it holds and the "
           "database it came from. --older-than DAYS lists only those written more than DAYS days "
           "ago, and with --remove removes them (--remove needs --older-than, so that no copy goes "
           "by mistake). Nothing else in the folder is touched."),
       false},
      {"generate",
       1,
       1,
       {{"--items", true}, {"--deleted", true}, {"--seed", true}},
       "vssdb generate DIR --items N [--deleted FRACTION] [--seed S]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Makes a new database holding a random tree of N items (projects nested up to 8 deep, "
           "about one project per ten files), FRACTION of them deleted. The same seed gives the "
           "same "
           "tree."),
       false},
      {"check",
       1,
       1,
       {{"--codepage", true}},
       "vssdb check DIR [--codepage CP]",
       QT_TRANSLATE_NOOP(
           "vssdb",
           "Checks the database; prints each fault and exits 1 when there is one. Needs no login: "
           "it reads the files and changes nothing, so anyone who may read them may check them. "
           "DIR may also be a SourceSafe 6 database (its srcsafe.ini names a Data_Path): then "
           "every record's check value, the header counts against the records and entries, the "
           "parent-folder records against the entries naming each file, each project's log "
           "against its entries, the entries' order, two live entries of a project named alike "
           "but for letter case, item files that no project names, and a journal or record of a "
           "destroy that was cut off (whose it is, and the files it names that entries still use) "
           "are checked, each fault with its file and names read in the code page CP."),
       false},
  };
  return commands;
}

const CommandForm* FindCommand(std::string_view name) {
  for (const CommandForm& form : Commands()) {
    if (form.name == name) {
      return &form;
    }
  }
  return nullptr;
}

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

// "usage: vssdb ...": the synopsis itself is the command's syntax and never translated.
std::string Usage(std::string_view synopsis) {
  return Tr("vssdb", "usage: %1").Fill(std::string(synopsis));
}

// What a command does, in the user's language.
std::string Purpose(const CommandForm& form) {
  return Tr("vssdb", std::string(form.purpose).c_str()).Str();
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

// `text` in lines of at most `width` columns (a longer word stands alone), each beginning with
// `indent` spaces. A language written without spaces breaks between any two of its wide
// characters.
std::string Wrapped(std::string_view text, std::size_t indent, std::size_t width) {
  std::string out;
  std::string line(indent, ' ');
  std::size_t columns = indent;
  const auto add = [&](std::string_view word, bool spaced) {
    const std::size_t wide = text::DisplayWidth(word);
    if (columns > indent && columns + (spaced ? 1 : 0) + wide > width) {
      out += line + "\n";
      line.assign(indent, ' ');
      columns = indent;
    }
    if (!word.empty()) {
      if (spaced && columns > indent) {
        line += ' ';
        ++columns;
      }
      line += word;
      columns += wide;
    }
  };
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find(' ', at), text.size());
    const std::string_view word = text.substr(at, end - at);
    if (text::DisplayWidth(word) + indent <= width) {
      add(word, true);
    } else {
      // Too long for a line: its wide characters are places to break; runs of narrow ones
      // (an option, a path) stay whole.
      bool first = true;
      std::size_t start = 0;
      for (std::size_t i = 0; i < word.size();) {
        std::uint32_t code = 0;
        const std::size_t length = text::NextCodePoint(word, i, code);
        std::uint32_t next = 0;
        if (i + length < word.size()) {
          text::NextCodePoint(word, i + length, next);
        }
        // No line begins with a closing mark: it stays with the character before it.
        const bool closing =
            std::u32string_view(U"，。；：、！？）」』”’").find(static_cast<char32_t>(next)) !=
            std::u32string_view::npos;
        if ((text::ColumnsOf(code) == 2 && !closing) || i + length == word.size()) {
          add(word.substr(start, i + length - start), first);
          first = false;
          start = i + length;
        }
        i += length;
      }
    }
    at = end + 1;
  }
  return columns > indent ? out + line + "\n" : out;
}

std::string ToolHelp() {
  std::string help =
      Tr("vssdb",
         "vssdb: administration and test data for source-control databases.\n\n"
         "Every command takes the database folder DIR after its command words (restore takes\n"
         "the kept copy first). -u USER and -p PASSWORD log in and may stand anywhere (default:\n"
         "Admin with an empty password).\n"
         "As -p shows the password to anyone who lists the processes, it may come instead from\n"
         "the first line of standard input (--password-stdin) or from $VSSDB_PASSWORD.\n\n"
         "Paths (SPEC) have at most 256 names below $/ and at most 4096 bytes; deeper or longer\n"
         "ones are refused, and a database holding such items is not walked past them. A name is\n"
         "1 to 255 bytes of UTF-8 without / \\ : * ? \" < > | ; and control characters, does not\n"
         "begin with $, is not made of dots alone, does not begin or end with a space, and holds\n"
         "no invisible or direction-changing character and no space but the plain one. Names\n"
         "compare without regard to case, in Unicode normal form C.\n\n")
          .Str();
  // A paragraph for each command, which the man page keeps.
  help += Tr("vssdb", "Commands:").Str() + "\n";
  for (const auto& form : Commands()) {
    help += "  " + std::string(form.synopsis) + "\n" + Wrapped(Purpose(form), 6, 79) + "\n";
  }
  help += Tr("vssdb",
             "Exit status:\n"
             "  0 on success.\n"
             "  1 on failure (one line on standard error), or a purge stopped or not confirmed.\n"
             "  2 on a usage error.\n"
             "  3 when a purge kept or was refused some of what it was asked to destroy.\n\n"
             "'vssdb COMMAND --help' explains a command.\n")
              .Str();
  return help;
}

std::string CommandHelp(std::string_view command) {
  if (command == "user") {
    const CommandForm* add = FindCommand("user add");
    return Usage(add->synopsis) + "\n\n" +
           Tr("vssdb",
              "'vssdb user' manages the users of a database. Its one subcommand, add: %1\n"
              "'vssdb user add --help' explains it.\n")
               .Fill(Purpose(*add));
  }
  const CommandForm* form = FindCommand(command);
  if (form == nullptr) {
    return ToolHelp();
  }
  std::string help = Usage(form->synopsis) + "\n\n" + Purpose(*form) + "\n";
  if (form->synopsis.find("SPEC") != std::string_view::npos) {
    help += Tr("vssdb",
               "SPEC is an item's path in the database, as $/Project/file.txt: at most 256 names\n"
               "below $/ and 4096 bytes ('vssdb --help' gives the rules for names).\n")
                .Str();
  }
  if (form->logsIn) {
    help +=
        Tr("vssdb",
           "-u USER and -p PASSWORD log in (default: Admin with an empty password); the password\n"
           "may come instead from standard input (--password-stdin) or $VSSDB_PASSWORD.\n")
            .Str();
  }
  return help;
}

}  // namespace vssdb
