#ifndef PLATFORM_PNGWRITER_H
#define PLATFORM_PNGWRITER_H

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Writes RGBA8 pictures (rows top to bottom) as PNG files; stateless.
class PngWriter
{
public:
	// Replaces the file whole with platform::FileSaver, making its missing folders first; false
	// when it cannot be written, with the reason in failure when given.
	static bool write(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba,
		std::string* failure = nullptr);
};

} // platform

#endif
