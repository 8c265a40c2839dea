#ifndef IO_BYTEARRAYINPUTSTREAM_H
#define IO_BYTEARRAYINPUTSTREAM_H

#include <io/InputStream.h>
#include <lang/Array.h>

namespace io {

// Input stream over its own copy of a memory block; the bytes live until the next reset or the
// stream's destruction. The position always stays within [0, size].
class ByteArrayInputStream : public InputStream
{
public:
	ByteArrayInputStream();
	// With null data the stream holds size zero bytes, to be filled through data().
	ByteArrayInputStream(const void* data, int size);

	// Replaces the contents with size bytes (copied when data is not null) and rewinds.
	void reset(const void* data, int size);
	// First byte of the stored contents (not of the current position).
	unsigned char* data() { return m_bytes.begin(); }
	const unsigned char* data() const { return m_bytes.begin(); }
	int size() const { return m_bytes.size(); }

	int read(void* data, int size) override;
	int skip(int n) override;
	bool seek(int offset, SeekMode mode) override;
	int available() const override;
	lang::String toString() const override;

private:
	lang::Array<unsigned char> m_bytes;
	int m_position;
};

} // io

#endif
