#include "IoTestSupport.h"
#include <io/ByteArrayInputStream.h>
#include <io/DataInputStream.h>
#include <io/IOException.h>
#include <cmath>
#include <functional>
#include <map>

using io::ByteArrayInputStream;
using io::DataInputStream;
using Bytes = std::vector<unsigned char>;

namespace {

TEST(DataInputStreamTest, ReadsBigEndianValues)
{
	struct Case
	{
		Bytes bytes;
		const char* read;
		double expected;
	};
	const Case cases[] = {
		{{0xFF, 0xFE}, "short", -2},
		{{0x7F, 0xFF}, "short", 32767},
		{{0x00, 0x00, 0x01, 0x00}, "int", 256},
		{{0x80, 0x00, 0x00, 0x00}, "int", -2147483648.0},
		{{0x3F, 0x80, 0x00, 0x00}, "float", 1.0},
		{{0xC0, 0x49, 0x0F, 0xDB}, "float", static_cast<float>(-3.14159265)},
		{{0x3F, 0xF8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, "double", 1.5},
		{{0xFF}, "byte", 255},
		{{0xFF}, "char", -1},
		{{0x41}, "char", 65},
		{{0xFF}, "boolean", 1},
		{{0x02}, "boolean", 1},
		{{0x00}, "boolean", 0},
	};
	const std::map<std::string, std::function<double(DataInputStream&)>> readers = {
		{"short", [](DataInputStream& in) { return in.readShort(); }},
		{"int", [](DataInputStream& in) { return in.readInt(); }},
		{"float", [](DataInputStream& in) { return in.readFloat(); }},
		{"double", [](DataInputStream& in) { return in.readDouble(); }},
		{"byte", [](DataInputStream& in) { return in.readByte(); }},
		{"char", [](DataInputStream& in) { return in.readChar(); }},
		{"boolean", [](DataInputStream& in) { return in.readBoolean(); }},
	};
	for (const Case& c : cases)
	{
		ByteArrayInputStream bytes(c.bytes.data(), static_cast<int>(c.bytes.size()));
		DataInputStream in(&bytes);
		EXPECT_EQ(c.expected, readers.at(c.read)(in)) << c.read;
		EXPECT_EQ(0, in.available()) << c.read;

		// One byte short of the value: the bytes there are consumed, then the read fails.
		ByteArrayInputStream shortBytes(c.bytes.data(), static_cast<int>(c.bytes.size()) - 1);
		DataInputStream shortIn(&shortBytes);
		EXPECT_EQ("Unexpected end of file in ByteArrayInputStream.",
			iotest::messageOf<io::IOException>([&] { readers.at(c.read)(shortIn); })) << c.read;
	}
}

TEST(DataInputStreamTest, ReadsStringsOfASigned16BitLength)
{
	struct Case
	{
		Bytes bytes;
		std::string expected;
		std::string error;
		int consumed;
	};
	const Case cases[] = {
		{{0x00, 0x00, 0x41}, "", "", 2},
		{{0x00, 0x03, 0x41, 0x42, 0x43}, "ABC", "", 5},
		{{0x00, 0x02, 0xC3, 0xA9}, "\xC3\xA9", "", 4},
		{{0x00, 0x03, 0xFF, 0x41, 0x80}, "A", "", 5},
		{{0x80, 0x00, 0x41}, "", "Invalid UTF-8 data in ByteArrayInputStream.", 2},
		{{0xFF, 0xFF}, "", "Invalid UTF-8 data in ByteArrayInputStream.", 2},
		{{0x00, 0x03, 0x41, 0x42}, "", "Unexpected end of file in ByteArrayInputStream.", 4},
		{{0x00}, "", "Unexpected end of file in ByteArrayInputStream.", 1},
	};
	for (const Case& c : cases)
	{
		ByteArrayInputStream bytes(c.bytes.data(), static_cast<int>(c.bytes.size()));
		DataInputStream in(&bytes);
		if (c.error.empty())
			EXPECT_EQ(c.expected, in.readUTF().c_str());
		else
			EXPECT_EQ(c.error, iotest::messageOf<io::IOException>([&] { in.readUTF(); }));
		EXPECT_EQ(c.consumed, static_cast<int>(c.bytes.size()) - in.available()) << c.expected;
	}
}

TEST(DataInputStreamTest, ReadsLongStringsIntoItsGrowingScratch)
{
	Bytes bytes = {0x00, 0x02, 'h', 'i', 0x01, 0x2C};
	bytes.insert(bytes.end(), 300, 'z');
	ByteArrayInputStream stream(bytes.data(), static_cast<int>(bytes.size()));
	DataInputStream in(&stream);
	EXPECT_STREQ("hi", in.readUTF().c_str());
	EXPECT_EQ(std::string(300, 'z'), in.readUTF().c_str());
}

TEST(DataInputStreamTest, ReadsStringsIntoACallersBuffer)
{
	const Bytes five = {0x00, 0x05, 'a', 'b', 'c', 'd', 'e'};
	ByteArrayInputStream fiveBytes(five.data(), 7);
	DataInputStream fiveIn(&fiveBytes);
	char buffer[5];
	EXPECT_EQ("Too small buffer (5) for UTF-8 data in ByteArrayInputStream.",
		iotest::messageOf<io::IOException>([&] { fiveIn.readUTF(buffer, 5); }));

	const Bytes four = {0x00, 0x04, 'a', 'b', 'c', 'd'};
	ByteArrayInputStream fourBytes(four.data(), 6);
	DataInputStream fourIn(&fourBytes);
	fourIn.readUTF(buffer, 5);
	EXPECT_STREQ("abcd", buffer);
}

TEST(DataInputStreamTest, ReadCharsCollectsSingleBytes)
{
	std::string text(300, 'q');
	text[0] = 'a';
	text[299] = 'z';
	ByteArrayInputStream stream(text.data(), 300);
	DataInputStream in(&stream);
	EXPECT_EQ(text, in.readChars(300).c_str());
	EXPECT_STREQ("", in.readChars(0).c_str());

	// A zero byte ends the text of its piece; the bytes after it are still consumed.
	ByteArrayInputStream zero("ab\0cd", 5);
	DataInputStream zeroIn(&zero);
	EXPECT_STREQ("ab", zeroIn.readChars(5).c_str());
	EXPECT_EQ(0, zeroIn.available());
}

TEST(DataInputStreamTest, PassesPositioningToTheWrappedStream)
{
	ByteArrayInputStream bytes("\x00\x07\x00\x09", 4);
	DataInputStream in(&bytes);
	EXPECT_EQ(7, in.readShort());
	EXPECT_TRUE(in.seek(0, io::InputStream::SEEKMODE_START));
	EXPECT_EQ(2, in.skip(2));
	EXPECT_EQ(9, in.readShort());
	EXPECT_FALSE(in.seek(1, io::InputStream::SEEKMODE_CURRENT));
}

} // namespace
