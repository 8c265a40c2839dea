#include <lang/String.h>
#include <lang/Character.h>
#include <lang/UTFConverter.h>
#include <gtest/gtest.h>
#include <string>

using lang::String;

namespace {

String repeated(char c, int n)
{
	return String(std::string(static_cast<size_t>(n), c).c_str());
}

} // namespace

TEST(String, CapacityGrowsByHalfAndNeverShrinks)
{
	struct Case
	{
		int length;
		int capacity;
	};
	for (const Case& c : {Case{0, 15}, Case{15, 15}, Case{16, 22}, Case{22, 22}, Case{100, 100}})
	{
		String s;
		s.assign(repeated('a', c.length));
		EXPECT_EQ(c.capacity, s.capacity()) << c.length;
		EXPECT_EQ(c.length, s.length());
		EXPECT_EQ('\0', s.c_str()[c.length]);
	}

	String s = repeated('b', 22);
	s.append("c");
	EXPECT_EQ(33, s.capacity());
	s.assign("short");
	EXPECT_EQ(33, s.capacity());
	EXPECT_STREQ("short", s.c_str());
}

TEST(String, AssignClipsCountAndCutsItselfInPlace)
{
	const String source("abcdef");
	EXPECT_EQ(String("cdef"), String().assign(source, 2, String::ALL));
	EXPECT_EQ(String("cdef"), String().assign(source, 2, 100));
	EXPECT_EQ(String("cd"), String().assign(source, 2, 2));
	EXPECT_EQ(String(""), String().assign(source, 6, 3));

	for (const String& text : {String("abcdef"), repeated('x', 30) + "tail"})
	{
		String self(text);
		self.assign(self, 2, String::ALL);
		EXPECT_EQ(text.substring(2), self);

		String viaPointer(text);
		viaPointer.assign(viaPointer.c_str() + 2, 3);
		EXPECT_EQ(text.substring(2, 5), viaPointer);
	}
}

TEST(String, SelfAppendAndSelfAssignAcrossInlineLimit)
{
	for (int n : {1, 7, 8, 15, 16, 40})
	{
		const String original = repeated('q', n - 1) + "z";
		String s(original);
		s.append(s);
		EXPECT_EQ(original + original, s) << n;
		EXPECT_EQ(2 * n, s.length());

		s = s;
		EXPECT_EQ(original + original, s);
	}
}

TEST(String, MoveLeavesSourceEmptyAndUsable)
{
	String heap = repeated('h', 40);
	String moved(std::move(heap));
	EXPECT_EQ(40, moved.length());
	EXPECT_TRUE(heap.isEmpty());
	heap.append("again");
	EXPECT_EQ(String("again"), heap);

	String inlineText("tiny");
	moved = std::move(inlineText);
	EXPECT_EQ(String("tiny"), moved);
}

TEST(String, OrderingComparesUnsignedBytesThenLength)
{
	EXPECT_LT(String("ab"), String("abc"));
	EXPECT_LT(String("abc"), String("abd"));
	EXPECT_LT(String("z"), String("\xC3\xA9"));
	EXPECT_FALSE(String("abc") < String("abc"));
	EXPECT_FALSE(String("abd") < String("abc"));
	const char withZero[] = {'a', 0, 'b'};
	EXPECT_NE(String(withZero, 3), String("a"));
	EXPECT_LT(String("a"), String(withZero, 3));
}

TEST(String, HashTakesBytesAsSigned)
{
	EXPECT_EQ(0, String().hashCode());
	EXPECT_EQ(96354, String("abc").hashCode());
	EXPECT_EQ(-61 * 31 - 87, String("\xC3\xA9").hashCode());
	// Wraps in 32 bits.
	EXPECT_EQ(1794106052, String("hello world").hashCode());
}

TEST(String, GetCopiesAtMostSizeMinusOne)
{
	char buffer[8];
	std::memset(buffer, 'x', sizeof(buffer));
	String("hello").get(buffer, 4);
	EXPECT_STREQ("hel", buffer);
	String().get(buffer, 4);
	EXPECT_STREQ("", buffer);
	String("hi").get(buffer, 8);
	EXPECT_STREQ("hi", buffer);
}

TEST(String, BytesInOtherEncodings)
{
	const String word("gr\xC3\xBC\xC3\x9F" "e");
	const lang::UTFConverter utf16le(lang::UTFConverter::ENCODING_UTF16_LE);
	unsigned char bytes[4] = {0xAA, 0xAA, 0xAA, 0xAA};
	EXPECT_EQ(10, word.getBytes(bytes, 3, utf16le));
	EXPECT_EQ('g', bytes[0]);
	EXPECT_EQ(0, bytes[1]);
	EXPECT_EQ('r', bytes[2]);
	EXPECT_EQ(0xAA, bytes[3]);

	short units[8];
	const String five("ab\xC3\xA9" "cd");
	EXPECT_EQ(5, five.getUTF16(units, 8));
	EXPECT_EQ(0xE9, units[2]);
	EXPECT_EQ(0, units[5]);
	EXPECT_EQ(2, five.getUTF16(units, 3));
	EXPECT_EQ(0, units[2]);

	const short utf16[] = {'a', 'b', 0xE9, 'c', 'd', 0};
	EXPECT_EQ(five, String::fromUTF16(utf16));

	const lang::UTFConverter utf8(lang::UTFConverter::ENCODING_UTF8);
	const char stray[] = "ab\xFF" "c";
	EXPECT_EQ(String("abc"), String(stray, 4, utf8));
	EXPECT_EQ(String(), String(stray, 0, utf8));
	const unsigned char utf32be[] = {0, 0, 0, 'A', 0, 1, 0xF6, 0};
	EXPECT_EQ(String("A\xF0\x9F\x98\x80"), String(utf32be, 8, lang::UTFConverter(lang::UTFConverter::ENCODING_UTF32_BE)));
}

TEST(String, DerivedCopiesTouchOnlyAscii)
{
	const String mixed("Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln");
	EXPECT_EQ(String("GR\xC3\xBC\xC3\x9F" "E AUS K\xC3\xB6LN"), mixed.toUpperCase());
	EXPECT_EQ(String("gr\xC3\xBC\xC3\x9F" "e aus k\xC3\xB6ln"), mixed.toLowerCase());
	const String windowsPath("a\\b\\c");
	EXPECT_EQ(String("a/b/c"), windowsPath.replace('\\', '/'));
	EXPECT_EQ(String("a\\b\\c"), windowsPath);
}

TEST(String, ScanStringTakesOneTokenAndReportsItsEnd)
{
	struct Case
	{
		const char* text;
		int size;
		const char* token;
		int endOffset;
	};
	for (const Case& c : {Case{"  word rest", 16, "word", 6}, Case{"\t\r\nlongtoken x", 5, "long", 12},
			 Case{"   ", 8, "", 3}, Case{"", 8, "", 0}})
	{
		char buffer[16];
		const char* end = nullptr;
		EXPECT_EQ(static_cast<int>(std::strlen(c.token)), String::scanString(c.text, buffer, c.size, &end)) << c.text;
		EXPECT_STREQ(c.token, buffer);
		EXPECT_EQ(c.text + c.endOffset, end);
	}
}

TEST(String, Searches)
{
	const String path("dir/sub/file.png");
	EXPECT_EQ(3, path.indexOf('/'));
	EXPECT_EQ(7, path.indexOf('/', 4));
	EXPECT_EQ(7, path.lastIndexOf('/'));
	EXPECT_EQ(-1, path.indexOf('#'));
	EXPECT_EQ(8, path.indexOf(String("file")));
	EXPECT_EQ(-1, path.indexOf(String("png"), 14));
	EXPECT_TRUE(path.endsWith(".png"));
	EXPECT_TRUE(path.startsWith("dir/"));
	EXPECT_FALSE(String("ab").startsWith("abc"));
}

TEST(Character, IsDigitOnlyForAsciiDigits)
{
	EXPECT_TRUE(lang::Character::isDigit('7'));
	EXPECT_TRUE(lang::Character::isDigit('0'));
	EXPECT_FALSE(lang::Character::isDigit(0x660));
	EXPECT_FALSE(lang::Character::isDigit(-1));
	EXPECT_FALSE(lang::Character::isDigit('/'));
	EXPECT_FALSE(lang::Character::isDigit(':'));
}
