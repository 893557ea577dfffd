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

}  // namespace errors
