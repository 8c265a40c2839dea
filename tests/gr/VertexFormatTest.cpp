#include <gr/VertexFormat.h>
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>

using gr::VertexFormat;

TEST(VertexFormat, SizeAndDimensionOfEveryDataFormat)
{
	const int sizes[] = {0, 4, 2, 1, 8, 4, 2, 12, 6, 3, 16, 8, 4, 2, 4, 6, 8};
	const int dims[] = {0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 4, 2, 3, 4};
	for (int f = 0; f < VertexFormat::DF_SIZE; ++f)
	{
		EXPECT_EQ(sizes[f], VertexFormat::getDataSize((VertexFormat::DataFormat)f)) << f;
		EXPECT_EQ(dims[f], VertexFormat::getDataDim((VertexFormat::DataFormat)f)) << f;
	}
	EXPECT_EQ(0, VertexFormat::getDataSize((VertexFormat::DataFormat)17));
	EXPECT_EQ(0, VertexFormat::getDataDim((VertexFormat::DataFormat)-1));
	EXPECT_EQ(4, VertexFormat::getDataSizeAligned(VertexFormat::DF_S_16, 4));
	EXPECT_EQ(4, VertexFormat::getDataSizeAligned(VertexFormat::DF_V3_8, 4));
	EXPECT_EQ(16, VertexFormat::getDataSizeAligned(VertexFormat::DF_V3_32, 8));
}

TEST(VertexFormat, VertexSizeRoundsEachAttributeToTheAlignment)
{
	VertexFormat format;
	format.addPosition(VertexFormat::DF_V3_32).addDiffuse(VertexFormat::DF_V4_8);
	format.setAlignEach(4);
	EXPECT_EQ(16, format.vertexSize());

	VertexFormat small;
	small.addPosition(VertexFormat::DF_V3_8).addDiffuse(VertexFormat::DF_V4_8);
	small.setAlignEach(4);
	EXPECT_EQ(8, small.vertexSize());
	small.setAlignEach(1);
	EXPECT_EQ(7, small.vertexSize());
}

TEST(VertexFormat, TextureCoordinatesFillFourLayersThenStop)
{
	VertexFormat format;
	const VertexFormat::DataFormat layers[] = {VertexFormat::DF_V2_32, VertexFormat::DF_V2_16, VertexFormat::DF_V3_32, VertexFormat::DF_V2_16F};
	for (VertexFormat::DataFormat f : layers)
		format.addTextureCoordinate(f);
	const VertexFormat four = format;
	format.addTextureCoordinate(VertexFormat::DF_V4_32);
	EXPECT_TRUE(format == four);
	for (int layer = 0; layer < 4; ++layer)
		EXPECT_EQ(layers[layer], format.getDataFormat((VertexFormat::DataType)(VertexFormat::DT_TEX0 + layer)));
	EXPECT_EQ(VertexFormat::DF_NONE, format.getDataFormat(VertexFormat::DT_TANGENT));
}

TEST(VertexFormat, EqualityIgnoresAlignmentButNotAnyFormat)
{
	VertexFormat a;
	a.addPosition().addDiffuse();
	VertexFormat b = a;
	b.setAlignEach(4);
	EXPECT_TRUE(a == b);
	// Neighbouring nibbles of one byte must not bleed into each other.
	b.setDataFormat(VertexFormat::DT_SPECULAR, VertexFormat::DF_V4_8);
	EXPECT_FALSE(a == b);
	EXPECT_EQ(VertexFormat::DF_V4_8, b.getDataFormat(VertexFormat::DT_DIFFUSE));
}

TEST(VertexFormat, HalfFloatConversion)
{
	struct Case { float in; unsigned short half; };
	const Case cases[] = {
		{1.f, 0x3C00}, {-2.f, 0xC000}, {0.5f, 0x3800},
		{65504.f, 0x7BFF},
		{65520.f, 0x7C00},							// rounds up past the largest half
		{1e10f, 0x7C00}, {-1e10f, 0xFC00},
		{INFINITY, 0x7C00},
		{-1e-10f, 0x0000},							// far below the range: +0, sign dropped
		{-0.f, 0x0000},
		{5.9604645e-8f, 0x0001},					// smallest subnormal
		{2.9802322e-8f, 0x0001},					// half of it: a tie, rounds away from zero
		{6.097555e-5f, 0x03FF},						// largest subnormal
		{1.00048828125f, 0x3C01},					// halfway between 1 and the next half: away from zero
	};
	for (const Case& c : cases)
		EXPECT_EQ(c.half, VertexFormat::floatToHalf(c.in)) << c.in;

	const unsigned short nan = VertexFormat::floatToHalf(NAN);
	EXPECT_EQ(0x7C00, nan & 0x7C00);
	EXPECT_NE(0, nan & 0x3FF);
	EXPECT_TRUE(std::isnan(VertexFormat::halfToFloat(nan)));

	for (unsigned h : {0x0001u, 0x03FFu, 0x0400u, 0x3C00u, 0x7BFFu, 0xC000u, 0x8001u})
		EXPECT_EQ(h, VertexFormat::floatToHalf(VertexFormat::halfToFloat((unsigned short)h))) << h;
	EXPECT_EQ(INFINITY, VertexFormat::halfToFloat(0x7C00));
}

TEST(VertexFormat, SetAndGetConvertEachStorage)
{
	struct Case { VertexFormat::DataFormat format; math::float4 in; math::float4 out; };
	const Case cases[] = {
		{VertexFormat::DF_V4_8, {255.f, 128.f, 0.f, 1.f}, {-1.f, -128.f, 0.f, 1.f}},
		{VertexFormat::DF_V2_8, {300.f, -1.f, 9.f, 9.f}, {44.f, 0.f, 0.f, 0.f}},
		{VertexFormat::DF_S_16, {65535.f, 5.f, 5.f, 5.f}, {-1.f, 0.f, 0.f, 0.f}},
		{VertexFormat::DF_V3_16, {1e20f, 2.7f, -3.f, 1.f}, {-1.f, 2.f, 0.f, 0.f}},
		{VertexFormat::DF_V3_32, {1.5f, -2.5f, 3.f, 4.f}, {1.5f, -2.5f, 3.f, 0.f}},
		{VertexFormat::DF_V4_5, {31.f, 33.f, 7.f, 0.5f}, {31.f, 1.f, 7.f, 0.f}},
		{VertexFormat::DF_V4_5, {0.f, 0.f, 0.f, -2.f}, {0.f, 0.f, 0.f, 1.f}},
		{VertexFormat::DF_V2_16F, {0.5f, -2.f, 7.f, 7.f}, {0.5f, -2.f, 0.f, 0.f}},
	};
	for (const Case& c : cases)
	{
		unsigned char bytes[16] = {};
		VertexFormat::setData(c.format, bytes, c.in);
		math::float4 out(9.f, 9.f, 9.f, 9.f);
		VertexFormat::getData(c.format, bytes, &out);
		EXPECT_EQ(c.out, out) << "format " << c.format;
	}
	unsigned char bytes[4];
	VertexFormat::setData(VertexFormat::DF_V4_8, bytes, math::float4(255.f, 128.f, 0.f, 1.f));
	const unsigned char expected[4] = {255, 128, 0, 1};
	EXPECT_EQ(0, std::memcmp(expected, bytes, 4));
}

TEST(VertexFormat, CopyDataConvertsWithPitches)
{
	const float src[3][4] = {{1.f, 2.f, 0.f, 0.f}, {3.f, 4.f, 0.f, 0.f}, {5.f, 6.f, 0.f, 0.f}};
	short dst[3][4] = {};
	VertexFormat::copyData(dst, 8, VertexFormat::DF_V2_16, src, 16, VertexFormat::DF_V4_32, 3);
	EXPECT_EQ(5, dst[2][0]);
	EXPECT_EQ(6, dst[2][1]);
	EXPECT_EQ(0, dst[2][2]);

	float same[3][4] = {};
	VertexFormat::copyData(same, 16, VertexFormat::DF_V2_32, src, 16, VertexFormat::DF_V2_32, 3);
	EXPECT_EQ(6.f, same[2][1]);
	EXPECT_EQ(0.f, same[2][2]);

	VertexFormat::copyData(same, 16, VertexFormat::DF_V4_32, nullptr, 16, VertexFormat::DF_V4_32, 0);
}
