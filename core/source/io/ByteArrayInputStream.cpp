#include <io/ByteArrayInputStream.h>
#include "SeekTarget.h"
#include <cstring>

namespace io {

ByteArrayInputStream::ByteArrayInputStream() :
	m_position(0)
{
}

ByteArrayInputStream::ByteArrayInputStream(const void* data, int size) :
	m_position(0)
{
	reset(data, size);
}

void ByteArrayInputStream::reset(const void* data, int size)
{
	if (size < 0)
		size = 0;
	m_bytes.resize(size, 0);
	if (data && size > 0)
		std::memcpy(m_bytes.begin(), data, size);
	m_position = 0;
}

int ByteArrayInputStream::read(void* data, int size)
{
	const int count = size < available() ? size : available();
	if (count <= 0)
		return 0;
	std::memcpy(data, m_bytes.begin() + m_position, count);
	m_position += count;
	return count;
}

int ByteArrayInputStream::skip(int n)
{
	const int count = n < available() ? n : available();
	if (count <= 0)
		return 0;
	m_position += count;
	return count;
}

bool ByteArrayInputStream::seek(int offset, SeekMode mode)
{
	// An unknown mode leaves the position where it is.
	if (mode != SEEKMODE_START && mode != SEEKMODE_CURRENT && mode != SEEKMODE_END)
		return true;
	const int target = seekTarget(offset, mode, m_position, m_bytes.size());
	if (target < 0)
		return false;
	m_position = target;
	return true;
}

int ByteArrayInputStream::available() const
{
	return m_bytes.size() - m_position;
}

lang::String ByteArrayInputStream::toString() const
{
	return "ByteArrayInputStream";
}

} // io
