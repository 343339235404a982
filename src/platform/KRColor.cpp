#include "platform/KRColor.h"

namespace orrelin {

std::array<double, 3> KRColor::rgbComponents() const {
  switch (space) {
    case Space::RGB: return {components[0], components[1], components[2]};
    case Space::Grey: return {components[0], components[0], components[0]};
    case Space::CMYK: {
      double k = components[3];
      return {(1 - components[0]) * (1 - k), (1 - components[1]) * (1 - k), (1 - components[2]) * (1 - k)};
    }
  }
  return {0, 0, 0};
}

KRColor KRColor::deviceRGB() const {
  auto c = rgbComponents();
  return rgb(c[0], c[1], c[2], alpha);
}

bool KRColor::isPureBlack() const {
  switch (space) {
    case Space::RGB: return components[0] == 0 && components[1] == 0 && components[2] == 0;
    case Space::Grey: return components[0] == 0;
    case Space::CMYK:
      return components[3] == 1 || (components[0] == 1 && components[1] == 1 && components[2] == 1);
  }
  return false;
}

bool KRColor::isPureWhite() const {
  switch (space) {
    case Space::RGB: return components[0] == 1 && components[1] == 1 && components[2] == 1;
    case Space::Grey: return components[0] == 1;
    case Space::CMYK:
      return components[0] == 0 && components[1] == 0 && components[2] == 0 && components[3] == 0;
  }
  return false;
}

}  // namespace orrelin
