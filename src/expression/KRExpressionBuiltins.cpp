#include "expression/KRExpressionBuiltins.h"

#include <array>
#include <cmath>

namespace orrelin {

namespace {

constexpr KRBuiltinInfo kBuiltins[] = {
    {"sin", KRBuiltin::Sin, 1, 1},
    {"cos", KRBuiltin::Cos, 1, 1},
    {"log", KRBuiltin::Log, 1, 1},
    {"exp", KRBuiltin::Exp, 1, 1},
    {"abs", KRBuiltin::Abs, 1, 1},
    {"erf", KRBuiltin::Erf, 1, 1},
    {"acos", KRBuiltin::Acos, 1, 1},
    {"asin", KRBuiltin::Asin, 1, 1},
    {"atan", KRBuiltin::Atan, 1, 1},
    {"cosh", KRBuiltin::Cosh, 1, 1},
    {"sinh", KRBuiltin::Sinh, 1, 1},
    {"tanh", KRBuiltin::Tanh, 1, 1},
    {"gamma", KRBuiltin::Gamma, 1, 1},
    {"loggamma", KRBuiltin::LogGamma, 1, 1},
    {"log10", KRBuiltin::Log10, 1, 1},
    {"log2", KRBuiltin::Log2, 1, 1},
    {"tan", KRBuiltin::Tan, 1, 1},
    {"erfc", KRBuiltin::Erfc, 1, 1},
    {"HeavySide", KRBuiltin::HeavySide, 1, 1},
    {"sqrt", KRBuiltin::Sqrt, 1, 1},
    {"min", KRBuiltin::Min, 1, -1},
    {"max", KRBuiltin::Max, 1, -1},
    {"norm", KRBuiltin::Norm, 1, -1},
    {"signswitch", KRBuiltin::SignSwitch, 3, 3},
    {"seconds", KRBuiltin::Seconds, 3, 6},
    {"floor", KRBuiltin::Floor, 1, 1},
    {"ceil", KRBuiltin::Ceil, 1, 1},
    {"round", KRBuiltin::Round, 1, 1},
    {"fact", KRBuiltin::Fact, 1, 1},
    {"angle", KRBuiltin::Angle, 2, 2},
    {"mod", KRBuiltin::Mod, 2, 2},
    {"j0", KRBuiltin::J0, 1, 1},
    {"j1", KRBuiltin::J1, 1, 1},
    {"jn", KRBuiltin::Jn, 2, 2},
    {"y0", KRBuiltin::Y0, 1, 1},
    {"y1", KRBuiltin::Y1, 1, 1},
    {"yn", KRBuiltin::Yn, 2, 2},
    {"sinc", KRBuiltin::Sinc, 1, 1},
    {"rect", KRBuiltin::Rect, 1, 1},
    {"tri", KRBuiltin::Tri, 1, 1},
    {"H", KRBuiltin::H, 1, 1},
    {"sgn", KRBuiltin::Sgn, 1, 1},
};

// The step functions give their last case ("otherwise") to everything the
// comparisons before it do not catch, NaN included.
double absolute(double x) { return std::fabs(x); }
double heavySide(double x) { return x < 0 ? 0.0 : 1.0; }
double halfStep(double x) { return x < 0 ? 0.0 : (x == 0 ? 0.5 : 1.0); }
double signum(double x) { return x < 0 ? -1.0 : (x == 0 ? 0.0 : 1.0); }
double tri(double x) { return (x >= -1 && x < 1) ? 1 - std::fabs(x) : 0.0; }
// rect has no last case: NaN stays NaN.
double rect(double x) {
  if (std::isnan(x)) return x;
  const double a = std::fabs(x);
  return a < 0.5 ? 1.0 : (a == 0.5 ? 0.5 : 0.0);
}
double sinc(double x) { return x == 0 ? 1.0 : std::sin(x) / x; }
double logGamma(double x) {
  int sign = 0;
  return ::lgamma_r(x, &sign);  // the reentrant form: columns evaluate on several threads
}
double besselJ0(double x) { return ::j0(x); }
double besselJ1(double x) { return ::j1(x); }
double besselY0(double x) { return ::y0(x); }
double besselY1(double x) { return ::y1(x); }
double sine(double x) { return std::sin(x); }
double cosine(double x) { return std::cos(x); }
double tangent(double x) { return std::tan(x); }
double arcSine(double x) { return std::asin(x); }
double arcCosine(double x) { return std::acos(x); }
double arcTangent(double x) { return std::atan(x); }
double hypSine(double x) { return std::sinh(x); }
double hypCosine(double x) { return std::cosh(x); }
double hypTangent(double x) { return std::tanh(x); }
double exponential(double x) { return std::exp(x); }
double logarithm(double x) { return std::log(x); }
double logarithm10(double x) { return std::log10(x); }
double logarithm2(double x) { return std::log2(x); }
double squareRoot(double x) { return std::sqrt(x); }
double errorFunction(double x) { return std::erf(x); }
double errorComplement(double x) { return std::erfc(x); }
double gammaFunction(double x) { return std::tgamma(x); }
double roundDown(double x) { return std::floor(x); }
double roundUp(double x) { return std::ceil(x); }
double roundNearest(double x) { return std::round(x); }

std::optional<double> factorial(double x) {
  if (std::isnan(x)) return x;
  if (std::isinf(x)) return x > 0 ? std::optional<double>(x) : std::optional<double>(std::nan(""));
  if (x != std::floor(x)) return std::nullopt;
  if (x < 0) return std::nan("");
  if (x > 170) return HUGE_VAL;
  double product = 1;
  for (int k = 2; k <= static_cast<int>(x); ++k) product *= k;
  return product;
}

// Days from 1970-01-01 to the first of the given month, proleptic Gregorian.
double daysFromCivil(double year, double month) {
  const double monthIndex = month - 1;
  const double carry = std::floor(monthIndex / 12);
  double y = year + carry;
  const double m = monthIndex - carry * 12 + 1;  // 1...12
  y -= m <= 2 ? 1 : 0;
  const double era = std::floor(y / 400);
  const double yoe = y - era * 400;
  const double mp = m > 2 ? m - 3 : m + 9;
  const double doy = std::floor((153 * mp + 2) / 5);
  const double doe = yoe * 365 + std::floor(yoe / 4) - std::floor(yoe / 100) + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

const KRBuiltinInfo* messageForFunctionName(std::string_view name) {
  for (const auto& info : kBuiltins)
    if (name == info.name) return &info;
  return nullptr;
}

const KRBuiltinInfo& builtinInfo(KRBuiltin function) {
  for (const auto& info : kBuiltins)
    if (info.function == function) return info;
  return kBuiltins[0];
}

KRBuiltinShape builtinShape(KRBuiltin function) {
  switch (function) {
    case KRBuiltin::Jn:
    case KRBuiltin::Yn:
    case KRBuiltin::Angle:
    case KRBuiltin::Mod:
      return KRBuiltinShape::Binary;
    case KRBuiltin::Min:
    case KRBuiltin::Max:
    case KRBuiltin::Norm:
    case KRBuiltin::Seconds:
    case KRBuiltin::SignSwitch:
      return KRBuiltinShape::List;
    default:
      return KRBuiltinShape::Unary;
  }
}

KRUnaryScalarFunction unaryScalarFunction(KRBuiltin function) {
  switch (function) {
    case KRBuiltin::Sin: return sine;
    case KRBuiltin::Cos: return cosine;
    case KRBuiltin::Tan: return tangent;
    case KRBuiltin::Asin: return arcSine;
    case KRBuiltin::Acos: return arcCosine;
    case KRBuiltin::Atan: return arcTangent;
    case KRBuiltin::Sinh: return hypSine;
    case KRBuiltin::Cosh: return hypCosine;
    case KRBuiltin::Tanh: return hypTangent;
    case KRBuiltin::Exp: return exponential;
    case KRBuiltin::Log: return logarithm;
    case KRBuiltin::Log10: return logarithm10;
    case KRBuiltin::Log2: return logarithm2;
    case KRBuiltin::Sqrt: return squareRoot;
    case KRBuiltin::Abs: return absolute;
    case KRBuiltin::Erf: return errorFunction;
    case KRBuiltin::Erfc: return errorComplement;
    case KRBuiltin::Gamma: return gammaFunction;
    case KRBuiltin::LogGamma: return logGamma;
    case KRBuiltin::Floor: return roundDown;
    case KRBuiltin::Ceil: return roundUp;
    case KRBuiltin::Round: return roundNearest;
    case KRBuiltin::J0: return besselJ0;
    case KRBuiltin::J1: return besselJ1;
    case KRBuiltin::Y0: return besselY0;
    case KRBuiltin::Y1: return besselY1;
    case KRBuiltin::Sinc: return sinc;
    case KRBuiltin::Rect: return rect;
    case KRBuiltin::Tri: return tri;
    case KRBuiltin::H: return halfStep;
    case KRBuiltin::HeavySide: return heavySide;
    case KRBuiltin::Sgn: return signum;
    // A one-number norm is the absolute value.
    case KRBuiltin::Norm: return absolute;
    default: return nullptr;
  }
}

std::optional<double> applyUnaryBuiltin(KRBuiltin function, double x) {
  if (function == KRBuiltin::Fact) return factorial(x);
  if (auto f = unaryScalarFunction(function)) return f(x);
  // min and max of a single number are that number.
  if (function == KRBuiltin::Min || function == KRBuiltin::Max) return x;
  return std::nullopt;
}

double applyBinaryBuiltin(KRBuiltin function, double a, double b) {
  switch (function) {
    case KRBuiltin::Jn: return std::isfinite(a) ? ::jn(static_cast<int>(std::floor(std::fmax(std::fmin(a, 1e6), -1e6))), b) : std::nan("");
    case KRBuiltin::Yn: return std::isfinite(a) ? ::yn(static_cast<int>(std::floor(std::fmax(std::fmin(a, 1e6), -1e6))), b) : std::nan("");
    case KRBuiltin::Angle: return std::atan2(a, b);
    case KRBuiltin::Mod: return std::fmod(a, b);
    case KRBuiltin::Min: return builtinMinimum(a, b);
    case KRBuiltin::Max: return builtinMaximum(a, b);
    case KRBuiltin::Norm: return std::sqrt(a * a + b * b);
    default: return std::nan("");
  }
}

namespace {
double arcTangent2(double a, double b) { return std::atan2(a, b); }
double remainderOf(double a, double b) { return std::fmod(a, b); }
double besselJn(double n, double x) { return applyBinaryBuiltin(KRBuiltin::Jn, n, x); }
double besselYn(double n, double x) { return applyBinaryBuiltin(KRBuiltin::Yn, n, x); }
}  // namespace

KRBinaryScalarFunction binaryScalarFunction(KRBuiltin function) {
  switch (function) {
    case KRBuiltin::Angle: return arcTangent2;
    case KRBuiltin::Mod: return remainderOf;
    case KRBuiltin::Jn: return besselJn;
    case KRBuiltin::Yn: return besselYn;
    case KRBuiltin::Min: return builtinMinimum;
    case KRBuiltin::Max: return builtinMaximum;
    default: return nullptr;
  }
}

bool isPiecewiseConstant(KRBuiltin function) {
  switch (function) {
    case KRBuiltin::Floor:
    case KRBuiltin::Ceil:
    case KRBuiltin::Round:
    case KRBuiltin::H:
    case KRBuiltin::HeavySide:
    case KRBuiltin::Sgn:
    case KRBuiltin::Rect:
      return true;
    default:
      return false;
  }
}

double builtinPower(double base, double exponent) {
  // Squares are the most common power; a product is exact to the last bit
  // where the general power function may be half a unit off.
  if (exponent == 2) return base * base;
  return std::pow(base, exponent);
}

// NaN in either operand gives NaN, so a gap in a column stays a gap.
double builtinMinimum(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::nan("");
  return b < a ? b : a;
}
double builtinMaximum(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::nan("");
  return b > a ? b : a;
}

double builtinSignSwitch(double selector, double whenNotNegative, double whenNegative) {
  if (std::isnan(selector)) return selector;
  return selector < 0 ? whenNegative : whenNotNegative;
}

double secondsSince1970(double year, double month, double day, double hour, double minute, double second) {
  const double days = daysFromCivil(std::floor(year), std::floor(month)) + (day - 1);
  return days * 86400 + hour * 3600 + minute * 60 + second;
}

std::optional<double> applyListBuiltin(KRBuiltin function, std::span<const double> entries) {
  const auto& info = builtinInfo(function);
  const int count = static_cast<int>(entries.size());
  if (count < info.minArgumentCount || (info.maxArgumentCount >= 0 && count > info.maxArgumentCount)) return std::nullopt;
  switch (function) {
    case KRBuiltin::Min: {
      double result = entries[0];
      for (double v : entries.subspan(1)) result = builtinMinimum(result, v);
      return result;
    }
    case KRBuiltin::Max: {
      double result = entries[0];
      for (double v : entries.subspan(1)) result = builtinMaximum(result, v);
      return result;
    }
    case KRBuiltin::Norm: {
      double sum = 0;
      for (double v : entries) sum += v * v;
      return std::sqrt(sum);
    }
    case KRBuiltin::Seconds: {
      std::array<double, 6> parts{0, 1, 1, 0, 0, 0};
      for (int k = 0; k < count; ++k) parts[k] = entries[k];
      return secondsSince1970(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);
    }
    case KRBuiltin::SignSwitch:
      return builtinSignSwitch(entries[0], entries[1], entries[2]);
    default:
      if (count == 2 && builtinShape(function) == KRBuiltinShape::Binary)
        return applyBinaryBuiltin(function, entries[0], entries[1]);
      if (count == 1) return applyUnaryBuiltin(function, entries[0]);
      return std::nullopt;
  }
}

}  // namespace orrelin
