#pragma once

#include <string>
#include <string_view>

namespace vss6 {

// Turns names written in a Windows code page ("CP1252", "GBK", ...) into UTF-8. A byte
// sequence the code page does not define becomes U+FFFD, so a name is never lost for it.
class CodePage {
 public:
  // Throws std::invalid_argument when the system knows no such code page.
  explicit CodePage(const std::string& name);
  ~CodePage();
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  const std::string& Name() const noexcept { return name_; }
  std::string ToUtf8(std::string_view bytes) const;

 private:
  std::string name_;
  void* converter_;  // an iconv_t
};

}  // namespace vss6
