#include <gr/VertexFormat.h>
#include <lang/Truncate.h>
#include <cstdint>
#include <cstring>

namespace gr
{

namespace
{

struct FormatInfo
{
	int dim;
	/** Bytes per component; 0 for the packed format. */
	int componentBytes;
	int size;
	bool half;
};

const FormatInfo FORMATS[VertexFormat::DF_SIZE] = {
	{0, 0, 0, false},
	{1, 4, 4, false}, {1, 2, 2, false}, {1, 1, 1, false},
	{2, 4, 8, false}, {2, 2, 4, false}, {2, 1, 2, false},
	{3, 4, 12, false}, {3, 2, 6, false}, {3, 1, 3, false},
	{4, 4, 16, false}, {4, 2, 8, false}, {4, 1, 4, false},
	{4, 0, 2, false},
	{2, 2, 4, true}, {3, 2, 6, true}, {4, 2, 8, true},
};

bool isKnown(VertexFormat::DataFormat format)
{
	return format > VertexFormat::DF_NONE && format < VertexFormat::DF_SIZE;
}

} // namespace

VertexFormat::VertexFormat() :
	m_alignEach(1)
{
	std::memset(m_formats, 0, sizeof(m_formats));
}

VertexFormat& VertexFormat::addTextureCoordinate(DataFormat format)
{
	for (int t = DT_TEX0; t <= DT_TEX3; ++t)
	{
		if (!hasData((DataType)t))
		{
			setDataFormat((DataType)t, format);
			break;
		}
	}
	return *this;
}

void VertexFormat::setDataFormat(DataType type, DataFormat format)
{
	unsigned char& byte = m_formats[type >> 1];
	if (type & 1)
		byte = (unsigned char)((byte & 0x0F) | ((format & 0xF) << 4));
	else
		byte = (unsigned char)((byte & 0xF0) | (format & 0xF));
}

VertexFormat::DataFormat VertexFormat::getDataFormat(DataType type) const
{
	unsigned char byte = m_formats[type >> 1];
	return (DataFormat)((type & 1) ? byte >> 4 : byte & 0xF);
}

int VertexFormat::vertexSize() const
{
	int size = 0;
	for (int t = 0; t < DT_SIZE; ++t)
		size += getDataSizeAligned(getDataFormat((DataType)t), m_alignEach);
	return size;
}

bool VertexFormat::operator==(const VertexFormat& other) const
{
	return std::memcmp(m_formats, other.m_formats, sizeof(m_formats)) == 0;
}

int VertexFormat::getDataSize(DataFormat format)
{
	return isKnown(format) ? FORMATS[format].size : 0;
}

int VertexFormat::getDataDim(DataFormat format)
{
	return isKnown(format) ? FORMATS[format].dim : 0;
}

int VertexFormat::getDataSizeAligned(DataFormat format, int align)
{
	return (getDataSize(format) + align - 1) & -align;
}

unsigned short VertexFormat::floatToHalf(float value)
{
	uint32_t bits;
	std::memcpy(&bits, &value, 4);
	const uint32_t sign = (bits >> 16) & 0x8000u;
	const int exponent = (int)((bits >> 23) & 0xFF);
	const uint32_t mantissa = bits & 0x7FFFFFu;

	if (exponent == 255)
	{
		uint32_t nanBits = mantissa >> 13;
		return (unsigned short)(sign | 0x7C00u | (mantissa ? (nanBits ? nanBits : 1u) : 0u));
	}
	const int e = exponent - 127;
	if (e < -25)
		return 0;
	if (e > 15)
		return (unsigned short)(sign | 0x7C00u);
	uint32_t half;
	if (e >= -14)
	{
		// Ties round away from zero; a carry out of the mantissa raises the exponent.
		half = ((uint32_t)(e + 15) << 10) | (mantissa >> 13);
		if ((mantissa & 0x1FFFu) >= 0x1000u)
			++half;
		if (half >= 0x7C00u)
			half = 0x7C00u;
	}
	else
	{
		const uint32_t full = mantissa | 0x800000u;
		const int shift = -e - 1;
		half = full >> shift;
		if ((full & ((1u << shift) - 1u)) >= (1u << (shift - 1)))
			++half;
	}
	return (unsigned short)(sign | half);
}

float VertexFormat::halfToFloat(unsigned short half)
{
	const uint32_t sign = (uint32_t)(half & 0x8000u) << 16;
	int exponent = (half >> 10) & 0x1F;
	uint32_t mantissa = half & 0x3FFu;
	uint32_t bits;
	if (exponent == 31)
		bits = sign | 0x7F800000u | (mantissa << 13);
	else if (exponent == 0)
	{
		if (mantissa == 0)
			bits = sign;
		else
		{
			exponent = 1;
			while (!(mantissa & 0x400u))
			{
				mantissa <<= 1;
				--exponent;
			}
			bits = sign | ((uint32_t)(exponent - 15 + 127) << 23) | ((mantissa & 0x3FFu) << 13);
		}
	}
	else
		bits = sign | ((uint32_t)(exponent - 15 + 127) << 23) | (mantissa << 13);
	float value;
	std::memcpy(&value, &bits, 4);
	return value;
}

void VertexFormat::getData(DataFormat format, const void* src, math::float4* out)
{
	float v[4] = {0.f, 0.f, 0.f, 0.f};
	if (format == DF_V4_5)
	{
		uint16_t word;
		std::memcpy(&word, src, 2);
		v[0] = (float)(word & 0x1F);
		v[1] = (float)((word >> 5) & 0x1F);
		v[2] = (float)((word >> 10) & 0x1F);
		v[3] = (float)(word >> 15);
	}
	else if (isKnown(format))
	{
		const FormatInfo& info = FORMATS[format];
		const unsigned char* p = static_cast<const unsigned char*>(src);
		for (int i = 0; i < info.dim; ++i)
		{
			if (info.half)
			{
				uint16_t h;
				std::memcpy(&h, p + 2 * i, 2);
				v[i] = halfToFloat(h);
			}
			else if (info.componentBytes == 4)
				std::memcpy(&v[i], p + 4 * i, 4);
			else if (info.componentBytes == 2)
			{
				int16_t s;
				std::memcpy(&s, p + 2 * i, 2);
				v[i] = (float)s;
			}
			else
				v[i] = (float)(int8_t)p[i];
		}
	}
	*out = math::float4(v[0], v[1], v[2], v[3]);
}

void VertexFormat::setData(DataFormat format, void* dst, const math::float4& value)
{
	if (format == DF_V4_5)
	{
		uint32_t word = ((uint32_t)lang::truncateTo<int32_t>(value.x) & 0x1F)
			| (((uint32_t)lang::truncateTo<int32_t>(value.y) & 0x1F) << 5)
			| (((uint32_t)lang::truncateTo<int32_t>(value.z) & 0x1F) << 10)
			| (lang::truncateTo<int32_t>(value.w) != 0 ? 0x8000u : 0u);
		uint16_t w16 = (uint16_t)word;
		std::memcpy(dst, &w16, 2);
		return;
	}
	if (!isKnown(format))
		return;
	const FormatInfo& info = FORMATS[format];
	unsigned char* p = static_cast<unsigned char*>(dst);
	for (int i = 0; i < info.dim; ++i)
	{
		if (info.half)
		{
			uint16_t h = floatToHalf(value[i]);
			std::memcpy(p + 2 * i, &h, 2);
		}
		else if (info.componentBytes == 4)
			std::memcpy(p + 4 * i, &value[i], 4);
		else if (info.componentBytes == 2)
		{
			uint16_t s = (uint16_t)lang::truncateTo<uint32_t>(value[i]);
			std::memcpy(p + 2 * i, &s, 2);
		}
		else
			p[i] = (unsigned char)lang::truncateTo<uint32_t>(value[i]);
	}
}

void VertexFormat::copyData(void* dst, int dstPitch, DataFormat dstFormat, const void* src, int srcPitch, DataFormat srcFormat, int count)
{
	if (count < 1)
		return;
	unsigned char* d = static_cast<unsigned char*>(dst);
	const unsigned char* s = static_cast<const unsigned char*>(src);
	if (dstFormat == srcFormat)
	{
		const int size = getDataSize(srcFormat);
		if (dstPitch == size && srcPitch == size)
		{
			std::memcpy(d, s, (size_t)count * size);
			return;
		}
		for (int i = 0; i < count; ++i, d += dstPitch, s += srcPitch)
			std::memcpy(d, s, size);
		return;
	}
	for (int i = 0; i < count; ++i, d += dstPitch, s += srcPitch)
	{
		math::float4 v;
		getData(srcFormat, s, &v);
		setData(dstFormat, d, v);
	}
}

} // gr
