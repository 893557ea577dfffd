#include "wizardcore/ContentViews.h"

#include <cstdlib>
#include <string_view>
#include <system_error>

#include "errors/ErrorRecord.h"
#include "platform/files/SafeFiles.h"
#include "sourcecontrol/ErrorNumbers.h"
#include "sourcecontrol/IVSSItem.h"

namespace wizardcore {
namespace {

[[noreturn]] void NotWritten(const std::string& why) {
  throw errors::ErrorRecord(sourcecontrol::Number(sourcecontrol::ErrorCode::kViewNotWritten),
                            "Scourwell", why);
}

// A folder of this process's own below the user's runtime folder, or the temporary folder when
// there is none: mkdtemp makes it new, 0700.
std::filesystem::path MakeViewFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::error_code error;
  std::filesystem::path base = runtime != nullptr && *runtime == '/'
                                   ? std::filesystem::path(runtime)
                                   : std::filesystem::temp_directory_path(error);
  if (base.empty()) {
    base = "/tmp";
  }
  std::string pattern = (base / "scourwell-view-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    NotWritten("No folder for the file to view could be made in '" + base.string() +
               "': " + std::generic_category().message(errno));
  }
  return pattern;
}

}  // namespace

std::string ViewName(const std::string& spec) {
  const std::size_t slash = spec.rfind('/');
  std::string name = slash == std::string::npos ? spec : spec.substr(slash + 1);
  if (name.empty() || name == "." || name == ".." || name.size() > 255) {
    return "content";
  }
  return name;
}

ContentViews::~ContentViews() {
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);  // links in it are removed, not followed
  }
}

std::filesystem::path ContentViews::Write(sourcecontrol::IVSSItem& item) {
  const std::string spec = item.Spec();
  if (item.Type() == sourcecontrol::ItemType::Project) {
    NotWritten("'" + spec + "' is a project: only a file has content to view");
  }
  const std::vector<unsigned char> content = item.Content();
  if (folder_.empty()) {
    folder_ = MakeViewFolder();
  }
  // Each view in a folder of its own, so that two files of one name are both kept as named.
  const std::string number = std::to_string(++written_);
  const std::filesystem::path shown = folder_ / number / ViewName(spec);
  try {
    const files::FileDescriptor views = files::OpenFolder(folder_);
    const files::FileDescriptor folder =
        files::OpenOrMakeFolders(views, folder_, {number}, 0700, true);
    const files::FileDescriptor file =
        files::CreateNewFile(folder, folder_ / number, ViewName(spec), 0600);
    files::WriteAll(file.Get(),
                    std::string_view(reinterpret_cast<const char*>(content.data()), content.size()),
                    shown);
  } catch (const files::FileError& error) {
    NotWritten("The content of '" + spec + "' could not be written for viewing: " + error.what());
  }
  return shown;
}

}  // namespace wizardcore
