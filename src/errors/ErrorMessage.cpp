#include "errors/ErrorMessage.h"

#include "platform/text/Printable.h"

namespace errors {

std::string ComposeErrorMessage(std::int32_t number, std::string_view description) {
  std::string message = "(";
  message += std::to_string(number);
  message += ") '";
  // Descriptions name items, and a name may hold control characters: escaped, they can neither
  // forge a line of a log nor move a terminal's cursor.
  message += text::Printable(description);
  message += "'";
  return message;
}

std::string ComposeReport(const std::string& message, const std::string& source, std::int32_t line,
                          std::string_view form) {
  const std::string number = std::to_string(line);
  const std::string_view values[] = {message, source, number};
  std::string report;
  for (std::size_t i = 0; i < form.size(); ++i) {
    const char next = i + 1 < form.size() ? form[i + 1] : '\0';
    if (form[i] == '%' && next >= '1' && next <= '3') {
      report += values[next - '1'];
      ++i;
    } else {
      report += form[i];
    }
  }
  return report;
}

}  // namespace errors
