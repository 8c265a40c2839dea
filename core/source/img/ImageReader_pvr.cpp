#include <img/ImageReader.h>

#include <io/InputStream.h>
#include <lang/Exception.h>

#include <cstdint>

namespace img {

namespace {

// The legacy header, its size field included.
const int HEADER_BYTES = 52;
const unsigned int PIXEL_TYPE_MASK = 0xFF;
const unsigned int FLAG_ALPHA = 0x8000;
// More surfaces than a cube map's six are allowed, but not without bound.
const int MAX_SURFACES = 256;
// Levels below the full size end at 1 x 1 after at most 16 halvings of MAX_DIMENSION.
const int MAX_MIP_LEVELS = 17;

bool formatOfPixelType(unsigned int pixelType, bool alpha, gr::SurfaceFormat* format)
{
	switch (pixelType)
	{
	case 0x10: *format = gr::SurfaceFormat::R4G4B4A4; return true;
	case 0x11: *format = gr::SurfaceFormat::R5G5B5A1; return true;
	case 0x12: *format = gr::SurfaceFormat::A8B8G8R8; return true;
	case 0x13: *format = gr::SurfaceFormat::R5G6B5; return true;
	case 0x15: *format = gr::SurfaceFormat::B8G8R8; return true;
	case 0x16: *format = gr::SurfaceFormat::L8; return true;
	case 0x17: *format = gr::SurfaceFormat::A8L8; return true;
	case 0x18: *format = alpha ? gr::SurfaceFormat::RGBA_PVRTC_GL_2BPP : gr::SurfaceFormat::RGB_PVRTC_GL_2BPP; return true;
	case 0x19: *format = alpha ? gr::SurfaceFormat::RGBA_PVRTC_GL_4BPP : gr::SurfaceFormat::RGB_PVRTC_GL_4BPP; return true;
	case 0x1A: *format = gr::SurfaceFormat::A8R8G8B8; return true;
	case 0x36: *format = gr::SurfaceFormat::ETC1_RGB_4BPP; return true;
	default: return false;
	}
}

int levelSize(int size, int level)
{
	const int s = size >> level;
	return s > 1 ? s : 1;
}

} // namespace

void ImageReader::readHeader_pvr()
{
	unsigned char header[HEADER_BYTES];
	readFully(m_in, header, 4);
	const unsigned int headerSize = getUInt32LE(header, 0);
	if (headerSize != HEADER_BYTES)
		fail("PVR file {0} has an unsupported header size ({1})", headerSize);
	readFully(m_in, header + 4, HEADER_BYTES - 4);

	const unsigned int height = getUInt32LE(header, 4);
	const unsigned int width = getUInt32LE(header, 8);
	const unsigned int mipCount = getUInt32LE(header, 12);
	const unsigned int flags = getUInt32LE(header, 16);
	const unsigned int bitCount = getUInt32LE(header, 24);
	const unsigned int surfaces = getUInt32LE(header, 48);

	const unsigned int pixelType = flags & PIXEL_TYPE_MASK;
	gr::SurfaceFormat format;
	if (!formatOfPixelType(pixelType, (flags & FLAG_ALPHA) != 0, &format))
		lang::throwError(lang::Exception(lang::Format("Unsupported surface format {0} while reading PVR texture: {1}",
			pixelType, m_in->toString())));
	if (width < 1 || height < 1 || width > MAX_DIMENSION || height > MAX_DIMENSION)
		fail("PVR file {0} has an invalid size ({1,#} x {2,#})", width, height);
	if (mipCount >= MAX_MIP_LEVELS)
		fail("PVR file {0} has too many mip maps ({1,#})", mipCount);
	if (surfaces < 1 || surfaces > MAX_SURFACES)
		fail("PVR file {0} has an invalid number of surfaces ({1,#})", surfaces);
	const int levels = static_cast<int>(mipCount) + 1;
	const int surfaceCount = static_cast<int>(surfaces);

	// All the texture data must be in the file before any of it is allocated.
	int64_t total = 0;
	for (int level = 0; level < levels; ++level)
		total += format.getMemoryUsage(levelSize(static_cast<int>(width), level), levelSize(static_cast<int>(height), level));
	requirePixelData("PVR", total * surfaceCount);

	m_width = static_cast<int>(width);
	m_height = static_cast<int>(height);
	m_mipLevels = levels;
	m_bitsPerPixel = static_cast<int>(bitCount);
	m_format = format;
	m_paletteFormat = gr::SurfaceFormat();

	m_surfaces.resize(surfaceCount * levels, Surface());
	for (int s = 0; s < surfaceCount; ++s)
	{
		for (int level = 0; level < levels; ++level)
		{
			Surface& surface = m_surfaces[s * levels + level];
			surface.width = levelSize(m_width, level);
			surface.height = levelSize(m_height, level);
			surface.data.resize(format.getMemoryUsage(surface.width, surface.height));
			readFully(m_in, surface.data.begin(), surface.data.size());
		}
	}
}

} // img
