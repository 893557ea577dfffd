#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sourcecontrol {
class IVSSItem;
}

namespace wizardcore {

// The latest content of files, written where the desktop's viewer can open them: a folder of
// this process's own (0700) in the user's runtime folder (else the temporary folder), each file
// 0600 under the item's own name, so that the viewer knows its type. Nothing in the database is
// written. Everything written is removed when this object goes.
class ContentViews {
 public:
  ContentViews() = default;
  ~ContentViews();
  ContentViews(const ContentViews&) = delete;
  ContentViews& operator=(const ContentViews&) = delete;

  // Writes the file `item`'s latest content and gives the path it was written to. Raises the
  // engine's error when the content cannot be read, and kViewNotWritten when it cannot be
  // written here or `item` is a project (which has no content).
  std::filesystem::path Write(sourcecontrol::IVSSItem& item);

  // The folder the views go to; empty until the first is written.
  const std::filesystem::path& Folder() const noexcept { return folder_; }

 private:
  std::filesystem::path folder_;
  int written_ = 0;
};

// The name a view of the item at `spec` is written under: its last name, or "content" when that
// cannot name a file.
std::string ViewName(const std::string& spec);

}  // namespace wizardcore
