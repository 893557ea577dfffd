#include "platform/vss6/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "platform/text/AsciiCase.h"

namespace vss6 {
namespace {

// Windows names its code pages by number; the system's converter knows them as "CP" and it.
std::string ConverterName(const std::string& name) {
  if (!name.empty() && std::all_of(name.begin(), name.end(), text::IsAsciiDigit)) {
    return "CP" + name;
  }
  return name;
}

iconv_t Open(const char* to, const std::string& from, const std::string& shown) {
  const iconv_t converter = ::iconv_open(to, from.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    throw std::invalid_argument("The code page '" + shown + "' is not known on this system");
  }
  return converter;
}

}  // namespace

CodePage::CodePage(const std::string& name) : name_(name) {
  const std::string converter = ConverterName(name);
  toUtf8_ = Open("UTF-8", converter, name);
  try {
    fromUtf8_ = Open(converter.c_str(), "UTF-8", name);
  } catch (...) {
    ::iconv_close(static_cast<iconv_t>(toUtf8_));
    throw;
  }
}

CodePage::~CodePage() {
  ::iconv_close(static_cast<iconv_t>(toUtf8_));
  ::iconv_close(static_cast<iconv_t>(fromUtf8_));
}

std::string CodePage::ToUtf8(std::string_view bytes) const {
  const auto converter = static_cast<iconv_t>(toUtf8_);
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

std::optional<std::string> CodePage::FromUtf8(std::string_view text) const {
  const auto converter = static_cast<iconv_t>(fromUtf8_);
  ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
  std::string out;
  char buffer[256];
  char* in = const_cast<char*>(text.data());
  std::size_t left = text.size();
  while (left > 0) {
    char* next = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t done = ::iconv(converter, &in, &left, &next, &room);
    out.append(buffer, static_cast<std::size_t>(next - buffer));
    if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
      return std::nullopt;
    }
  }
  // A stateful code page ends in its initial state.
  char* next = buffer;
  std::size_t room = sizeof buffer;
  if (::iconv(converter, nullptr, nullptr, &next, &room) == static_cast<std::size_t>(-1)) {
    return std::nullopt;
  }
  out.append(buffer, static_cast<std::size_t>(next - buffer));
  return out;
}

}  // namespace vss6
