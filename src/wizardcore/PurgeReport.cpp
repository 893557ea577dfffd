#include "wizardcore/PurgeReport.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "errors/ErrorRecord.h"
#include "platform/files/PlaceFile.h"
#include "platform/files/SafeFiles.h"
#include "platform/text/Printable.h"
#include "platform/translation/Tr.h"
#include "sourcecontrol/ErrorNumbers.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/DeletionTime.h"
#include "wizardcore/Purge.h"
#include "wizardcore/UserFolder.h"

namespace wizardcore {

using translation::Tr;
namespace {

using sourcecontrol::ErrorCode;
using sourcecontrol::Number;

// The engines' numbers for a destroy refused before anything was written: not written for such
// an item, no right, changed since it was listed, locked by another program.
constexpr std::int32_t kRefusals[] = {
    Number(ErrorCode::kDestroyNotWritten), Number(ErrorCode::kAccessDenied),
    Number(ErrorCode::kItemChanged), Number(ErrorCode::kLockTimeout)};

// The error of a report that cannot be written, saying why.
[[noreturn]] void CannotSave(const std::string& why) {
  throw errors::ErrorRecord(Number(ErrorCode::kReportNotWritten), "Scourwell",
                            "The purge report could not be written: " + why);
}

}  // namespace

bool RefusedByEngine(const errors::CapturedError& error) {
  for (const std::int32_t number : kRefusals) {
    if (error.number == number) {
      return true;
    }
  }
  return error.number == kKeptForUncheckedEntry;
}

std::vector<OutcomeRow> PurgeOutcomes(const DeletedList& list, const PurgeSummary& summary,
                                      const std::vector<int>& keptByRule) {
  std::vector<OutcomeRow> rows;
  for (int index = 0; index < list.Size(); ++index) {
    const DeletedEntry& entry = list[index];
    OutcomeRow row;
    row.index = index;
    row.spec = entry.spec;
    row.label = list.Label(index);
    row.deletion = entry.deletion;
    if (!entry.refusal.empty() && entry.outcome == Outcome::None) {
      row.outcome = Outcome::Kept;
      row.reason = entry.refusal;
    } else if (std::find(keptByRule.begin(), keptByRule.end(), index) != keptByRule.end()) {
      row.outcome = Outcome::Kept;
      row.error = {kKeptForUncheckedEntry,
                   "an entry below it is not selected, and destroying the project would destroy "
                   "that entry too"};
    } else if (entry.outcome == Outcome::Destroyed) {
      row.outcome = Outcome::Destroyed;
    } else if (entry.outcome == Outcome::Failed) {
      row.outcome = RefusedByEngine(entry.failure) ? Outcome::Refused : Outcome::Failed;
      row.error = entry.failure;
    } else if (entry.outcome == Outcome::Kept) {
      row.outcome = Outcome::Kept;
      row.error = entry.failure;
    } else if (summary.stopped && entry.checked && !entry.removed) {
      row.outcome = Outcome::NotReached;
    } else {
      continue;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string PurgeReportText(const PurgeContext& context, const std::vector<OutcomeRow>& rows,
                            const std::string& summary) {
  // Names and messages are printed with their control characters escaped: a name holding a
  // line break could otherwise forge a line of the report, or clear the terminal it is shown on.
  const auto shown = [](const std::string& line) { return text::Printable(line); };
  std::string text = (context.run == "recover" ? Tr("PurgeReport", "Scourwell recover report")
                                               : Tr("PurgeReport", "Scourwell purge report"))
                         .Str() +
                     "\n";
  text += Tr("PurgeReport", "Database: %1").Fill(shown(context.database)) + "\n";
  text += Tr("PurgeReport", "User: %1").Fill(shown(context.user)) + "\n";
  char when[64];
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S %z", &local);
  text += Tr("PurgeReport", "Written: %1").Fill(when) + "\n";
  text += Tr("PurgeReport", "Asked: %1").Fill(context.asked) + "\n";
  if (context.hidden > 0) {
    text +=
        Tr("PurgeReport", "Hidden by the filter: %1 of the checked entries").Fill(context.hidden) +
        "\n";
  }
  if (!context.advice.empty()) {
    text += Tr("PurgeReport", "Advice: %1").Fill(shown(context.advice)) + "\n";
  }
  if (!context.keptCopy.empty()) {
    text += Tr("PurgeReport", "Copy kept: %1").Fill(shown(context.keptCopy)) + "\n";
  }
  text += "\n" + Tr("PurgeReport", "Entries:").Str() + "\n";
  for (const OutcomeRow& row : rows) {
    std::string outcome(OutcomeWord(row.outcome));
    outcome.resize(std::max<std::size_t>(outcome.size(), 12), ' ');
    text += outcome + " " + text::Printable(row.label.empty() ? row.spec : row.label, true) + "\n";
    if (row.error) {
      text += "             (" + std::to_string(row.error.number) + ") '" +
              shown(row.error.description) + "'\n";
    } else if (!row.reason.empty()) {
      text += "             " + shown(row.reason) + "\n";
    }
    if (row.deletion.time || !row.deletion.user.empty()) {
      const std::string on = row.deletion.time ? FormatDeletionTime(row.deletion) : "";
      const std::string by = shown(row.deletion.user);
      text += "             " +
              (on.empty()   ? Tr("PurgeReport", "deleted by %1").Fill(by)
               : by.empty() ? Tr("PurgeReport", "deleted on %1").Fill(on)
                            : Tr("PurgeReport", "deleted on %1 by %2").Fill(on, by)) +
              "\n";
    }
  }
  if (rows.empty()) {
    text += Tr("PurgeReport", "(none)").Str() + "\n";
  }
  return text + "\n" + summary + "\n";
}

std::filesystem::path PurgeReportFolder() {
  return ScourwellFolder("XDG_STATE_HOME", ".local/state");
}

std::filesystem::path SavePurgeReport(const std::string& text, const std::filesystem::path& folder,
                                      const std::string& kind) {
  try {
    // The folders on the way are made the user's alone, as the state folder is meant to be.
    const files::FileDescriptor made = OpenUserFolder(folder);

    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "-%Y%m%d-%H%M%S", &local);
    // Written beside its name and put in place whole: no half report is ever under a report's
    // name, and two runs in one second get "-2", "-3", ...
    files::Placement placement;
    placement.temporary = kind + stamp + "." + std::to_string(::getpid()) + ".part";
    placement.name = [&](int attempt) {
      return kind + stamp + (attempt == 1 ? "" : "-" + std::to_string(attempt)) + ".txt";
    };
    placement.attempts = 100;
    const files::Placed placed = files::PlaceNewFile(made, folder, placement, [&](int fd) {
      files::WriteAll(fd, text, folder / placement.temporary);
    });
    return folder / placed.name;
  } catch (const files::FileError& error) {
    CannotSave(error.what());
  }
}

}  // namespace wizardcore
