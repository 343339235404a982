#include "expression/KRToken.h"

namespace orrelin {

std::string KRToken::description() const {
  const long first = tokenRange_.location;
  const long last = first + static_cast<long>(tokenRange_.length) - 1;
  return std::to_string(type_) + ": [" + std::to_string(first) + "," + std::to_string(last) + "]: " + tokenName_;
}

}  // namespace orrelin
