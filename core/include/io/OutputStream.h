#ifndef IO_OUTPUTSTREAM_H
#define IO_OUTPUTSTREAM_H

#include <lang/Object.h>
#include <lang/String.h>

namespace io {

// Sink of bytes. Concrete streams own their destination; streams are never copied.
class OutputStream : public lang::Object
{
public:
	OutputStream() = default;
	OutputStream(const OutputStream&) = delete;
	OutputStream& operator=(const OutputStream&) = delete;

	// Writes all size bytes; a failure the stream detects throws io::IOException.
	virtual void write(const void* data, int size) = 0;
	// Short description for messages.
	virtual lang::String toString() const = 0;
};

} // io

#endif
