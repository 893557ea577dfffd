#include "errors/ErrorMessage.h"

namespace errors {

std::string ComposeErrorMessage(std::int32_t number, std::string_view description) {
  std::string message = "(";
  message += std::to_string(number);
  message += ") '";
  message += description;
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
