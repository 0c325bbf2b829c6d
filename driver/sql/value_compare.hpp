#pragma once

#include "driver/core/value.hpp"

namespace kelvara::driver::sql {

// Result of compareValues for values Access cannot compare (text with a number).
inline constexpr int kIncomparable = 2;

// -1, 0 or 1 for two non-Null values, or kIncomparable. Numbers of any kind
// compare by value (exactly unless a float is involved), Yes/No as Access's
// -1 and 0, dates in time order, text without regard to case, GUIDs and
// binary data by their bytes.
int compareValues(const Value& a, const Value& b) noexcept;

// Three-way comparison of doubles with NaN above every number and equal to
// itself, so that sorting stays a strict weak order.
int compareDoubles(double a, double b) noexcept;

} // namespace kelvara::driver::sql
