#include <lang/Truncate.h>
#include <gtest/gtest.h>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

using namespace lang;

namespace {

const double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();
const double INF = std::numeric_limits<double>::infinity();

// The cases every target type shares, then the type's own: its limits, the doubles next to them
// and the first whole numbers beyond.
template <class Int>
void expectTruncations(const char* type, std::vector<std::pair<double, Int>> cases)
{
	using Limits = std::numeric_limits<Int>;
	const Int negativeTwo = Limits::is_signed ? static_cast<Int>(-2) : 0;
	const std::vector<std::pair<double, Int>> shared = {
		{NOT_A_NUMBER, 0}, {-NOT_A_NUMBER, 0}, {INF, Limits::max()}, {-INF, Limits::min()},
		{0.0, 0}, {-0.0, 0}, {0.5, 0}, {-0.5, 0}, {-0.9, 0}, {2.9, 2}, {-2.9, negativeTwo},
	};
	cases.insert(cases.begin(), shared.begin(), shared.end());
	for (const auto& c : cases)
		EXPECT_EQ(c.second, truncateTo<Int>(c.first)) << type << " from " << c.first;
}

} // namespace

TEST(Truncate, TowardZeroSaturatingAtEachTypesLimits)
{
	expectTruncations<std::int16_t>("int16", {
		{32767.0, 32767}, {32767.9, 32767}, {32768.0, 32767}, {1e9, 32767},
		{-32768.0, -32768}, {-32768.9, -32768}, {-32769.0, -32768}, {-1e9, -32768},
	});
	const std::int32_t int32Max = std::numeric_limits<std::int32_t>::max();
	const std::int32_t int32Min = std::numeric_limits<std::int32_t>::min();
	expectTruncations<std::int32_t>("int32", {
		{2147483647.0, int32Max}, {2147483647.5, int32Max}, {2147483648.0, int32Max},
		{2147483520.0f, 2147483520}, {2147483648.0f, int32Max}, {3e38f, int32Max},
		{-2147483647.9, -2147483647}, {-2147483648.0, int32Min}, {-2147483648.5, int32Min},
		{-2147483649.0, int32Min}, {-2147483904.0f, int32Min}, {-1e300, int32Min},
	});
	const std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();
	const std::int64_t int64Min = std::numeric_limits<std::int64_t>::min();
	expectTruncations<std::int64_t>("int64", {
		// The largest double below 2^63, then 2^63 and the double after it.
		{9223372036854774784.0, 9223372036854774784LL}, {9223372036854775808.0, int64Max},
		{9223372036854777856.0, int64Max},
		{-9223372036854774784.0, -9223372036854774784LL}, {-9223372036854775808.0, int64Min},
		{-9223372036854777856.0, int64Min}, {-1e300, int64Min},
	});
	const std::uint32_t uint32Max = std::numeric_limits<std::uint32_t>::max();
	expectTruncations<std::uint32_t>("uint32", {
		{4294967295.0, uint32Max}, {4294967295.5, uint32Max}, {4294967296.0, uint32Max},
		{-1.0, 0u}, {-4294967296.0, 0u},
	});
}

TEST(Truncate, ToRangeClampsTheTruncatedValueAndCountsNaNAsZero)
{
	const struct { double value; int low; int high; int expected; } cases[] = {
		{NOT_A_NUMBER, 0, 255, 0},
		{NOT_A_NUMBER, 1, 5, 1},
		{NOT_A_NUMBER, -5, -1, -1},
		{-0.9, 0, 255, 0},
		{-3.0, 0, 255, 0},
		{254.99, 0, 255, 254},
		{255.9, 0, 255, 255},
		{300.0, 0, 255, 255},
		{1e30, 0, 255, 255},
		{-INF, 1, 5, 1},
		{INF, 1, 5, 5},
		{2.9, 1, 5, 2},
		{-2.9, -5, 5, -2},
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.expected, truncateToRange(c.value, c.low, c.high)) << c.value << " into [" << c.low << ", " << c.high << "]";
}

// A number from outside is checked before it becomes an integer: it fits when its truncation is
// a value of the type, which the type's highest value, not exact in a float or double, blurs.
TEST(Truncate, FitsWhenTheTruncatedValueIsOneOfTheTypes)
{
	const struct { double value; bool int32; bool int64; } cases[] = {
		{NOT_A_NUMBER, false, false}, {INF, false, false}, {-INF, false, false},
		{2147483647.9, true, true}, {2147483648.0, false, true}, {static_cast<float>(2147483647), false, true},
		{-2147483648.9, true, true}, {-2147483649.0, false, true},
		{9223372036854774784.0, false, true}, {static_cast<float>(9223372036854775807LL), false, false},
		{-9223372036854775808.0, false, true}, {-9223372036854777856.0, false, false},
	};
	for (const auto& c : cases)
	{
		EXPECT_EQ(c.int32, fitsIn<std::int32_t>(c.value)) << "int32 from " << c.value;
		EXPECT_EQ(c.int64, fitsIn<std::int64_t>(c.value)) << "int64 from " << c.value;
	}
}
