#include <cmath>
#include <optional>
#include <string_view>

#include "formula/function_helpers.h"
#include "formula/function_library.h"

namespace sx::formula {
namespace {

enum class Quantity {
  Mass,
  Distance,
  Time,
  Pressure,
  Force,
  Energy,
  Power,
  Magnetism,
  Temperature,
  Volume,
  Area,
  Information,
  Speed
};

// A unit of CONVERT: its size in the quantity's base unit (gram, metre, second, pascal,
// newton, joule, watt, tesla, kelvin, cubic metre, square metre, bit, metre per second) and
// the power a prefix is raised to (2 for an area, 3 for a volume, 0 when it takes none).
struct Unit {
  std::u16string_view name;
  Quantity quantity;
  double size;
  int prefixPower;
};

constexpr double kInch = 0.0254, kFoot = 0.3048, kYard = 0.9144, kMile = 1609.344;
constexpr double kNauticalMile = 1852, kUsFluidOunce = 29.5735295625e-6, kPound = 453.59237;
constexpr double kPoundForce = 4.4482216152605, kHorsepower = 745.69987158227;

constexpr Unit kUnits[] = {
    {u"g", Quantity::Mass, 1, 1},
    {u"lbm", Quantity::Mass, kPound, 0},
    {u"ozm", Quantity::Mass, kPound / 16, 0},
    {u"stone", Quantity::Mass, kPound * 14, 0},
    {u"ton", Quantity::Mass, kPound * 2000, 0},
    {u"uk_ton", Quantity::Mass, kPound * 2240, 0},
    {u"LTON", Quantity::Mass, kPound * 2240, 0},
    {u"brton", Quantity::Mass, kPound * 2240, 0},
    {u"cwt", Quantity::Mass, kPound * 100, 0},
    {u"shweight", Quantity::Mass, kPound * 100, 0},
    {u"uk_cwt", Quantity::Mass, kPound * 112, 0},
    {u"lcwt", Quantity::Mass, kPound * 112, 0},
    {u"hweight", Quantity::Mass, kPound * 112, 0},
    {u"grain", Quantity::Mass, 0.06479891, 0},
    {u"sg", Quantity::Mass, kPound * 9.80665 / kFoot, 0},
    {u"m", Quantity::Distance, 1, 1},
    {u"mi", Quantity::Distance, kMile, 0},
    {u"Nmi", Quantity::Distance, kNauticalMile, 0},
    {u"in", Quantity::Distance, kInch, 0},
    {u"ft", Quantity::Distance, kFoot, 0},
    {u"yd", Quantity::Distance, kYard, 0},
    {u"ang", Quantity::Distance, 1e-10, 1},
    {u"ell", Quantity::Distance, 45 * kInch, 0},
    {u"ly", Quantity::Distance, 9460730472580800, 1},
    {u"Pica", Quantity::Distance, kInch / 72, 0},
    {u"Picapt", Quantity::Distance, kInch / 72, 0},
    {u"pica", Quantity::Distance, kInch / 6, 0},
    {u"survey_mi", Quantity::Distance, 5280 * 1200.0 / 3937, 0},
    {u"yr", Quantity::Time, 365.25 * 86400, 0},
    {u"day", Quantity::Time, 86400, 0},
    {u"d", Quantity::Time, 86400, 0},
    {u"hr", Quantity::Time, 3600, 0},
    {u"mn", Quantity::Time, 60, 0},
    {u"min", Quantity::Time, 60, 0},
    {u"sec", Quantity::Time, 1, 1},
    {u"s", Quantity::Time, 1, 1},
    {u"Pa", Quantity::Pressure, 1, 1},
    {u"p", Quantity::Pressure, 1, 1},
    {u"atm", Quantity::Pressure, 101325, 1},
    {u"at", Quantity::Pressure, 101325, 1},
    {u"mmHg", Quantity::Pressure, 101325.0 / 760, 1},
    {u"Torr", Quantity::Pressure, 101325.0 / 760, 0},
    {u"psi", Quantity::Pressure, kPoundForce / (kInch * kInch), 0},
    {u"N", Quantity::Force, 1, 1},
    {u"dyn", Quantity::Force, 1e-5, 1},
    {u"dy", Quantity::Force, 1e-5, 1},
    {u"lbf", Quantity::Force, kPoundForce, 0},
    {u"pond", Quantity::Force, 9.80665e-3, 1},
    {u"J", Quantity::Energy, 1, 1},
    {u"e", Quantity::Energy, 1e-7, 1},
    {u"c", Quantity::Energy, 4.184, 1},
    {u"cal", Quantity::Energy, 4.1868, 1},
    {u"Wh", Quantity::Energy, 3600, 1},
    {u"wh", Quantity::Energy, 3600, 1},
    {u"HPh", Quantity::Energy, kHorsepower * 3600, 0},
    {u"hh", Quantity::Energy, kHorsepower * 3600, 0},
    {u"BTU", Quantity::Energy, 1055.05585262, 0},
    {u"btu", Quantity::Energy, 1055.05585262, 0},
    {u"W", Quantity::Power, 1, 1},
    {u"w", Quantity::Power, 1, 1},
    {u"HP", Quantity::Power, kHorsepower, 0},
    {u"h", Quantity::Power, kHorsepower, 0},
    {u"PS", Quantity::Power, 735.49875, 0},
    {u"T", Quantity::Magnetism, 1, 1},
    {u"ga", Quantity::Magnetism, 1e-4, 1},
    {u"K", Quantity::Temperature, 1, 1},
    {u"kel", Quantity::Temperature, 1, 1},
    {u"C", Quantity::Temperature, 1, 0},
    {u"cel", Quantity::Temperature, 1, 0},
    {u"F", Quantity::Temperature, 1, 0},
    {u"fah", Quantity::Temperature, 1, 0},
    {u"Rank", Quantity::Temperature, 1, 0},
    {u"Reau", Quantity::Temperature, 1, 0},
    {u"m3", Quantity::Volume, 1, 3},
    {u"l", Quantity::Volume, 1e-3, 1},
    {u"L", Quantity::Volume, 1e-3, 1},
    {u"lt", Quantity::Volume, 1e-3, 1},
    {u"tsp", Quantity::Volume, kUsFluidOunce / 6, 0},
    {u"tbs", Quantity::Volume, kUsFluidOunce / 2, 0},
    {u"oz", Quantity::Volume, kUsFluidOunce, 0},
    {u"cup", Quantity::Volume, kUsFluidOunce * 8, 0},
    {u"pt", Quantity::Volume, kUsFluidOunce * 16, 0},
    {u"us_pt", Quantity::Volume, kUsFluidOunce * 16, 0},
    {u"qt", Quantity::Volume, kUsFluidOunce * 32, 0},
    {u"gal", Quantity::Volume, kUsFluidOunce * 128, 0},
    {u"uk_pt", Quantity::Volume, 0.56826125e-3, 0},
    {u"uk_qt", Quantity::Volume, 2 * 0.56826125e-3, 0},
    {u"uk_gal", Quantity::Volume, 4.54609e-3, 0},
    {u"barrel", Quantity::Volume, kUsFluidOunce * 128 * 42, 0},
    {u"in3", Quantity::Volume, kInch* kInch* kInch, 0},
    {u"ft3", Quantity::Volume, kFoot* kFoot* kFoot, 0},
    {u"yd3", Quantity::Volume, kYard* kYard* kYard, 0},
    {u"mi3", Quantity::Volume, kMile* kMile* kMile, 0},
    {u"m2", Quantity::Area, 1, 2},
    {u"ar", Quantity::Area, 100, 1},
    {u"ha", Quantity::Area, 1e4, 0},
    {u"in2", Quantity::Area, kInch* kInch, 0},
    {u"ft2", Quantity::Area, kFoot* kFoot, 0},
    {u"yd2", Quantity::Area, kYard* kYard, 0},
    {u"mi2", Quantity::Area, kMile* kMile, 0},
    {u"Nmi2", Quantity::Area, kNauticalMile* kNauticalMile, 0},
    {u"uk_acre", Quantity::Area, 4046.8564224, 0},
    {u"us_acre", Quantity::Area, 43560 * (1200.0 / 3937) * (1200.0 / 3937), 0},  // survey feet
    {u"bit", Quantity::Information, 1, 1},
    {u"byte", Quantity::Information, 8, 1},
    {u"m/s", Quantity::Speed, 1, 1},
    {u"m/sec", Quantity::Speed, 1, 1},
    {u"m/h", Quantity::Speed, 1.0 / 3600, 1},
    {u"m/hr", Quantity::Speed, 1.0 / 3600, 1},
    {u"mph", Quantity::Speed, kMile / 3600, 0},
    {u"kn", Quantity::Speed, kNauticalMile / 3600, 0},
    {u"admkn", Quantity::Speed, 6080 * kFoot / 3600, 0},
};

struct Prefix {
  std::u16string_view name;
  double factor;
  bool binary;  // the information units only
};

constexpr Prefix kPrefixes[] = {
    {u"Y", 1e24, false},
    {u"Z", 1e21, false},
    {u"E", 1e18, false},
    {u"P", 1e15, false},
    {u"T", 1e12, false},
    {u"G", 1e9, false},
    {u"M", 1e6, false},
    {u"k", 1e3, false},
    {u"h", 1e2, false},
    {u"da", 1e1, false},
    {u"e", 1e1, false},
    {u"d", 1e-1, false},
    {u"c", 1e-2, false},
    {u"m", 1e-3, false},
    {u"u", 1e-6, false},
    {u"n", 1e-9, false},
    {u"p", 1e-12, false},
    {u"f", 1e-15, false},
    {u"a", 1e-18, false},
    {u"z", 1e-21, false},
    {u"y", 1e-24, false},
    {u"ki", 1024.0, true},
    {u"Mi", 1048576.0, true},
    {u"Gi", 1073741824.0, true},
    {u"Ti", 1099511627776.0, true},
    {u"Pi", 1125899906842624.0, true},
    {u"Ei", 1152921504606846976.0, true},
    {u"Zi", 1180591620717411303424.0, true},
    {u"Yi", 1208925819614629174706176.0, true},
};

struct Resolved {
  Quantity quantity;
  double size;  // in the base unit; for temperatures the prefix scale only
  std::u16string_view unit;
};

// A unit name, case as written, with an optional prefix: a name of its own wins over a
// prefixed reading ("mi" is a mile, not a milli-inch).
std::optional<Resolved> resolve(std::u16string_view name) {
  for (const Unit& unit : kUnits) {
    if (unit.name == name) return Resolved{unit.quantity, unit.size, unit.name};
  }
  for (const Prefix& prefix : kPrefixes) {
    if (name.substr(0, prefix.name.size()) != prefix.name) continue;
    std::u16string_view rest = name.substr(prefix.name.size());
    for (const Unit& unit : kUnits) {
      if (unit.name != rest || unit.prefixPower == 0) continue;
      if (prefix.binary && unit.quantity != Quantity::Information) continue;
      return Resolved{unit.quantity, unit.size * std::pow(prefix.factor, unit.prefixPower),
                      unit.name};
    }
  }
  return std::nullopt;
}

double toKelvin(double value, std::u16string_view unit) {
  if (unit == u"C" || unit == u"cel") return value + 273.15;
  if (unit == u"F" || unit == u"fah") return (value - 32) * 5 / 9 + 273.15;
  if (unit == u"Rank") return value * 5 / 9;
  if (unit == u"Reau") return value * 1.25 + 273.15;
  return value;
}

double fromKelvin(double kelvin, std::u16string_view unit) {
  if (unit == u"C" || unit == u"cel") return kelvin - 273.15;
  if (unit == u"F" || unit == u"fah") return (kelvin - 273.15) * 9 / 5 + 32;
  if (unit == u"Rank") return kelvin * 9 / 5;
  if (unit == u"Reau") return (kelvin - 273.15) * 0.8;
  return kelvin;
}

Value convert(CallArgs& args) {
  double value = args.number(0);
  auto from = resolve(args.text(1));
  auto to = resolve(args.text(2));
  if (!from || !to || from->quantity != to->quantity) return Scalar::fromError(ErrorCode::NA);
  if (from->quantity == Quantity::Temperature) {
    return number(fromKelvin(toKelvin(value * from->size, from->unit), to->unit) / to->size);
  }
  return number(value * from->size / to->size);
}

constexpr FunctionSpec kFunctions[] = {
    {u"CONVERT", 3, 3, convert, false, true},
};

}  // namespace

std::span<const FunctionSpec> convertFunctions() { return kFunctions; }

}  // namespace sx::formula
