#ifndef IO_FILENOTFOUNDEXCEPTION_H
#define IO_FILENOTFOUNDEXCEPTION_H

#include <io/IOException.h>

namespace io {

// A file could not be opened or created; it carries only its message, by value.
class FileNotFoundException : public IOException
{
public:
	FileNotFoundException() = default;
	FileNotFoundException(const lang::Format& message) : IOException(message) {}
};

} // io

#endif
