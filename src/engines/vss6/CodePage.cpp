#include "engines/vss6/CodePage.h"

#include <iconv.h>

#include <QList>
#include <QString>

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

namespace {

// Runs `converter` over `text` from a fresh start. A sequence it cannot convert becomes U+FFFD
// when `replace` (one byte stands for it), or ends the conversion with nothing.
std::optional<std::string> Convert(iconv_t converter, std::string_view text, bool replace) {
  ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
  std::string out;
  char buffer[256];
  char* in = const_cast<char*>(text.data());
  std::size_t left = text.size();
  while (true) {
    char* next = buffer;
    std::size_t room = sizeof buffer;
    // With no input left, the call ends a stateful conversion in its initial state.
    const std::size_t done = left > 0 ? ::iconv(converter, &in, &left, &next, &room)
                                      : ::iconv(converter, nullptr, nullptr, &next, &room);
    out.append(buffer, static_cast<std::size_t>(next - buffer));
    if (done != static_cast<std::size_t>(-1) || errno == E2BIG) {
      if (left == 0 && done != static_cast<std::size_t>(-1)) {
        return out;
      }
      continue;
    }
    if (!replace || left == 0) {
      return std::nullopt;
    }
    out += "\xEF\xBF\xBD";
    ++in;
    --left;
    ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
  }
}

}  // namespace

std::string CodePage::ToUtf8(std::string_view bytes) const {
  return Convert(static_cast<iconv_t>(toUtf8_), bytes, true).value_or("\xEF\xBF\xBD");
}

std::optional<std::string> CodePage::FromUtf8(std::string_view text) const {
  return Convert(static_cast<iconv_t>(fromUtf8_), text, false);
}

std::string CodePage::UpperCase(std::string_view name) const {
  std::string upper;
  upper.reserve(name.size());
  for (const char32_t character :
       QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toUcs4()) {
    if (character < 0x80) {
      upper += text::AsciiUpper(static_cast<char>(character));
      continue;
    }
    const char32_t capital = QChar::toUpper(character);
    const QString chosen = QString::fromUcs4(&character, 1);
    const QString capitalText = QString::fromUcs4(&capital, 1);
    upper += (capital != character && FromUtf8(capitalText.toStdString()) ? capitalText : chosen)
                 .toStdString();
  }
  return upper;
}

}  // namespace vss6
