#include "support/Process.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/TempDir.h"

extern char** environ;

namespace testing_support {
namespace {

// The attributes of a posix_spawn, destroyed when the object goes.
struct FileActions {
  FileActions() { posix_spawn_file_actions_init(&actions); }
  ~FileActions() { posix_spawn_file_actions_destroy(&actions); }
  posix_spawn_file_actions_t actions;
};

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

Process::Process(const std::vector<std::string>& argv, const std::string& outputFile) {
  std::vector<char*> args;
  for (const std::string& arg : argv) {
    args.push_back(const_cast<char*>(arg.c_str()));
  }
  args.push_back(nullptr);
  FileActions files;
  if (!outputFile.empty()) {
    posix_spawn_file_actions_addopen(&files.actions, STDOUT_FILENO, outputFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files.actions, STDERR_FILENO, (outputFile + ".err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
  }
  if (posix_spawn(&pid_, args[0], &files.actions, nullptr, args.data(), environ) != 0) {
    throw std::runtime_error("cannot start " + argv.at(0));
  }
}

Process::~Process() {
  if (pid_ > 0) {
    Wait();
  }
}

int Process::Wait() {
  if (pid_ > 0) {
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  return status_;
}

int Process::Kill() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
  }
  return Wait();
}

void Process::Signal(int signal) {
  if (pid_ > 0) {
    ::kill(pid_, signal);
  }
}

Completed RunCommand(const std::vector<std::string>& argv) {
  TempDir folder;
  const std::string output = (folder / "out").string();
  Process process(argv, output);
  const int status = process.Wait();
  return {status, ReadAll(output), ReadAll(output + ".err")};
}

}  // namespace testing_support
