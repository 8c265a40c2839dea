#include <img/ImageReader.h>

#include <io/InputStream.h>
#include <lang/TempBuffer.h>

#include <cstdint>
#include <cstring>

namespace img {

namespace {

// Rows of palette indices expanded per stream read on the NTX palette path.
const int PALETTE_BAND_ROWS = 16;

bool isScanlineFormat(io::FileFormat fileFormat)
{
	return fileFormat == io::FILEFORMAT_BMP || fileFormat == io::FILEFORMAT_TGA || fileFormat == io::FILEFORMAT_NTX;
}

} // namespace

ImageReader::ImageReader(io::InputStream* in, io::FileFormat fileFormat) :
	m_in(in),
	m_width(0),
	m_height(0),
	m_bitsPerPixel(0),
	m_scanlineSize(0),
	m_mipLevels(1),
	m_surfaceIndex(0),
	m_palette(),
	m_fileFormat(fileFormat),
	m_bottomUp(false),
	m_rle(false)
{
	reset(in, fileFormat);
}

void ImageReader::reset(io::InputStream* in, io::FileFormat fileFormat)
{
	m_in = in;
	m_width = 0;
	m_height = 0;
	m_bitsPerPixel = 0;
	m_scanlineSize = 0;
	m_mipLevels = 1;
	m_surfaceIndex = 0;
	m_bottomUp = false;
	m_rle = false;
	m_fileFormat = fileFormat;

	switch (fileFormat)
	{
	case io::FILEFORMAT_BMP:
		readHeader_bmp();
		break;
	case io::FILEFORMAT_TGA:
		readHeader_tga();
		break;
	case io::FILEFORMAT_PNG:
		readHeader_png();
		break;
	case io::FILEFORMAT_NTX:
		readHeader_ntx();
		break;
	case io::FILEFORMAT_PVR:
		readHeader_pvr();
		break;
	default:
		fail("Unsupported image file format while reading {0}");
	}
}

void ImageReader::readSurface(void* dst, int pitch, int width, int height, gr::SurfaceFormat dstFormat,
	const void* dstPalette, gr::SurfaceFormat dstPaletteFormat)
{
	checkPitch(pitch, width, height, dstFormat);
	if (isScanlineFormat(m_fileFormat))
		readScanlines(dst, pitch, width, height, dstFormat, dstPalette, dstPaletteFormat);
	else
		readSurfaceFromSurfaceBuffer(dst, pitch, width, height, dstFormat, dstPalette, dstPaletteFormat);
}

void ImageReader::checkPitch(int pitch, int width, int height, gr::SurfaceFormat dstFormat) const
{
	// Compressed surfaces are copied as one block, without rows.
	const int pixels = width < m_width ? width : m_width;
	if (dstFormat.isCompressed() || height <= 0 || pixels <= 0)
		return;
	const int64_t rowBytes = (static_cast<int64_t>(pixels) * dstFormat.bitsPerPixel() + 7) / 8;
	if (pitch < rowBytes)
		fail("Pitch {1} is shorter than a row of {2} bytes while reading {0}", pitch, static_cast<int>(rowBytes));
}

void ImageReader::readSurfaceFromSurfaceBuffer(void* dst, int pitch, int width, int height,
	gr::SurfaceFormat dstFormat, const void* dstPalette, gr::SurfaceFormat dstPaletteFormat)
{
	if (m_surfaceIndex >= m_surfaces.size())
		fail("No surface left to read in {0}");
	const Surface& s = m_surfaces[m_surfaceIndex];

	// Compressed data goes to the device as it is: PVRTC always (it cannot be converted), ETC1
	// when the caller wants ETC1; any other ETC1 request is decoded.
	if (m_format.isPVRTC() || (m_format == gr::SurfaceFormat::ETC1_RGB_4BPP && dstFormat == m_format))
	{
		if (dstFormat != m_format)
			fail("Can't convert {1} surface of {0} to {2}", m_format.toString(), dstFormat.toString());
		const int room = dstFormat.getMemoryUsage(width, height);
		if (room > 0)
			std::memcpy(dst, s.data.begin(), static_cast<size_t>(s.data.size() < room ? s.data.size() : room));
	}
	else
	{
		// Never read past the stored surface, whatever size the caller asks for.
		const int w = width < s.width ? width : s.width;
		const int h = height < s.height ? height : s.height;
		dstFormat.copyPixels(dst, pitch, dstPaletteFormat, dstPalette, m_format, s.data.begin(),
			m_format.getMemoryUsage(s.width, 1), m_paletteFormat, m_palette, w, h);
	}

	++m_surfaceIndex;
	if (m_surfaceIndex < m_surfaces.size())
	{
		m_width = m_surfaces[m_surfaceIndex].width;
		m_height = m_surfaces[m_surfaceIndex].height;
	}
}

bool ImageReader::readDirect(void* dst, int pitch, int width, int height, gr::SurfaceFormat dstFormat,
	gr::SurfaceFormat dstPaletteFormat)
{
	const int bytesPerPixel = m_format.bitsPerPixel() / 8;
	const int64_t total = static_cast<int64_t>(width) * height * bytesPerPixel;
	if (dstFormat != m_format || dstPaletteFormat != gr::SurfaceFormat::UNKNOWN || pitch != width * bytesPerPixel ||
		width != m_width || height != m_height || total > INT32_MAX)
		return false;
	readFully(m_in, dst, static_cast<int>(total));
	return true;
}

bool ImageReader::readExpandingPalette(void* dst, int pitch, int width, int height, gr::SurfaceFormat dstFormat)
{
	const int entryBytes = m_paletteFormat.bitsPerPixel() / 8;
	if (dstFormat != m_paletteFormat || m_format != gr::SurfaceFormat::P8 || pitch != width * entryBytes ||
		entryBytes < 1 || entryBytes > 4 || width != m_width || height != m_height)
		return false;

	lang::ByteTempBuffer indices(width * PALETTE_BAND_ROWS);
	unsigned char* out = static_cast<unsigned char*>(dst);
	for (int y = 0; y < height; y += PALETTE_BAND_ROWS)
	{
		const int rows = (height - y < PALETTE_BAND_ROWS) ? height - y : PALETTE_BAND_ROWS;
		const int count = width * rows;
		readFully(m_in, indices.data(), count);
		for (int k = 0; k < count; ++k)
		{
			std::memcpy(out, m_palette + indices.data()[k] * entryBytes, static_cast<size_t>(entryBytes));
			out += entryBytes;
		}
	}
	return true;
}

void ImageReader::readScanlines(void* dst, int pitch, int width, int height, gr::SurfaceFormat dstFormat,
	const void* dstPalette, gr::SurfaceFormat dstPaletteFormat)
{
	if (m_fileFormat == io::FILEFORMAT_NTX &&
		(readDirect(dst, pitch, width, height, dstFormat, dstPaletteFormat) ||
			readExpandingPalette(dst, pitch, width, height, dstFormat)))
		return;

	lang::ByteTempBuffer row(m_scanlineSize);
	const int pixels = width < 0 ? 0 : (width < m_width ? width : m_width);
	const int rowBytes = static_cast<int>((static_cast<int64_t>(pixels) * m_format.bitsPerPixel() + 7) / 8);
	for (int y = 0; y < m_height; ++y)
	{
		if (m_rle)
			readScanline_tgaRLE(row.data());
		else
			readFully(m_in, row.data(), m_scanlineSize);

		// Rows beyond the caller's surface are read and dropped.
		const int r = m_bottomUp ? m_height - 1 - y : y;
		if (r >= height || pixels == 0)
			continue;
		unsigned char* out = static_cast<unsigned char*>(dst) + static_cast<int64_t>(pitch) * r;
		if (dstFormat == m_format)
			std::memcpy(out, row.data(), static_cast<size_t>(rowBytes));
		else
			dstFormat.copyPixels(out, dstPaletteFormat, dstPalette, m_format, row.data(), m_paletteFormat, m_palette, pixels);
	}
}

void ImageReader::readFully(io::InputStream* in, void* data, int n)
{
	if (in->read(data, n) != n)
		lang::throwError(io::IOException(lang::Format("Failed to read {0} bytes from {1}", n, in->toString())));
}

void ImageReader::skipFully(int n)
{
	if (n < 0 || m_in->skip(n) != n)
		fail("Failed to skip {1} bytes of {0}", n);
}

void ImageReader::requirePixelData(const char* format, int64_t bytes) const
{
	if (bytes > m_in->available())
		fail("{1} file {0} is truncated: {2,#} bytes of pixel data expected", format, bytes);
}

void ImageReader::readColorMap(io::InputStream* in, int entrySize, int count, unsigned char* out)
{
	for (int i = 0; i < count; ++i)
	{
		unsigned char entry[4] = {0, 0, 0, 0};
		readFully(in, entry, entrySize);
		out[4 * i + 0] = entry[2];
		out[4 * i + 1] = entry[1];
		out[4 * i + 2] = entry[0];
		out[4 * i + 3] = entry[3];
	}
}

unsigned int ImageReader::getUInt16LE(const void* data, int offset)
{
	const unsigned char* p = static_cast<const unsigned char*>(data) + offset;
	return static_cast<unsigned int>(p[0]) | (static_cast<unsigned int>(p[1]) << 8);
}

unsigned int ImageReader::getUInt32LE(const void* data, int offset)
{
	return getUInt16LE(data, offset) | (getUInt16LE(data, offset + 2) << 16);
}

} // img
