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
 * Whether value truncated toward zero is a value of Int, so that truncateTo gives it as it is
 * rather than holding it at an end; NaN is not. Checks a number from outside that must not change.
 * A float argument widens to double exactly, so one function serves both.
 */
template <class Int>
bool fitsIn(double value)
{
	static_assert(std::is_integral<Int>::value && !std::is_same<Int, bool>::value, "an integer type");
	using Limits = std::numeric_limits<Int>;
	// The first whole number above Int's range, and its lowest value: both exact in a double (the
	// highest value is not, for 64 bits).
	constexpr double above = detail::powerOfTwo(Limits::digits);
	constexpr double lowest = static_cast<double>(Limits::min());
	return std::trunc(value) >= lowest && value < above;
}

/** value truncated toward zero into Int; values beyond Int's range hold at its ends and NaN gives 0. */
template <class Int>
Int truncateTo(double value)
{
	if (fitsIn<Int>(value))
		return static_cast<Int>(value);
	if (std::isnan(value))
		return 0;
	return value > 0 ? std::numeric_limits<Int>::max() : std::numeric_limits<Int>::min();
}

/** value truncated toward zero as by truncateTo, then clamped to [low, high]; low <= high. */
template <class Int>
Int truncateToRange(double value, Int low, Int high)
{
	return std::min(std::max(truncateTo<Int>(value), low), high);
}

} // lang

#endif
