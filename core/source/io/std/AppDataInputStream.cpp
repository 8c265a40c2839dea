#include <io/AppDataInputStream.h>
#include <io/PathName.h>

namespace io {

lang::String AppDataInputStream::m_rootPath;

void AppDataInputStream::setRootPath(const lang::String& path)
{
	m_rootPath = path;
}

const lang::String& AppDataInputStream::rootPath()
{
	return m_rootPath;
}

AppDataInputStream::AppDataInputStream(const lang::String& name) :
	FileInputStream(PathName(m_rootPath, name).toString(), nullptr)
{
}

} // io
