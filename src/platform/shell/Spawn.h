#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace shell {

// The full path of `program`: as given when it holds a '/', else the first executable of that
// name in PATH.
std::optional<std::filesystem::path> FindProgram(const std::string& program);

// The argument vector of a Windows command line: its program (an unquoted path with blanks
// tried prefix by prefix, each candidate looked up as FindProgram does) and its arguments.
// Empty when no candidate names a program.
std::vector<std::string> ResolveCommandLine(const std::string& commandLine);

// Starts `argv` (argv[0] the program's path) with the caller's environment, in `directory` when
// it is not empty; no shell is involved. Returns the process id, or nothing with errno set.
std::optional<pid_t> Spawn(const std::vector<std::string>& argv, const std::string& directory);

}  // namespace shell
