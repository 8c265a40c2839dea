#include <io/FileOutputStream.h>
#include <io/IOException.h>
#include <lang/Debug.h>
#include <cerrno>
#include <exception>

namespace io {

FileOutputStream::FileOutputStream(const lang::String& name) :
	m_replacement(name),
	m_uncaughtExceptions(std::uncaught_exceptions())
{
}

// An interrupted save leaves the replacement uncommitted, and its destructor drops the new file.
FileOutputStream::~FileOutputStream()
{
	if (!m_replacement.isOpen() || std::uncaught_exceptions() > m_uncaughtExceptions)
		return;
	try
	{
		m_replacement.commit();
	}
	catch (const IOException& e)
	{
		lang::Debug::printf("%s\n", e.getMessage().format().c_str());
	}
}

void FileOutputStream::write(const void* data, int size)
{
	if (size < 0)
		m_replacement.failWrite(size, EINVAL);
	m_replacement.write(data, static_cast<size_t>(size));
}

void FileOutputStream::close()
{
	m_replacement.commit();
}

lang::String FileOutputStream::toString() const
{
	return m_replacement.name();
}

} // io
