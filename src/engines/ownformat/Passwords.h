#pragma once

#include <string>
#include <string_view>

namespace sourcesafe {

// An argon2id hash of `password` in libsodium's text form (algorithm, limits and salt included).
std::string HashPassword(std::string_view password);

// Whether `hash` is one this program makes: argon2id with its own limits. A stored hash names the
// work its check takes, so one with other limits could keep a login busy for years or take all
// the memory; such a hash is never checked.
bool IsOwnHashForm(const std::string& hash);

// True when `password` matches `hash`, which must be of our own form (IsOwnHashForm).
bool VerifyPassword(std::string_view password, const std::string& hash);

}  // namespace sourcesafe
