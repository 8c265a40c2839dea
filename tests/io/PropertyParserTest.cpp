#include "IoTestSupport.h"
#include <io/IOException.h>
#include <io/PropertyParser.h>
#include <functional>

using io::PropertyParser;

namespace {

// The pairs as "key=value" joined by '|', in table order.
std::string pairsOf(const PropertyParser& parser)
{
	std::string out;
	for (const PropertyParser::Pair& pair : parser.pairs())
		out += (out.empty() ? "" : "|") + std::string(pair.key.c_str()) + "=" + pair.value.c_str();
	return out;
}

TEST(PropertyParserTest, ParsesPairsAndComments)
{
	struct Case
	{
		std::string text;
		std::string pairs;
	};
	const Case cases[] = {
		{"a = 1 \n B = Two words \t \n", "a=1|b=Two words"},
		{"a=1; b=2", "a=1|b=2"},
		{"=5", "=5"},
		{"a=", "a="},
		{"a=\nb=1", "a=b=1"},
		{"x=5 -- five\ny=6", "x=5 y=6"},
		{"x=5; -- five\ny=6", "x=5|y=6"},
		{"-- only a comment", ""},
		{"a=1 --", "a=1"},
		{"a=x-y", "a=x-y"},
		{std::string("a=1\nb=2\0c=3", 11), "a=1|b=2"},
		{"b=2\na=1\nab=3\nA=4", "a=1|a=4|ab=3|b=2"},
		{"\xC3\x84=\xC3\xA9", "\xC3\x84=\xC3\xA9"},
	};
	for (const Case& c : cases)
		EXPECT_EQ(c.pairs, pairsOf(PropertyParser(lang::String(c.text.data(), static_cast<int>(c.text.size())), "set"))) << c.text;
}

TEST(PropertyParserTest, KeyWithoutEqualsSignNamesItsLine)
{
	struct Case
	{
		const char* text;
		const char* message;
	};
	const Case cases[] = {
		{"-- note\nc d", "Missing \"c=<value>\" on line 1 of property set \"set\":\nc d"},
		{"k\nx=1", "Missing \"k=<value>\" on line 2 of property set \"set\":\nk\nx=1"},
		{"a=1\n\nKEY", "Missing \"key=<value>\" on line 3 of property set \"set\":\na=1\n\nKEY"},
	};
	for (const Case& c : cases)
		EXPECT_EQ(c.message, iotest::messageOf<io::IOException>([&] { PropertyParser parser(c.text, "set"); }));
}

TEST(PropertyParserTest, TypedLookups)
{
	const PropertyParser parser(
		"Key=1; t=YES; f=Disabled; on=on; n3=3.0; n35=3.5; abc=abc; neg=-7; big=3e9; small=-2147483648;"
		"sign=-; pt=.5; exp=1e; expsign=2.5E+; f1=2.5e1; ratio=0.25; unit=5px; five=5.",
		"set");
	using Call = std::function<double()>;
	struct Case
	{
		const char* name;
		Call call;
		double expected;
		std::string error;
	};
	const Case cases[] = {
		{"hasKey key", [&] { return parser.hasKey("key"); }, 1, ""},
		{"hasKey Key", [&] { return parser.hasKey("Key"); }, 0, ""},
		{"boolean t", [&] { return parser.getBoolean("t"); }, 1, ""},
		{"boolean f", [&] { return parser.getBoolean("f"); }, 0, ""},
		{"boolean on", [&] { return parser.getBoolean("on"); }, 0, "Failed to parse boolean on from \"set\""},
		{"boolean absent", [&] { return parser.getBoolean("x"); }, 0, "Failed to parse boolean, no key x in \"set\""},
		{"int n3", [&] { return parser.getInt("n3"); }, 3, ""},
		{"int neg", [&] { return parser.getInt("neg"); }, -7, ""},
		{"int small", [&] { return parser.getInt("small"); }, -2147483648.0, ""},
		{"int n35", [&] { return parser.getInt("n35"); }, 0, "Failed to parse integer n35 from \"set\" (number is not integer)"},
		{"int big", [&] { return parser.getInt("big"); }, 0, "Failed to parse integer big from \"set\" (number is not integer)"},
		{"int abc", [&] { return parser.getInt("abc"); }, 0, "Failed to parse integer abc from \"set\""},
		{"int sign", [&] { return parser.getInt("sign"); }, 0, "Failed to parse integer sign from \"set\""},
		{"int exp", [&] { return parser.getInt("exp"); }, 0, "Failed to parse integer exp from \"set\""},
		{"int unit", [&] { return parser.getInt("unit"); }, 5, ""},
		{"int five", [&] { return parser.getInt("five"); }, 5, ""},
		{"int absent", [&] { return parser.getInt("x"); }, 0, "Failed to parse number, no key x in \"set\""},
		{"float f1", [&] { return parser.getFloat("f1"); }, 25, ""},
		{"float expsign", [&] { return parser.getFloat("expsign"); }, 0, "Failed to parse number expsign from \"set\""},
		{"float pt", [&] { return parser.getFloat("pt"); }, 0.5, ""},
		{"float ratio", [&] { return parser.getFloat("ratio"); }, 0.25, ""},
		{"float abc", [&] { return parser.getFloat("abc"); }, 0, "Failed to parse number abc from \"set\""},
		{"float absent", [&] { return parser.getFloat("x"); }, 0, "Failed to parse number, no key x in \"set\""},
	};
	for (const Case& c : cases)
	{
		if (c.error.empty())
			EXPECT_EQ(c.expected, c.call()) << c.name;
		else
			EXPECT_EQ(c.error, iotest::messageOf<io::IOException>(c.call)) << c.name;
	}
}

TEST(PropertyParserTest, StringsShowTheLatestLookup)
{
	PropertyParser parser("a=first; b=second", "set");
	const char* a = parser.getString("a");
	EXPECT_STREQ("first", a);
	EXPECT_EQ(nullptr, parser.getString("c"));
	EXPECT_STREQ("first", a);
	parser.getString("b");
	EXPECT_STREQ("second", a);

	lang::Array<char> value;
	EXPECT_TRUE(parser.get("b", value));
	EXPECT_STREQ("second", value.begin());
	EXPECT_FALSE(parser.get("z", value));
	EXPECT_STREQ("second", value.begin());

	parser.reset("z=1", "other");
	EXPECT_FALSE(parser.hasKey("a"));
	EXPECT_STREQ("1", parser.getString("z"));
	EXPECT_STREQ("other", parser.name().c_str());
}

} // namespace
