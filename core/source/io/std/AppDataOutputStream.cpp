#include <io/AppDataOutputStream.h>
#include <io/FileNotFoundException.h>
#include <io/PathName.h>

namespace io {

lang::String AppDataOutputStream::m_rootPath;

void AppDataOutputStream::setRootPath(const lang::String& path)
{
	m_rootPath = path;
}

const lang::String& AppDataOutputStream::rootPath()
{
	return m_rootPath;
}

// A save that cannot be created is a plain I/O failure here: the file is ours to make, so
// "not found" would mislead handlers.
AppDataOutputStream::AppDataOutputStream(const lang::String& name)
try :
	FileOutputStream(PathName(m_rootPath, name).toString())
{
}
catch (const FileNotFoundException& e)
{
	lang::throwError(IOException(e.getMessage()));
}

} // io
