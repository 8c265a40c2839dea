#include <img/ImageReader.h>

#include <io/InputStream.h>

#include <cstdint>
#include <cstring>

namespace img {

namespace {

const int FILE_HEADER_BYTES = 14;
const int OS2_HEADER_BYTES = 12;
const int WINDOWS_HEADER_BYTES = 40;
const int WINDOWS_V2_HEADER_BYTES = 64;
const unsigned int BMP_ID = 0x4D42;
const int MAX_COLORS = 256;

} // namespace

void ImageReader::readHeader_bmp()
{
	unsigned char fileHeader[FILE_HEADER_BYTES];
	readFully(m_in, fileHeader, FILE_HEADER_BYTES);
	if (getUInt16LE(fileHeader, 0) != BMP_ID)
		fail("BMP {0} header corrupted, id invalid");
	const int64_t dataOffset = getUInt32LE(fileHeader, 10);

	unsigned char info[WINDOWS_V2_HEADER_BYTES];
	readFully(m_in, info, 4);
	const int infoSize = static_cast<int>(getUInt32LE(info, 0));
	if (infoSize < OS2_HEADER_BYTES || infoSize > WINDOWS_V2_HEADER_BYTES)
		fail("BMP {0} header corrupted, header wrong size");
	readFully(m_in, info + 4, infoSize - 4);

	int64_t width = 0;
	int64_t height = 0;
	int bits = 0;
	int colors = 0;
	int entrySize = 0;
	bool bottomUp = true;
	if (infoSize == WINDOWS_HEADER_BYTES || infoSize == WINDOWS_V2_HEADER_BYTES)
	{
		width = static_cast<int32_t>(getUInt32LE(info, 4));
		height = static_cast<int32_t>(getUInt32LE(info, 8));
		// A negative height marks rows stored from the top down.
		if (height < 0)
		{
			height = -height;
			bottomUp = false;
		}
		const unsigned int planes = getUInt16LE(info, 12);
		bits = static_cast<int>(getUInt16LE(info, 14));
		const unsigned int compression = getUInt32LE(info, 16);
		if (bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
			fail("BMP {0} header corrupted, invalid bits per pixel ({1})", bits);
		if (planes != 1)
			fail("BMP {0} header corrupted, invalid planes ({1})", planes);
		if (compression != 0)
			fail("BMP {0} header corrupted, invalid compression ({1})", compression);
		if (bits <= 8)
		{
			const int used = static_cast<int32_t>(getUInt32LE(info, 32));
			colors = used > 0 ? used : (1 << bits);
			entrySize = 4;
		}
	}
	else if (infoSize == OS2_HEADER_BYTES)
	{
		width = getUInt16LE(info, 4);
		height = getUInt16LE(info, 6);
		bits = static_cast<int>(getUInt16LE(info, 10));
		if (bits != 8 && bits != 24)
			fail("BMP {0} header corrupted, invalid bits per pixel ({1})", bits);
		if (bits == 8)
		{
			colors = MAX_COLORS;
			entrySize = 3;
		}
	}
	else
	{
		fail("BMP {0} header corrupted, invalid compression ({1})", 0);
	}
	if (width < 0 || width > MAX_DIMENSION || height > MAX_DIMENSION)
		fail("BMP {0} header corrupted, invalid size ({1,#} x {2,#})", width, height);

	if (colors > MAX_COLORS)
		fail("BMP {0} header corrupted, invalid no of used colors ({1})", colors);
	if (colors > 0)
	{
		std::memset(m_palette, 0, sizeof m_palette);
		readColorMap(m_in, entrySize, colors, m_palette);
	}

	const int64_t gap = dataOffset - FILE_HEADER_BYTES - infoSize - static_cast<int64_t>(colors) * entrySize;
	if (gap < 0 || gap > INT32_MAX)
		fail("BMP {0} header corrupted, invalid pixel data offset ({1,#})", dataOffset);
	skipFully(static_cast<int>(gap));
	// Rows are padded to a multiple of 4 bytes.
	const int scanlineSize = ((static_cast<int>(width) * bits + 7) / 8 + 3) & ~3;
	requirePixelData("BMP", scanlineSize * height);

	m_width = static_cast<int>(width);
	m_height = static_cast<int>(height);
	m_bitsPerPixel = bits;
	m_bottomUp = bottomUp;
	m_scanlineSize = scanlineSize;
	m_paletteFormat = gr::SurfaceFormat::UNKNOWN;
	switch (bits)
	{
	case 4:
		m_format = gr::SurfaceFormat::P4;
		m_paletteFormat = gr::SurfaceFormat::X8B8G8R8;
		break;
	case 8:
		m_format = gr::SurfaceFormat::P8;
		m_paletteFormat = gr::SurfaceFormat::X8B8G8R8;
		break;
	case 16:
		m_format = gr::SurfaceFormat::R5G5B5;
		break;
	case 24:
		m_format = gr::SurfaceFormat::R8G8B8;
		break;
	default:
		m_format = gr::SurfaceFormat::X8R8G8B8;
		break;
	}
}

} // img
