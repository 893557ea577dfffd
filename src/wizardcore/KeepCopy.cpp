#include "wizardcore/KeepCopy.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "errors/ErrorRecord.h"
#include "platform/files/SafeFiles.h"
#include "sourcecontrol/IVSSItem.h"
#include "sourcecontrol/IVSSItems.h"
#include "wizardcore/DeletedList.h"
#include "wizardcore/Host.h"

namespace wizardcore {
namespace {

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
  const std::unique_ptr<archive_entry, EntryFree> entry(archive_entry_new());
  archive_entry_set_pathname_utf8(entry.get(), name.c_str());
  archive_entry_set_size(entry.get(), static_cast<la_int64_t>(bytes.size()));
  archive_entry_set_filetype(entry.get(), AE_IFREG);
  archive_entry_set_perm(entry.get(), 0600);
  archive_entry_set_mtime(entry.get(), when, 0);
  if (archive_write_header(out, entry.get()) != ARCHIVE_OK ||
      (!bytes.empty() && archive_write_data(out, bytes.data(), bytes.size()) !=
                             static_cast<la_ssize_t>(bytes.size()))) {
    NotKept(std::string(archive_error_string(out) ? archive_error_string(out) : "write failed"));
  }
}

// The name of a file below "files/": its path without "$/".
std::string MemberName(const std::string& spec) {
  return "files/" + (spec.rfind("$/", 0) == 0 ? spec.substr(2) : spec);
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
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/') {
    return std::filesystem::path(data) / "scourwell" / "kept";
  }
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home != nullptr && *home == '/' ? home : "/") / ".local" / "share" /
         "scourwell" / "kept";
}

std::filesystem::path KeepCopy(Host& host, const DeletedList& list, const KeepContext& context,
                               const std::filesystem::path& folder) {
  const std::time_t now = std::time(nullptr);
  files::FileDescriptor made;
  try {
    std::vector<std::string> names;
    std::filesystem::path existing = folder;
    while (!existing.empty() && existing != existing.root_path() &&
           !std::filesystem::is_directory(existing)) {
      names.insert(names.begin(), existing.filename().string());
      existing = existing.parent_path();
    }
    made = names.empty()
               ? files::OpenFolder(folder)
               : files::OpenOrMakeFolders(files::OpenFolder(existing), existing, names, 0700, true);
  } catch (const files::FileError& error) {
    NotKept(error.what());
  }
  const std::string name =
      DatabaseName(context.database) + "-" + Stamp(now, "%Y%m%d-%H%M%S") + ".tar";
  const std::string part = name + ".part";
  ::unlinkat(made.Get(), part.c_str(), 0);  // one left by a crash
  files::FileDescriptor file;
  try {
    file = files::CreateNewFile(made, folder, part, 0600);
  } catch (const files::FileError& error) {
    NotKept(error.what());
  }
  try {
    const std::unique_ptr<archive, ArchiveFree> out(archive_write_new());
    if (!out || archive_write_set_format_pax_restricted(out.get()) != ARCHIVE_OK ||
        archive_write_open_fd(out.get(), file.Get()) != ARCHIVE_OK) {
      NotKept("the archive could not be started");
    }
    QJsonArray entries;
    int covered = 0;  // entries before this one lie inside a checked project kept already
    for (int index = 0; index < list.Size(); ++index) {
      const DeletedEntry& entry = list[index];
      if (entry.removed || !entry.checked || index < covered || !entry.item) {
        continue;
      }
      covered = std::max(index + 1, entry.end);
      QJsonArray kept;
      std::int64_t bytes = 0;
      // Depth first through everything the destroy will take, live and deleted.
      std::vector<std::shared_ptr<sourcecontrol::IVSSItem>> pending{entry.item};
      while (!pending.empty()) {
        const std::shared_ptr<sourcecontrol::IVSSItem> item = pending.back();
        pending.pop_back();
        const std::string spec = item->Spec();
        if (item->Type() == sourcecontrol::ItemType::File) {
          const std::vector<unsigned char> content = item->Content();
          AddMember(out.get(), MemberName(spec), content, now);
          bytes += static_cast<std::int64_t>(content.size());
          kept.append(QJsonObject{{"path", QString::fromStdString(spec)},
                                  {"member", QString::fromStdString(MemberName(spec))},
                                  {"size", static_cast<qint64>(content.size())},
                                  {"deleted", item->Deleted()}});
          host.DoEvents();
          continue;
        }
        const std::shared_ptr<sourcecontrol::IVSSItems> children = item->Items(true);
        for (int child = children->Count(); child >= 1; --child) {
          pending.push_back(children->Item(child));
        }
      }
      entries.append(
          QJsonObject{{"path", QString::fromStdString(entry.spec)},
                      {"kind", entry.kind == EntryKind::Project ? QStringLiteral("project")
                                                                : QStringLiteral("file")},
                      {"size", static_cast<qint64>(bytes)},
                      {"files", kept}});
    }
    const QJsonObject manifest{{"database", QString::fromStdString(context.database)},
                               {"user", QString::fromStdString(context.user)},
                               {"time", QString::fromStdString(Stamp(now, "%Y-%m-%dT%H:%M:%S%z"))},
                               {"entries", entries}};
    const QByteArray json = QJsonDocument(manifest).toJson(QJsonDocument::Indented);
    AddMember(out.get(), "manifest.json", {json.begin(), json.end()}, now);
    if (archive_write_close(out.get()) != ARCHIVE_OK) {
      NotKept(archive_error_string(out.get()) ? archive_error_string(out.get())
                                              : "the archive could not be finished");
    }
    if (::fsync(file.Get()) != 0 || !file.Close()) {
      NotKept("'" + (folder / part).string() +
              "' could not be saved to disk: " + std::strerror(errno));
    }
    if (::renameat(made.Get(), part.c_str(), made.Get(), name.c_str()) != 0 ||
        ::fsync(made.Get()) != 0) {
      NotKept("'" + (folder / name).string() +
              "' could not be put in place: " + std::strerror(errno));
    }
  } catch (const errors::ErrorRecord& error) {
    ::unlinkat(made.Get(), part.c_str(), 0);
    if (error.Number() == kCopyNotKept) {
      throw;
    }
    NotKept(error.Description());
  } catch (const std::exception& error) {
    ::unlinkat(made.Get(), part.c_str(), 0);
    NotKept(error.what());
  }
  return folder / name;
}

}  // namespace wizardcore
