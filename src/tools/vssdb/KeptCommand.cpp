// vssdb kept: the copies kept before purges, and the removal of old ones.
#include <QLocale>
#include <charconv>
#include <ctime>
#include <optional>
#include <string>

#include "errors/ErrorRecord.h"
#include "platform/text/Printable.h"
#include "platform/translation/Tr.h"
#include "tools/vssdb/Arguments.h"
#include "tools/vssdb/DatabaseCommands.h"
#include "wizardcore/KeepCopy.h"
#include "wizardcore/KeptArchive.h"
#include "wizardcore/KeptCopies.h"

namespace vssdb {

using translation::Tr;
namespace {

std::optional<int> DaysOf(const Arguments& arguments) {
  const std::optional<std::string> text = arguments.Value("--older-than");
  if (!text) {
    return std::nullopt;
  }
  int days = -1;
  const char* end = text->data() + text->size();
  if (text->empty() || std::from_chars(text->data(), end, days).ptr != end || days < 0) {
    throw UsageError(Tr("vssdb", "--older-than takes a number of days, not '%1'").Fill(*text));
  }
  return days;
}

std::string LocalTime(std::time_t time) {
  std::tm local{};
  char text[32] = "";
  if (::localtime_r(&time, &local) != nullptr) {
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  }
  return text;
}

}  // namespace

int KeptCommand(const Arguments& arguments, Console& console) {
  const std::optional<int> days = DaysOf(arguments);
  const bool remove = arguments.Flag("--remove");
  if (remove && !days) {
    throw UsageError(
        Tr("vssdb", "--remove needs --older-than DAYS, so that no copy goes by mistake").Str());
  }
  const std::filesystem::path folder = arguments.operands.empty()
                                           ? wizardcore::KeptFolder()
                                           : std::filesystem::path(arguments.operands[0]);
  std::vector<wizardcore::KeptCopyFile> copies = wizardcore::KeptCopiesIn(folder);
  if (days) {
    copies = wizardcore::OlderThan(copies, *days, std::time(nullptr));
  }
  const QLocale plain = QLocale::c();
  int status = 0;
  for (const wizardcore::KeptCopyFile& copy : copies) {
    std::string holds;
    try {
      const wizardcore::KeptCopyRead read = wizardcore::ReadKeptCopy(copy.path);
      holds = translation::Plural(static_cast<long long>(read.entries.size()),
                                  Tr("vssdb", "%1 entry  %2"), Tr("vssdb", "%1 entries  %2"))
                  .Fill(read.entries.size(), text::Printable(read.database));
    } catch (const errors::ErrorRecord& error) {
      holds =
          Tr("vssdb", "(cannot be read as a copy: %1)").Fill(text::Printable(error.Description()));
    }
    console.out << LocalTime(copy.written) << "  "
                << plain.formattedDataSize(copy.size, 1).toStdString() << "  " << holds << "  "
                << text::Printable(copy.path.string()) << '\n';
    if (remove) {
      try {
        wizardcore::RemoveKeptCopy(copy.path);
        console.out << "  " << Tr("vssdb", "removed").Str() << '\n';
      } catch (const std::exception& error) {
        console.err << "vssdb: " << error.what() << '\n';
        status = 1;
      }
    }
  }
  return status;
}

}  // namespace vssdb
