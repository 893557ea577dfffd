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
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "errors/ErrorRecord.h"
#include "errors/Procedure.h"
#include "platform/files/SafeFiles.h"
#include "sourcecontrol/ErrorNumbers.h"
#include "wizardcore/UserFolder.h"

namespace wizardcore {
namespace {

// The most a manifest may hold: a copy of a few hundred thousand items needs a tenth of it.
constexpr std::size_t kMaxManifestBytes = 256u << 20;
// The errors of an entry that the engine would not put back, as against one that failed.
constexpr std::int32_t kRefusals[] = {
    sourcecontrol::Number(sourcecontrol::ErrorCode::kAlreadyExists),  // its name is taken
    sourcecontrol::Number(sourcecontrol::ErrorCode::kItemNotFound),   // its project is gone
    sourcecontrol::Number(
        sourcecontrol::ErrorCode::kUnsupportedVersion),             // a format it does not write
    sourcecontrol::Number(sourcecontrol::ErrorCode::kInvalidName),  // a name it does not take
    sourcecontrol::Number(
        sourcecontrol::ErrorCode::kInvalidArgument),  // an item larger than it keeps
};

[[noreturn]] void NotACopy(const std::filesystem::path& path, const std::string& why) {
  throw errors::ErrorRecord(
      kNotAKeptCopy, "Scourwell",
      "'" + path.string() + "' cannot be read as a copy Scourwell kept: " + why);
}

// An archive read member by member, front to back.
class ArchiveReader {
 public:
  explicit ArchiveReader(std::filesystem::path path) : path_(std::move(path)) {
    // Copies are compressed with zstd; those of earlier versions are plain tar archives.
    if (!in_ || archive_read_support_format_tar(in_.get()) != ARCHIVE_OK ||
        archive_read_support_filter_zstd(in_.get()) != ARCHIVE_OK ||
        archive_read_open_filename(in_.get(), path_.c_str(), 64 * 1024) != ARCHIVE_OK) {
      Fail("it cannot be opened");
    }
  }

  // Goes on to the next member; false at the end of the archive. Its data, unread, is skipped.
  bool Next() {
    const int status = archive_read_next_header(in_.get(), &entry_);
    if (status == ARCHIVE_EOF) {
      name_.clear();
      return false;
    }
    if (status != ARCHIVE_OK) {
      Fail("it ends in the middle");
    }
    const char* name = archive_entry_pathname_utf8(entry_);
    name_ = name != nullptr ? name : "";
    ++number_;
    return true;
  }

  const std::string& Name() const noexcept { return name_; }
  int Number() const noexcept { return number_; }  // of the member at hand, from 1
  bool IsPlainFile() const { return archive_entry_filetype(entry_) == AE_IFREG; }
  std::int64_t Size() const { return archive_entry_size(entry_); }

  // The member's bytes in order, holes as zeros, a block at a time.
  void Read(const sourcecontrol::RestoredContent::Sink& sink) {
    unsigned char block[64 * 1024];
    for (;;) {
      const la_ssize_t got = archive_read_data(in_.get(), block, sizeof block);
      if (got < 0) {
        Fail("the member '" + name_ + "' is damaged");
      }
      if (got == 0) {
        return;
      }
      sink({block, static_cast<std::size_t>(got)});
    }
  }

  // The member's blocks with where each goes, holes left out.
  void ReadBlocks(const std::function<void(const void*, std::size_t, std::int64_t)>& write) {
    const void* block = nullptr;
    std::size_t size = 0;
    la_int64_t offset = 0;
    for (;;) {
      const int status = archive_read_data_block(in_.get(), &block, &size, &offset);
      if (status == ARCHIVE_EOF) {
        return;
      }
      if (status != ARCHIVE_OK) {
        Fail("the member '" + name_ + "' is damaged");
      }
      write(block, size, offset);
    }
  }

  // Reads the member at hand whole; when it holds more than `limit` bytes, nothing.
  std::optional<std::string> ReadSmall(std::size_t limit) {
    if (Size() < 0 || static_cast<std::uint64_t>(Size()) > limit) {
      return std::nullopt;
    }
    std::string bytes;
    Read([&](std::span<const unsigned char> piece) { bytes.append(piece.begin(), piece.end()); });
    return bytes;
  }

  [[noreturn]] void Fail(const std::string& why) const {
    NotACopy(path_, in_ && archive_error_string(in_.get()) != nullptr
                        ? why + " (" + archive_error_string(in_.get()) + ")"
                        : why);
  }

 private:
  struct Free {
    void operator()(archive* in) const noexcept { archive_read_free(in); }
  };
  std::filesystem::path path_;
  std::unique_ptr<archive, Free> in_{archive_read_new()};
  archive_entry* entry_ = nullptr;
  std::string name_;
  int number_ = 0;
};

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

// What the first pass saw of a member.
struct MemberSeen {
  int number = 0;
  bool plain = false;
  std::int64_t size = 0;
};

bool Refused(const errors::CapturedError& error) {
  for (const std::int32_t number : kRefusals) {
    if (error.number == number) {
      return true;
    }
  }
  return false;
}

}  // namespace

KeptCopyRead ReadKeptCopy(const std::filesystem::path& path) {
  // The first pass reads the manifest and every member's header; contents are skipped.
  std::map<std::string, MemberSeen> members;
  std::optional<std::string> manifest;
  ArchiveReader reader(path);
  while (reader.Next()) {
    if (!members
             .emplace(reader.Name(),
                      MemberSeen{reader.Number(), reader.IsPlainFile(), reader.Size()})
             .second) {
      NotACopy(path, "it holds the member '" + reader.Name() + "' twice");
    }
    if (reader.Name() == "manifest.json") {
      manifest = reader.ReadSmall(kMaxManifestBytes);
      if (!manifest || !reader.IsPlainFile()) {
        NotACopy(path, "its manifest is not a plain file of at most 256 MiB");
      }
    }
  }
  if (!manifest) {
    NotACopy(path, "it holds no manifest.json");
  }
  QJsonParseError error{};
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray::fromStdString(*manifest), &error);
  if (!document.isObject()) {
    NotACopy(path, "its manifest is not JSON: " + error.errorString().toStdString());
  }
  const QJsonObject root = document.object();
  KeptCopyRead copy;
  copy.path = path;
  copy.database = Text(root, "database");
  copy.user = Text(root, "user");
  copy.time = Text(root, "time");
  int last = 0;  // the number of the member named last: they come in the manifest's order
  for (const QJsonValue& value : root["entries"].toArray()) {
    const QJsonObject object = value.toObject();
    KeptCopyRead::Entry entry;
    entry.spec = Text(object, "path");
    for (const QJsonValue& kept : object["items"].toArray()) {
      const QJsonObject item = kept.toObject();
      KeptCopyRead::Item restored;
      restored.spec = Text(item, "path");
      restored.project = Text(item, "kind") == "project";
      restored.deleted = item["deleted"].toBool();
      if (item.contains(QLatin1String("unreadable"))) {
        entry.unreadable.push_back(restored.spec);
      } else if (!restored.project) {
        restored.member = Text(item, "member");
        const auto seen = members.find(restored.member);
        if (seen == members.end()) {
          NotACopy(path, "the content of '" + restored.spec + "' is missing");
        }
        if (!seen->second.plain) {
          NotACopy(path, "the content of '" + restored.spec + "' is not a plain file");
        }
        restored.size = seen->second.size;
        if (restored.size < 0 || restored.size > kLargestItemBytes ||
            restored.size != item["size"].toInteger(restored.size)) {
          NotACopy(path, "the content of '" + restored.spec + "' holds " +
                             std::to_string(restored.size) +
                             " bytes, not what the manifest says or more than any item can");
        }
        if (seen->second.number <= last) {
          NotACopy(path, "its members are not in the order of its manifest");
        }
        last = seen->second.number;
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
  std::vector<std::size_t> unsaved;  // rows restored in a group not saved yet
  const auto notSaved = [&](const errors::CapturedError& error) {
    for (const std::size_t index : unsaved) {
      rows[index].outcome = Outcome::Failed;
      rows[index].error = error;
    }
    unsaved.clear();
  };
  ArchiveReader reader(copy.path);
  // The member `name`, met further on: those before it are passed over.
  const auto streamed = [&](const std::string& name, std::int64_t size) {
    return sourcecontrol::RestoredContent(size, [&reader, name](const auto& sink) {
      while (reader.Name() != name) {
        if (!reader.Next()) {
          reader.Fail("the member '" + name + "' is not where its manifest says");
        }
      }
      reader.Read(sink);
    });
  };
  database.BeginDestroyGroup({});
  for (const KeptCopyRead::Entry& entry : copy.entries) {
    std::vector<sourcecontrol::RestoredItem> items;
    for (const KeptCopyRead::Item& item : entry.items) {
      items.push_back({item.spec, item.project, item.deleted,
                       item.member.empty() ? sourcecontrol::RestoredContent()
                                           : streamed(item.member, item.size)});
    }
    RestoreRow row{entry.spec, Outcome::Restored, {}};
    row.error = errors::CaptureError([&] { database.Restore(items); });
    if (row.error.number == sourcecontrol::kDestroysNotSaved) {
      notSaved(row.error);
    }
    if (row.error) {
      row.outcome = Refused(row.error) ? Outcome::Refused : Outcome::Failed;
    }
    rows.push_back(std::move(row));
    if (!rows.back().error) {
      unsaved.push_back(rows.size() - 1);
    }
    // The entries of groups saved since are back for good.
    const std::size_t waiting = static_cast<std::size_t>(std::max(0, database.UnsavedDestroys()));
    if (waiting < unsaved.size()) {
      unsaved.erase(unsaved.begin(), unsaved.end() - static_cast<std::ptrdiff_t>(waiting));
    }
  }
  if (const errors::CapturedError error =
          errors::CaptureError([&] { database.EndDestroyGroup(); })) {
    notSaved(error);
  }
  return rows;
}

std::vector<std::filesystem::path> ExtractKeptCopy(const std::filesystem::path& path,
                                                   const std::filesystem::path& folder) {
  // First every member's name and kind, so that nothing is written from a copy refused.
  {
    ArchiveReader reader(path);
    std::set<std::string> names;
    while (reader.Next()) {
      if (SafeNames(reader.Name()).empty() || !reader.IsPlainFile()) {
        NotACopy(path, "the member '" + reader.Name() + "' is not a plain file with a plain name");
      }
      std::error_code error;
      if (!names.insert(reader.Name()).second ||
          std::filesystem::exists(std::filesystem::symlink_status(folder / reader.Name(), error))) {
        NotACopy(path, "'" + (folder / reader.Name()).string() + "' is there already");
      }
    }
  }
  std::vector<std::filesystem::path> written;
  files::FileDescriptor top;
  try {
    top = OpenUserFolder(folder);
  } catch (const files::FileError& error) {
    NotACopy(path, error.what());
  }
  ArchiveReader reader(path);
  const std::string part = ".part-" + std::to_string(::getpid());
  while (reader.Next()) {
    std::vector<std::string> names = SafeNames(reader.Name());
    const std::string last = names.back();
    names.pop_back();
    const std::filesystem::path shown = folder / reader.Name();
    files::FileDescriptor into;
    try {
      into = names.empty() ? files::OpenFolder(folder)
                           : files::OpenOrMakeFolders(top, folder, names, 0700, true);
      // Beside its name until it is whole: a failure leaves no file under the member's name.
      files::FileDescriptor file =
          files::CreateNewFile(into, shown.parent_path(), last + part, 0600);
      try {
        reader.ReadBlocks([&](const void* block, std::size_t size, std::int64_t offset) {
          const auto* bytes = static_cast<const char*>(block);
          for (std::size_t done = 0; done < size;) {
            const ssize_t wrote = ::pwrite(file.Get(), bytes + done, size - done,
                                           static_cast<off_t>(offset) + static_cast<off_t>(done));
            if (wrote < 0 && errno != EINTR) {
              throw files::FileError(
                  "Cannot write '" + shown.string() + "': " + std::strerror(errno), errno);
            }
            done += wrote > 0 ? static_cast<std::size_t>(wrote) : 0;
          }
        });
        // A hole at its end, too.
        if (::ftruncate(file.Get(), static_cast<off_t>(reader.Size())) != 0 || !file.Close() ||
            ::linkat(into.Get(), (last + part).c_str(), into.Get(), last.c_str(), 0) != 0) {
          throw files::FileError("Cannot write '" + shown.string() + "': " + std::strerror(errno),
                                 errno);
        }
      } catch (...) {
        ::unlinkat(into.Get(), (last + part).c_str(), 0);
        throw;
      }
      ::unlinkat(into.Get(), (last + part).c_str(), 0);
      written.push_back(shown);
    } catch (const files::FileError& error) {
      NotACopy(path, error.what());
    }
  }
  return written;
}

}  // namespace wizardcore
