#include <img/ImageReader.h>

#include <io/InputStream.h>

#include <cstdint>
#include <cstring>

namespace img {

namespace {

const int HEADER_BYTES = 18;
const int MAX_COLOR_MAP_LENGTH = 256;
// Image types above this one are run-length encoded.
const int LAST_PLAIN_IMAGE_TYPE = 8;
const int GREY_IMAGE_TYPE = 3;
const int GREY_RLE_IMAGE_TYPE = 11;
const unsigned char DESCRIPTOR_TOP_DOWN = 0x20;
const unsigned char DESCRIPTOR_RESERVED = 0xC0;
// Largest pixel or colour-map entry, in bytes.
const int MAX_PIXEL_BYTES = 4;
// Pixels one run-length packet covers at most; a packet never reaches into the next row.
const int MAX_PACKET_PIXELS = 128;

} // namespace

void ImageReader::readHeader_tga()
{
	unsigned char header[HEADER_BYTES];
	readFully(m_in, header, HEADER_BYTES);
	const int idLength = header[0];
	const int colorMapType = header[1];
	const int imageType = header[2];
	const unsigned int firstEntry = getUInt16LE(header, 3);
	const int colorMapLength = static_cast<int>(getUInt16LE(header, 5));
	const int entryBits = header[7];
	const int width = static_cast<int>(getUInt16LE(header, 12));
	const int height = static_cast<int>(getUInt16LE(header, 14));
	const int depth = header[16];
	const unsigned char descriptor = header[17];

	if (colorMapType > 1 || depth % 8 != 0 || (descriptor & DESCRIPTOR_RESERVED) != 0)
		fail("Invalid bits per pixel in {0}");
	const bool rle = imageType > LAST_PLAIN_IMAGE_TYPE;
	if (rle && depth < 8)
		fail("RLE Targa ({0}) not supported with 4-bit images");
	gr::SurfaceFormat format;
	gr::SurfaceFormat paletteFormat;
	switch (depth)
	{
	case 8:
		format = gr::SurfaceFormat::P8;
		paletteFormat = gr::SurfaceFormat::X8B8G8R8;
		break;
	case 16:
		format = gr::SurfaceFormat::R5G5B5;
		break;
	case 24:
		format = gr::SurfaceFormat::R8G8B8;
		break;
	case 32:
		format = gr::SurfaceFormat::A8R8G8B8;
		break;
	default:
		fail("Invalid bits per pixel in {0}");
	}
	skipFully(idLength);

	// Grey images without a colour map read their indices through a grey ramp.
	std::memset(m_palette, 0, sizeof m_palette);
	if (colorMapLength == 0)
	{
		if (colorMapType != 0)
			fail("Invalid color map type in {0}");
		if (depth == 8 && (imageType == GREY_IMAGE_TYPE || imageType == GREY_RLE_IMAGE_TYPE))
		{
			for (int i = 0; i < MAX_COLOR_MAP_LENGTH; ++i)
				std::memset(m_palette + 4 * i, i, 3);
		}
	}
	else
	{
		if (colorMapLength > MAX_COLOR_MAP_LENGTH || firstEntry != 0)
			fail("Invalid color map length in {0}");
		const int entryBytes = (entryBits + 7) / 8;
		if (entryBytes < 1 || entryBytes > MAX_PIXEL_BYTES)
			fail("Invalid color map entry size ({1} bits) in {0}", entryBits);
		if (entryBytes == 2)
		{
			// 15- and 16-bit entries are packed 5-5-5 colours, not bytes per channel.
			unsigned char packed[2 * MAX_COLOR_MAP_LENGTH];
			readFully(m_in, packed, 2 * colorMapLength);
			gr::SurfaceFormat(gr::SurfaceFormat::X8B8G8R8).copyPixels(m_palette, gr::SurfaceFormat(), nullptr,
				gr::SurfaceFormat::R5G5B5, packed, gr::SurfaceFormat(), nullptr, colorMapLength);
		}
		else
		{
			readColorMap(m_in, entryBytes, colorMapLength, m_palette);
		}
	}

	// A run-length row takes at least one packet of a header byte and one pixel per 128 pixels.
	const int pixelBytes = (depth + 7) / 8;
	const int64_t leastRowBytes = rle ? static_cast<int64_t>((width + MAX_PACKET_PIXELS - 1) / MAX_PACKET_PIXELS) * (1 + pixelBytes)
		: static_cast<int64_t>(width) * pixelBytes;
	requirePixelData("TGA", leastRowBytes * height);

	m_width = width;
	m_height = height;
	m_bitsPerPixel = depth;
	m_scanlineSize = pixelBytes * width;
	m_bottomUp = (descriptor & DESCRIPTOR_TOP_DOWN) == 0;
	m_rle = rle;
	m_format = format;
	m_paletteFormat = paletteFormat;
}

void ImageReader::readScanline_tgaRLE(unsigned char* row)
{
	const int bytes = m_bitsPerPixel / 8;
	unsigned char pixel[MAX_PIXEL_BYTES];
	int x = 0;
	while (x < m_width)
	{
		unsigned char packet;
		readFully(m_in, &packet, 1);
		const int count = (packet & 0x7F) + 1;
		if (packet & 0x80)
		{
			readFully(m_in, pixel, bytes);
			const int end = (x + count < m_width) ? x + count : m_width;
			for (; x < end; ++x)
				std::memcpy(row + x * bytes, pixel, static_cast<size_t>(bytes));
		}
		else
		{
			// A packet never carries over into the next row: pixels past the row's end are dropped.
			for (int i = 0; i < count; ++i)
			{
				readFully(m_in, pixel, bytes);
				if (x + i < m_width)
					std::memcpy(row + (x + i) * bytes, pixel, static_cast<size_t>(bytes));
			}
			x += count;
		}
	}
}

} // img
