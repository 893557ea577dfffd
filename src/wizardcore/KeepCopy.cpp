#include "wizardcore/KeepCopy.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <vector>

#include "errors/ErrorRecord.h"
#include "errors/Procedure.h"
#include "platform/files/PlaceFile.h"
#include "platform/files/SafeFiles.h"
#include "platform/text/AsciiCase.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Host.h"
#include "wizardcore/MemberNames.h"
#include "wizardcore/UserFolder.h"

namespace wizardcore {
namespace {

// A kept copy's name ends so: a tar archive compressed with zstd, which archive managers open.
constexpr const char* kKeptSuffix = ".tar.zst";

// How many bytes of the archive may wait in the page cache before they are synced.
constexpr la_int64_t kSyncEvery = 8 << 20;

[[noreturn]] void NotKept(const std::string& why) {
  throw errors::ErrorRecord(kCopyNotKept, "Scourwell",
                            "The copy to keep before the purge could not be written, so nothing "
                            "was purged: " +
                                why);
}

struct ArchiveFree {
  void operator()(archive* out) const noexcept { archive_write_free(out); }
};
struct EntryFree {
  void operator()(archive_entry* entry) const noexcept { archive_entry_free(entry); }
};

// One member of the archive, a plain file of the user's own.
void AddMember(archive* out, const std::string& name, const std::vector<unsigned char>& bytes,
               std::time_t when) {
  // One entry for every member, cleared each time: a copy may hold a great many small files.
  static thread_local const std::unique_ptr<archive_entry, EntryFree> reused(archive_entry_new());
  archive_entry* const entry = archive_entry_clear(reused.get());
  archive_entry_set_pathname_utf8(entry, name.c_str());
  archive_entry_set_size(entry, static_cast<la_int64_t>(bytes.size()));
  archive_entry_set_filetype(entry, AE_IFREG);
  archive_entry_set_perm(entry, 0600);
  archive_entry_set_mtime(entry, when, 0);
  if (archive_write_header(out, entry) != ARCHIVE_OK ||
      (!bytes.empty() && archive_write_data(out, bytes.data(), bytes.size()) !=
                             static_cast<la_ssize_t>(bytes.size()))) {
    NotKept(std::string(archive_error_string(out) ? archive_error_string(out) : "write failed"));
  }
}

// `object` in compact JSON with one more member, `name`, an array of the JSON values `elements`
// (joined by commas). The manifest is made so, piece by piece, rather than as one document: a
// document of many thousands of items takes long to write out in one go, and the window waits.
QByteArray WithArray(const QJsonObject& object, const char* name, const QByteArray& elements) {
  QByteArray text = QJsonDocument(object).toJson(QJsonDocument::Compact);
  text.chop(1);  // the closing brace; the object is never empty
  return text + ",\"" + name + "\":[" + elements + "]}";
}

// The member for `path`; a path that cannot be kept safely stops the copy, and so the purge.
std::string MemberOf(MemberNames& members, const std::string& folder, const std::string& path) {
  std::string why;
  const std::optional<std::string> member = members.For(folder, path, why);
  if (!member) {
    NotKept(why);
  }
  return *member;
}

std::string Stamp(std::time_t when, const char* format) {
  std::tm local{};
  ::localtime_r(&when, &local);
  char text[64];
  std::strftime(text, sizeof text, format, &local);
  return text;
}

// A name made of the database folder's last name, safe as a file name.
std::string DatabaseName(const std::string& database) {
  std::filesystem::path path(database);
  while (!path.empty() && path.filename().empty()) {
    path = path.parent_path();
  }
  std::string name = path.filename().string();
  for (char& c : name) {
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) {
      c = '_';
    }
  }
  return name.empty() ? "database" : name;
}

}  // namespace

std::filesystem::path KeptFolder() {
  return ScourwellFolder("XDG_DATA_HOME", ".local/share") / "kept";
}

std::optional<std::filesystem::path> KeepCopyFolderFrom(const std::string& keepCopy,
                                                        const std::string& folder) {
  for (const char* off : {"0", "no", "false", "off"}) {
    if (text::AsciiEqualNoCase(keepCopy, off)) {
      return std::nullopt;
    }
  }
  // Only a whole path says where: a relative one would depend on where the program started.
  if (folder.empty() || folder.front() != '/') {
    return KeptFolder();
  }
  return std::filesystem::path(folder);
}

namespace {

// One archive being written into an open file: its members, each its own name, and the manifest's
// text as it grows.
class CopyWriter {
 public:
  CopyWriter(Host& host, int fd, std::filesystem::path shown, std::time_t now)
      : host_(host), fd_(fd), shown_(std::move(shown)), now_(now), out_(archive_write_new()) {
    // Compressed: small files are mostly a tar header and padding, which zstd takes away at a
    // level that keeps up with the disk.
    if (!out_ || archive_write_set_format_pax_restricted(out_.get()) != ARCHIVE_OK ||
        archive_write_add_filter_zstd(out_.get()) != ARCHIVE_OK ||
        archive_write_set_filter_option(out_.get(), "zstd", "compression-level", "1") !=
            ARCHIVE_OK ||
        archive_write_open_fd(out_.get(), fd_) != ARCHIVE_OK) {
      NotKept("the archive could not be started");
    }
  }

  // The entry and everything its destroy takes, live and deleted, depth first, the entry first.
  void Add(const DeletedEntry& entry) {
    QByteArray kept;  // the entry's items, as JSON text
    std::int64_t bytes = 0;
    std::vector<std::shared_ptr<sourcecontrol::IVSSItem>> pending{entry.item};
    while (!pending.empty()) {
      const std::shared_ptr<sourcecontrol::IVSSItem> item = pending.back();
      pending.pop_back();
      const QJsonObject one = AddItem(*item, pending, bytes);
      kept += (kept.isEmpty() ? "" : ",") + QJsonDocument(one).toJson(QJsonDocument::Compact);
      SyncNowAndThen();
      host_.DoEvents();
      if (host_.StopRequested()) {
        NotKept("it was stopped");
      }
    }
    entries_ +=
        (entries_.isEmpty() ? "" : ",") +
        WithArray(QJsonObject{{"path", QString::fromStdString(entry.spec)},
                              {"kind", entry.kind == EntryKind::Project ? QStringLiteral("project")
                                                                        : QStringLiteral("file")},
                              {"size", static_cast<qint64>(bytes)}},
                  "items", kept);
  }

  // The manifest last, then the archive closed.
  void Finish(const KeepContext& context) {
    const QByteArray json =
        WithArray(QJsonObject{{"database", QString::fromStdString(context.database)},
                              {"user", QString::fromStdString(context.user)},
                              {"time", QString::fromStdString(Stamp(now_, "%Y-%m-%dT%H:%M:%S%z"))}},
                  "entries", entries_);
    AddMember(out_.get(), "manifest.json", {json.begin(), json.end()}, now_);
    host_.DoEvents();
    if (archive_write_close(out_.get()) != ARCHIVE_OK) {
      NotKept(archive_error_string(out_.get()) ? archive_error_string(out_.get())
                                               : "the archive could not be finished");
    }
  }

 private:
  // One item: its content's member, the engine's own files of it, and its line of the manifest.
  // A project's children join `pending`.
  QJsonObject AddItem(sourcecontrol::IVSSItem& item,
                      std::vector<std::shared_ptr<sourcecontrol::IVSSItem>>& pending,
                      std::int64_t& bytes) {
    const std::string spec = item.Spec();
    const bool project = item.Type() == sourcecontrol::ItemType::Project;
    QJsonObject kept{{"path", QString::fromStdString(spec)},
                     {"kind", project ? QStringLiteral("project") : QStringLiteral("file")},
                     {"deleted", item.Deleted()}};
    // What cannot be read (a damaged item) is said in the manifest and the rest is kept; what
    // cannot be written stops the copy.
    std::vector<unsigned char> content;
    const errors::CapturedError unreadable = errors::CaptureError([&] {
      if (project) {
        const std::shared_ptr<sourcecontrol::IVSSItems> children = item.Items(true);
        for (int child = children->Count(); child >= 1; --child) {
          pending.push_back(children->Item(child));
        }
      } else {
        content = item.Content();
      }
    });
    if (unreadable) {
      kept["unreadable"] = QString::fromStdString(unreadable.description);
    } else if (!project) {
      const std::string member = MemberOf(members_, "files", spec);
      AddMember(out_.get(), member, content, now_);
      bytes += static_cast<std::int64_t>(content.size());
      kept["member"] = QString::fromStdString(member);
      kept["size"] = static_cast<qint64>(content.size());
    }
    // The engine's own files of the item, byte for byte, so that its history is kept too.
    std::vector<sourcecontrol::OwnFile> own;
    const errors::CapturedError rawError = errors::CaptureError([&] { own = item.OwnFiles(); });
    QJsonArray raw;
    for (const sourcecontrol::OwnFile& file : own) {
      const auto [at, first] = written_.emplace(file.name, std::string());
      if (first) {
        at->second = MemberOf(members_, "raw", file.name);
        AddMember(out_.get(), at->second, file.bytes, now_);
      }
      raw.append(QString::fromStdString(at->second));
    }
    if (!raw.isEmpty()) {
      kept["raw"] = raw;
    }
    if (rawError) {
      kept["rawUnreadable"] = QString::fromStdString(rawError.description);
    }
    return kept;
  }

  // What is written so far goes to disk now and then, so that the last sync is short.
  void SyncNowAndThen() {
    if (archive_filter_bytes(out_.get(), -1) - synced_ >= kSyncEvery) {
      if (::fdatasync(fd_) != 0) {
        NotKept("'" + shown_.string() + "' could not be saved to disk: " + std::strerror(errno));
      }
      synced_ = archive_filter_bytes(out_.get(), -1);
    }
  }

  Host& host_;
  int fd_;
  std::filesystem::path shown_;
  std::time_t now_;
  std::unique_ptr<archive, ArchiveFree> out_;
  QByteArray entries_;                          // the manifest's entries, as JSON text
  MemberNames members_;                         // every member's name, each its own
  std::map<std::string, std::string> written_;  // the engine's files kept, and their members
  la_int64_t synced_ = 0;                       // bytes of the archive on disk already
};

}  // namespace

std::filesystem::path KeepCopy(Host& host, const DeletedList& list, const KeepContext& context,
                               const std::filesystem::path& folder) {
  const std::time_t now = std::time(nullptr);
  const std::string stem = DatabaseName(context.database) + "-" + Stamp(now, "%Y%m%d-%H%M%S");
  files::Placement placement;
  // Written under a name of this process's own, so that two purges in the same second do not meet;
  // linked under its name, never over a copy kept before: the next free "-2", "-3", ...
  placement.temporary = stem + "." + std::to_string(::getpid()) + ".part";
  placement.name = [&](int attempt) {
    return stem + (attempt == 1 ? "" : "-" + std::to_string(attempt)) + kKeptSuffix;
  };
  placement.attempts = 100;
  try {
    const files::FileDescriptor made = OpenUserFolder(folder);
    const files::Placed placed = files::PlaceNewFile(made, folder, placement, [&](int fd) {
      CopyWriter writer(host, fd, folder / placement.temporary, now);
      int covered = 0;  // entries before this one lie inside a checked project kept already
      for (int index = 0; index < list.Size(); ++index) {
        const DeletedEntry& entry = list[index];
        if (entry.removed || !entry.checked || index < covered || !entry.item) {
          continue;
        }
        covered = std::max(index + 1, entry.end);
        writer.Add(entry);
      }
      writer.Finish(context);
    });
    return folder / placed.name;
  } catch (const errors::ErrorRecord& error) {
    if (error.Number() == kCopyNotKept) {
      throw;
    }
    NotKept(error.Description());
  } catch (const std::exception& error) {
    NotKept(error.what());
  }
}

}  // namespace wizardcore
