#ifndef PLATFORM_DIRECTORIES_H
#define PLATFORM_DIRECTORIES_H

#include <string>

namespace platform {

// The process-wide directories of the application: the user's documents directory (writable,
// per user), the library directory (the application's own persistent files, not the user's),
// the caches directory (files that may be deleted between runs) and the bundle directory
// (read-only data). Paths end without a '/'.
class Directories
{
public:
	// $XDG_DATA_HOME/<name> (else ~/.local/share/<name>) unless overridden; created on first use.
	static std::string documents();
	// $XDG_STATE_HOME/<name> (else ~/.local/state/<name>) unless overridden; created on first use.
	static std::string library();
	// $XDG_CACHE_HOME/<name> (else ~/.cache/<name>) unless overridden; created on first use.
	static std::string caches();
	// The executable's directory unless overridden.
	static std::string bundle();

	// An empty text returns to the default.
	static void setDocuments(const std::string& path);
	static void setLibrary(const std::string& path);
	static void setCaches(const std::string& path);
	static void setBundle(const std::string& path);
	// The application's name (the documents directory's last component) and executable path.
	static void setProgram(const std::string& executablePath);

	// Creates the directory and its missing parents; true when it exists afterwards, else errno
	// holds the system's reason.
	static bool create(const std::string& path);
	// Why path does not open as a folder, as "is missing: <system's reason>" or "cannot be opened:
	// <system's reason>"; empty when it opens.
	static std::string folderFault(const std::string& path);
};

} // platform

#endif
