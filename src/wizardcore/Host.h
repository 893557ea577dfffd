#pragma once

#include <string>

#include "errors/Reporter.h"

namespace wizardcore {

// What the search and the purge need of whoever runs them (the window, a test, a console tool):
// a turn for pending messages, the Stop button, the lines that show where the run is, and the
// reports of failing statements.
class Host : public errors::Reporter {
 public:
  // Processes pending window messages; the Stop button can only be pressed then.
  virtual void DoEvents() = 0;
  virtual bool StopRequested() const = 0;
  // The project whose children the search visits now.
  virtual void ShowSearchedFolder(const std::string& spec) = 0;
  // The pass after the search that asks the engine which entries it would refuse: its progress
  // line, "Checking which entries can be purged: 12 of 3000".
  virtual void ShowChecking(const std::string& line) = 0;
  // The purge's progress line ("Now purging item (3/12):") and the item in hand.
  virtual void ShowNowPurging(const std::string& caption) = 0;
  virtual void ShowPurgeFileName(const std::string& spec) = 0;
  // Writes one line for the record (standard error for the window), so that nothing is lost
  // when no one reads the boxes.
  virtual void Log(const std::string& line) = 0;
};

}  // namespace wizardcore
