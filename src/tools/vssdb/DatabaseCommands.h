#pragma once

#include <memory>
#include <string>

#include "tools/vssdb/Console.h"

namespace sourcecontrol {
class IVSSDatabase;
}

namespace vssdb {

struct Arguments;

// The commands both engines serve, through the database interface: what differs between a
// database of our own and a SourceSafe 6 one is the engine's business alone.

// Opens the database the first operand names as the arguments' user, in the code page that
// --codepage names, and writes what the open did (a cut-off destroy finished) to `err`.
std::shared_ptr<sourcecontrol::IVSSDatabase> OpenDatabase(const Arguments& arguments,
                                                          std::ostream& err);

int ListCommand(const Arguments& arguments, Console& console);
int DestroyCommand(const Arguments& arguments, Console& console);
int RecoverCommand(const Arguments& arguments, Console& console);
// Puts the entries of a copy kept before a purge back into a database of our own, or with --to
// extracts the copy's files into a folder.
int RestoreCommand(const Arguments& arguments, Console& console);
int CheckCommand(const Arguments& arguments, Console& console);
// `vssdb kept [FOLDER]`: the copies kept before purges; old ones removed when asked.
int KeptCommand(const Arguments& arguments, Console& console);
// `vssdb cat DIR SPEC`: a file's latest content to standard output.
int CatCommand(const Arguments& arguments, Console& console);

}  // namespace vssdb
