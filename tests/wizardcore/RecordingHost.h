#pragma once

#include <functional>
#include <string>
#include <vector>

#include "wizardcore/Host.h"

namespace wizardcore_test {

// Plays the window for the search and the purge: records what they report, show and log, and
// can press Stop at a pump.
class RecordingHost final : public wizardcore::Host {
 public:
  void StatementFailed(const std::string& source, std::int32_t line,
                       const errors::CapturedError& error) noexcept override {
    const std::string procedure = source.substr(source.rfind('.') + 1);
    reports.push_back(procedure + ":" + std::to_string(line));
    numbers.push_back(error.number);
  }
  void DoEvents() override {
    ++pumps;
    if (onDoEvents) {
      onDoEvents();
    }
  }
  bool StopRequested() const override { return stop; }
  void ShowSearchedFolder(const std::string& spec) override { searched = spec; }
  void ShowChecking(const std::string& line) override { checking = line; }
  void ShowNowPurging(const std::string& caption) override { nowPurging = caption; }
  void ShowPurgeFileName(const std::string& spec) override { purging.push_back(spec); }
  void Log(const std::string& line) override { logged.push_back(line); }

  std::vector<std::string> reports;  // "PurgeVssItems:114"
  std::vector<std::int32_t> numbers;
  std::vector<std::string> logged;
  std::vector<std::string> purging;  // the items shown in hand, in order
  std::string searched;
  std::string checking;
  std::string nowPurging;
  int pumps = 0;
  bool stop = false;
  std::function<void()> onDoEvents;
};

}  // namespace wizardcore_test
