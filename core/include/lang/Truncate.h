#ifndef LANG_TRUNCATE_H
#define LANG_TRUNCATE_H

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

namespace lang {

// Stateless conversions of script and file numbers into integers. The plain conversion of NaN
// or of a value beyond the target type is undefined, so every such number goes through these.

namespace detail {

// 2^exponent, exact in a double for every exponent an integer type's width gives.
constexpr double powerOfTwo(int exponent)
{
	double power = 1.0;
	for (int i = 0; i < exponent; ++i)
		power *= 2.0;
	return power;
}

} // detail

/**
 * value truncated toward zero into Int; values beyond Int's range hold at its ends and NaN gives 0.
 * A float argument widens to double exactly, so one function serves both.
 */
template <class Int>
Int truncateTo(double value)
{
	static_assert(std::is_integral<Int>::value && !std::is_same<Int, bool>::value, "an integer type");
	using Limits = std::numeric_limits<Int>;
	// The first whole number above Int's range, and its lowest value: both exact in a double.
	constexpr double above = detail::powerOfTwo(Limits::digits);
	constexpr double lowest = static_cast<double>(Limits::min());
	if (std::isnan(value))
		return 0;
	if (value >= above)
		return Limits::max();
	if (value <= lowest)
		return Limits::min();
	return static_cast<Int>(value);
}

/** value truncated toward zero as by truncateTo, then clamped to [low, high]; low <= high. */
template <class Int>
Int truncateToRange(double value, Int low, Int high)
{
	return std::min(std::max(truncateTo<Int>(value), low), high);
}

} // lang

#endif
