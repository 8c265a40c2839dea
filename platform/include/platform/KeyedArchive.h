#ifndef PLATFORM_KEYEDARCHIVE_H
#define PLATFORM_KEYEDARCHIVE_H

#include <platform/ArchiveValue.h>
#include <string>

namespace platform {

// The binary form of an archive value: the magic "KARC", a 16-bit format version, then the value,
// all integers little-endian. Stateless.
class KeyedArchive
{
public:
	static constexpr std::uint16_t VERSION = 1;
	// Records, arrays and dictionaries nested deeper than this are refused.
	static constexpr int MAX_DEPTH = 64;

	static std::string encode(const ArchiveValue& value);
	// Throws ArchiveError for a wrong magic or version, an unknown kind, a length beyond the end,
	// a repeated key, a boolean other than 0 or 1, too deep a nesting or bytes after the value.
	static ArchiveValue decode(const std::string& data);

	// Replaces the file with platform::FileSaver, so a failed write leaves the old file whole;
	// throws ArchiveError with the logged message, which names the file and the reason, when the
	// file cannot be written.
	static void writeFile(const std::string& path, const ArchiveValue& value);
	// Throws ArchiveError when the file cannot be read or is corrupt.
	static ArchiveValue readFile(const std::string& path);
};

} // platform

#endif
