#ifndef IO_FILEDESCRIPTOR_H
#define IO_FILEDESCRIPTOR_H

#include <lang/String.h>

namespace io {

// Where one member of a file bundle lies; a plain value.
struct FileDescriptor
{
	// Full path of the bundle file that holds the member.
	lang::String bundle;
	// Byte offset of the member's first byte in the bundle file.
	int offset = 0;
	// The member's length in bytes.
	int size = 0;
};

} // io

#endif
