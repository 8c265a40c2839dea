#ifndef LANG_CONVERTER_H
#define LANG_CONVERTER_H

#include <lang/Object.h>

namespace lang {

// Converts one code point at a time between an encoding and code points. Stateless besides its
// configuration; usually a local object, but may be shared through Ptr.
class Converter : public Object
{
public:
	// Decodes the code point starting at src without reading at or past end. Returns 1 with *used
	// and *codePoint set, or 0 with *used = 0 (input ended) or the bytes the caller may skip.
	virtual int decode(const void* src, const void* end, int* used, int* codePoint) const = 0;
	// Encodes codePoint at dst without writing at or past end. Returns 1 with *used = bytes
	// written, or 0 with *used = 0 and nothing written.
	virtual int encode(void* dst, void* end, int* used, int codePoint) const = 0;
};

} // lang

#endif
