#include "platform/sourcesafe/Passwords.h"

#include <sodium.h>

#include <stdexcept>

namespace sourcesafe {
namespace {

void InitSodium() {
  if (sodium_init() < 0) {
    throw std::runtime_error("libsodium could not be initialised");
  }
}

}  // namespace

std::string HashPassword(std::string_view password) {
  InitSodium();
  char hash[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str_alg(hash, password.data(), password.size(),
                            crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE,
                            crypto_pwhash_ALG_ARGON2ID13) != 0) {
    throw std::runtime_error("Out of memory while hashing a password");
  }
  return hash;
}

bool VerifyPassword(std::string_view password, const std::string& hash) {
  InitSodium();
  return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

}  // namespace sourcesafe
