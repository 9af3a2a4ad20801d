// Velmaro — conversions into the 16-bit fields of the records.
//
// Every field of the fish, bubble and settings records is a 16-bit signed
// integer. A result that does not fit is held at the nearest limit: a field
// never wraps round to the far end of its range.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

inline std::int16_t Clamp16(long long value) {
  constexpr long long lo = std::numeric_limits<std::int16_t>::min();
  constexpr long long hi = std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(value < lo ? lo : (value > hi ? hi : value));
}

namespace detail {
inline std::int16_t ClampWhole16(double whole) {
  if (std::isnan(whole)) return 0;
  if (whole <= -32768.0) return -32768;
  if (whole >= 32767.0) return 32767;
  return static_cast<std::int16_t>(whole);
}
}  // namespace detail

// Rounded down: every random choice of a value (a sheet, a mode, a height,
// a bubble's rise, a turn) uses this one.
inline std::int16_t Floor16(double v) { return detail::ClampWhole16(std::floor(v)); }

// Rounded to the nearest integer, an exact half going to the even neighbour:
// position updates of a swim step and plain assignments of a real number.
inline std::int16_t Nearest16(double v) {
  double whole = std::floor(v);
  const double fraction = v - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  return detail::ClampWhole16(whole);
}

// Sum of a field and a step, held within the 16-bit range.
inline std::int16_t Add16(std::int16_t field, int step) {
  return Clamp16(static_cast<long long>(field) + step);
}
