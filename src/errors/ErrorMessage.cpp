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

std::string ComposeReport(const std::string& message, const std::string& source,
                          std::int32_t line) {
  // The sentence about 'Log.txt' is part of the fixed text: nothing is written to any file.
  return "Error: " + message + "\r\n\r\nThe error happened in component '" + source + "' at line " +
         std::to_string(line) + " and was logged (if configured so) to the 'Log.txt' file.";
}

}  // namespace errors
