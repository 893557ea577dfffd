#include "engines/ownformat/Passwords.h"

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

bool IsOwnHashForm(const std::string& hash) {
  InitSodium();
  // The algorithm, version (1.3, written 19) and limits open the text, exactly as HashPassword
  // writes them.
  static const std::string kParameters =
      std::string(crypto_pwhash_argon2id_STRPREFIX) +
      "v=19$m=" + std::to_string(crypto_pwhash_MEMLIMIT_INTERACTIVE / 1024) +
      ",t=" + std::to_string(crypto_pwhash_OPSLIMIT_INTERACTIVE) + ",p=1$";
  return hash.size() < crypto_pwhash_STRBYTES && hash.find('\0') == std::string::npos &&
         hash.compare(0, kParameters.size(), kParameters) == 0 &&
         crypto_pwhash_str_needs_rehash(hash.c_str(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                        crypto_pwhash_MEMLIMIT_INTERACTIVE) == 0;
}

bool VerifyPassword(std::string_view password, const std::string& hash) {
  if (!IsOwnHashForm(hash)) {
    return false;
  }
  return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

}  // namespace sourcesafe
