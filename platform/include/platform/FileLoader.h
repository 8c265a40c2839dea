#ifndef PLATFORM_FILELOADER_H
#define PLATFORM_FILELOADER_H

#include <string>

namespace platform {

// How the platform reads a whole file into memory, keeping the system's reason when it cannot.
// Stateless.
class FileLoader
{
public:
	// The file's bytes in bytes; false, with the errno value of the failed call in error, when it
	// cannot be opened or read. A folder opens but cannot be read (EISDIR).
	static bool load(const std::string& path, std::string& bytes, int& error);
};

} // platform

#endif
