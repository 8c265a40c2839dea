#ifndef IO_IOEXCEPTION_H
#define IO_IOEXCEPTION_H

#include <lang/Exception.h>

namespace io {

// A stream, file, path or reader failure; it carries only its message, by value.
class IOException : public lang::Exception
{
public:
	IOException() = default;
	IOException(const lang::Format& message) : lang::Exception(message) {}
};

} // io

#endif
