#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace shell {

// The arguments of a Windows command line, by the rules programs there use to split theirs:
// blanks separate arguments outside quotes; 2n backslashes before a quote give n backslashes
// and the quote opens or closes quoting; 2n+1 give n backslashes and a literal quote; inside
// quotes "" is a literal quote; other backslashes are literal.
std::vector<std::string> SplitArguments(std::string_view commandLine);

// The program part of a command line and the rest. A quoted program runs to its closing quote;
// an unquoted one could end at any blank: `candidates` lists each possible program, shortest
// first ("C:/Program", "C:/Program Files/run", ...), each with the rest of the line after it.
struct ProgramCandidate {
  std::string program;
  std::string rest;
};
std::vector<ProgramCandidate> ProgramCandidates(std::string_view commandLine);

}  // namespace shell
