#include <img/ImageReader.h>

#include <io/InputStream.h>
#include <lang/OutOfMemoryException.h>

#include <cstdint>
#include <cstring>

namespace img {

namespace {

const int HEADER_BYTES = 14;
const unsigned int FIRST_VERSION = 0x103;
const unsigned int LAST_VERSION = 0x104;
const unsigned int FLAG_COMPRESSED = 2;
const int MAX_PALETTE_ENTRIES = 256;
// Every word of a compressed body costs at least one code bit.
const int64_t MAX_WORDS_PER_BYTE = 8;

// Pixel and palette formats whose stored rows are whole bytes per pixel.
bool hasWholeBytePixels(gr::SurfaceFormat format)
{
	return !format.isCompressed() && format.bitsPerPixel() > 0 && format.bitsPerPixel() % 8 == 0;
}

} // namespace

void ImageReader::readHeader_ntx()
{
	unsigned char header[HEADER_BYTES];
	readFully(m_in, header, HEADER_BYTES);
	const unsigned int version = getUInt16LE(header, 0);
	if (version < FIRST_VERSION || version > LAST_VERSION)
		fail("NTX file {0} has incorrect version ({1}, expected to be from {2} to {3}", version, FIRST_VERSION, LAST_VERSION);
	const int width = static_cast<int>(getUInt16LE(header, 2));
	const int height = static_cast<int>(getUInt16LE(header, 4));
	const unsigned int formatNumber = getUInt16LE(header, 6);
	const int paletteEntries = static_cast<int>(getUInt16LE(header, 8));
	const unsigned int flags = getUInt16LE(header, 10);

	if (formatNumber >= gr::SurfaceFormat::SURFACEFORMAT_COUNT)
		fail("NTX file {0} has unknown surface format ({1})", formatNumber);
	const gr::SurfaceFormat headerFormat(static_cast<gr::SurfaceFormat::SurfaceFormatType>(formatNumber));
	const gr::SurfaceFormat pixelFormat = paletteEntries > 0 ? gr::SurfaceFormat(gr::SurfaceFormat::P8) : headerFormat;
	const int paletteEntryBytes = headerFormat.bitsPerPixel() / 8;
	if (!hasWholeBytePixels(headerFormat) || headerFormat.isPalette() ||
		(paletteEntries > 0 && (headerFormat.isFloat() || paletteEntryBytes > 4)))
		fail("NTX file {0} has unsupported surface format {1}", headerFormat.toString());
	if (paletteEntries > MAX_PALETTE_ENTRIES)
		fail("NTX file {0} has too many palette entries ({1})", paletteEntries);
	const int paletteBytes = paletteEntries * paletteEntryBytes;
	const int scanlineSize = width * (pixelFormat.bitsPerPixel() / 8);

	if (flags & FLAG_COMPRESSED)
	{
		unsigned char count[4];
		readFully(m_in, count, 4);
		const int64_t words = getUInt32LE(count, 0);
		const int compressedBytes = m_in->available();
		const int64_t bodyBytes = paletteBytes + static_cast<int64_t>(height) * scanlineSize;
		if (compressedBytes <= 0 || 2 * words < bodyBytes || words > MAX_WORDS_PER_BYTE * compressedBytes)
			fail("NTX file {0} is corrupted: {1,#} words can't hold its image", words);

		lang::Array<unsigned char> compressed;
		compressed.resize(compressedBytes);
		readFully(m_in, compressed.begin(), compressedBytes);
		lang::Array<unsigned short> expanded;
		expanded.resize(static_cast<int>(words));
		int decoded = 0;
		try
		{
			decoded = m_huffman.decompress(compressed.begin(), compressedBytes, expanded.begin(), expanded.size());
		}
		catch (const lang::OutOfMemoryException&)
		{
			throw;
		}
		catch (const lang::Exception& e)
		{
			fail("NTX file {0} is corrupted: {1}", e.getMessage().format());
		}
		if (decoded != words)
			fail("NTX file {0} is corrupted: {1,#} of {2,#} words decoded", decoded, words);

		m_memoryStream.reset(nullptr, static_cast<int>(2 * words));
		unsigned char* body = m_memoryStream.data();
		for (int i = 0; i < expanded.size(); ++i)
		{
			body[2 * i] = static_cast<unsigned char>(expanded[i]);
			body[2 * i + 1] = static_cast<unsigned char>(expanded[i] >> 8);
		}
		m_in = &m_memoryStream;
	}

	m_width = width;
	m_height = height;
	m_format = pixelFormat;
	m_paletteFormat = gr::SurfaceFormat();
	m_mipLevels = 1;
	if (paletteEntries > 0)
	{
		m_paletteFormat = headerFormat;
		std::memset(m_palette, 0, sizeof m_palette);
		readFully(m_in, m_palette, paletteBytes);
	}
	requirePixelData("NTX", static_cast<int64_t>(height) * scanlineSize);
	m_scanlineSize = scanlineSize;
}

} // img
