#include <lang/Float.h>
#include <lang/FormatException.h>
#include <lang/Integer.h>
#include <lang/String.h>
#include <gtest/gtest.h>
#include <cfloat>
#include <cmath>
#include <string>

using namespace lang;

TEST(NumberParsing, ScanDoubleTable)
{
	const double INF = HUGE_VAL;
	const struct { const char* text; double value; int error; int end; } cases[] = {
		{"  -12.5e2", -1250, 0, 8},
		{"1e5", 100000, 0, 2},
		{".5", 0.5, 0, 1},
		{"5.", 5, 0, 1},
		{"5.x", 5, 0, 2},
		{"12 34", 12, 0, 2},
		{"+1.5E-3,", 0.0015, 0, 7},
		{"2d2;", 200, 0, 3},
		{"-0.25e+1 ", -2.5, 0, 8},
		{"1e", 0, 0, 1},
		{"1e+", 0, 0, 2},
		{"-", 0, 0, 0},
		{"", 0, 0, 0},
		{"  ", 0, 0, 2},
		{"abc", 0, 0, 0},
		{"-x", 0, 0, 1},
		{".a", 0, 623, 1},
		{"-.", 0, 0, 1},
		{"1ex", 0, 648, 2},
		{"1e-x", 0, 648, 3},
		{"1e400", INF, 0, 4},
		{"-1e400", -INF, 0, 5},
		{"1e-400", 0, 0, 5},
		{"1.7976931348623157e308", INF, 0, 21},
	};
	for (const auto& c : cases)
	{
		const char* end = nullptr;
		int error = -1;
		const double value = String::scanDouble(c.text, &end, &error);
		EXPECT_EQ(c.value, value) << '"' << c.text << '"';
		EXPECT_EQ(c.error, error) << '"' << c.text << '"';
		EXPECT_EQ(c.end, end - c.text) << '"' << c.text << '"';
	}
	EXPECT_EQ(7.0, String::scanDouble("7", nullptr, nullptr));
}

TEST(NumberParsing, FractionDigitsPastEighteenKeepShrinking)
{
	EXPECT_DOUBLE_EQ(1e-18 * 0.1, String::scanDouble("0.0000000000000000001", nullptr, nullptr));
	EXPECT_DOUBLE_EQ(1e-18 * 0.1 * 0.1 * 0.1 * 3, String::scanDouble("0.000000000000000000003", nullptr, nullptr));
}

TEST(NumberParsing, MagnitudePastLargestDoubleGivesSignedInfinity)
{
	const std::string digits(310, '9');
	const struct { std::string text; double value; } cases[] = {
		{digits + "e-500", HUGE_VAL},
		{"-" + digits + ".5", -HUGE_VAL},
		{"1e-" + digits, HUGE_VAL},
		{"-2e-" + digits, -HUGE_VAL},
		{"0e400", HUGE_VAL},
	};
	for (const auto& c : cases)
	{
		const char* end = nullptr;
		int error = -1;
		EXPECT_EQ(c.value, String::scanDouble(c.text.c_str(), &end, &error)) << c.text.substr(0, 8);
		EXPECT_EQ(0, error);
		EXPECT_EQ(c.text.size() - 1, static_cast<size_t>(end - c.text.c_str()));
	}
}

TEST(NumberParsing, FloatParseThrowsOnlyWithoutErrorPointer)
{
	try
	{
		Float::parse("1ex");
		FAIL() << "no exception";
	}
	catch (const FormatException& e)
	{
		EXPECT_STREQ("Double::parse(1ex) failed", e.getMessage().format().c_str());
	}

	int error = 0;
	const char* end = nullptr;
	EXPECT_EQ(0.f, Float::parse(".q", &end, &error));
	EXPECT_EQ(623, error);
	EXPECT_EQ(0.f, Float::parse("1ex", nullptr, &error));
	EXPECT_EQ(648, error);
	EXPECT_EQ(2.5f, Float::parse(" 2.5 3", &end));
	EXPECT_STREQ(" 3", end);
	EXPECT_EQ(0.f, Float::parse("text"));
}

TEST(NumberParsing, FloatParseRoundsIntoFloatRange)
{
	EXPECT_EQ(FLT_MAX, Float::parse("3.4028235e38"));
	EXPECT_EQ(HUGE_VALF, Float::parse("1e39"));
	EXPECT_EQ(-HUGE_VALF, Float::parse("-1e39"));
	EXPECT_EQ(0.1f, Float::parse("0.1"));
}

TEST(NumberParsing, IntegerParseTable)
{
	const struct { const char* text; int value; int error; int end; } cases[] = {
		{" 42abc", 42, 0, 3},
		{"-7\r", -7, 0, 2},
		{"+0", 0, 0, 2},
		{"x", 0, Integer::ERROR_NO_DIGITS, 0},
		{"  -", 0, Integer::ERROR_NO_DIGITS, 0},
		{"2147483647", 2147483647, 0, 10},
		{"-2147483648", -2147483647 - 1, 0, 11},
		{"2147483648", 2147483647, Integer::ERROR_RANGE, 10},
		{"-99999999999999999999", -2147483647 - 1, Integer::ERROR_RANGE, 21},
	};
	for (const auto& c : cases)
	{
		const char* end = nullptr;
		int error = -1;
		EXPECT_EQ(c.value, Integer::parse(c.text, &end, &error)) << '"' << c.text << '"';
		EXPECT_EQ(c.error, error) << '"' << c.text << '"';
		EXPECT_EQ(c.end, end - c.text) << '"' << c.text << '"';
	}
	EXPECT_EQ(42, Integer::parse("42"));
}
