#ifndef PLATFORM_FILESAVER_H
#define PLATFORM_FILESAVER_H

#include <string>

namespace platform {

// How the platform's stores save their files: a whole file through the stream layer's
// io::FileReplacement, so that a failed save leaves the old file as it was. A failure is answered
// with false and logged to the debug log with the file and the reason; the caller keeps its data
// and tries again at its next save. Stateless.
class FileSaver
{
public:
	// Replaces the file at path with bytes. On failure, and when failure is given, stores there
	// the message that was logged.
	static bool save(const std::string& path, const std::string& bytes, std::string* failure = nullptr);
};

} // platform

#endif
