#pragma once
// Content digests for files a save may reuse from the package it replaces.

#include <string>
#include <string_view>

namespace orrelin {

// The SHA-256 digest of bytes as 64 lowercase hexadecimal digits; "" when the
// digest cannot be made (the crypto library could not be loaded). Callers
// treat "" as "no digest": nothing is then reused on its strength.
std::string sha256Hex(std::string_view bytes);

}  // namespace orrelin
