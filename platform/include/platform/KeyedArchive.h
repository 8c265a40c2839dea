#ifndef PLATFORM_KEYEDARCHIVE_H
#define PLATFORM_KEYEDARCHIVE_H

#include <platform/ArchiveValue.h>
#include <cerrno>
#include <string>

namespace platform {

// A keyed archive file that could not be opened or read (no descriptor free, an I/O error, no
// permission, no file), as opposed to one that was read and did not decode.
class ArchiveUnreadable : public ArchiveError
{
public:
	ArchiveUnreadable(const std::string& path, int error);
	// The file does not exist.
	bool missing() const { return m_error == ENOENT || m_error == ENOTDIR; }
	// The errno value of the failed call.
	int error() const { return m_error; }

private:
	int m_error;
};

// A keyed archive file that was read and does not decode: damaged, cut short, or no archive.
class ArchiveDamaged : public ArchiveError
{
public:
	// The message names the file and the reason.
	ArchiveDamaged(const std::string& path, const std::string& reason);
	// Why the bytes do not decode, without the file.
	const std::string& reason() const { return m_reason; }

private:
	std::string m_reason;
};

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
	// Throws ArchiveUnreadable when the file cannot be opened or read, ArchiveDamaged when its
	// bytes are no archive.
	static ArchiveValue readFile(const std::string& path);
	// The file's bytes; throws ArchiveUnreadable when it cannot be opened or read.
	static std::string readBytes(const std::string& path);
};

} // platform

#endif
