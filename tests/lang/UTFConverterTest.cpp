#include <lang/UTFConverter.h>
#include <gtest/gtest.h>
#include <vector>

using lang::UTFConverter;

namespace {

using Bytes = std::vector<unsigned char>;

} // namespace

TEST(UTFConverter, DecodeTable)
{
	struct Case
	{
		UTFConverter::EncodingType type;
		Bytes input;
		int result;
		int used;
		int codePoint;
	};
	const int untouched = -7;
	const Case cases[] = {
		{UTFConverter::ENCODING_UTF8, {'A'}, 1, 1, 65},
		{UTFConverter::ENCODING_UTF8, {0xC3, 0xA9}, 1, 2, 0xE9},
		{UTFConverter::ENCODING_UTF8, {0xE2, 0x82, 0xAC}, 1, 3, 0x20AC},
		{UTFConverter::ENCODING_UTF8, {0xF0, 0x9F, 0x98, 0x80}, 1, 4, 0x1F600},
		{UTFConverter::ENCODING_UTF8, {0xC3}, 0, 1, untouched},
		{UTFConverter::ENCODING_UTF8, {0xE2, 0x82}, 0, 1, untouched},
		{UTFConverter::ENCODING_UTF8, {0x80}, 0, 1, untouched},
		{UTFConverter::ENCODING_UTF8, {0xF8, 0x80, 0x80, 0x80, 0x80}, 0, 1, untouched},
		{UTFConverter::ENCODING_UTF8, {}, 0, 0, untouched},
		{UTFConverter::ENCODING_UTF8, {0xC0, 0x80}, 1, 2, 0},
		{UTFConverter::ENCODING_UTF8, {0xC3, 0x41}, 1, 2, 0xC1},
		{UTFConverter::ENCODING_ASCII, {0x80}, 1, 1, 128},
		{UTFConverter::ENCODING_ASCII, {}, 0, 0, untouched},
		{UTFConverter::ENCODING_UTF16_BE, {0xD8, 0x3D, 0xDE, 0x00}, 1, 4, 0x1F600},
		{UTFConverter::ENCODING_UTF16_BE, {0xD8, 0x3D}, 0, 2, untouched},
		{UTFConverter::ENCODING_UTF16_BE, {0xDC, 0x00}, 1, 2, 0xDC00},
		{UTFConverter::ENCODING_UTF16_BE, {0x00}, 0, 0, untouched},
		{UTFConverter::ENCODING_UTF16_LE, {0x3D, 0xD8, 0x00, 0xDE}, 1, 4, 0x1F600},
		{UTFConverter::ENCODING_UTF16, {0xE9, 0x00}, 1, 2, 0xE9},
		{UTFConverter::ENCODING_UTF32_BE, {0x00, 0x01, 0xF6, 0x00}, 1, 4, 0x1F600},
		{UTFConverter::ENCODING_UTF32_LE, {0x00, 0xF6, 0x01, 0x00}, 1, 4, 0x1F600},
		{UTFConverter::ENCODING_UTF32, {0x00, 0xF6, 0x01}, 0, 0, untouched},
	};
	for (const Case& c : cases)
	{
		int used = untouched;
		int codePoint = untouched;
		const unsigned char* data = c.input.data();
		EXPECT_EQ(c.result, UTFConverter(c.type).decode(data, data + c.input.size(), &used, &codePoint))
			<< "type " << c.type << " size " << c.input.size();
		EXPECT_EQ(c.used, used);
		EXPECT_EQ(c.codePoint, codePoint);
	}
}

TEST(UTFConverter, EncodeTable)
{
	struct Case
	{
		UTFConverter::EncodingType type;
		int codePoint;
		int room;
		Bytes expected;
	};
	const Case cases[] = {
		{UTFConverter::ENCODING_UTF8, 'A', 8, {'A'}},
		{UTFConverter::ENCODING_UTF8, 0xE9, 8, {0xC3, 0xA9}},
		{UTFConverter::ENCODING_UTF8, 0x20AC, 8, {0xE2, 0x82, 0xAC}},
		{UTFConverter::ENCODING_UTF8, 0x1F600, 8, {0xF0, 0x9F, 0x98, 0x80}},
		{UTFConverter::ENCODING_UTF8, 0x1FFFFF, 8, {0xF7, 0xBF, 0xBF, 0xBF}},
		{UTFConverter::ENCODING_UTF8, 0x200000, 8, {}},
		{UTFConverter::ENCODING_UTF8, 0x800, 2, {}},
		{UTFConverter::ENCODING_ASCII, 0x7F, 1, {0x7F}},
		{UTFConverter::ENCODING_ASCII, 0x80, 8, {}},
		{UTFConverter::ENCODING_UTF16_LE, 0x1F600, 8, {0x3D, 0xD8, 0x00, 0xDE}},
		{UTFConverter::ENCODING_UTF16_BE, 0x1F600, 8, {0xD8, 0x3D, 0xDE, 0x00}},
		{UTFConverter::ENCODING_UTF16_BE, 0x1F600, 3, {}},
		{UTFConverter::ENCODING_UTF16_BE, 0xE9, 2, {0x00, 0xE9}},
		{UTFConverter::ENCODING_UTF32_BE, 0x1F600, 4, {0x00, 0x01, 0xF6, 0x00}},
		{UTFConverter::ENCODING_UTF32_LE, 0x1F600, 4, {0x00, 0xF6, 0x01, 0x00}},
		{UTFConverter::ENCODING_UTF32_LE, 0x1F600, 3, {}},
	};
	for (const Case& c : cases)
	{
		unsigned char out[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
		int used = -1;
		const int result = UTFConverter(c.type).encode(out, out + c.room, &used, c.codePoint);
		EXPECT_EQ(c.expected.empty() ? 0 : 1, result) << "type " << c.type << " cp " << std::hex << c.codePoint;
		EXPECT_EQ(static_cast<int>(c.expected.size()), used);
		EXPECT_EQ(c.expected, Bytes(out, out + c.expected.size()));
		EXPECT_EQ(0xEE, out[c.expected.size()]) << "wrote past the encoded form";
	}
}

TEST(UTFConverter, HostOrderAndUnknownTypes)
{
	EXPECT_EQ(UTFConverter::ENCODING_UTF16_LE, UTFConverter(UTFConverter::ENCODING_UTF16).type());
	EXPECT_EQ(UTFConverter::ENCODING_UTF32_LE, UTFConverter(UTFConverter::ENCODING_UTF32).type());
	for (int type : {0, 9})
	{
		const UTFConverter converter(static_cast<UTFConverter::EncodingType>(type));
		unsigned char bytes[4] = {'A', 'B', 'C', 'D'};
		int used = -1;
		int codePoint = -1;
		EXPECT_EQ(0, converter.decode(bytes, bytes + 4, &used, &codePoint));
		EXPECT_EQ(0, converter.encode(bytes, bytes + 4, &used, 'A'));
		EXPECT_EQ(-1, used);
		EXPECT_EQ(-1, codePoint);
	}
}

TEST(UTFConverter, RoundTripsEveryEncodingOfTheScalarRange)
{
	for (int type = UTFConverter::ENCODING_UTF8; type <= UTFConverter::ENCODING_UTF32_LE; ++type)
	{
		const UTFConverter converter(static_cast<UTFConverter::EncodingType>(type));
		const bool utf16 = type == UTFConverter::ENCODING_UTF16 || type == UTFConverter::ENCODING_UTF16_BE ||
			type == UTFConverter::ENCODING_UTF16_LE;
		for (int codePoint = 0; codePoint < 0x110000; codePoint += 0x7F)
		{
			// A lone high surrogate unit waits for its partner and cannot decode alone.
			if (utf16 && (codePoint & 0xFC00) == 0xD800)
				continue;
			unsigned char bytes[8];
			int written = 0;
			ASSERT_EQ(1, converter.encode(bytes, bytes + 8, &written, codePoint));
			int used = 0;
			int decoded = -1;
			ASSERT_EQ(1, converter.decode(bytes, bytes + written, &used, &decoded)) << type << " " << codePoint;
			EXPECT_EQ(written, used);
			EXPECT_EQ(codePoint, decoded);
		}
	}
}
