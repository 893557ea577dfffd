#pragma once

#include <string>
#include <string_view>

namespace sourcesafe {

// An argon2id hash of `password` in libsodium's text form (algorithm, limits and salt included).
std::string HashPassword(std::string_view password);

// True when `password` matches `hash`.
bool VerifyPassword(std::string_view password, const std::string& hash);

}  // namespace sourcesafe
