#include "engines/common/UncPath.h"

#include <QString>
#include <optional>
#include <vector>

#include "engines/common/EngineError.h"

namespace sourcesafe {
namespace {

// The names of a path whose separators are '/' or '\', empty names dropped.
std::vector<std::string> Names(std::string_view path) {
  std::vector<std::string> names;
  std::string current;
  for (const char c : path) {
    if (c == '/' || c == '\\') {
      if (!current.empty()) {
        names.push_back(std::move(current));
        current.clear();
      }
    } else {
      current += c;
    }
  }
  if (!current.empty()) {
    names.push_back(std::move(current));
  }
  return names;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()))
             .compare(QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())),
                      Qt::CaseInsensitive) == 0;
}

// mountinfo writes blanks, tabs, newlines and backslashes in paths as octal escapes (\040).
std::string Unescape(std::string_view field) {
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3' &&
        field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
      text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                (field[i + 3] - '0'));
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

struct NetworkMount {
  std::vector<std::string> source;  // server, share, then the folders below the share
  std::string mountPoint;
};

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  while (!line.empty()) {
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) {
      break;
    }
    line.remove_prefix(start);
    const std::size_t end = line.find(' ');
    fields.push_back(line.substr(0, end));
    line = end == std::string_view::npos ? std::string_view() : line.substr(end);
  }
  return fields;
}

// Line format: id parent major:minor root mount-point options [optional...] - type source super
std::optional<NetworkMount> ParseMount(std::string_view line) {
  const std::vector<std::string_view> fields = Fields(line);
  std::size_t dash = 6;
  while (dash < fields.size() && fields[dash] != "-") {
    ++dash;
  }
  if (fields.size() < 5 || dash + 2 >= fields.size()) {
    return std::nullopt;
  }
  const std::string_view type = fields[dash + 1];
  if (type != "cifs" && type != "smb3" && type != "smbfs") {
    return std::nullopt;
  }
  NetworkMount mount{Names(Unescape(fields[dash + 2])), Unescape(fields[4])};
  // The root field names the folder of the share that is mounted, when it is not the share's top.
  for (std::string& name : Names(Unescape(fields[3]))) {
    mount.source.push_back(std::move(name));
  }
  if (mount.source.size() < 2) {
    return std::nullopt;
  }
  return mount;
}

}  // namespace

bool IsUncPath(std::string_view path) {
  return path.size() > 2 && (path[0] == '\\' || path[0] == '/') &&
         (path[1] == '\\' || path[1] == '/') && path[2] != '\\' && path[2] != '/';
}

std::filesystem::path ResolveUncPath(std::string_view unc, std::string_view mountinfo) {
  const std::vector<std::string> wanted = Names(unc);
  if (wanted.size() < 2) {
    throw EngineError(ErrorCode::kFileNotFound,
                      "'" + std::string(unc) + "' names no share: write \\\\server\\share\\folder");
  }
  std::optional<NetworkMount> best;
  while (!mountinfo.empty()) {
    const std::size_t end = mountinfo.find('\n');
    const std::optional<NetworkMount> mount = ParseMount(mountinfo.substr(0, end));
    mountinfo = end == std::string_view::npos ? std::string_view() : mountinfo.substr(end + 1);
    if (!mount || mount->source.size() > wanted.size()) {
      continue;
    }
    bool serves = true;
    for (std::size_t i = 0; i < mount->source.size() && serves; ++i) {
      // Names on an SMB server compare without regard to case, folders below the share too.
      serves = SameIgnoringCase(mount->source[i], wanted[i]);
    }
    if (serves && (!best || mount->source.size() > best->source.size())) {
      best = mount;
    }
  }
  if (!best) {
    throw EngineError(ErrorCode::kFileNotFound, "The share \\\\" + wanted[0] + "\\" + wanted[1] +
                                                    " is not mounted on this machine");
  }
  std::filesystem::path local = best->mountPoint;
  for (std::size_t i = best->source.size(); i < wanted.size(); ++i) {
    local /= wanted[i];
  }
  return local;
}

}  // namespace sourcesafe
