#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>

namespace testing_support {

// Runs `body` in a forked child that the alarm ends after `seconds`, and returns its exit status:
// what `body` returned, 1 when it threw, 128 + the signal when one ended it (SIGALRM: it hung).
// For calls that could hang or must run under limits the test process must not take on.
template <class Body>
int RunInChild(unsigned seconds, Body&& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(seconds);
    int status = 1;
    try {
      status = body();
    } catch (...) {
      status = 1;
    }
    ::_exit(status);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
  }
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

}  // namespace testing_support
