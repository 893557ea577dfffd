#pragma once

#include <csignal>
#include <string>

#include "tools/vssdb/Console.h"
#include "wizardcore/Host.h"

namespace vssdb {

// The search and the purge run in a console: progress on standard error, updated in place at a
// terminal; Ctrl+C as the window's Stop, taken after the item in hand; and the failures written
// down, one line each.
class ConsoleHost final : public wizardcore::Host {
 public:
  explicit ConsoleHost(Console& console) : console_(console) {}
  ~ConsoleHost() override { EndProgress(); }
  ConsoleHost(const ConsoleHost&) = delete;
  ConsoleHost& operator=(const ConsoleHost&) = delete;

  // The purge writes each failure to the log and reports the first of a kind as well: while
  // `quiet`, reports are left to the log.
  void SetQuietReports(bool quiet) noexcept { quiet_ = quiet; }
  // Clears the progress line, so that what follows starts on a line of its own.
  void EndProgress();

  void StatementFailed(const std::string& source, std::int32_t line,
                       const errors::CapturedError& error) noexcept override;
  void DoEvents() override {}
  bool StopRequested() const override;
  void ShowSearchedFolder(const std::string& spec) override;
  void ShowChecking(const std::string& line) override { Progress(line); }
  void ShowNowPurging(const std::string& caption) override { caption_ = caption; }
  void ShowPurgeFileName(const std::string& spec) override;
  void Log(const std::string& line) override;

 private:
  void Progress(const std::string& line);

  Console& console_;
  std::string caption_;
  bool quiet_ = false;
  bool progressShown_ = false;
};

// While it lives, SIGINT (Ctrl+C) asks the running search or purge to stop instead of ending the
// process; a second one ends it as usual.
class StopOnInterrupt {
 public:
  StopOnInterrupt();
  ~StopOnInterrupt();
  StopOnInterrupt(const StopOnInterrupt&) = delete;
  StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

  static bool Requested() noexcept;

 private:
  struct sigaction previous_ {};
};

}  // namespace vssdb
