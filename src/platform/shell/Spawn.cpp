#include "platform/shell/Spawn.h"

#include "platform/shell/CommandLine.h"

#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace shell {
namespace {

// The attributes of one posix_spawn, destroyed when the object goes.
class FileActions {
 public:
  FileActions() { posix_spawn_file_actions_init(&actions_); }
  ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  posix_spawn_file_actions_t* Get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

bool IsExecutableFile(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<std::filesystem::path> FindProgram(const std::string& program) {
  if (program.empty()) {
    return std::nullopt;
  }
  if (program.find('/') != std::string::npos) {
    return IsExecutableFile(program) ? std::optional<std::filesystem::path>(program) : std::nullopt;
  }
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    const std::string folder = folders.substr(start, end - start);
    const std::filesystem::path candidate =
        std::filesystem::path(folder.empty() ? "." : folder) / program;
    if (IsExecutableFile(candidate)) {
      return candidate;
    }
    start = end + 1;
  }
  return std::nullopt;
}

std::vector<std::string> ResolveCommandLine(const std::string& commandLine) {
  std::vector<std::string> argv;
  for (const ProgramCandidate& candidate : ProgramCandidates(commandLine)) {
    if (const auto program = FindProgram(candidate.program)) {
      argv.push_back(program->string());
      for (std::string& argument : SplitArguments(candidate.rest)) {
        argv.push_back(std::move(argument));
      }
      break;
    }
  }
  return argv;
}

std::optional<pid_t> Spawn(const std::vector<std::string>& argv, const std::string& directory) {
  std::vector<char*> arguments;
  std::vector<std::string> copies = argv;
  for (std::string& argument : copies) {
    arguments.push_back(argument.data());
  }
  arguments.push_back(nullptr);
  FileActions actions;
  if (!directory.empty() &&
      posix_spawn_file_actions_addchdir_np(actions.Get(), directory.c_str()) != 0) {
    return std::nullopt;
  }
  pid_t pid = 0;
  const int failed =
      posix_spawn(&pid, copies.at(0).c_str(), actions.Get(), nullptr, arguments.data(), environ);
  if (failed != 0) {
    errno = failed;
    return std::nullopt;
  }
  return pid;
}

}  // namespace shell
