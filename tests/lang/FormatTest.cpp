#include <lang/Format.h>
#include <lang/FormatException.h>
#include <gtest/gtest.h>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

using lang::Format;
using lang::String;

TEST(Format, PlaceholdersAndNumberSpecifications)
{
	const double nan = std::numeric_limits<double>::quiet_NaN();
	struct Case
	{
		const char* pattern;
		double number;
		const char* expected;
	};
	for (const Case& c : {
			 Case{"{0}", 12, "12"},
			 Case{"{0,}", -1, "-1"},
			 Case{"{0,0.00}", 3.14159, "3.14"},
			 Case{"{0,000}", 7, "007"},
			 Case{"{0,x}", 255, "ff"},
			 Case{"{0,X}", -1.5, "FFFFFFFF"},
			 Case{"{0,#}", 2.6, "3"},
			 Case{"{0,#.##}", 2.0, "2.00"},
			 Case{"{0,.0}", 0.25, "0.2"},
			 Case{"{0,d}", 2.9, "2"},
			 Case{"{0,i}", -2.9, "-2"},
			 Case{"{0,5}", 1.5, "1.5"},
			 Case{"{0,08x}", 26, "1a"},
			 Case{"{05}", 4, "4"},
			 // Out-of-range values saturate instead of wrapping; NaN prints as 0.
			 Case{"{0,d}", 1e10, "2147483647"},
			 Case{"{0,d}", -1e10, "-2147483648"},
			 Case{"{0,x}", 4294967296.0, "7fffffff"},
			 Case{"{0,d}", nan, "0"},
			 Case{"{0,i}", -std::numeric_limits<double>::infinity(), "-2147483648"},
			 // A number text is bounded at 31 characters.
			 Case{"{0,0.}", 1e300, "1000000000000000052504760255204"},
			 Case{"{0,.000000000000000000000000000000000000000000000000000000000000000000000000000000}", 1, "1.00000000000000000000000000000"},
		 })
	{
		EXPECT_EQ(String(c.expected), Format(c.pattern, c.number).format()) << c.pattern << " " << c.number;
	}
}

// Integers keep their exact value: whole at any size, and the letters take it without saturating.
// Real numbers keep %g.
TEST(Format, IntegerArgumentsPrintWhole)
{
	enum Channels
	{
		STEREO = 2
	};
	struct Case
	{
		Format message;
		const char* expected;
	};
	for (const Case& c : {
			 Case{Format("{0}", 6298721u), "6298721"},
			 Case{Format("{0}", -6298721), "-6298721"},
			 Case{Format("{0}", std::numeric_limits<int64_t>::min()), "-9223372036854775808"},
			 Case{Format("{0}", std::numeric_limits<uint64_t>::max()), "18446744073709551615"},
			 Case{Format("{0}", 9007199254740993LL), "9007199254740993"},
			 Case{Format("{0} {1}", true, STEREO), "1 2"},
			 Case{Format("{0,d}", 10000000000LL), "10000000000"},
			 Case{Format("{0,i}", 4294967295u), "4294967295"},
			 Case{Format("{0,x}", 0xDEADBEEFu), "deadbeef"},
			 Case{Format("{0,X}", -1), "FFFFFFFF"},
			 Case{Format("{0,x}", -1LL), "ffffffff"},
			 Case{Format("{0,x}", -4294967296LL), "ffffffff00000000"},
			 Case{Format("{0,x}", 0x123456789AULL), "123456789a"},
			 Case{Format("{0,000}", 7), "007"},
			 Case{Format("{0,0.00}", 3), "3.00"},
			 Case{Format("{0}", 6298721.0), "6.29872e+06"},
			 Case{Format("{0}", 6298721.0f), "6.29872e+06"},
		 })
	{
		EXPECT_EQ(String(c.expected), c.message.format()) << c.message.formatText().c_str();
	}
}

TEST(Format, TextArgumentsEscapesAndLiteralBraces)
{
	EXPECT_EQ(String("File a.txt has 12 bytes"), Format("File {0} has {1} bytes", "a.txt", 12).format());
	EXPECT_EQ(String("{0}"), Format("\\{0}", 1).format());
	EXPECT_EQ(String("\\1"), Format("\\\\{0}", 1).format());
	EXPECT_EQ(String("end"), Format("end\\").format());
	EXPECT_EQ(String("x {"), Format("x {").format());
	EXPECT_EQ(String("} }"), Format("} }").format());
	EXPECT_EQ(String("b a b"), Format("{1} {0} {1}", String("a"), "b").format());
	EXPECT_EQ(String("9"), Format("{9}", 0, 1, 2, 3, 4, 5, 6, 7, 8, 9).format());
	EXPECT_EQ(String(""), Format().format());
}

TEST(Format, MalformedPlaceholdersThrowWithTextAndPosition)
{
	struct Case
	{
		const char* pattern;
		const char* message;
		int position;
	};
	for (const Case& c : {
			 Case{"{0", "Failed to format \"{0}\", '}' not found after {1}", 1},
			 Case{"ab{}", "Failed to format \"{0}\", argument index not found at {1}", 3},
			 Case{"{a}", "Failed to format \"{0}\", digit expected at {1}", 1},
			 Case{"x{1}", "Failed to format \"{0}\", invalid argument index at {1}", 2},
		 })
	{
		try
		{
			Format(c.pattern, "only").format();
			ADD_FAILURE() << c.pattern;
		}
		catch (const lang::FormatException& e)
		{
			const Format& message = e.getMessage();
			EXPECT_EQ(String(c.message), message.formatText());
			ASSERT_EQ(2, message.argumentCount());
			EXPECT_EQ(String(c.pattern), message.argument(0).string());
			EXPECT_EQ(c.position, message.argument(1).number());
		}
	}
}

TEST(Format, BufferFormattingCutsButReportsWholeLength)
{
	char buffer[8];
	std::memset(buffer, 'x', sizeof(buffer));
	EXPECT_EQ(11, Format("0123456789").format(buffer, 4));
	EXPECT_STREQ("012", buffer);

	std::memset(buffer, 'x', sizeof(buffer));
	EXPECT_EQ(10, Format("ab{0}yz", "cdefg").format(buffer, 5));
	EXPECT_STREQ("abcd", buffer);

	std::memset(buffer, 'x', sizeof(buffer));
	EXPECT_EQ(11, Format("abcdefg{0}", 123).format(buffer, 8));
	EXPECT_STREQ("abcdefg", buffer);

	EXPECT_EQ(4, Format("{0}", "abc").format(buffer, 0));
	EXPECT_EQ(1, Format("").format(buffer, 8));
	EXPECT_STREQ("", buffer);
}

TEST(Format, LongMessageComesBackWhole)
{
	const std::string longText(600, 'm');
	const String text = Format("<{0}>", longText.c_str()).format();
	EXPECT_EQ(602, text.length());
	EXPECT_EQ(String(("<" + longText + ">").c_str()), text);
}

TEST(Format, ArgumentsAreCopies)
{
	String name("before");
	const Format message("{0}", name);
	name = "after";
	EXPECT_EQ(String("before"), message.format());
}
