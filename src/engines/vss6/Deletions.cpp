#include "engines/vss6/Deletions.h"

#include "engines/vss6/CodePage.h"
#include "engines/vss6/Layout.h"
#include "engines/vss6/LogActions.h"
#include "platform/text/AsciiCase.h"

namespace vss6 {

std::unordered_map<std::string, DeletionSeen> LastDeletions(const std::vector<Record>& records,
                                                            std::string_view file,
                                                            const CodePage& codePage) {
  std::unordered_map<std::string, DeletionSeen> last;
  for (const Record& record : records) {
    if (record.signature != "EL") {
      continue;
    }
    const std::uint16_t action = ReadU16(record.body, kLogActionAt, file);
    if (action != kDeleteFile && action != kDeleteProject) {
      continue;
    }
    const std::string child = text::AsciiUpper(
        std::string(FieldText(record.body, kLogChildPhysical, kPhysicalSize, file)));
    DeletionSeen& seen = last[child];
    seen.time = ReadU32(record.body, kLogTimeAt, file);
    seen.user = codePage.ToUtf8(FieldText(record.body, kLogUserAt, kLogUserSize, file));
  }
  return last;
}

}  // namespace vss6
