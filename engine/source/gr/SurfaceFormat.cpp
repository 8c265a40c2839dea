#include <gr/SurfaceFormat.h>

#include <lang/Truncate.h>
#include <climits>
#include <cstdint>
#include <cstring>

namespace gr {

namespace {

// One row per format in value order: {type, bits per pixel, R, G, B, A mask}. Masks apply to a
// pixel read as a little-endian integer of the format's bytes; 0 means the channel is absent.
const uint32_t FORMATDESC[SurfaceFormat::SURFACEFORMAT_COUNT][6] = {
	{SurfaceFormat::UNKNOWN, 0, 0, 0, 0, 0},
	{SurfaceFormat::R8G8B8, 24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0},
	{SurfaceFormat::B8G8R8, 24, 0x000000FF, 0x0000FF00, 0x00FF0000, 0},
	{SurfaceFormat::A8R8G8B8, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
	{SurfaceFormat::X8R8G8B8, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0},
	{SurfaceFormat::X8B8G8R8, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0},
	{SurfaceFormat::A8B8G8R8, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
	{SurfaceFormat::R5G6B5, 16, 0x0000F800, 0x000007E0, 0x0000001F, 0},
	{SurfaceFormat::R5G5B5, 16, 0x00007C00, 0x000003E0, 0x0000001F, 0},
	{SurfaceFormat::R6G6B6, 32, 0x0003F000, 0x00000FC0, 0x0000003F, 0},
	{SurfaceFormat::P4, 4, 0, 0, 0, 0},
	{SurfaceFormat::P8, 8, 0, 0, 0, 0},
	{SurfaceFormat::L8, 8, 0x000000FF, 0x000000FF, 0x000000FF, 0},
	{SurfaceFormat::A8L8, 16, 0x000000FF, 0x000000FF, 0x000000FF, 0x0000FF00},
	{SurfaceFormat::A1R5G5B5, 16, 0x00007C00, 0x000003E0, 0x0000001F, 0x00008000},
	{SurfaceFormat::X4R4G4B4, 16, 0x00000F00, 0x000000F0, 0x0000000F, 0},
	{SurfaceFormat::A4R4G4B4, 16, 0x00000F00, 0x000000F0, 0x0000000F, 0x0000F000},
	{SurfaceFormat::A4B4G4R4, 16, 0x0000000F, 0x000000F0, 0x00000F00, 0x0000F000},
	{SurfaceFormat::R4G4B4A4, 16, 0x0000F000, 0x00000F00, 0x000000F0, 0x0000000F},
	{SurfaceFormat::A1B5G5R5, 16, 0x0000001F, 0x000003E0, 0x00007C00, 0x00008000},
	{SurfaceFormat::R5G5B5A1, 16, 0x0000F800, 0x000007C0, 0x0000003E, 0x00000001},
	{SurfaceFormat::R3G3B2, 8, 0x000000E0, 0x0000001C, 0x00000003, 0},
	{SurfaceFormat::R3G2B3, 8, 0x000000E0, 0x00000018, 0x00000007, 0},
	{SurfaceFormat::A8, 8, 0, 0, 0, 0x000000FF},
	{SurfaceFormat::A8R3G3B2, 16, 0x000000E0, 0x0000001C, 0x00000003, 0x0000FF00},
	{SurfaceFormat::A8R3G2B3, 16, 0x000000E0, 0x00000018, 0x00000007, 0x0000FF00},
	{SurfaceFormat::DXT1, 0, 0, 0, 0, 0},
	{SurfaceFormat::DXT3, 0, 0, 0, 0, 0},
	{SurfaceFormat::DXT5, 0, 0, 0, 0, 0},
	{SurfaceFormat::RGB_PVRTC_GL_2BPP, 2, 0, 0, 0, 0},
	{SurfaceFormat::RGBA_PVRTC_GL_2BPP, 2, 0, 0, 0, 0},
	{SurfaceFormat::RGB_PVRTC_GL_4BPP, 4, 0, 0, 0, 0},
	{SurfaceFormat::RGBA_PVRTC_GL_4BPP, 4, 0, 0, 0, 0},
	{SurfaceFormat::ETC1_RGB_4BPP, 4, 0, 0, 0, 0},
	{SurfaceFormat::R16F, 16, 0, 0, 0, 0},
	{SurfaceFormat::G16R16F, 32, 0, 0, 0, 0},
	{SurfaceFormat::A16B16G16R16F, 64, 0, 0, 0, 0},
	{SurfaceFormat::R32F, 32, 0, 0, 0, 0},
	{SurfaceFormat::G32R32F, 64, 0, 0, 0, 0},
	{SurfaceFormat::A32B32G32R32F, 128, 0, 0, 0, 0},
	{SurfaceFormat::D32, 32, 0, 0, 0, 0},
	{SurfaceFormat::D24, 24, 0, 0, 0, 0},
	{SurfaceFormat::D16, 16, 0, 0, 0, 0},
	{SurfaceFormat::D24S8, 32, 0, 0, 0, 0},
};

const char* const FORMAT_NAMES[SurfaceFormat::SURFACEFORMAT_COUNT] = {
	"UNKNOWN", "R8G8B8", "B8G8R8", "A8R8G8B8", "X8R8G8B8", "X8B8G8R8", "A8B8G8R8", "R5G6B5", "R5G5B5",
	"R6G6B6", "P4", "P8", "L8", "A8L8", "A1R5G5B5", "X4R4G4B4", "A4R4G4B4", "A4B4G4R4", "R4G4B4A4",
	"A1B5G5R5", "R5G5B5A1", "R3G3B2", "R3G2B3", "A8", "A8R3G3B2", "A8R3G2B3", "DXT1", "DXT3", "DXT5",
	"RGB_PVRTC_GL_2BPP", "RGBA_PVRTC_GL_2BPP", "RGB_PVRTC_GL_4BPP", "RGBA_PVRTC_GL_4BPP", "ETC1_RGB_4BPP",
	"R16F", "G16R16F", "A16B16G16R16F", "R32F", "G32R32F", "A32B32G32R32F", "D32", "D24", "D16", "D24S8",
};

// Float formats: {type, bits per channel, element index of R, G, B, A}; -1 = channel absent.
const int HDR_INFO[6][6] = {
	{SurfaceFormat::R16F, 16, 0, -1, -1, -1},
	{SurfaceFormat::G16R16F, 16, 0, 1, -1, -1},
	{SurfaceFormat::A16B16G16R16F, 16, 0, 1, 2, 3},
	{SurfaceFormat::R32F, 32, 0, -1, -1, -1},
	{SurfaceFormat::G32R32F, 32, 0, 1, -1, -1},
	{SurfaceFormat::A32B32G32R32F, 32, 0, 1, 2, 3},
};

// ETC1 intensity modifiers per table codeword, as {a, b, -a, -b}: indexed by 2 * msb + lsb.
const int kModifierTable[8][4] = {
	{2, 8, -2, -8}, {5, 17, -5, -17}, {9, 29, -9, -29}, {13, 42, -13, -42},
	{18, 60, -18, -60}, {24, 80, -24, -80}, {33, 106, -33, -106}, {47, 183, -47, -183},
};

// ETC1 differential mode: 3-bit two's-complement deltas.
const int kLookup[8] = {0, 1, 2, 3, -4, -3, -2, -1};

// Pixels of a compressed rectangle are decoded this many at a time into a scratch row; a multiple
// of 2 so that a P4 destination always restarts on a whole byte.
const int DECODE_CHUNK = 64;

struct DXTColBlock
{
	uint16_t col0;
	uint16_t col1;
	uint8_t row[4];
};

const uint32_t* descOf(SurfaceFormat::SurfaceFormatType type)
{
	const int t = static_cast<int>(type);
	return FORMATDESC[(t >= 0 && t < SurfaceFormat::SURFACEFORMAT_COUNT) ? t : 0];
}

const int* hdrInfoOf(SurfaceFormat::SurfaceFormatType type)
{
	return HDR_INFO[type - SurfaceFormat::R16F];
}

uint32_t readLE(const uint8_t* p, int bytes)
{
	uint32_t v = 0;
	for (int i = bytes - 1; i >= 0; --i)
		v = (v << 8) | p[i];
	return v;
}

void writeLE(uint8_t* p, uint32_t v, int bytes)
{
	for (int i = 0; i < bytes; ++i)
		p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Bytes in which a masked pixel value is stored, by bits per pixel.
int valueBytes(int bitsPerPixel)
{
	switch (bitsPerPixel)
	{
	case 32: return 4;
	case 24: return 3;
	case 16: return 2;
	default: return 1;
	}
}

float halfToFloat(uint16_t h)
{
	const uint32_t sign = static_cast<uint32_t>(h & 0x8000u) << 16;
	const uint32_t exponent = (h >> 10) & 0x1Fu;
	const uint32_t mantissa = h & 0x3FFu;
	uint32_t bits;
	if (exponent == 0)
	{
		// Zero or subnormal: mantissa x 2^-24 is exact in single precision.
		float magnitude = static_cast<float>(mantissa) * (1.0f / 16777216.0f);
		return sign ? -magnitude : magnitude;
	}
	if (exponent == 31)
		bits = sign | 0x7F800000u | (mantissa << 13);
	else
		bits = sign | ((exponent + 112) << 23) | (mantissa << 13);
	float f;
	std::memcpy(&f, &bits, sizeof f);
	return f;
}

// Rounds half away from zero; a NaN stays a NaN.
uint16_t floatToHalf(float f)
{
	uint32_t x;
	std::memcpy(&x, &f, sizeof x);
	const uint32_t sign = (x >> 16) & 0x8000u;
	const int singleExponent = static_cast<int>((x >> 23) & 0xFFu);
	int e = singleExponent - 112;
	uint32_t mantissa = x & 0x7FFFFFu;
	if (e <= 0)
	{
		if (e < -10)
			return 0;
		uint32_t m = (mantissa | 0x800000u) >> (1 - e);
		if (m & 0x1000u)
			m += 0x2000u;
		return static_cast<uint16_t>(sign | (m >> 13));
	}
	if (singleExponent == 255)
	{
		if (mantissa == 0)
			return static_cast<uint16_t>(sign | 0x7C00u);
		uint32_t m = mantissa >> 13;
		return static_cast<uint16_t>(sign | 0x7C00u | m | (m == 0 ? 1u : 0u));
	}
	if (x & 0x1000u)
	{
		if (mantissa >= 0x7FE000u)
		{
			mantissa = 0;
			++e;
		}
		else
		{
			mantissa += 0x2000u;
		}
	}
	if (e >= 31)
		return static_cast<uint16_t>(sign | 0x7C00u);
	return static_cast<uint16_t>(sign | (static_cast<uint32_t>(e) << 10) | (mantissa >> 13));
}

// 0..1 into 0..255, truncated; NaN counts as 0.
int floatToByte(float f)
{
	return lang::truncateToRange(f * 255.0f, 0, 255);
}

// Bit layout of a masked colour format, channels R, G, B, A.
struct MaskLayout
{
	uint32_t mask[4];
	int shift[4];
	int width[4];
	int bytes;

	explicit MaskLayout(SurfaceFormat format)
	{
		const uint32_t* desc = descOf(format.type());
		bytes = valueBytes(static_cast<int>(desc[1]));
		for (int c = 0; c < 4; ++c)
		{
			mask[c] = desc[2 + c];
			shift[c] = 32;
			width[c] = 0;
			for (int bit = 0; bit < 32; ++bit)
			{
				if (mask[c] & (1u << bit))
				{
					if (shift[c] == 32)
						shift[c] = bit;
					++width[c];
				}
			}
		}
	}

	// An 8-bit channel value, shifted up without replicating bits; 0 when absent.
	int channel(uint32_t value, int c) const
	{
		if (width[c] == 0)
			return 0;
		return static_cast<int>(((value & mask[c]) >> shift[c]) << (8 - width[c]));
	}
};

// One pixel between reading and writing: 8-bit channels from a masked source, float channels from
// a float source.
struct Color
{
	bool isFloat;
	int c8[4];
	bool present[4];
	float f[4];
};

class PixelSource
{
public:
	PixelSource(const SurfaceFormat& format, const SurfaceFormat& paletteFormat, const void* palette) :
		m_format(format),
		m_palette(format.isPalette() ? static_cast<const uint8_t*>(palette) : nullptr),
		m_layout(m_palette ? paletteFormat : format),
		m_entryBytes(paletteFormat.bitsPerPixel() / 8)
	{
	}

	void read(const uint8_t* src, int bitPosition, Color* color) const
	{
		color->isFloat = m_format.isFloat();
		if (color->isFloat)
		{
			const int* info = hdrInfoOf(m_format.type());
			for (int c = 0; c < 4; ++c)
			{
				const int element = info[2 + c];
				if (element < 0)
					color->f[c] = (c == 3) ? 1.0f : 0.0f;
				else if (info[1] == 16)
					color->f[c] = halfToFloat(static_cast<uint16_t>(readLE(src + 2 * element, 2)));
				else
				{
					const uint32_t bits = readLE(src + 4 * element, 4);
					std::memcpy(&color->f[c], &bits, sizeof bits);
				}
			}
			return;
		}
		const uint8_t* at = src;
		if (m_palette)
		{
			const int index = (m_format.type() == SurfaceFormat::P4) ? ((src[0] >> (4 - bitPosition)) & 15) : src[0];
			at = m_palette + index * m_entryBytes;
		}
		const uint32_t value = readLE(at, m_layout.bytes);
		for (int c = 0; c < 4; ++c)
		{
			color->c8[c] = m_layout.channel(value, c);
			color->present[c] = m_layout.width[c] != 0;
		}
	}

private:
	SurfaceFormat m_format;
	const uint8_t* m_palette;
	MaskLayout m_layout;
	int m_entryBytes;
};

class PixelSink
{
public:
	PixelSink(const SurfaceFormat& format, const SurfaceFormat& paletteFormat, const void* palette) :
		m_format(format),
		m_palette(format.isPalette() ? static_cast<const uint8_t*>(palette) : nullptr),
		m_layout(m_palette ? paletteFormat : format),
		m_entryBytes(paletteFormat.bitsPerPixel() / 8),
		m_entries(format.type() == SurfaceFormat::P4 ? 16 : 256),
		m_bits(format.bitsPerPixel())
	{
	}

	void write(uint8_t* dst, int bitPosition, Color* color) const
	{
		if (m_format.isFloat())
		{
			writeFloat(dst, color);
			return;
		}
		if (color->isFloat)
		{
			for (int c = 0; c < 4; ++c)
			{
				color->c8[c] = floatToByte(color->f[c]);
				color->present[c] = true;
			}
		}
		const uint32_t value = m_palette ? nearestEntry(color->c8) : compose(*color);
		switch (m_bits)
		{
		case 4:
			dst[0] = static_cast<uint8_t>((dst[0] & ~(0x0F << bitPosition)) | ((value & 0x0F) << bitPosition));
			break;
		case 8:
		case 16:
		case 24:
		case 32:
			writeLE(dst, value, m_bits / 8);
			break;
		default:
			break;
		}
	}

private:
	SurfaceFormat m_format;
	const uint8_t* m_palette;
	MaskLayout m_layout;
	int m_entryBytes;
	int m_entries;
	int m_bits;

	void writeFloat(uint8_t* dst, const Color* color) const
	{
		const int* info = hdrInfoOf(m_format.type());
		for (int c = 0; c < 4; ++c)
		{
			const int element = info[2 + c];
			if (element < 0)
				continue;
			const float f = color->isFloat ? color->f[c] : static_cast<float>(color->c8[c]) * (1.0f / 255.0f);
			if (info[1] == 16)
				writeLE(dst + 2 * element, floatToHalf(f), 2);
			else
			{
				uint32_t bits;
				std::memcpy(&bits, &f, sizeof bits);
				writeLE(dst + 4 * element, bits, 4);
			}
		}
	}

	// Bits that no destination mask covers stay set; a channel the source lacks is filled.
	uint32_t compose(const Color& color) const
	{
		uint32_t value = 0xFFFFFFFFu;
		for (int c = 0; c < 4; ++c)
		{
			const int width = m_layout.width[c];
			if (width == 0)
				continue;
			if (!color.present[c])
			{
				value |= m_layout.mask[c];
				continue;
			}
			value &= ~m_layout.mask[c];
			value |= (static_cast<uint32_t>(color.c8[c]) >> (8 - width)) << m_layout.shift[c];
		}
		return value;
	}

	// Index of the first palette entry nearest by squared channel distance.
	uint32_t nearestEntry(const int* c8) const
	{
		int best = 1 << 30;
		uint32_t bestIndex = 0;
		for (int i = 0; i < m_entries; ++i)
		{
			const uint32_t value = readLE(m_palette + i * m_entryBytes, m_layout.bytes);
			int distance = 0;
			for (int c = 0; c < 4; ++c)
			{
				const int d = m_layout.channel(value, c) - c8[c];
				distance += d * d;
			}
			if (distance < best)
			{
				best = distance;
				bestIndex = static_cast<uint32_t>(i);
				if (distance == 0)
					break;
			}
		}
		return bestIndex;
	}
};

uint32_t expand565(uint16_t c)
{
	const uint32_t r = ((c >> 11) & 31u) * 255u / 31u;
	const uint32_t g = ((c >> 5) & 63u) * 255u / 63u;
	const uint32_t b = (c & 31u) * 255u / 31u;
	return 0xFF000000u | (r << 16) | (g << 8) | b;
}

uint32_t channelOf(uint32_t argb, int shift)
{
	return (argb >> shift) & 0xFFu;
}

// The four colours a DXT colour block's 2-bit indices select, as A8R8G8B8.
void getBlockColorsA8R8G8B8(const DXTColBlock* block, unsigned int* colors)
{
	colors[0] = expand565(block->col0);
	colors[1] = expand565(block->col1);
	uint32_t c2 = 0xFF000000u;
	uint32_t c3 = 0xFF000000u;
	for (int shift = 0; shift <= 16; shift += 8)
	{
		const uint32_t a = channelOf(colors[0], shift);
		const uint32_t b = channelOf(colors[1], shift);
		if (block->col0 > block->col1)
		{
			c2 |= ((2 * a + b + 1) / 3) << shift;
			c3 |= ((a + 2 * b + 1) / 3) << shift;
		}
		else
		{
			c2 |= ((a + b) / 2) << shift;
		}
	}
	colors[2] = c2;
	colors[3] = block->col0 > block->col1 ? c3 : 0u;
}

DXTColBlock colorBlockAt(const uint8_t* p)
{
	DXTColBlock block;
	block.col0 = static_cast<uint16_t>(readLE(p, 2));
	block.col1 = static_cast<uint16_t>(readLE(p + 2, 2));
	std::memcpy(block.row, p + 4, 4);
	return block;
}

// Decodes pixels x0 .. x0 + count - 1 of image row y from a DXT block row into A8R8G8B8 values.
void decodeDXTRow(SurfaceFormat::SurfaceFormatType type, const uint8_t* blockRow, int x0, int count, int y, uint32_t* out)
{
	const int blockBytes = (type == SurfaceFormat::DXT1) ? 8 : 16;
	const int by = y & 3;
	unsigned int colors[4];
	uint32_t alphas[8];
	int decodedBlock = -1;
	for (int i = 0; i < count; ++i)
	{
		const int x = x0 + i;
		const int bx = x & 3;
		const uint8_t* block = blockRow + (x >> 2) * blockBytes;
		const uint8_t* colorPart = (type == SurfaceFormat::DXT1) ? block : block + 8;
		const DXTColBlock colorBlock = colorBlockAt(colorPart);
		if (decodedBlock != (x >> 2))
		{
			decodedBlock = x >> 2;
			getBlockColorsA8R8G8B8(&colorBlock, colors);
			if (type == SurfaceFormat::DXT5)
			{
				const uint32_t a0 = block[0];
				const uint32_t a1 = block[1];
				alphas[0] = a0;
				alphas[1] = a1;
				if (a0 > a1)
				{
					for (uint32_t k = 1; k <= 6; ++k)
						alphas[k + 1] = ((7 - k) * a0 + k * a1 + 3) / 7;
				}
				else
				{
					for (uint32_t k = 1; k <= 4; ++k)
						alphas[k + 1] = ((5 - k) * a0 + k * a1 + 2) / 5;
					alphas[6] = 0;
					alphas[7] = 255;
				}
			}
		}
		const uint32_t color = colors[(colorBlock.row[by] >> (2 * bx)) & 3];
		if (type == SurfaceFormat::DXT1)
		{
			out[i] = color;
		}
		else if (type == SurfaceFormat::DXT3)
		{
			const uint32_t nibble = (readLE(block + 2 * by, 2) >> (4 * bx)) & 15u;
			out[i] = ((nibble * 17u) << 24) + (color & 0x00FFFFFFu);
		}
		else
		{
			uint64_t indexBits = 0;
			for (int k = 5; k >= 0; --k)
				indexBits = (indexBits << 8) | block[2 + k];
			const uint32_t index = static_cast<uint32_t>(indexBits >> (3 * (4 * by + bx))) & 7u;
			out[i] = (alphas[index] << 24) + (color & 0x00FFFFFFu);
		}
	}
}

int clampByte(int v)
{
	return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// One pixel of an ETC1 block (the 64-bit word is big-endian) as A8R8G8B8.
uint32_t decodeETC1Pixel(const uint8_t* blockBytes, int x, int y)
{
	uint64_t word = 0;
	for (int i = 0; i < 8; ++i)
		word = (word << 8) | blockBytes[i];
	const bool differential = (word >> 33) & 1u;
	const bool flip = (word >> 32) & 1u;
	const bool second = flip ? (y >= 2) : (x >= 2);
	int base[3];
	for (int c = 0; c < 3; ++c)
	{
		const int top = 63 - 8 * c;
		if (differential)
		{
			int value = static_cast<int>((word >> (top - 4)) & 31u);
			if (second)
				value = (value + kLookup[(word >> (top - 7)) & 7u]) & 31;
			base[c] = (value << 3) | (value >> 2);
		}
		else
		{
			const int value = static_cast<int>((word >> (second ? top - 7 : top - 3)) & 15u);
			base[c] = value * 17;
		}
	}
	const int codeword = static_cast<int>((word >> (second ? 34 : 37)) & 7u);
	const int k = 4 * x + y;
	const int lsb = static_cast<int>((word >> k) & 1u);
	const int msb = static_cast<int>((word >> (k + 16)) & 1u);
	const int modifier = kModifierTable[codeword][2 * msb + lsb];
	return 0xFF000000u | (static_cast<uint32_t>(clampByte(base[0] + modifier)) << 16) |
		(static_cast<uint32_t>(clampByte(base[1] + modifier)) << 8) | static_cast<uint32_t>(clampByte(base[2] + modifier));
}

} // namespace

int SurfaceFormat::bitsPerPixel() const
{
	return static_cast<int>(descOf(m_type)[1]);
}

bool SurfaceFormat::hasAlpha() const
{
	switch (m_type)
	{
	case DXT1:
	case DXT3:
	case DXT5:
	case RGBA_PVRTC_GL_2BPP:
	case RGBA_PVRTC_GL_4BPP:
		return true;
	default:
		return descOf(m_type)[5] != 0;
	}
}

bool SurfaceFormat::isCompressed() const
{
	return m_type >= DXT1 && m_type <= ETC1_RGB_4BPP;
}

bool SurfaceFormat::isPVRTC() const
{
	return m_type >= RGB_PVRTC_GL_2BPP && m_type <= RGBA_PVRTC_GL_4BPP;
}

bool SurfaceFormat::isFloat() const
{
	return m_type >= R16F && m_type <= A32B32G32R32F;
}

bool SurfaceFormat::isPalette() const
{
	return m_type == P4 || m_type == P8;
}

const char* SurfaceFormat::toString() const
{
	const int t = static_cast<int>(m_type);
	return FORMAT_NAMES[(t >= 0 && t < SURFACEFORMAT_COUNT) ? t : 0];
}

int SurfaceFormat::getMemoryUsage(int width, int height) const
{
	const int64_t w = width > 0 ? width : 0;
	const int64_t h = height > 0 ? height : 0;
	const int64_t blocks = ((w + 3) / 4) * ((h + 3) / 4);
	int64_t bytes;
	switch (m_type)
	{
	case DXT1:
	case ETC1_RGB_4BPP:
		bytes = blocks * 8;
		break;
	case DXT3:
	case DXT5:
		bytes = blocks * 16;
		break;
	case RGB_PVRTC_GL_2BPP:
	case RGBA_PVRTC_GL_2BPP:
		bytes = (w > 16 ? w : 16) * (h > 8 ? h : 8) * 2 / 8;
		break;
	case RGB_PVRTC_GL_4BPP:
	case RGBA_PVRTC_GL_4BPP:
		bytes = (w > 8 ? w : 8) * (h > 8 ? h : 8) * 4 / 8;
		break;
	default:
		// Rows of sub-byte pixels (P4) end on a whole byte.
		bytes = h * ((bitsPerPixel() * w + 7) / 8);
		break;
	}
	return bytes > INT_MAX ? INT_MAX : static_cast<int>(bytes);
}

void SurfaceFormat::copyPixels(void* dst, const SurfaceFormat& dstPaletteFormat, const void* dstPalette,
	const SurfaceFormat& srcFormat, const void* src, const SurfaceFormat& srcPaletteFormat, const void* srcPalette,
	int pixels) const
{
	if (pixels <= 0)
		return;
	if (m_type == srcFormat.m_type)
	{
		std::memcpy(dst, src, static_cast<size_t>((static_cast<int64_t>(bitsPerPixel()) * pixels + 7) / 8));
		return;
	}
	if (isCompressed() || srcFormat.isCompressed())
		return;

	const PixelSource source(srcFormat, srcPaletteFormat, srcPalette);
	const PixelSink sink(*this, dstPaletteFormat, dstPalette);
	const int srcBits = srcFormat.bitsPerPixel();
	const int dstBits = bitsPerPixel();
	const uint8_t* s = static_cast<const uint8_t*>(src);
	uint8_t* d = static_cast<uint8_t*>(dst);
	int srcBit = 0;
	int dstBit = 0;
	Color color;
	for (int i = 0; i < pixels; ++i)
	{
		source.read(s, srcBit, &color);
		sink.write(d, dstBit, &color);
		srcBit += srcBits;
		s += srcBit >> 3;
		srcBit &= 7;
		dstBit += dstBits;
		d += dstBit >> 3;
		dstBit &= 7;
	}
}

void SurfaceFormat::copyPixels(void* dst, int dstPitch, const SurfaceFormat& dstPaletteFormat, const void* dstPalette,
	const SurfaceFormat& srcFormat, const void* src, int srcPitch, const SurfaceFormat& srcPaletteFormat,
	const void* srcPalette, int width, int height) const
{
	uint8_t* dstRow = static_cast<uint8_t*>(dst);
	const uint8_t* srcBytes = static_cast<const uint8_t*>(src);
	if (!srcFormat.isCompressed())
	{
		for (int y = 0; y < height; ++y)
		{
			copyPixels(dstRow, dstPaletteFormat, dstPalette, srcFormat, srcBytes, srcPaletteFormat, srcPalette, width);
			dstRow += dstPitch;
			srcBytes += srcPitch;
		}
		return;
	}
	if (srcFormat.isPVRTC())
		return;

	const SurfaceFormat decoded(A8R8G8B8);
	const SurfaceFormat noPalette;
	const int etcBlocksPerRow = (width + 3) / 4;
	uint32_t pixels[DECODE_CHUNK];
	uint8_t bytes[DECODE_CHUNK * 4];
	for (int y = 0; y < height; ++y)
	{
		for (int x0 = 0; x0 < width; x0 += DECODE_CHUNK)
		{
			const int count = (width - x0 < DECODE_CHUNK) ? width - x0 : DECODE_CHUNK;
			if (srcFormat.m_type == ETC1_RGB_4BPP)
			{
				for (int i = 0; i < count; ++i)
				{
					const int x = x0 + i;
					const uint8_t* block = srcBytes + (static_cast<int64_t>(y / 4) * etcBlocksPerRow + x / 4) * 8;
					pixels[i] = decodeETC1Pixel(block, x & 3, y & 3);
				}
			}
			else
			{
				decodeDXTRow(srcFormat.m_type, srcBytes + static_cast<int64_t>(srcPitch) * (y / 4), x0, count, y, pixels);
			}
			for (int i = 0; i < count; ++i)
				writeLE(bytes + 4 * i, pixels[i], 4);
			copyPixels(dstRow + static_cast<int64_t>(x0) * bitsPerPixel() / 8, dstPaletteFormat, dstPalette,
				decoded, bytes, noPalette, nullptr, count);
		}
		dstRow += dstPitch;
	}
}

} // gr
