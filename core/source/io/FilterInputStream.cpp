#include <io/FilterInputStream.h>

namespace io {

FilterInputStream::FilterInputStream(InputStream* in) :
	m_in(in)
{
}

int FilterInputStream::read(void* data, int size)
{
	return m_in->read(data, size);
}

int FilterInputStream::skip(int n)
{
	return m_in->skip(n);
}

bool FilterInputStream::seek(int offset, SeekMode mode)
{
	return m_in->seek(offset, mode);
}

int FilterInputStream::available() const
{
	return m_in->available();
}

lang::String FilterInputStream::toString() const
{
	return m_in->toString();
}

} // io
