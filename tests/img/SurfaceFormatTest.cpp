#include <gr/SurfaceFormat.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

using gr::SurfaceFormat;

namespace {

uint64_t loadLE(const uint8_t* p, int bytes)
{
	uint64_t v = 0;
	for (int i = bytes - 1; i >= 0; --i)
		v = (v << 8) | p[i];
	return v;
}

void storeLE(uint8_t* p, uint64_t v, int bytes)
{
	for (int i = 0; i < bytes; ++i)
		p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t floatBits(float f)
{
	uint32_t bits;
	std::memcpy(&bits, &f, sizeof bits);
	return bits;
}

struct PixelCase
{
	SurfaceFormat::SurfaceFormatType src;
	uint64_t in;
	SurfaceFormat::SurfaceFormatType dst;
	uint64_t expected;
};

TEST(SurfaceFormat, ConvertsSinglePixels)
{
	const PixelCase cases[] = {
		// Channels are shifted, not replicated; a missing alpha becomes opaque.
		{SurfaceFormat::R5G6B5, 0xFFFF, SurfaceFormat::A8R8G8B8, 0xFFF8FCF8},
		{SurfaceFormat::A8R8G8B8, 0x12345678, SurfaceFormat::X8R8G8B8, 0xFF345678},
		{SurfaceFormat::A8, 0x40, SurfaceFormat::A8R8G8B8, 0x40FFFFFF},
		{SurfaceFormat::L8, 0x80, SurfaceFormat::R8G8B8, 0x808080},
		{SurfaceFormat::R8G8B8, 0x112233, SurfaceFormat::L8, 0x33},
		{SurfaceFormat::A1R5G5B5, 0x8000, SurfaceFormat::A8R8G8B8, 0x80000000},
		{SurfaceFormat::A8R8G8B8, 0xFF00FF00, SurfaceFormat::A8B8G8R8, 0xFF00FF00},
		{SurfaceFormat::A8R8G8B8, 0x80FF0000, SurfaceFormat::R4G4B4A4, 0xF008},
		{SurfaceFormat::A8R8G8B8, 0x12345678, SurfaceFormat::D16, 0xFFFF},
		// Half precision: the largest finite half, and the first single that rounds to infinity.
		{SurfaceFormat::R32F, floatBits(65504.0f), SurfaceFormat::R16F, 0x7BFF},
		{SurfaceFormat::R32F, floatBits(65520.0f), SurfaceFormat::R16F, 0x7C00},
		{SurfaceFormat::R32F, floatBits(-2.0f), SurfaceFormat::R16F, 0xC000},
		{SurfaceFormat::R32F, floatBits(std::nanf("")), SurfaceFormat::R16F, 0x7E00},
		{SurfaceFormat::R16F, 0x0001, SurfaceFormat::R32F, floatBits(5.9604645e-8f)},
		{SurfaceFormat::R32F, floatBits(1e-6f), SurfaceFormat::R16F, 0x0011},
		// Floats into 8 bits truncate and clamp; NaN counts as 0; absent alpha is 1.0.
		{SurfaceFormat::R32F, floatBits(0.5f), SurfaceFormat::A8R8G8B8, 0xFF7F0000},
		{SurfaceFormat::R32F, floatBits(2.0f), SurfaceFormat::A8R8G8B8, 0xFFFF0000},
		{SurfaceFormat::R32F, floatBits(-1.0f), SurfaceFormat::A8R8G8B8, 0xFF000000},
		{SurfaceFormat::R32F, floatBits(std::nanf("")), SurfaceFormat::A8R8G8B8, 0xFF000000},
		// An 8-bit source without alpha gives float alpha 0.0.
		{SurfaceFormat::R8G8B8, 0xFF0000, SurfaceFormat::A16B16G16R16F, 0x0000000000003C00},
	};
	for (const PixelCase& c : cases)
	{
		const SurfaceFormat src(c.src);
		const SurfaceFormat dst(c.dst);
		uint8_t in[8] = {};
		uint8_t out[8] = {};
		storeLE(in, c.in, src.bitsPerPixel() / 8);
		dst.copyPixels(out, SurfaceFormat(), nullptr, src, in, SurfaceFormat(), nullptr, 1);
		EXPECT_EQ(c.expected, loadLE(out, dst.bitsPerPixel() / 8)) << src.toString() << " -> " << dst.toString();
	}
}

TEST(SurfaceFormat, FloatSourceFillsMissingChannels)
{
	const uint8_t half[2] = {0x00, 0x38}; // 0.5
	float out[4] = {-1, -1, -1, -1};
	SurfaceFormat(SurfaceFormat::A32B32G32R32F).copyPixels(out, SurfaceFormat(), nullptr, SurfaceFormat::R16F, half,
		SurfaceFormat(), nullptr, 1);
	EXPECT_EQ(0.5f, out[0]);
	EXPECT_EQ(0.0f, out[1]);
	EXPECT_EQ(0.0f, out[2]);
	EXPECT_EQ(1.0f, out[3]);
}

TEST(SurfaceFormat, EqualFormatsCopyBytesAndEmptyRunsWriteNothing)
{
	const uint8_t indices[3] = {7, 200, 3};
	uint8_t out[3] = {0, 0, 0};
	SurfaceFormat(SurfaceFormat::P8).copyPixels(out, SurfaceFormat::A8R8G8B8, nullptr, SurfaceFormat::P8, indices,
		SurfaceFormat::R8G8B8, nullptr, 3);
	EXPECT_EQ(std::vector<uint8_t>(indices, indices + 3), std::vector<uint8_t>(out, out + 3));

	uint8_t untouched[4] = {9, 9, 9, 9};
	const uint8_t src[4] = {1, 2, 3, 4};
	SurfaceFormat(SurfaceFormat::R5G6B5).copyPixels(untouched, SurfaceFormat(), nullptr, SurfaceFormat::A8R8G8B8, src,
		SurfaceFormat(), nullptr, 0);
	EXPECT_EQ(9, untouched[0]);
}

TEST(SurfaceFormat, PalettesConvertBothWays)
{
	// Sixteen grey X8B8G8R8 entries; entries 5 and 9 are equally near to (0x50, 0x50, 0x50).
	uint8_t palette[64] = {};
	for (int i = 0; i < 16; ++i)
		std::memset(palette + 4 * i, i * 16, 3);
	std::memset(palette + 4 * 5, 0x48, 3);
	std::memset(palette + 4 * 9, 0x58, 3);
	const uint8_t pixels[12] = {0x50, 0x50, 0x50, 0x10, 0x10, 0x10, 0x20, 0x20, 0x20}; // B8G8R8
	uint8_t p4[2] = {0x00, 0xA0};
	SurfaceFormat(SurfaceFormat::P4).copyPixels(p4, SurfaceFormat::X8B8G8R8, palette, SurfaceFormat::B8G8R8, pixels,
		SurfaceFormat(), nullptr, 3);
	// The first written pixel takes the low nibble; the second byte keeps its high nibble.
	EXPECT_EQ(0x15, p4[0]);
	EXPECT_EQ(0xA2, p4[1]);

	// Reading P4 takes the high nibble first.
	const uint8_t packed[1] = {0x2F};
	uint8_t rgb[6] = {};
	SurfaceFormat(SurfaceFormat::R8G8B8).copyPixels(rgb, SurfaceFormat(), nullptr, SurfaceFormat::P4, packed,
		SurfaceFormat::X8B8G8R8, palette, 2);
	EXPECT_EQ(0x20, rgb[0]);
	EXPECT_EQ(0xF0, rgb[3]);
}

struct MemoryCase
{
	SurfaceFormat::SurfaceFormatType format;
	int width;
	int height;
	int expected;
};

TEST(SurfaceFormat, MemoryUsage)
{
	const MemoryCase cases[] = {
		{SurfaceFormat::RGB_PVRTC_GL_2BPP, 1, 1, 32},
		{SurfaceFormat::RGBA_PVRTC_GL_4BPP, 1, 1, 32},
		{SurfaceFormat::RGB_PVRTC_GL_4BPP, 32, 16, 256},
		{SurfaceFormat::DXT1, 1, 1, 8},
		{SurfaceFormat::DXT3, 1, 1, 16},
		{SurfaceFormat::DXT5, 5, 5, 64},
		{SurfaceFormat::ETC1_RGB_4BPP, 1, 1, 8},
		// ETC1 is stored in whole 4 x 4 blocks.
		{SurfaceFormat::ETC1_RGB_4BPP, 5, 5, 32},
		{SurfaceFormat::ETC1_RGB_4BPP, 8, 3, 16},
		// A row of odd P4 pixels ends on a whole byte.
		{SurfaceFormat::P4, 3, 1, 2},
		{SurfaceFormat::P4, 3, 2, 4},
		{SurfaceFormat::R8G8B8, 5, 2, 30},
		{SurfaceFormat::A32B32G32R32F, 65535, 65535, INT_MAX},
	};
	for (const MemoryCase& c : cases)
		EXPECT_EQ(c.expected, SurfaceFormat(c.format).getMemoryUsage(c.width, c.height))
			<< SurfaceFormat(c.format).toString() << " " << c.width << "x" << c.height;
	EXPECT_TRUE(SurfaceFormat(SurfaceFormat::DXT1).hasAlpha());
	EXPECT_FALSE(SurfaceFormat(SurfaceFormat::A16B16G16R16F).hasAlpha());
	EXPECT_STREQ("ETC1_RGB_4BPP", SurfaceFormat(SurfaceFormat::ETC1_RGB_4BPP).toString());
}

std::vector<uint32_t> decode(SurfaceFormat::SurfaceFormatType format, const std::vector<uint8_t>& blocks, int srcPitch,
	int width, int height)
{
	std::vector<uint32_t> out(static_cast<size_t>(width * height), 0x12345678);
	SurfaceFormat(SurfaceFormat::A8R8G8B8).copyPixels(out.data(), width * 4, SurfaceFormat(), nullptr, format,
		blocks.data(), srcPitch, SurfaceFormat(), nullptr, width, height);
	return out;
}

TEST(SurfaceFormat, DecodesThreeColourDXT1Block)
{
	// Colour 0 (blue) <= colour 1 (red): index 2 is their average, index 3 transparent black.
	const std::vector<uint8_t> block = {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0xE4, 0xE4, 0xE4};
	const std::vector<uint32_t> row = decode(SurfaceFormat::DXT1, block, 8, 4, 1);
	EXPECT_EQ((std::vector<uint32_t>{0xFF0000FF, 0xFFFF0000, 0xFF7F007F, 0x00000000}), row);
}

TEST(SurfaceFormat, DecodesFourColourDXT1AndExplicitDXT3Alpha)
{
	// Colour 0 (red) > colour 1 (red 1/31, blue): indices 2 and 3 mix them 2:1 and 1:2, rounded.
	const std::vector<uint8_t> block = {0x00, 0xF8, 0x1F, 0x08, 0xE4, 0x00, 0x00, 0x00};
	EXPECT_EQ((std::vector<uint32_t>{0xFFFF0000, 0xFF0800FF, 0xFFAD0055, 0xFF5A00AA}), decode(SurfaceFormat::DXT1, block, 8, 4, 1));

	// An 8 x 8 DXT3 image, rows of two blocks 32 bytes apart: the lower right block has alpha
	// nibbles 0 and 1 (alpha 0 and 17) on its first row and colour index 0 (red).
	std::vector<uint8_t> blocks(64, 0);
	blocks[48] = 0x10;
	blocks[57] = 0xF8;
	const std::vector<uint32_t> image = decode(SurfaceFormat::DXT3, blocks, 32, 8, 8);
	EXPECT_EQ(0x00FF0000u, image[4 * 8 + 4]);
	EXPECT_EQ(0x11FF0000u, image[4 * 8 + 5]);
	EXPECT_EQ(0x00000000u, image[4 * 8 + 3]);
}

TEST(SurfaceFormat, DecodesDXT5Alpha)
{
	// Alpha 0 = 255 > alpha 1 = 0: index 2 is (6 * 255 + 3) / 7; colour block all white.
	const std::vector<uint8_t> block = {0xFF, 0x00, 0x12, 0x00, 0x00, 0x00, 0x00, 0x00,
		0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};
	const std::vector<uint32_t> row = decode(SurfaceFormat::DXT5, block, 16, 2, 1);
	EXPECT_EQ((std::vector<uint32_t>{0xDBFFFFFF, 0xDBFFFFFF}), row);
}

TEST(SurfaceFormat, DecodesETC1AtWidthNotMultipleOfFour)
{
	// A 5 x 5 image takes 2 x 2 blocks: red, blue (top) and green, white (bottom), all individual
	// mode with codeword 0 and pixel index 0 (modifier +2).
	std::vector<uint8_t> blocks;
	for (unsigned rgb : {0xFF0000u, 0x0000FFu, 0x00FF00u, 0xFFFFFFu})
		blocks.insert(blocks.end(), {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 0, 0, 0, 0, 0});
	ASSERT_EQ(static_cast<size_t>(SurfaceFormat(SurfaceFormat::ETC1_RGB_4BPP).getMemoryUsage(5, 5)), blocks.size());
	const std::vector<uint32_t> image = decode(SurfaceFormat::ETC1_RGB_4BPP, blocks, 0, 5, 5);
	EXPECT_EQ(0xFFFF0202u, image[0]);
	EXPECT_EQ(0xFF0202FFu, image[4]);
	EXPECT_EQ(0xFF02FF02u, image[4 * 5]);
	EXPECT_EQ(0xFFFFFFFFu, image[4 * 5 + 4]);
}

TEST(SurfaceFormat, DecodesETC1DifferentialFlippedBlock)
{
	// Differential mode, flipped: the upper half has base 31 (255), the lower 31 - 4 = 27 (222)
	// in red; codewords 1 and 0; all pixel indices 3 (modifier -b).
	const std::vector<uint8_t> block = {0xFC, 0x00, 0x00, 0x23, 0xFF, 0xFF, 0xFF, 0xFF};
	const std::vector<uint32_t> image = decode(SurfaceFormat::ETC1_RGB_4BPP, block, 0, 4, 4);
	EXPECT_EQ(0xFFEE0000u, image[0]);      // 255 - 17
	EXPECT_EQ(0xFFD60000u, image[3 * 4]);  // 222 - 8
}

TEST(SurfaceFormat, PVRTCRectangleLeavesDestinationUntouched)
{
	const std::vector<uint8_t> data(32, 0xAB);
	EXPECT_EQ(std::vector<uint32_t>(4, 0x12345678), decode(SurfaceFormat::RGB_PVRTC_GL_4BPP, data, 0, 2, 2));
}

} // namespace
