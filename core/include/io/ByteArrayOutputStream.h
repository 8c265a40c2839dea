#ifndef IO_BYTEARRAYOUTPUTSTREAM_H
#define IO_BYTEARRAYOUTPUTSTREAM_H

#include <io/OutputStream.h>
#include <lang/Array.h>

namespace io {

// Output stream that collects the written bytes in memory it owns; it only grows.
class ByteArrayOutputStream : public OutputStream
{
public:
	// A positive initial capacity (in bytes, at least 32) is taken at once; otherwise storage
	// is taken on the first write.
	explicit ByteArrayOutputStream(int initialCapacity = 0);

	void write(const void* data, int size) override;
	lang::String toString() const override;

	// The bytes written so far, valid until the next write.
	const lang::Array<unsigned char>& array() const { return m_bytes; }
	const unsigned char* data() const { return m_bytes.begin(); }
	int size() const { return m_bytes.size(); }

private:
	lang::Array<unsigned char> m_bytes;
};

} // io

#endif
