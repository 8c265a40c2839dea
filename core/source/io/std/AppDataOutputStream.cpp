#include <io/AppDataOutputStream.h>
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

AppDataOutputStream::AppDataOutputStream(const lang::String& name) :
	FileOutputStream(PathName(m_rootPath, name).toString())
{
}

} // io
