#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "sourcecontrol/ErrorNumbers.h"

namespace wizardcore {

class DeletedList;
class Host;

// Raised when the copy kept before a purge cannot be written; the purge does not start.
inline constexpr std::int32_t kCopyNotKept =
    sourcecontrol::Number(sourcecontrol::ErrorCode::kCopyNotKept);

// Where and by whom the purge is asked, for the copy's manifest.
struct KeepContext {
  std::string database;  // the path as given
  std::string user;
};

// The folder copies are kept in: $XDG_DATA_HOME/scourwell/kept (or ~/.local/share/...).
std::filesystem::path KeptFolder();

// Where the copy kept before a purge goes, from the settings General\KeepCopy and
// General\KeepCopyFolder as read (empty when unset or unreadable): none when KeepCopy is "0",
// "no", "false" or "off" (any letter case); the folder when it is a whole path; else KeptFolder.
// Anything else keeps a copy: the safe side.
std::optional<std::filesystem::path> KeepCopyFolderFrom(const std::string& keepCopy,
                                                        const std::string& folder);

// Writes one tar archive (pax, compressed with zstd: "<database>-YYYYMMDD-HHMMSS.tar.zst") into
// `folder` (made 0700 when missing) holding, for each checked entry that no checked project holds,
// the latest content of every file at or below its path
// ("files/<path below $/>"), and "manifest.json": the database, the user, the time, and for each
// entry its path, kind, size and files. The archive is written beside its final name, synced,
// renamed, and its folder synced before this returns its path. Throws errors::ErrorRecord
// (kCopyNotKept) saying why when anything cannot be read or written; nothing is left then.
std::filesystem::path KeepCopy(Host& host, const DeletedList& list, const KeepContext& context,
                               const std::filesystem::path& folder = KeptFolder());

}  // namespace wizardcore
