#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace errors {

// "(" + number in decimal + ") '" + description + "'": the message every numbered procedure of
// the window hands to ReportError.
std::string ComposeErrorMessage(std::int32_t number, std::string_view description);

}  // namespace errors
