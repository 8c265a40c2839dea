#include "ImageTestSupport.h"

#include <gtest/gtest.h>

using imgtest::Bytes;
using imgtest::Image;
using imgtest::openError;

namespace {

struct BmpSpec
{
	int width = 2;
	int height = 2;
	int bits = 24;
	int infoSize = 40;
	unsigned compression = 0;
	int colorsUsed = 0;
	int paletteEntries = 0;
	int gap = 0;
	std::vector<uint8_t> rows;
};

// A Windows-layout BMP with its palette entries (grey ramp of 4-byte entries) and rows.
std::vector<uint8_t> bmp(const BmpSpec& s)
{
	const int offset = 14 + s.infoSize + 4 * s.paletteEntries + s.gap;
	Bytes b;
	b.u16(0x4D42).u32(static_cast<uint32_t>(offset + s.rows.size())).u32(0).u32(static_cast<uint32_t>(offset));
	b.u32(static_cast<uint32_t>(s.infoSize)).u32(static_cast<uint32_t>(s.width)).u32(static_cast<uint32_t>(s.height));
	b.u16(1).u16(static_cast<unsigned>(s.bits)).u32(s.compression).fill(12, 0).u32(static_cast<uint32_t>(s.colorsUsed)).u32(0);
	b.fill(static_cast<size_t>(s.infoSize - 40), 0);
	for (int i = 0; i < s.paletteEntries; ++i)
		b.raw({unsigned(i * 16), unsigned(i * 16 + 1), unsigned(i * 16 + 2), 0});
	if (s.gap > 0)
		b.fill(static_cast<size_t>(s.gap), 0xEE);
	return b.append(s.rows).v;
}

TEST(BmpReader, RowsArePaddedAndStoredBottomUp)
{
	// Width 3 at 24 bits: 9 bytes of blue, green, red pixels and 3 of padding per row.
	BmpSpec s;
	s.width = 3;
	s.rows = Bytes().raw({1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0}).v;
	Image bottomUp(bmp(s), io::FILEFORMAT_BMP);
	EXPECT_EQ(gr::SurfaceFormat::R8G8B8, bottomUp.reader->format().type());
	EXPECT_EQ((std::vector<uint32_t>{0xFF0C0B0A, 0xFF0F0E0D, 0xFF121110, 0xFF030201, 0xFF060504, 0xFF090807}),
		bottomUp.pixels());

	// A negative height stores the top row first.
	s.height = -2;
	Image topDown(bmp(s), io::FILEFORMAT_BMP);
	EXPECT_EQ(2, topDown.reader->surfaceHeight());
	EXPECT_EQ((std::vector<uint32_t>{0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A, 0xFF0F0E0D, 0xFF121110}),
		topDown.pixels());
}

TEST(BmpReader, RowsWiderThanTheScratchArena)
{
	// 30000 pixels of 3 bytes: a row buffer larger than the 64 KB scratch arena.
	BmpSpec s;
	s.width = 30000;
	s.height = 1;
	s.rows.resize(90000);
	for (size_t i = 0; i < s.rows.size(); ++i)
		s.rows[i] = static_cast<uint8_t>(i / 3);
	const std::vector<uint32_t> pixels = Image(bmp(s), io::FILEFORMAT_BMP).pixels();
	ASSERT_EQ(30000u, pixels.size());
	EXPECT_EQ(0xFF000000u, pixels[0]);
	EXPECT_EQ(0xFF2F2F2Fu, pixels[29999]);
}

TEST(BmpReader, EmptyRowsWriteNothing)
{
	BmpSpec s;
	s.width = 0;
	Image image(bmp(s), io::FILEFORMAT_BMP);
	EXPECT_EQ(2, image.reader->surfaceHeight());
	EXPECT_TRUE(image.pixels().empty());
}

TEST(BmpReader, PalettedImagesKeepIndicesOrExpandThem)
{
	// 8 bits with 2 colours used: the other 254 entries are black. A gap precedes the rows.
	BmpSpec s;
	s.bits = 8;
	s.colorsUsed = 2;
	s.paletteEntries = 2;
	s.gap = 5;
	s.rows = Bytes().raw({1, 0, 0, 0, 0, 7, 0, 0}).v;
	Image expanded(bmp(s), io::FILEFORMAT_BMP);
	EXPECT_EQ(gr::SurfaceFormat::X8B8G8R8, expanded.reader->paletteFormat().type());
	EXPECT_EQ((std::vector<uint32_t>{0xFF020100, 0xFF000000, 0xFF121110, 0xFF020100}), expanded.pixels());
	Image indices(bmp(s), io::FILEFORMAT_BMP);
	EXPECT_EQ((std::vector<uint8_t>{0, 7, 1, 0}), indices.read(gr::SurfaceFormat::P8));

	// 4 bits, width 3: two bytes of pixels padded to 4, high nibble first.
	s.bits = 4;
	s.width = 3;
	s.height = 1;
	s.colorsUsed = 0;
	s.paletteEntries = 16;
	s.gap = 0;
	s.rows = Bytes().raw({0x12, 0x30, 0, 0}).v;
	Image nibbles(bmp(s), io::FILEFORMAT_BMP);
	EXPECT_EQ((std::vector<uint32_t>{0xFF121110, 0xFF222120, 0xFF323130}), nibbles.pixels());
	Image packed(bmp(s), io::FILEFORMAT_BMP);
	EXPECT_EQ((std::vector<uint8_t>{0x12, 0x30}), packed.read(gr::SurfaceFormat::P4));
}

TEST(BmpReader, OddNibbleRowsArePaddedToFourBytes)
{
	// 4 bits, width 9: 5 bytes of pixels stored in 8; the bottom row comes first.
	BmpSpec s;
	s.bits = 4;
	s.width = 9;
	s.paletteEntries = 16;
	s.rows = Bytes().raw({0x11, 0x11, 0x11, 0x11, 0x10, 0, 0, 0, 0x23, 0x45, 0x67, 0x89, 0xA0, 0, 0, 0}).v;
	Image image(bmp(s), io::FILEFORMAT_BMP);
	EXPECT_EQ((std::vector<uint8_t>{0x23, 0x45, 0x67, 0x89, 0xA0, 0x11, 0x11, 0x11, 0x11, 0x10}),
		image.read(gr::SurfaceFormat::P4));
}

TEST(BmpReader, PitchShorterThanARowIsRefusedBeforeWriting)
{
	BmpSpec s;
	s.bits = 4;
	s.width = 9;
	s.paletteEntries = 16;
	s.rows = Bytes().raw({0x11, 0x11, 0x11, 0x11, 0x10, 0, 0, 0, 0x23, 0x45, 0x67, 0x89, 0xA0, 0, 0, 0}).v;
	// A P4 row of 9 pixels takes 5 bytes; the buffer holds exactly pitch x height.
	struct Case { gr::SurfaceFormat::SurfaceFormatType format; int pitch; };
	for (const Case c : {Case{gr::SurfaceFormat::P4, 4}, Case{gr::SurfaceFormat::A8R8G8B8, 35}, Case{gr::SurfaceFormat::P4, -5}})
	{
		SCOPED_TRACE(c.pitch);
		Image image(bmp(s), io::FILEFORMAT_BMP);
		std::vector<uint8_t> out(c.pitch > 0 ? static_cast<size_t>(c.pitch) * 2 : 1, 0xEE);
		EXPECT_THROW(image.reader->readSurface(out.data(), c.pitch, 9, 2, c.format, nullptr, gr::SurfaceFormat()), io::IOException);
		EXPECT_EQ(std::vector<uint8_t>(out.size(), 0xEE), out);
	}
}

TEST(BmpReader, RefusesCorruptHeaders)
{
	struct Case
	{
		void (*change)(BmpSpec&);
		const char* message;
	};
	const Case cases[] = {
		{[](BmpSpec& s) { s.compression = 1; }, "BMP ByteArrayInputStream header corrupted, invalid compression (1)"},
		{[](BmpSpec& s) { s.infoSize = 108; }, "BMP ByteArrayInputStream header corrupted, header wrong size"},
		{[](BmpSpec& s) { s.infoSize = 52; }, "BMP ByteArrayInputStream header corrupted, invalid compression (0)"},
		{[](BmpSpec& s) { s.bits = 8; s.colorsUsed = 300; },
			"BMP ByteArrayInputStream header corrupted, invalid no of used colors (300)"},
		{[](BmpSpec& s) { s.bits = 2; }, "BMP ByteArrayInputStream header corrupted, invalid bits per pixel (2)"},
		// Pixel data offset pointing back into the colour table.
		{[](BmpSpec& s) { s.bits = 8; s.paletteEntries = 256; s.gap = -8; },
			"BMP ByteArrayInputStream header corrupted, invalid pixel data offset (1070)"},
		{[](BmpSpec& s) { s.width = 70000; }, "BMP ByteArrayInputStream header corrupted, invalid size (70000 x 2)"},
		// Rows a file of a few bytes cannot hold are refused before any surface is sized by them.
		{[](BmpSpec& s) { s.width = 65535; s.height = 65535; },
			"BMP file ByteArrayInputStream is truncated: 12884705280 bytes of pixel data expected"},
		// The colour table ends early.
		{[](BmpSpec& s) { s.bits = 8; s.paletteEntries = 100; }, "Failed to read 4 bytes from ByteArrayInputStream"},
	};
	for (const Case& c : cases)
	{
		BmpSpec spec;
		c.change(spec);
		EXPECT_EQ(c.message, openError(bmp(spec), io::FILEFORMAT_BMP));
	}
	// The file ends before the pixel data offset it names.
	BmpSpec gapped;
	gapped.gap = 3;
	std::vector<uint8_t> truncated = bmp(gapped);
	truncated.resize(truncated.size() - 3);
	EXPECT_EQ("Failed to skip 3 bytes of ByteArrayInputStream", openError(truncated, io::FILEFORMAT_BMP));
	EXPECT_EQ("BMP ByteArrayInputStream header corrupted, id invalid",
		openError(Bytes().raw({'P', 'K'}).fill(60, 0).v, io::FILEFORMAT_BMP));
}

TEST(BmpReader, OS2HeaderAndTruncatedRows)
{
	Bytes os2;
	os2.u16(0x4D42).u32(0).u32(0).u32(14 + 12).u32(12).u16(1).u16(1).u16(7).u16(16);
	EXPECT_EQ("BMP ByteArrayInputStream header corrupted, invalid bits per pixel (16)", openError(os2.v, io::FILEFORMAT_BMP));

	// An 8-bit OS/2 file has 256 entries of blue, green, red.
	Bytes os2p8;
	os2p8.u16(0x4D42).u32(0).u32(0).u32(14 + 12 + 3 * 256).u32(12).u16(2).u16(1).u16(1).u16(8);
	for (unsigned i = 0; i < 256; ++i)
		os2p8.raw({i, i / 2, i / 4});
	os2p8.raw({1, 255, 0, 0});
	EXPECT_EQ((std::vector<uint32_t>{0xFF000001, 0xFF3F7FFF}), Image(os2p8.v, io::FILEFORMAT_BMP).pixels());

	Bytes os2rgb;
	os2rgb.u16(0x4D42).u32(0).u32(0).u32(14 + 12).u32(12).u16(1).u16(1).u16(0).u16(24).raw({1, 2, 3, 0});
	Image image(os2rgb.v, io::FILEFORMAT_BMP);
	EXPECT_EQ((std::vector<uint32_t>{0xFF030201}), image.pixels());

	// Two rows of 8 bytes, of which the file holds 12.
	BmpSpec s;
	s.rows = Bytes().fill(12, 0).v;
	EXPECT_EQ("BMP file ByteArrayInputStream is truncated: 16 bytes of pixel data expected", openError(bmp(s), io::FILEFORMAT_BMP));
}

struct TgaSpec
{
	int imageType = 2;
	int colorMapType = 0;
	int firstEntry = 0;
	int mapLength = 0;
	int entryBits = 0;
	int width = 2;
	int height = 2;
	int depth = 24;
	int descriptor = 0;
	std::vector<uint8_t> body;
};

std::vector<uint8_t> tga(const TgaSpec& s)
{
	Bytes b;
	b.u8(3).u8(static_cast<unsigned>(s.colorMapType)).u8(static_cast<unsigned>(s.imageType));
	b.u16(static_cast<unsigned>(s.firstEntry)).u16(static_cast<unsigned>(s.mapLength)).u8(static_cast<unsigned>(s.entryBits));
	b.u32(0).u16(static_cast<unsigned>(s.width)).u16(static_cast<unsigned>(s.height));
	b.u8(static_cast<unsigned>(s.depth)).u8(static_cast<unsigned>(s.descriptor)).raw({'i', 'd', '!'});
	return b.append(s.body).v;
}

TEST(TgaReader, OriginSelectsRowOrder)
{
	TgaSpec s;
	s.width = 1;
	s.body = Bytes().raw({1, 2, 3, 4, 5, 6}).v;
	s.descriptor = 0x20;
	EXPECT_EQ((std::vector<uint32_t>{0xFF030201, 0xFF060504}), Image(tga(s), io::FILEFORMAT_TGA).pixels());
	s.descriptor = 0x00;
	EXPECT_EQ((std::vector<uint32_t>{0xFF060504, 0xFF030201}), Image(tga(s), io::FILEFORMAT_TGA).pixels());
}

TEST(TgaReader, RunLengthPacketsEndWithTheirRow)
{
	// Row 1: a run of 3 P, then a raw packet Q R S of which R and S are dropped. Row 2: a run
	// of 128 T cut to the row. 32-bit pixels are blue, green, red, alpha.
	TgaSpec s;
	s.imageType = 10;
	s.width = 4;
	s.depth = 32;
	s.descriptor = 0x20;
	s.body = Bytes()
				 .raw({0x82, 0x01, 0x02, 0x03, 0x80, 0x02, 0x11, 0x12, 0x13, 0x14, 0x21, 0x22, 0x23, 0x24, 0x31, 0x32, 0x33, 0x34})
				 .raw({0xFF, 0x41, 0x42, 0x43, 0x44})
				 .v;
	EXPECT_EQ((std::vector<uint32_t>{0x80030201, 0x80030201, 0x80030201, 0x14131211, 0x44434241, 0x44434241, 0x44434241,
				  0x44434241}),
		Image(tga(s), io::FILEFORMAT_TGA).pixels());
}

TEST(TgaReader, ColourMapsAndGreyImages)
{
	// 24-bit map entries blue, green, red become red, green, blue, 0 entries.
	TgaSpec s;
	s.imageType = 1;
	s.colorMapType = 1;
	s.mapLength = 2;
	s.entryBits = 24;
	s.width = 2;
	s.height = 1;
	s.depth = 8;
	s.descriptor = 0x20;
	s.body = Bytes().raw({0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 1, 0}).v;
	EXPECT_EQ((std::vector<uint32_t>{0xFF605040, 0xFF302010}), Image(tga(s), io::FILEFORMAT_TGA).pixels());

	// 16-bit map entries are 5-5-5 colours.
	s.entryBits = 16;
	s.body = Bytes().u16(0x7C00).u16(0x001F).raw({1, 0}).v;
	EXPECT_EQ((std::vector<uint32_t>{0xFF0000F8, 0xFFF80000}), Image(tga(s), io::FILEFORMAT_TGA).pixels());

	// A grey image without a map reads its bytes as grey levels.
	TgaSpec grey;
	grey.imageType = 3;
	grey.depth = 8;
	grey.height = 1;
	grey.body = {0x00, 0x9A};
	EXPECT_EQ((std::vector<uint32_t>{0xFF000000, 0xFF9A9A9A}), Image(tga(grey), io::FILEFORMAT_TGA).pixels());
}

TEST(TgaReader, RefusesBadHeaders)
{
	struct Case
	{
		void (*change)(TgaSpec&);
		const char* message;
	};
	const Case cases[] = {
		{[](TgaSpec& s) { s.depth = 15; }, "Invalid bits per pixel in ByteArrayInputStream"},
		{[](TgaSpec& s) { s.colorMapType = 2; }, "Invalid bits per pixel in ByteArrayInputStream"},
		{[](TgaSpec& s) { s.colorMapType = 1; }, "Invalid color map type in ByteArrayInputStream"},
		{[](TgaSpec& s) { s.mapLength = 4; s.entryBits = 24; s.firstEntry = 1; }, "Invalid color map length in ByteArrayInputStream"},
		{[](TgaSpec& s) { s.mapLength = 257; s.entryBits = 24; }, "Invalid color map length in ByteArrayInputStream"},
		// Entries of more than 4 bytes, and pixels of more than 4 bytes, can't be held.
		{[](TgaSpec& s) { s.mapLength = 4; s.entryBits = 40; }, "Invalid color map entry size (40 bits) in ByteArrayInputStream"},
		{[](TgaSpec& s) { s.depth = 40; }, "Invalid bits per pixel in ByteArrayInputStream"},
		{[](TgaSpec& s) { s.imageType = 10; s.depth = 0; }, "RLE Targa (ByteArrayInputStream) not supported with 4-bit images"},
		// Rows the file cannot hold; a run-length row takes at least one 5-byte packet per 128 pixels.
		{[](TgaSpec& s) { s.width = 65535; s.height = 65535; s.depth = 32; },
			"TGA file ByteArrayInputStream is truncated: 17179344900 bytes of pixel data expected"},
		{[](TgaSpec& s) { s.imageType = 10; s.width = 65535; s.height = 65535; s.depth = 32; },
			"TGA file ByteArrayInputStream is truncated: 167769600 bytes of pixel data expected"},
		{[](TgaSpec& s) { s.body.resize(11); }, "TGA file ByteArrayInputStream is truncated: 12 bytes of pixel data expected"},
	};
	for (const Case& c : cases)
	{
		TgaSpec spec;
		c.change(spec);
		EXPECT_EQ(c.message, openError(tga(spec), io::FILEFORMAT_TGA));
	}
}

TEST(ImageReader, RefusesFileFormatsWithoutReader)
{
	for (io::FileFormat format : {io::FILEFORMAT_UNKNOWN, io::FILEFORMAT_JPG, io::FILEFORMAT_WAV})
		EXPECT_EQ("Unsupported image file format while reading ByteArrayInputStream", openError({1, 2, 3}, format));
}

} // namespace
