// vssdb's help: the whole tool's and a command's, wrapped to a terminal's columns.
#include <algorithm>
#include <string_view>

#include "platform/text/DisplayWidth.h"
#include "platform/translation/Tr.h"
#include "tools/vssdb/Arguments.h"
#include "tools/vssdb/CommandForms.h"

namespace vssdb {
namespace {

using translation::Tr;

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

}  // namespace

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
