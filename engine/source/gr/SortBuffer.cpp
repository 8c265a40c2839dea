#include <gr/SortBuffer.h>
#include <algorithm>
#include <cstring>

namespace gr
{

void SortBuffer::reset(int shortCount, int floatCount)
{
	static const unsigned char END_MARKER[4] = {'o', 'k', '!', 0};
	const size_t needed = 2u * (size_t)shortCount + 4u + 4u * (size_t)floatCount;
	if (needed > m_bytes.size())
		m_bytes.resize(std::max(std::max(2 * m_bytes.size(), (size_t)32), needed), 0);
	// Floats first so they stay 4-byte aligned whatever the short count.
	m_floats = reinterpret_cast<float*>(m_bytes.data());
	m_shorts = reinterpret_cast<unsigned short*>(m_bytes.data() + 4u * (size_t)floatCount);
	std::memcpy(m_bytes.data() + 4u * (size_t)floatCount + 2u * (size_t)shortCount, END_MARKER, 4);
}

} // gr
