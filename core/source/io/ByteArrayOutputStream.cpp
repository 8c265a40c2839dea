#include <io/ByteArrayOutputStream.h>
#include <cstring>

namespace io {

namespace {
// Smallest storage taken for a positive initial capacity, in bytes.
constexpr int MIN_INITIAL_CAPACITY = 32;
}

ByteArrayOutputStream::ByteArrayOutputStream(int initialCapacity)
{
	if (initialCapacity > 0)
		m_bytes.setNewCapacity(initialCapacity > MIN_INITIAL_CAPACITY ? initialCapacity : MIN_INITIAL_CAPACITY);
}

void ByteArrayOutputStream::write(const void* data, int size)
{
	if (size <= 0)
		return;
	const int oldSize = m_bytes.size();
	m_bytes.resize(oldSize + size, 0);
	std::memcpy(m_bytes.begin() + oldSize, data, size);
}

lang::String ByteArrayOutputStream::toString() const
{
	return "ByteArrayOutputStream";
}

} // io
