#ifndef IO_INPUTSTREAM_H
#define IO_INPUTSTREAM_H

#include <lang/Object.h>
#include <lang/String.h>

namespace io {

// Source of bytes. Concrete streams own whatever they read from unless their header says
// otherwise; streams are usually locals on the caller's stack and are never copied.
class InputStream : public lang::Object
{
public:
	enum SeekMode
	{
		// Offset from the first byte of the stream.
		SEEKMODE_START = 0,
		// Offset from the current position.
		SEEKMODE_CURRENT = 1,
		// Offset from the end of the stream (0 or negative).
		SEEKMODE_END = 2
	};

	InputStream() = default;
	InputStream(const InputStream&) = delete;
	InputStream& operator=(const InputStream&) = delete;

	// Copies up to size bytes into data and returns how many; 0 at the end of the stream.
	virtual int read(void* data, int size) = 0;
	// Moves forward by up to n bytes and returns how many were passed over. The default reads
	// and discards in pieces of at most 256 bytes until n are skipped or a read returns 0.
	virtual int skip(int n);
	// Moves the position; false (and the position unchanged) when the target lies outside the
	// stream or the mode is unknown.
	virtual bool seek(int offset, SeekMode mode) = 0;
	// Bytes between the current position and the end.
	virtual int available() const = 0;
	// Short description for messages: a file name, or the class name of a memory stream.
	virtual lang::String toString() const = 0;
};

} // io

#endif
