#include "ImageTestSupport.h"

#include <lang/Exception.h>

#include <gtest/gtest.h>

using imgtest::Bytes;
using imgtest::Image;
using imgtest::openError;

namespace {

Bytes ntxHeader(unsigned version, unsigned width, unsigned height, unsigned format, unsigned paletteEntries, unsigned flags)
{
	return Bytes().u16(version).u16(width).u16(height).u16(format).u16(paletteEntries).u16(flags).u16(0);
}

TEST(NtxReader, PlainImagesOfBothVersions)
{
	for (unsigned version : {0x103u, 0x104u})
	{
		for (unsigned flags : {0u, 1u})
		{
			const Bytes file = ntxHeader(version, 2, 2, gr::SurfaceFormat::A8R8G8B8, 0, flags).u32(0x11111111).u32(0x22222222)
				.u32(0x33333333).u32(0x44444444);
			Image direct(file.v, io::FILEFORMAT_NTX);
			EXPECT_EQ(gr::SurfaceFormat::A8R8G8B8, direct.reader->format().type());
			EXPECT_EQ((std::vector<uint32_t>{0x11111111, 0x22222222, 0x33333333, 0x44444444}), direct.pixels());
			Image converted(file.v, io::FILEFORMAT_NTX);
			EXPECT_EQ((std::vector<uint8_t>{0x82, 0x10, 0x04, 0x21, 0x86, 0x31, 0x28, 0x42}),
				converted.read(gr::SurfaceFormat::R5G6B5));
		}
	}
}

TEST(NtxReader, PalettedImageExpandsOrConverts)
{
	// 3 x 17 indices (more than one band of 16 rows) into 16 A8R8G8B8 entries.
	Bytes file = ntxHeader(0x104, 3, 17, gr::SurfaceFormat::A8R8G8B8, 16, 0);
	for (unsigned i = 0; i < 16; ++i)
		file.u32(0x80000000u | i * 0x010101u);
	std::vector<uint32_t> expected;
	for (unsigned i = 0; i < 51; ++i)
	{
		file.u8(i % 16);
		expected.push_back(0x80000000u | (i % 16) * 0x010101u);
	}
	Image expanded(file.v, io::FILEFORMAT_NTX);
	EXPECT_EQ(gr::SurfaceFormat::P8, expanded.reader->format().type());
	EXPECT_EQ(gr::SurfaceFormat::A8R8G8B8, expanded.reader->paletteFormat().type());
	EXPECT_EQ(expected, expanded.pixels());

	// A wider pitch takes the converting path; each row starts pitch bytes apart.
	Image converted(file.v, io::FILEFORMAT_NTX);
	std::vector<uint32_t> rows(4 * 17, 0);
	converted.reader->readSurface(rows.data(), 16, 3, 17, gr::SurfaceFormat::A8R8G8B8, nullptr, gr::SurfaceFormat());
	EXPECT_EQ(expected[3], rows[4]);
	EXPECT_EQ(0u, rows[3]);
	EXPECT_EQ(expected[50], rows[4 * 16 + 2]);

	Image indices(file.v, io::FILEFORMAT_NTX);
	EXPECT_EQ(std::vector<uint8_t>(file.v.end() - 51, file.v.end()), indices.read(gr::SurfaceFormat::P8));
}

TEST(NtxReader, CompressedBodyExpandsIntoMemory)
{
	// W = 2 words, coded 0x001F -> 0 and 0xF800 -> 1, bits 1 then 0.
	const std::vector<uint8_t> file = {0x04, 0x01, 0x02, 0x00, 0x01, 0x00, 0x07, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
		0x02, 0x00, 0x00, 0x00, 0x01, 0x01, 0x02, 0x00, 0x1F, 0x00, 0x00, 0xF8, 0x02, 0x00, 0x00, 0x00, 0x01};
	Image image(file, io::FILEFORMAT_NTX);
	EXPECT_EQ(gr::SurfaceFormat::R5G6B5, image.reader->format().type());
	EXPECT_EQ((std::vector<uint8_t>{0x00, 0xF8, 0x1F, 0x00}), image.read(gr::SurfaceFormat::R5G6B5));

	// Each word of the body in its own record can't decode W = 3 words from 2 bits.
	std::vector<uint8_t> tooFew = file;
	tooFew[14] = 3;
	EXPECT_EQ("NTX file ByteArrayInputStream is corrupted: 2 of 3 words decoded", openError(tooFew, io::FILEFORMAT_NTX));
	std::vector<uint8_t> broken = file;
	broken[19] = 40;
	EXPECT_EQ("NTX file ByteArrayInputStream is corrupted: Corrupt Huffman16 block: code longer than 31 bits",
		openError(broken, io::FILEFORMAT_NTX));
}

TEST(NtxReader, RefusesWhatItCannotHold)
{
	struct Case
	{
		std::vector<uint8_t> file;
		const char* message;
	};
	const Case cases[] = {
		{ntxHeader(0x102, 1, 1, 3, 0, 0).u32(0).v,
			"NTX file ByteArrayInputStream has incorrect version (258, expected to be from 259 to 260"},
		{ntxHeader(0x105, 1, 1, 3, 0, 0).u32(0).v,
			"NTX file ByteArrayInputStream has incorrect version (261, expected to be from 259 to 260"},
		{ntxHeader(0x104, 1, 1, 44, 0, 0).u32(0).v, "NTX file ByteArrayInputStream has unknown surface format (44)"},
		{ntxHeader(0x104, 4, 4, gr::SurfaceFormat::DXT1, 0, 0).fill(8, 0).v,
			"NTX file ByteArrayInputStream has unsupported surface format DXT1"},
		{ntxHeader(0x104, 2, 1, gr::SurfaceFormat::P4, 0, 0).u8(0).v,
			"NTX file ByteArrayInputStream has unsupported surface format P4"},
		// A float palette entry of 16 bytes would overrun the 1024-byte palette.
		{ntxHeader(0x104, 1, 1, gr::SurfaceFormat::A32B32G32R32F, 256, 0).fill(4097, 0).v,
			"NTX file ByteArrayInputStream has unsupported surface format A32B32G32R32F"},
		{ntxHeader(0x104, 1, 1, gr::SurfaceFormat::A8R8G8B8, 257, 0).fill(1029, 0).v,
			"NTX file ByteArrayInputStream has too many palette entries (257)"},
		// A word count far beyond what the compressed bytes can code.
		{ntxHeader(0x104, 1, 1, gr::SurfaceFormat::L8, 0, 2).u32(0x7FFFFFFF).raw({0, 0, 0, 0, 0}).v,
			"NTX file ByteArrayInputStream is corrupted: 2147483647 words can't hold its image"},
		{ntxHeader(0x104, 2, 2, gr::SurfaceFormat::L8, 0, 2).u32(1).raw({0, 0, 0, 0, 0}).v,
			"NTX file ByteArrayInputStream is corrupted: 1 words can't hold its image"},
		{ntxHeader(0x104, 2, 1, gr::SurfaceFormat::A8R8G8B8, 4, 0).u32(0).v,
			"Failed to read 16 bytes from ByteArrayInputStream"},
		// Rows a file of a few bytes cannot hold are refused before any surface is sized by them.
		{ntxHeader(0x104, 65535, 65535, gr::SurfaceFormat::L8, 0, 0).fill(16, 0).v,
			"NTX file ByteArrayInputStream is truncated: 4294836225 bytes of pixel data expected"},
	};
	for (const Case& c : cases)
		EXPECT_EQ(c.message, openError(c.file, io::FILEFORMAT_NTX));
}

Bytes pvrHeader(unsigned width, unsigned height, unsigned mipCount, unsigned flags, unsigned surfaces, unsigned headerSize = 52)
{
	return Bytes().u32(headerSize).u32(height).u32(width).u32(mipCount).u32(flags).u32(0).u32(32).u32(0).u32(0).u32(0)
		.u32(0).u32(0x21525650).u32(surfaces);
}

TEST(PvrReader, HandsOutMipChainOfTheFirstSurface)
{
	Bytes file = pvrHeader(4, 4, 2, 0x1A, 1);
	for (unsigned level : {0u, 1u, 2u})
		for (int i = 0; i < 16 >> (2 * level); ++i)
			file.u32(0xFF000000u | level);
	Image image(file.v, io::FILEFORMAT_PVR);
	EXPECT_EQ(3, image.reader->mipLevels());
	EXPECT_EQ(gr::SurfaceFormat::A8R8G8B8, image.reader->format().type());
	for (uint32_t level : {0u, 1u, 2u})
	{
		EXPECT_EQ(4 >> level, image.reader->surfaceWidth());
		EXPECT_EQ(std::vector<uint32_t>(16u >> (2 * level), 0xFF000000u | level), image.pixels());
	}
	EXPECT_EQ(1, image.reader->surfaceWidth());
	EXPECT_THROW(image.pixels(), io::IOException);

	// Each side stops at 1 on its own; later surfaces are read and kept but not handed out.
	Bytes chain = pvrHeader(8, 2, 3, 0x16, 6);
	for (int s = 0; s < 6; ++s)
		chain.fill(16, s).fill(4, s).fill(2, s).fill(1, s);
	Image six(chain.v, io::FILEFORMAT_PVR);
	EXPECT_EQ(std::vector<uint8_t>(16, 0), six.read(gr::SurfaceFormat::L8));
	six.read(gr::SurfaceFormat::L8);
	six.read(gr::SurfaceFormat::L8);
	EXPECT_EQ(1, six.reader->surfaceWidth());
	EXPECT_EQ(1, six.reader->surfaceHeight());
}

TEST(PvrReader, PitchShorterThanARowIsRefusedBeforeWriting)
{
	Bytes file = pvrHeader(4, 4, 0, 0x1A, 1);
	for (int i = 0; i < 16; ++i)
		file.u32(0xFF000000u);
	Image image(file.v, io::FILEFORMAT_PVR);
	std::vector<uint8_t> out(15 * 4, 0xEE);
	EXPECT_THROW(image.reader->readSurface(out.data(), 15, 4, 4, gr::SurfaceFormat::A8R8G8B8, nullptr, gr::SurfaceFormat()),
		io::IOException);
	EXPECT_EQ(std::vector<uint8_t>(out.size(), 0xEE), out);
}

TEST(PvrReader, PixelTypesSelectFormats)
{
	struct Case
	{
		unsigned flags;
		gr::SurfaceFormat::SurfaceFormatType format;
	};
	const Case cases[] = {
		{0x18, gr::SurfaceFormat::RGB_PVRTC_GL_2BPP},
		{0x8018, gr::SurfaceFormat::RGBA_PVRTC_GL_2BPP},
		{0x19, gr::SurfaceFormat::RGB_PVRTC_GL_4BPP},
		{0x8019, gr::SurfaceFormat::RGBA_PVRTC_GL_4BPP},
		{0x8012, gr::SurfaceFormat::A8B8G8R8},
		{0x36, gr::SurfaceFormat::ETC1_RGB_4BPP},
		{0x10, gr::SurfaceFormat::R4G4B4A4},
	};
	for (const Case& c : cases)
	{
		const Bytes file = pvrHeader(8, 8, 0, c.flags, 1).fill(256, 0x5C);
		EXPECT_EQ(c.format, Image(file.v, io::FILEFORMAT_PVR).reader->format().type()) << c.flags;
	}
	for (unsigned type : {0x14u, 0x1Bu})
	{
		try
		{
			Image(pvrHeader(8, 8, 0, type, 1).fill(256, 0).v, io::FILEFORMAT_PVR);
			FAIL() << type;
		}
		catch (const lang::Exception& e)
		{
			EXPECT_EQ("Unsupported surface format " + std::to_string(type) + " while reading PVR texture: ByteArrayInputStream",
				e.getMessage().format().c_str());
		}
	}
}

TEST(PvrReader, CompressedSurfacesAreCopiedOnlyIntoTheirOwnFormat)
{
	const Bytes pvrtc = pvrHeader(8, 8, 0, 0x19, 1).fill(32, 0x5C);
	EXPECT_EQ(std::vector<uint8_t>(32, 0x5C), Image(pvrtc.v, io::FILEFORMAT_PVR).read(gr::SurfaceFormat::RGB_PVRTC_GL_4BPP));
	Image refused(pvrtc.v, io::FILEFORMAT_PVR);
	EXPECT_THROW(refused.read(gr::SurfaceFormat::A8R8G8B8), io::IOException);

	// A red ETC1 block: copied for ETC1, decoded for anything else.
	const Bytes etc = pvrHeader(4, 4, 0, 0x36, 1).raw({0xFF, 0, 0, 0, 0, 0, 0, 0});
	EXPECT_EQ((std::vector<uint8_t>{0xFF, 0, 0, 0, 0, 0, 0, 0}), Image(etc.v, io::FILEFORMAT_PVR).read(gr::SurfaceFormat::ETC1_RGB_4BPP));
	EXPECT_EQ(std::vector<uint32_t>(16, 0xFFFF0202), Image(etc.v, io::FILEFORMAT_PVR).pixels());
}

TEST(PvrReader, RefusesMalformedHeaders)
{
	struct Case
	{
		std::vector<uint8_t> file;
		const char* message;
	};
	const Case cases[] = {
		{pvrHeader(1, 1, 0, 0x16, 1, 44).u8(0).v, "PVR file ByteArrayInputStream has an unsupported header size (44)"},
		{pvrHeader(1, 1, 0, 0x16, 1, 0x1000).u8(0).v, "PVR file ByteArrayInputStream has an unsupported header size (4096)"},
		{pvrHeader(1, 1, 0xFFFFFFFF, 0x16, 1).u8(0).v, "PVR file ByteArrayInputStream has too many mip maps (4294967295)"},
		{pvrHeader(1, 1, 0, 0x16, 0).u8(0).v, "PVR file ByteArrayInputStream has an invalid number of surfaces (0)"},
		{pvrHeader(1, 1, 0, 0x16, 100000).u8(0).v, "PVR file ByteArrayInputStream has an invalid number of surfaces (100000)"},
		{pvrHeader(0, 1, 0, 0x16, 1).u8(0).v, "PVR file ByteArrayInputStream has an invalid size (0 x 1)"},
		{pvrHeader(1, 0x80000000u, 0, 0x16, 1).u8(0).v, "PVR file ByteArrayInputStream has an invalid size (1 x 2147483648)"},
		{pvrHeader(4096, 4096, 0, 0x1A, 1).fill(100, 0).v,
			"PVR file ByteArrayInputStream is truncated: 67108864 bytes of pixel data expected"},
		{Bytes().u32(52).fill(10, 0).v, "Failed to read 48 bytes from ByteArrayInputStream"},
	};
	for (const Case& c : cases)
		EXPECT_EQ(c.message, openError(c.file, io::FILEFORMAT_PVR));
}

} // namespace
