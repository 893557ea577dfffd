#include "wizardcore/KeptCopies.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLocale>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <string_view>

#include "platform/files/SafeFiles.h"
#include "platform/translation/Tr.h"

namespace wizardcore {

using translation::Tr;
namespace {

bool NamedAsACopy(std::string_view name) {
  const auto endsWith = [&](std::string_view suffix) {
    return name.size() > suffix.size() && name.substr(name.size() - suffix.size()) == suffix;
  };
  return name.front() != '.' && (endsWith(".tar.zst") || endsWith(".tar"));
}

}  // namespace

std::vector<KeptCopyFile> KeptCopiesIn(const std::filesystem::path& folder) {
  std::vector<KeptCopyFile> copies;
  std::error_code missing;
  if (!std::filesystem::exists(std::filesystem::symlink_status(folder, missing))) {
    return copies;
  }
  const files::FileDescriptor fd = files::OpenFolder(folder);
  for (const std::string& name : files::NamesIn(fd.Get(), folder)) {
    struct stat status {};
    if (!NamedAsACopy(name) ||
        ::fstatat(fd.Get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(status.st_mode)) {
      continue;
    }
    copies.push_back({folder / name, static_cast<std::int64_t>(status.st_size), status.st_mtime});
  }
  std::sort(copies.begin(), copies.end(), [](const KeptCopyFile& a, const KeptCopyFile& b) {
    return a.written != b.written ? a.written < b.written : a.path < b.path;
  });
  return copies;
}

std::string DescribeKeptCopies(const std::vector<KeptCopyFile>& copies) {
  std::int64_t bytes = 0;
  for (const KeptCopyFile& copy : copies) {
    bytes += copy.size;
  }
  return translation::Plural(
             static_cast<long long>(copies.size()),
             Tr("KeptCopies",
                "The folder of kept copies holds %1 copy, %2 together: vssdb kept lists them "
                "and removes old ones."),
             Tr("KeptCopies",
                "The folder of kept copies holds %1 copies, %2 together: vssdb kept lists them "
                "and removes old ones."))
      .Fill(copies.size(), QLocale().formattedDataSize(bytes, 1));
}

std::vector<KeptCopyFile> OlderThan(const std::vector<KeptCopyFile>& copies, int days,
                                    std::time_t now) {
  const std::time_t before = now - static_cast<std::time_t>(days) * 24 * 60 * 60;
  std::vector<KeptCopyFile> older;
  std::copy_if(copies.begin(), copies.end(), std::back_inserter(older),
               [&](const KeptCopyFile& copy) { return copy.written < before; });
  return older;
}

void RemoveKeptCopy(const std::filesystem::path& path) {
  const files::FileDescriptor folder = files::OpenFolder(path.parent_path());
  const std::string name = path.filename().string();
  struct stat status {};
  if (::fstatat(folder.Get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
      !S_ISREG(status.st_mode)) {
    throw files::FileError("'" + path.string() + "' is no longer a kept copy; it was left alone",
                           ENOENT);
  }
  if (::unlinkat(folder.Get(), name.c_str(), 0) != 0) {
    const int error = errno;
    throw files::FileError("Cannot remove '" + path.string() + "': " + std::strerror(error), error);
  }
}

}  // namespace wizardcore
