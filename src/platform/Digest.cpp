// OpenSSL's libcrypto is opened when the first digest is asked for, by a
// save, instead of when the program starts: it is a large library with many
// relocations, and most runs of the tool never save a document.

#include "platform/Digest.h"

#include <openssl/evp.h>

#include "platform/SharedLibrary.h"

namespace orrelin {

namespace {

struct CryptoLibrary {
  decltype(&::EVP_Digest) EVP_Digest = nullptr;
  decltype(&::EVP_sha256) EVP_sha256 = nullptr;
  bool found = false;
};

const CryptoLibrary& crypto() {
  static const CryptoLibrary functions = [] {
    static SharedLibrary library(ORREL_CRYPTO_FILE);
    CryptoLibrary loaded;
    loaded.found = library.bind(loaded.EVP_Digest, "EVP_Digest");
    loaded.found = library.bind(loaded.EVP_sha256, "EVP_sha256") && loaded.found;
    return loaded;
  }();
  return functions;
}

}  // namespace

std::string sha256Hex(std::string_view bytes) {
  const CryptoLibrary& library = crypto();
  if (!library.found) return {};
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!library.EVP_Digest(bytes.data(), bytes.size(), digest, &length, library.EVP_sha256(), nullptr)) return {};
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(length * 2);
  for (unsigned int i = 0; i < length; ++i) {
    hex.push_back(kHex[digest[i] >> 4]);
    hex.push_back(kHex[digest[i] & 15]);
  }
  return hex;
}

}  // namespace orrelin
