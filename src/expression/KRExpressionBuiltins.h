#pragma once
// The built-in functions of the formula language: their names, how many
// arguments each accepts and their values on plain numbers. The evaluator
// and the simplifier both use these, so a folded constant always equals
// what evaluation would give.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace orrelin {

enum class KRBuiltin : std::int8_t {
  Sin, Cos, Log, Exp, Abs, Erf, Acos, Asin, Atan, Cosh, Sinh, Tanh, Gamma, LogGamma, Log10, Log2,
  Tan, Erfc, HeavySide, Sqrt, Min, Max, Norm, SignSwitch, Seconds, Floor, Ceil, Round, Fact,
  Angle, Mod, J0, J1, Jn, Y0, Y1, Yn, Sinc, Rect, Tri, H, Sgn,
};

struct KRBuiltinInfo {
  const char* name;
  KRBuiltin function;
  int minArgumentCount;
  int maxArgumentCount;  // -1: any number
};

// The built-in of that name, or null when the name is not built in.
const KRBuiltinInfo* messageForFunctionName(std::string_view name);
const KRBuiltinInfo& builtinInfo(KRBuiltin function);

enum class KRBuiltinShape {
  Unary,   // one number to one number
  Binary,  // (a, b) to one number: jn, yn, angle, mod
  List,    // any number of entries: min, max, norm, seconds, signswitch
};
KRBuiltinShape builtinShape(KRBuiltin function);

// Value of a one-argument built-in; none where the function has no value
// (fact of a non-integer).
std::optional<double> applyUnaryBuiltin(KRBuiltin function, double x);
// The one-argument built-ins that always give a number, as plain functions
// the array loops can call directly; null for the others.
using KRUnaryScalarFunction = double (*)(double);
KRUnaryScalarFunction unaryScalarFunction(KRBuiltin function);

double applyBinaryBuiltin(KRBuiltin function, double a, double b);
// The two-argument built-ins (angle, mod, jn, yn) and min and max of two
// numbers as plain functions; null for the others.
using KRBinaryScalarFunction = double (*)(double, double);
KRBinaryScalarFunction binaryScalarFunction(KRBuiltin function);
// Functions that are constant between their jumps (floor, H, sgn, ...):
// their derivative is 0.
bool isPiecewiseConstant(KRBuiltin function);

// min, max, norm, seconds and signswitch of a list of numbers; none when
// the number of entries does not suit the function.
std::optional<double> applyListBuiltin(KRBuiltin function, std::span<const double> entries);

// The elementary operations shared by every kind of value.
double builtinPower(double base, double exponent);
double builtinMinimum(double a, double b);
double builtinMaximum(double a, double b);
double builtinSignSwitch(double selector, double whenNotNegative, double whenNegative);

// Seconds from 1970-01-01 00:00:00 UTC to the given moment of the Gregorian
// calendar; month and day may lie outside their usual range and carry over.
double secondsSince1970(double year, double month, double day, double hour, double minute, double second);

}  // namespace orrelin
