#include <lang/UTFConverter.h>

namespace lang {

namespace {

constexpr bool HOST_BIG_ENDIAN = __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__;

UTFConverter::EncodingType hostOrder(UTFConverter::EncodingType type)
{
	switch (type)
	{
	case UTFConverter::ENCODING_UTF16:
		return HOST_BIG_ENDIAN ? UTFConverter::ENCODING_UTF16_BE : UTFConverter::ENCODING_UTF16_LE;
	case UTFConverter::ENCODING_UTF32:
		return HOST_BIG_ENDIAN ? UTFConverter::ENCODING_UTF32_BE : UTFConverter::ENCODING_UTF32_LE;
	default:
		return type;
	}
}

unsigned int unit16(const unsigned char* p, bool bigEndian)
{
	return bigEndian ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0];
}

void putUnit16(unsigned char* p, unsigned int unit, bool bigEndian)
{
	p[bigEndian ? 0 : 1] = static_cast<unsigned char>(unit >> 8);
	p[bigEndian ? 1 : 0] = static_cast<unsigned char>(unit);
}

int decodeUTF8(const unsigned char* p, long n, int* used, int* codePoint)
{
	const unsigned int b = p[0];
	if (b < 0x80)
	{
		*codePoint = static_cast<int>(b);
		*used = 1;
		return 1;
	}
	*used = 1;
	if ((b & 0x40) == 0)
		return 0;
	int k = 0;
	while (k < 8 && (b & (0x80u >> k)) != 0)
		++k;
	if (k > 4 || n < k)
		return 0;
	static const unsigned int LEAD_MASK[5] = {0, 0, 0x1F, 0x0F, 0x07};
	unsigned int value = b & LEAD_MASK[k];
	for (int i = 1; i < k; ++i)
		value = (value << 6) | (p[i] & 0x3Fu);
	*codePoint = static_cast<int>(value);
	*used = k;
	return 1;
}

int decodeUTF16(const unsigned char* p, long n, bool bigEndian, int* used, int* codePoint)
{
	const unsigned int u = unit16(p, bigEndian);
	if ((u & 0xFC00) == 0xD800)
	{
		if (n < 4)
		{
			*used = 2;
			return 0;
		}
		const int v = static_cast<int>(unit16(p + 2, bigEndian));
		*codePoint = 0x10000 + (static_cast<int>(u) - 0xD800) * 1024 + (v - 0xDC00);
		*used = 4;
		return 1;
	}
	*codePoint = static_cast<int>(u);
	*used = 2;
	return 1;
}

int decodeUTF32(const unsigned char* p, bool bigEndian, int* used, int* codePoint)
{
	unsigned int value = 0;
	for (int i = 0; i < 4; ++i)
		value = (value << 8) | p[bigEndian ? i : 3 - i];
	*codePoint = static_cast<int>(value);
	*used = 4;
	return 1;
}

// Bytes the UTF-8 form of codePoint takes, or 0 when it has none.
int utf8Length(int codePoint)
{
	if (codePoint < 0x80)
		return 1;
	if (codePoint < 0x800)
		return 2;
	if (codePoint < 0x10000)
		return 3;
	if (codePoint < 0x200000)
		return 4;
	return 0;
}

void encodeUTF8(unsigned char* p, int length, int codePoint)
{
	static const unsigned int LEAD[5] = {0, 0, 0xC0, 0xE0, 0xF0};
	const unsigned int value = static_cast<unsigned int>(codePoint);
	if (length == 1)
	{
		p[0] = static_cast<unsigned char>(value);
		return;
	}
	for (int i = length - 1; i > 0; --i)
		p[i] = static_cast<unsigned char>(0x80 | ((value >> (6 * (length - 1 - i))) & 0x3F));
	p[0] = static_cast<unsigned char>(LEAD[length] | (value >> (6 * (length - 1))));
}

} // namespace

UTFConverter::UTFConverter(EncodingType type) : m_type(hostOrder(type))
{
}

int UTFConverter::decode(const void* src, const void* end, int* used, int* codePoint) const
{
	const unsigned char* p = static_cast<const unsigned char*>(src);
	const long n = static_cast<const unsigned char*>(end) - p;
	int minimum = 0;
	switch (m_type)
	{
	case ENCODING_ASCII:
	case ENCODING_UTF8:
		minimum = 1;
		break;
	case ENCODING_UTF16_BE:
	case ENCODING_UTF16_LE:
		minimum = 2;
		break;
	case ENCODING_UTF32_BE:
	case ENCODING_UTF32_LE:
		minimum = 4;
		break;
	default:
		return 0;
	}
	if (n < minimum)
	{
		*used = 0;
		return 0;
	}
	switch (m_type)
	{
	case ENCODING_ASCII:
		*codePoint = p[0];
		*used = 1;
		return 1;
	case ENCODING_UTF8:
		return decodeUTF8(p, n, used, codePoint);
	case ENCODING_UTF16_BE:
	case ENCODING_UTF16_LE:
		return decodeUTF16(p, n, m_type == ENCODING_UTF16_BE, used, codePoint);
	default:
		return decodeUTF32(p, m_type == ENCODING_UTF32_BE, used, codePoint);
	}
}

int UTFConverter::encode(void* dst, void* end, int* used, int codePoint) const
{
	unsigned char* p = static_cast<unsigned char*>(dst);
	const long room = static_cast<unsigned char*>(end) - p;
	int length = 0;
	switch (m_type)
	{
	case ENCODING_ASCII:
		length = codePoint <= 127 ? 1 : 0;
		break;
	case ENCODING_UTF8:
		length = utf8Length(codePoint);
		break;
	case ENCODING_UTF16_BE:
	case ENCODING_UTF16_LE:
		length = codePoint < 0x10000 ? 2 : 4;
		break;
	case ENCODING_UTF32_BE:
	case ENCODING_UTF32_LE:
		length = 4;
		break;
	default:
		return 0;
	}
	if (length == 0 || room < length)
	{
		*used = 0;
		return 0;
	}
	const unsigned int value = static_cast<unsigned int>(codePoint);
	switch (m_type)
	{
	case ENCODING_ASCII:
		p[0] = static_cast<unsigned char>(value);
		break;
	case ENCODING_UTF8:
		encodeUTF8(p, length, codePoint);
		break;
	case ENCODING_UTF16_BE:
	case ENCODING_UTF16_LE:
	{
		const bool bigEndian = m_type == ENCODING_UTF16_BE;
		if (length == 2)
			putUnit16(p, value & 0xFFFF, bigEndian);
		else
		{
			putUnit16(p, (0xD800 + ((value - 0x10000) >> 10)) & 0xFFFF, bigEndian);
			putUnit16(p + 2, (0xDC00 + (value & 0x3FF)) & 0xFFFF, bigEndian);
		}
		break;
	}
	default:
		for (int i = 0; i < 4; ++i)
			p[m_type == ENCODING_UTF32_BE ? i : 3 - i] = static_cast<unsigned char>(value >> (24 - 8 * i));
		break;
	}
	*used = length;
	return 1;
}

} // lang
