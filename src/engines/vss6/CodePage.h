#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vss6 {

// Turns names written in a Windows code page ("CP1252", "GBK", or its number, "1252", "936")
// into UTF-8, and text typed here back into the code page. A byte sequence the code page does not
// define becomes U+FFFD, so a name is never lost for it.
class CodePage {
 public:
  // Throws std::invalid_argument when the system knows no such code page.
  explicit CodePage(const std::string& name);
  ~CodePage();
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  const std::string& Name() const noexcept { return name_; }
  std::string ToUtf8(std::string_view bytes) const;
  // The bytes of UTF-8 `text` in the code page; nothing when it holds a character the code page
  // has no bytes for, or is not UTF-8.
  std::optional<std::string> FromUtf8(std::string_view text) const;
  // A name read in this code page (UTF-8) with each letter in upper case where the code page can
  // write that upper case, the others as they are: two names SourceSafe and Windows take for one
  // come out equal ("été.txt" and "ÉTÉ.txt" in Windows-1252), whatever the locale.
  std::string UpperCase(std::string_view name) const;

 private:
  std::string name_;
  void* toUtf8_;    // an iconv_t
  void* fromUtf8_;  // an iconv_t
};

}  // namespace vss6
