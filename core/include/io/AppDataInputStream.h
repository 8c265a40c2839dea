#ifndef IO_APPDATAINPUTSTREAM_H
#define IO_APPDATAINPUTSTREAM_H

#include <io/FileInputStream.h>

namespace io {

// Input stream over a file in the application's writable data directory, named relative to the
// class's root path; never read from the bundle. Owns and closes its file.
class AppDataInputStream : public FileInputStream
{
public:
	// Set at launch to the documents directory and emptied at teardown; open streams keep their path.
	static void setRootPath(const lang::String& path);
	static const lang::String& rootPath();

	// Opens the root path joined with name; throws io::IOException "Failed to open {0}".
	explicit AppDataInputStream(const lang::String& name);

private:
	static lang::String m_rootPath;
};

} // io

#endif
