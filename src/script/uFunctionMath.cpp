// Built-ins for numbers: rounding, powers and logarithms of two arguments,
// random numbers, the Boolean constants and the aggregates.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>

#include "script/uFunctionTable.h"
#include "script/uOperator.h"

namespace tracemill::builtins {

namespace {

// A number in [0, 1) with 53 random bits.
double UnitRandom(std::mt19937_64& generator) { return static_cast<double>(generator() >> 11) * 0x1.0p-53; }

TValue Extreme(const TArgs& args, int sign) {
  std::size_t best = 0;
  for (std::size_t i = 1; i < args.Count(); ++i)
    if (CompareValues(args[i], args[best], args.Context().Format()) == (sign > 0 ? TCompareResult::Greater : TCompareResult::Less))
      best = i;
  return args[best];
}

}  // namespace

TValue Int(TBuiltinContext& c, const TValue& x) { return Integral(std::trunc(Finite(x.ToDouble(c.Format())))); }

TValue Floor(TBuiltinContext& c, const TValue& x) {
  return Integral(std::floor(Finite(x.ToDouble(c.Format()))));
}

TValue Round(TBuiltinContext& c, const TValue& x) {
  return Integral(std::floor(Finite(x.ToDouble(c.Format())) + 0.5));
}

TValue RoundBankers(TBuiltinContext& c, const TValue& x) {
  return Integral(std::nearbyint(Finite(x.ToDouble(c.Format()))));  // default mode: halves to even
}

TValue Random(TBuiltinContext& c, const TValue& n) {
  if (n.IsEmpty()) return TValue::Double(UnitRandom(c.RandomGenerator()));
  const std::int32_t range = n.ToInteger(c.Format());
  if (range <= 0) return TValue::Integer(0);
  std::uniform_int_distribution<std::int32_t> pick(0, range - 1);
  return TValue::Integer(pick(c.RandomGenerator()));
}

TValue True(TBuiltinContext&, const TValue&) { return TValue::Boolean(true); }
TValue False(TBuiltinContext&, const TValue&) { return TValue::Boolean(false); }

TValue ArcTan2(const TArgs& args) { return TValue::Double(Finite(std::atan2(args.Dbl(0), args.Dbl(1)))); }

TValue LogN(const TArgs& args) {
  const double base = args.Dbl(0);
  const double x = args.Dbl(1);
  return TValue::Double(Finite(std::log(x) / std::log(base)));
}

TValue Power(const TArgs& args) {
  const double base = args.Dbl(0);
  if (args[1].IsInteger()) {
    // Repeated multiplication (by squaring), so negative bases work.
    const std::int64_t exponent = args[1].IntegerValue();
    std::uint64_t n = static_cast<std::uint64_t>(exponent < 0 ? -exponent : exponent);
    double result = 1;
    double factor = base;
    while (n) {
      if (n & 1) result *= factor;
      factor *= factor;
      n >>= 1;
    }
    if (exponent < 0) result = 1 / result;
    return TValue::Double(Finite(result));
  }
  return TValue::Double(Finite(std::pow(base, args.Dbl(1))));
}

TValue RandomGauss(const TArgs& args) {
  const double mean = args.Dbl(0);
  const double deviation = args.Dbl(1);
  // Box-Muller on two uniform numbers; 1 - u keeps the logarithm finite.
  std::mt19937_64& generator = args.Context().RandomGenerator();
  const double u = 1 - UnitRandom(generator);
  const double v = UnitRandom(generator);
  const double z = std::sqrt(-2 * std::log(u)) * std::cos(2 * 3.14159265358979323846 * v);
  return TValue::Double(Finite(mean + deviation * z));
}

TValue Randomize(const TArgs& args) {
  if (args.Count() >= 1 && args[0].IsInteger()) {
    args.Context().RandomGenerator().seed(static_cast<std::uint64_t>(static_cast<std::int64_t>(args[0].IntegerValue())));
  } else {
    args.Context().RandomGenerator().seed(
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
  }
  return TValue();
}

TValue Max(const TArgs& args) { return Extreme(args, 1); }
TValue Min(const TArgs& args) { return Extreme(args, -1); }

TValue Sum(const TArgs& args) {
  TValue sum = TValue::Integer(0);
  for (std::size_t i = 0; i < args.Count(); ++i) {
    TValue next;
    if (!ApplyScalarOperator(TOperatorKind::Add, sum, args[i], next, args.Context().Format()))
      throw ConvertError("Cannot add " + TypeName(args[i].TypeCode()));
    sum = std::move(next);
  }
  return sum;
}

TValue Mean(const TArgs& args) {
  return TValue::Double(Finite(Sum(args).ToDouble(args.Context().Format()) / static_cast<double>(args.Count())));
}

}  // namespace tracemill::builtins
