#ifndef LANG_UTFCONVERTER_H
#define LANG_UTFCONVERTER_H

#include <lang/Converter.h>

namespace lang {

// Converter for a single-byte encoding, UTF-8, UTF-16 and UTF-32 in either byte order.
// Decodes with little validation; the policy for bad input is the caller's.
class UTFConverter : public Converter
{
public:
	enum EncodingType
	{
		ENCODING_UNKNOWN = 0,
		ENCODING_ASCII = 1,
		ENCODING_UTF8 = 2,
		ENCODING_UTF16 = 3,
		ENCODING_UTF16_BE = 4,
		ENCODING_UTF16_LE = 5,
		ENCODING_UTF32 = 6,
		ENCODING_UTF32_BE = 7,
		ENCODING_UTF32_LE = 8
	};

	// The host-order types are fixed to the host's byte order here; other values make every call fail.
	explicit UTFConverter(EncodingType type);

	int decode(const void* src, const void* end, int* used, int* codePoint) const override;
	int encode(void* dst, void* end, int* used, int codePoint) const override;

	EncodingType type() const { return m_type; }

private:
	EncodingType m_type;
};

} // lang

#endif
