#include "engines/ownformat/Compact.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "engines/common/EngineError.h"
#include "engines/ownformat/Session.h"
#include "engines/ownformat/StorageErrors.h"
#include "platform/files/FileDescriptor.h"
#include "platform/files/Holders.h"
#include "platform/files/SafeFiles.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/Statement.h"

namespace sourcesafe {
namespace {

std::int64_t DataVersion(sqlite::Connection& connection) {
  sqlite::Statement version(connection, "PRAGMA data_version");
  version.Step();
  return version.Int(0);
}

// The copy beside the data file, removed unless it took the data file's place.
class Copy {
 public:
  Copy(const files::FileDescriptor& folder, std::string name)
      : folder_(folder), name_(std::move(name)) {}
  ~Copy() {
    if (!placed_) {
      ::unlinkat(folder_.Get(), name_.c_str(), 0);
    }
  }
  Copy(const Copy&) = delete;
  Copy& operator=(const Copy&) = delete;
  void Placed() noexcept { placed_ = true; }

 private:
  const files::FileDescriptor& folder_;
  std::string name_;
  bool placed_ = false;
};

[[noreturn]] void Failed(const std::string& what, int error) {
  throw EngineError(ErrorCode::kStorageFailure,
                    what + ": " + std::strerror(error) + "; the database was not changed");
}

}  // namespace

Compacted CompactDatabase(const std::string& path, const std::string& user,
                          const std::string& password) {
  const std::unique_ptr<Session> session = Session::Open(path, user, password);
  if (!session->MayDestroy()) {
    throw EngineError(ErrorCode::kAccessDenied,
                      "User '" + user +
                          "' may not destroy items, and so may not compact the "
                          "database");
  }
  const std::filesystem::path dataFile = session->Location().dataFile;
  const std::filesystem::path folderPath = dataFile.parent_path();
  const std::string name = dataFile.filename().string();
  const std::string copyName = name + ".compact";
  sqlite::Connection& connection = session->Connection();
  return WithStorageErrors(dataFile, [&] {
    const files::FileDescriptor folder = files::OpenFolder(folderPath);
    struct stat original {};
    if (::fstatat(folder.Get(), name.c_str(), &original, AT_SYMLINK_NOFOLLOW) != 0) {
      Failed("Cannot look at '" + dataFile.string() + "'", errno);
    }
    struct stat inTheWay {};
    if (::fstatat(folder.Get(), copyName.c_str(), &inTheWay, AT_SYMLINK_NOFOLLOW) == 0) {
      throw EngineError(ErrorCode::kAlreadyExists,
                        "'" + (folderPath / copyName).string() +
                            "' is in the way of the compacted copy; it was left alone. Remove it "
                            "and try again");
    }
    // The copy is a snapshot taken under a read lock, so that no write can come in while it is
    // made; one that comes in afterwards is seen by the data version below.
    const std::int64_t version = DataVersion(connection);
    Copy copy(folder, copyName);
    sqlite::Statement vacuum(connection, "VACUUM INTO ?1");
    vacuum.Bind(1, (folderPath / copyName).string()).Run();

    const files::FileDescriptor file =
        files::OpenPlainFileAt(folder.Get(), copyName, folderPath / copyName, O_RDWR);
    if (::fchown(file.Get(), original.st_uid, original.st_gid) != 0 ||
        ::fchmod(file.Get(), original.st_mode & 07777) != 0) {
      Failed("The compacted copy could not be given the owner, group and mode of '" +
                 dataFile.string() + "'",
             errno);
    }
    if (::fsync(file.Get()) != 0) {
      Failed("The compacted copy could not be written to disk", errno);
    }
    struct stat compacted {};
    ::fstat(file.Get(), &compacted);

    // From here no one else may write until the copy is in place.
    connection.Execute("BEGIN EXCLUSIVE");
    const auto rollback = [&] { connection.Execute("ROLLBACK"); };
    if (DataVersion(connection) != version) {
      rollback();
      throw EngineError(ErrorCode::kItemChanged,
                        "Someone changed the database while it was being compacted; it was not "
                        "changed. Try again");
    }
    const files::Holders holders = files::HoldersOf(original.st_dev, original.st_ino);
    if (!holders.others.empty() || holders.ownDescriptors > 1) {
      rollback();
      const std::string who =
          holders.others.empty()
              ? "another part of this program"
              : "another program (process " + std::to_string(holders.others.front()) + ")";
      throw EngineError(ErrorCode::kAccessDenied,
                        "'" + dataFile.string() + "' is open in " + who +
                            ", which would go on writing to the file compacted away; compact "
                            "it when no one else has the database open. Nothing was changed");
    }
    if (::renameat(folder.Get(), copyName.c_str(), folder.Get(), name.c_str()) != 0) {
      const int error = errno;
      rollback();
      Failed("The compacted copy could not take the place of '" + dataFile.string() + "'", error);
    }
    copy.Placed();
    const bool synced = ::fsync(folder.Get()) == 0;
    const int syncError = errno;
    rollback();  // the lock of the file compacted away
    if (!synced) {
      // The compacted file is in place, but a crash could still bring back the old one and lose
      // what is written to the new one meanwhile.
      throw EngineError(ErrorCode::kStorageFailure,
                        "'" + dataFile.string() +
                            "' was compacted, but its folder could not be "
                            "synced (" +
                            std::strerror(syncError) +
                            "): a crash before the next "
                            "sync may bring back the file as it was");
    }
    return Compacted{static_cast<std::int64_t>(original.st_size),
                     static_cast<std::int64_t>(compacted.st_size)};
  });
}

}  // namespace sourcesafe
