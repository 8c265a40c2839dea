#ifndef IO_APPDATAOUTPUTSTREAM_H
#define IO_APPDATAOUTPUTSTREAM_H

#include <io/FileOutputStream.h>

namespace io {

// Output stream that replaces a file in the application's writable data directory, named
// relative to the class's root path; the old file stays whole until the stream closes.
class AppDataOutputStream : public FileOutputStream
{
public:
	// Independent of the input streams' root path.
	static void setRootPath(const lang::String& path);
	static const lang::String& rootPath();

	// Creates the root path joined with name; throws io::IOException (never its
	// io::FileNotFoundException) "Failed to open {0} for writing: {1}", {1} the system's reason.
	explicit AppDataOutputStream(const lang::String& name);

private:
	static lang::String m_rootPath;
};

} // io

#endif
