#include "wizardcore/KeptArchive.h"

#include <archive.h>
#include <archive_entry.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>

#include "errors/ErrorRecord.h"
#include "errors/Procedure.h"
#include "platform/files/SafeFiles.h"
#include "wizardcore/UserFolder.h"

namespace wizardcore {
namespace {

[[noreturn]] void NotACopy(const std::filesystem::path& path, const std::string& why) {
  throw errors::ErrorRecord(
      kNotAKeptCopy, "Scourwell",
      "'" + path.string() + "' cannot be read as a copy Scourwell kept: " + why);
}

struct ArchiveReadFree {
  void operator()(archive* in) const noexcept { archive_read_free(in); }
};
using ArchiveReader = std::unique_ptr<archive, ArchiveReadFree>;

ArchiveReader OpenArchive(const std::filesystem::path& path) {
  ArchiveReader in(archive_read_new());
  if (!in || archive_read_support_format_tar(in.get()) != ARCHIVE_OK ||
      archive_read_open_filename(in.get(), path.c_str(), 64 * 1024) != ARCHIVE_OK) {
    NotACopy(path, in && archive_error_string(in.get()) ? archive_error_string(in.get())
                                                        : "it cannot be opened");
  }
  return in;
}

// Calls `each` with every member's name and header, the archive positioned at its data; throws
// when the archive is damaged.
void ForEachMember(const std::filesystem::path& path,
                   const std::function<void(archive*, archive_entry*, const std::string&)>& each) {
  const ArchiveReader in = OpenArchive(path);
  archive_entry* entry = nullptr;
  int status = ARCHIVE_OK;
  while ((status = archive_read_next_header(in.get(), &entry)) == ARCHIVE_OK) {
    const char* name = archive_entry_pathname_utf8(entry);
    each(in.get(), entry, name != nullptr ? name : "");
  }
  if (status != ARCHIVE_EOF) {
    NotACopy(path, archive_error_string(in.get()) ? archive_error_string(in.get())
                                                  : "it ends in the middle");
  }
}

// The current member's bytes.
std::vector<unsigned char> ReadMember(archive* in, const std::filesystem::path& path) {
  std::vector<unsigned char> bytes;
  unsigned char block[64 * 1024];
  for (;;) {
    const la_ssize_t got = archive_read_data(in, block, sizeof block);
    if (got < 0) {
      NotACopy(path, archive_error_string(in) ? archive_error_string(in) : "a member is damaged");
    }
    if (got == 0) {
      return bytes;
    }
    bytes.insert(bytes.end(), block, block + got);
  }
}

// The names of a member's path, each one a plain name: no "", ".", ".." and no leading "/".
std::vector<std::string> SafeNames(const std::string& member) {
  std::vector<std::string> names;
  std::size_t at = 0;
  while (at <= member.size()) {
    std::size_t slash = member.find('/', at);
    if (slash == std::string::npos) {
      slash = member.size();
    }
    names.push_back(member.substr(at, slash - at));
    at = slash + 1;
  }
  for (const std::string& name : names) {
    if (name.empty() || name == "." || name == "..") {
      return {};
    }
  }
  return names;
}

std::string Text(const QJsonObject& object, const char* key) {
  return object[QLatin1String(key)].toString().toStdString();
}

}  // namespace

KeptCopyRead ReadKeptCopy(const std::filesystem::path& path) {
  std::map<std::string, std::vector<unsigned char>> members;
  ForEachMember(path, [&](archive* in, archive_entry*, const std::string& member) {
    if (member == "manifest.json" || member.rfind("files/", 0) == 0) {
      members[member] = ReadMember(in, path);
    }
  });
  const auto manifest = members.find("manifest.json");
  if (manifest == members.end()) {
    NotACopy(path, "it holds no manifest.json");
  }
  QJsonParseError error{};
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray(reinterpret_cast<const char*>(manifest->second.data()),
                                         static_cast<qsizetype>(manifest->second.size())),
                              &error);
  if (!document.isObject()) {
    NotACopy(path, "its manifest is not JSON: " + error.errorString().toStdString());
  }
  const QJsonObject root = document.object();
  KeptCopyRead copy;
  copy.database = Text(root, "database");
  copy.user = Text(root, "user");
  copy.time = Text(root, "time");
  for (const QJsonValue& value : root["entries"].toArray()) {
    const QJsonObject object = value.toObject();
    KeptCopyRead::Entry entry;
    entry.spec = Text(object, "path");
    for (const QJsonValue& kept : object["items"].toArray()) {
      const QJsonObject item = kept.toObject();
      sourcecontrol::RestoredItem restored;
      restored.spec = Text(item, "path");
      restored.project = Text(item, "kind") == "project";
      restored.deleted = item["deleted"].toBool();
      if (item.contains(QLatin1String("unreadable"))) {
        entry.unreadable.push_back(restored.spec);
      } else if (!restored.project) {
        const auto content = members.find(Text(item, "member"));
        if (content == members.end()) {
          NotACopy(path, "the content of '" + restored.spec + "' is missing");
        }
        restored.content = content->second;
      }
      entry.items.push_back(std::move(restored));
    }
    if (entry.spec.empty() || entry.items.empty() || entry.items.front().spec != entry.spec) {
      NotACopy(path, "its manifest lists an entry without its items");
    }
    copy.entries.push_back(std::move(entry));
  }
  return copy;
}

std::vector<RestoreRow> RestoreKept(sourcecontrol::IVSSDatabase& database,
                                    const KeptCopyRead& copy) {
  std::vector<RestoreRow> rows;
  for (const KeptCopyRead::Entry& entry : copy.entries) {
    RestoreRow row{entry.spec, "restored", {}};
    row.error = errors::CaptureError([&] { database.Restore(entry.items); });
    if (row.error) {
      row.outcome = "refused";
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<std::filesystem::path> ExtractKeptCopy(const std::filesystem::path& path,
                                                   const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> written;
  files::FileDescriptor top;
  try {
    top = OpenUserFolder(folder);
  } catch (const files::FileError& error) {
    NotACopy(path, error.what());
  }
  ForEachMember(path, [&](archive* in, archive_entry* entry, const std::string& member) {
    std::vector<std::string> names = SafeNames(member);
    if (names.empty() || archive_entry_filetype(entry) != AE_IFREG) {
      NotACopy(path, "the member '" + member + "' is not a plain file with a plain name");
    }
    const std::string last = names.back();
    names.pop_back();
    try {
      const files::FileDescriptor into =
          names.empty() ? files::OpenFolder(folder)
                        : files::OpenOrMakeFolders(top, folder, names, 0700, true);
      const std::filesystem::path shown = folder / member;
      const files::FileDescriptor file =
          files::CreateNewFile(into, shown.parent_path(), last, 0600);
      const std::vector<unsigned char> bytes = ReadMember(in, path);
      std::size_t done = 0;
      while (done < bytes.size()) {
        const ssize_t wrote = ::write(file.Get(), bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno != EINTR) {
          throw files::FileError("Cannot write '" + shown.string() + "'", errno);
        }
        done += wrote > 0 ? static_cast<std::size_t>(wrote) : 0;
      }
      written.push_back(shown);
    } catch (const files::FileError& error) {
      NotACopy(path, error.what());
    }
  });
  return written;
}

}  // namespace wizardcore
