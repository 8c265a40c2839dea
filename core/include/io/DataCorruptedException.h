#ifndef IO_DATACORRUPTEDEXCEPTION_H
#define IO_DATACORRUPTEDEXCEPTION_H

#include <io/IOException.h>

namespace io {

// Stored data (such as an index) is malformed; it carries only its message, by value.
class DataCorruptedException : public IOException
{
public:
	DataCorruptedException() = default;
	DataCorruptedException(const lang::Format& message) : IOException(message) {}
};

} // io

#endif
