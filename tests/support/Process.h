#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace testing_support {

// A child process started from an argument vector (no shell); waited for when the object goes.
class Process {
 public:
  // Starts `argv[0]` with `argv`; its standard output and error go to `outputFile` when given.
  explicit Process(const std::vector<std::string>& argv, const std::string& outputFile = {});
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Waits for the process and returns its exit status (128 + signal when a signal ended it).
  int Wait();
  // Ends the process at once (SIGKILL) and waits for it.
  int Kill();
  // Sends `signal` to the process, which goes on as the signal has it.
  void Signal(int signal);

 private:
  pid_t pid_ = -1;
  int status_ = -1;
};

// Runs a command to its end; returns its exit status and what it wrote to stdout and stderr.
struct Completed {
  int status;
  std::string out;
  std::string err;
};
Completed RunCommand(const std::vector<std::string>& argv);

}  // namespace testing_support
