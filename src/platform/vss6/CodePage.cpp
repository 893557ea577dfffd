#include "platform/vss6/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace vss6 {

CodePage::CodePage(const std::string& name) : name_(name) {
  iconv_t converter = ::iconv_open("UTF-8", name.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    throw std::invalid_argument("The code page '" + name + "' is not known on this system");
  }
  converter_ = converter;
}

CodePage::~CodePage() { ::iconv_close(static_cast<iconv_t>(converter_)); }

std::string CodePage::ToUtf8(std::string_view bytes) const {
  const auto converter = static_cast<iconv_t>(converter_);
  ::iconv(converter, nullptr, nullptr, nullptr, nullptr);  // a fresh start for each name
  std::string out;
  char buffer[256];
  char* in = const_cast<char*>(bytes.data());
  std::size_t left = bytes.size();
  while (left > 0) {
    char* next = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t done = ::iconv(converter, &in, &left, &next, &room);
    out.append(buffer, static_cast<std::size_t>(next - buffer));
    if (done == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) {
        continue;
      }
      // An undefined or cut-off sequence: one byte stands for it.
      out += "\xEF\xBF\xBD";
      ++in;
      --left;
      ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

}  // namespace vss6
