#include "ImageTestSupport.h"

#include <support/MemoryPeaks.h>
#include <support/PngEncoder.h>

#include <zlib.h>

#include <gtest/gtest.h>

#include <string>

using imgtest::Image;
using imgtest::openError;
using testsupport::PngImage;
using testsupport::encodePng;

namespace {

PngImage png(int width, int colorType, int bitDepth, std::vector<uint8_t> pixels)
{
	PngImage image;
	image.width = width;
	image.height = 1;
	image.colorType = colorType;
	image.bitDepth = bitDepth;
	image.pixels = std::move(pixels);
	return image;
}

// Bytes of the signature and the header chunk, after which the other chunks begin.
const size_t HEADER_END = 33;

// A chunk of the given type and data, with its check.
std::vector<uint8_t> chunk(const char* type, const std::string& data)
{
	std::vector<uint8_t> out;
	const uint32_t length = static_cast<uint32_t>(data.size());
	for (int i = 0; i < 4; ++i)
		out.push_back(static_cast<uint8_t>(length >> (24 - 8 * i)));
	out.insert(out.end(), type, type + 4);
	out.insert(out.end(), data.begin(), data.end());
	const uLong crc = crc32(crc32(0, nullptr, 0), out.data() + 4, static_cast<uInt>(out.size() - 4));
	for (int i = 0; i < 4; ++i)
		out.push_back(static_cast<uint8_t>(crc >> (24 - 8 * i)));
	return out;
}

std::vector<png_color> greyPalette(int entries)
{
	std::vector<png_color> palette;
	for (int i = 0; i < entries; ++i)
		palette.push_back({png_byte(i * 16), png_byte(i * 16 + 1), png_byte(i * 16 + 2)});
	return palette;
}

struct ColorTypeCase
{
	const char* name;
	PngImage image;
	gr::SurfaceFormat::SurfaceFormatType format;
	std::vector<uint32_t> pixels;
};

TEST(PngReader, EachColourTypeGivesItsFormat)
{
	std::vector<ColorTypeCase> cases = {
		{"truecolour", png(2, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6}), gr::SurfaceFormat::B8G8R8, {0xFF010203, 0xFF040506}},
		{"truecolour alpha", png(1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 4}), gr::SurfaceFormat::A8B8G8R8, {0x04010203}},
		{"grey", png(2, PNG_COLOR_TYPE_GRAY, 8, {0x10, 0xF0}), gr::SurfaceFormat::L8, {0xFF101010, 0xFFF0F0F0}},
		{"grey alpha", png(1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0x10, 0x80}), gr::SurfaceFormat::A8L8, {0x80101010}},
		{"1-bit grey", png(3, PNG_COLOR_TYPE_GRAY, 1, {0xA0}), gr::SurfaceFormat::L8, {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}},
		// 16-bit channels are reduced to 8 bits.
		{"16-bit truecolour alpha", png(1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0x11, 0x11, 0x22, 0x22, 0x33, 0x33, 0xFF, 0xFF}),
			gr::SurfaceFormat::A8B8G8R8, {0xFF112233}},
		{"16-bit grey", png(1, PNG_COLOR_TYPE_GRAY, 16, {0xAB, 0xAB}), gr::SurfaceFormat::L8, {0xFFABABAB}},
		{"4-bit indexed", png(2, PNG_COLOR_TYPE_PALETTE, 4, {0x21}), gr::SurfaceFormat::B8G8R8, {0xFF202122, 0xFF101112}},
	};
	cases.back().image.palette = greyPalette(3);

	ColorTypeCase keyed{"4-bit indexed, tRNS", png(2, PNG_COLOR_TYPE_PALETTE, 4, {0x21}), gr::SurfaceFormat::A8B8G8R8,
		{0xFF202122, 0x40101112}};
	keyed.image.palette = greyPalette(3);
	keyed.image.transparency = {0xFF, 0x40};
	cases.push_back(keyed);

	// A colour key of 16-bit grey becomes alpha; of 8-bit grey it is not used.
	ColorTypeCase grey16{"16-bit grey, tRNS", png(2, PNG_COLOR_TYPE_GRAY, 16, {0x12, 0x12, 0x34, 0x34}),
		gr::SurfaceFormat::A8L8, {0x00121212, 0xFF343434}};
	grey16.image.hasColorKey = true;
	grey16.image.colorKey.gray = 0x1212;
	cases.push_back(grey16);
	ColorTypeCase grey8{"8-bit grey, tRNS", png(2, PNG_COLOR_TYPE_GRAY, 8, {0x12, 0x34}), gr::SurfaceFormat::L8,
		{0xFF121212, 0xFF343434}};
	grey8.image.hasColorKey = true;
	grey8.image.colorKey.gray = 0x12;
	cases.push_back(grey8);

	ColorTypeCase interlaced{"interlaced", png(3, PNG_COLOR_TYPE_RGB, 8, {}), gr::SurfaceFormat::B8G8R8, {}};
	interlaced.image.height = 3;
	interlaced.image.interlaced = true;
	for (int i = 0; i < 9; ++i)
	{
		interlaced.image.pixels.insert(interlaced.image.pixels.end(), {uint8_t(i), uint8_t(2 * i), uint8_t(3 * i)});
		interlaced.pixels.push_back(0xFF000000u | (i << 16) | (2 * i << 8) | (3 * i));
	}
	cases.push_back(interlaced);

	for (ColorTypeCase& c : cases)
	{
		Image image(encodePng(c.image), io::FILEFORMAT_PNG);
		EXPECT_EQ(c.format, image.reader->format().type()) << c.name;
		EXPECT_EQ(1, image.reader->mipLevels()) << c.name;
		EXPECT_EQ(c.pixels, image.pixels()) << c.name;
	}
}

TEST(PngReader, IndexedImageKeepsItsPalette)
{
	// 16 entries, the first two with the alphas of a tRNS chunk; entries past the palette are
	// opaque white.
	PngImage indexed = png(4, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 15, 200});
	indexed.palette = greyPalette(16);
	indexed.transparency = {0x00, 0x80};
	Image image(encodePng(indexed), io::FILEFORMAT_PNG);
	EXPECT_EQ(gr::SurfaceFormat::P8, image.reader->format().type());
	EXPECT_EQ(gr::SurfaceFormat::A8R8G8B8, image.reader->paletteFormat().type());
	EXPECT_EQ((std::vector<uint32_t>{0x00000102, 0x80101112, 0xFFF0F1F2, 0xFFFFFFFF}), image.pixels());

	Image indices(encodePng(indexed), io::FILEFORMAT_PNG);
	EXPECT_EQ((std::vector<uint8_t>{0, 1, 15, 200}), indices.read(gr::SurfaceFormat::P8));
	// The only surface has been handed out.
	EXPECT_THROW(indices.read(gr::SurfaceFormat::P8), io::IOException);
}

TEST(PngReader, RefusesDamagedFiles)
{
	PngImage rgb = png(16, PNG_COLOR_TYPE_RGB, 8, std::vector<uint8_t>(48, 0x5A));
	const std::vector<uint8_t> file = encodePng(rgb);

	EXPECT_EQ("png_check_sig failed while loading \"ByteArrayInputStream\". File is not png?",
		openError({'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0}, io::FILEFORMAT_PNG));
	EXPECT_EQ("png_check_sig failed while loading \"ByteArrayInputStream\". File is not png?",
		openError(std::vector<uint8_t>(file.begin(), file.begin() + 5), io::FILEFORMAT_PNG));

	// Cut anywhere after the signature: a clear error, never a partial image.
	for (size_t n = 9; n < file.size() - 12; n += 7)
	{
		const std::string message = openError(std::vector<uint8_t>(file.begin(), file.begin() + static_cast<long>(n)),
			io::FILEFORMAT_PNG);
		EXPECT_EQ(0u, message.find("Failed to decode \"ByteArrayInputStream\": ")) << n << ": " << message;
	}

	// A flipped byte in the compressed data fails its checksum.
	std::vector<uint8_t> corrupt = file;
	corrupt[corrupt.size() - 20] ^= 0x55;
	EXPECT_NE("", openError(corrupt, io::FILEFORMAT_PNG));
}

TEST(PngReader, RefusesImagesLargerThanTheirData)
{
	// The header claims 60000 x 60000 pixels; the file holds a few bytes of data.
	PngImage tiny = png(1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 4});
	std::vector<uint8_t> file = encodePng(tiny);
	const uint8_t big[8] = {0x00, 0x00, 0xEA, 0x60, 0x00, 0x00, 0xEA, 0x60};
	std::copy(big, big + 8, file.begin() + 16);
	// Fix the header chunk's checksum so that only the size is wrong.
	const uLong crc = crc32(crc32(0, nullptr, 0), file.data() + 12, 17);
	for (int i = 0; i < 4; ++i)
		file[29 + static_cast<size_t>(i)] = static_cast<uint8_t>(crc >> (24 - 8 * i));
	EXPECT_EQ("PNG \"ByteArrayInputStream\" is too large or truncated (60000 x 60000)", openError(file, io::FILEFORMAT_PNG));
}

// A chunk length is a promise of the file: one longer than the stream holds takes no memory.
TEST(PngReader, RefusesChunksLongerThanTheFileBeforeTakingTheirMemory)
{
	// 57 bytes: signature, header chunk, and a text chunk that claims a gigabyte.
	std::vector<uint8_t> file = encodePng(png(1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 4}));
	file.resize(HEADER_END);
	const uint8_t claim[8] = {0x40, 0x00, 0x00, 0x00, 'i', 'T', 'X', 't'};
	file.insert(file.end(), claim, claim + 8);
	file.insert(file.end(), 16, 'x');
	ASSERT_EQ(57u, file.size());

	const std::string message = openError(file, io::FILEFORMAT_PNG);
	EXPECT_EQ(0u, message.find("Failed to decode \"ByteArrayInputStream\": ")) << message;
	EXPECT_LT(testsupport::peakResidentMiB(), 200);
}

// Texts, compressed texts, colour profiles and unknown chunks mean nothing to the reader: an image
// that carries them reads as without them.
TEST(PngReader, SkipsChunksItHasNoUseFor)
{
	const PngImage image = png(2, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6});
	std::vector<uint8_t> file = encodePng(image);
	// A compressed text of a megabyte of spaces in a few kilobytes.
	const std::string text(1 << 20, ' ');
	std::string packed(compressBound(static_cast<uLong>(text.size())), '\0');
	uLongf packedSize = static_cast<uLongf>(packed.size());
	ASSERT_EQ(Z_OK, compress(reinterpret_cast<Bytef*>(&packed[0]), &packedSize,
		reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size())));
	packed.resize(packedSize);
	std::vector<uint8_t> extra;
	for (const auto& c : {chunk("tEXt", std::string("Comment\0made here", 17)),
			 chunk("zTXt", std::string("Comment\0\0", 9) + packed), chunk("abCd", "private data")})
		extra.insert(extra.end(), c.begin(), c.end());
	file.insert(file.begin() + HEADER_END, extra.begin(), extra.end());

	Image read(file, io::FILEFORMAT_PNG);
	EXPECT_EQ((std::vector<uint32_t>{0xFF010203, 0xFF040506}), read.pixels());
}

} // namespace
