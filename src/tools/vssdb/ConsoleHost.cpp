#include "tools/vssdb/ConsoleHost.h"

#include <cstdio>

#include "errors/ErrorMessage.h"
#include "platform/text/Printable.h"
#include "platform/translation/Tr.h"

namespace vssdb {

using translation::Tr;
namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int /*signal*/) {
  interrupted = 1;
  std::signal(SIGINT, SIG_DFL);  // the next Ctrl+C ends the process
}

// A progress line fits a terminal's usual width: the end of a long path is what tells it apart.
constexpr std::size_t kProgressWidth = 100;

}  // namespace

StopOnInterrupt::StopOnInterrupt() {
  interrupted = 0;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previous_);
}

StopOnInterrupt::~StopOnInterrupt() { sigaction(SIGINT, &previous_, nullptr); }

bool StopOnInterrupt::Requested() noexcept { return interrupted != 0; }

bool ConsoleHost::StopRequested() const { return StopOnInterrupt::Requested(); }

void ConsoleHost::StatementFailed(const std::string& source, std::int32_t line,
                                  const errors::CapturedError& error) noexcept {
  if (quiet_) {
    return;
  }
  try {
    Log(Tr("vssdb", "vssdb: %1, line %2: %3")
            .Fill(source, line, errors::ComposeErrorMessage(error.number, error.description)));
  } catch (...) {
    // Out of memory while writing a failure down: nothing better can be done.
  }
}

void ConsoleHost::ShowSearchedFolder(const std::string& spec) {
  Progress(Tr("vssdb", "Searching %1").Fill(spec));
}

void ConsoleHost::ShowPurgeFileName(const std::string& spec) { Progress(caption_ + " " + spec); }

void ConsoleHost::Log(const std::string& line) {
  EndProgress();
  console_.err << text::Printable(line, false) << '\n';
}

void ConsoleHost::Progress(const std::string& line) {
  if (!console_.terminal) {
    return;
  }
  std::string shown = text::Printable(line, false);
  if (shown.size() > kProgressWidth) {
    std::size_t cut = shown.size() - (kProgressWidth - 3);
    while (cut < shown.size() && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) {
      ++cut;  // not inside a character
    }
    shown = "..." + shown.substr(cut);
  }
  console_.err << "\r\x1b[K" << shown << std::flush;
  progressShown_ = true;
}

void ConsoleHost::EndProgress() {
  if (progressShown_) {
    console_.err << "\r\x1b[K" << std::flush;
    progressShown_ = false;
  }
}

}  // namespace vssdb
