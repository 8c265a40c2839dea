#include <lang/TempBuffer.h>
#include <lang/Globals.h>
#include <lang/OutOfMemoryException.h>
#include <cstdint>
#include <cstdlib>

namespace lang {

ByteTempBuffer::ByteTempBuffer(int n) : m_data(nullptr), m_size(0), m_slot(HEAP_SLOT)
{
	const int64_t rounded = (static_cast<int64_t>(n > 0 ? n : 0) + lang_Globals::GRANULE - 1) & ~int64_t(lang_Globals::GRANULE - 1);
	if (rounded <= lang_Globals::ARENA_SIZE)
	{
		m_size = static_cast<int>(rounded);
		m_slot = lang_Globals::get().take(m_size, &m_data);
		if (m_slot != HEAP_SLOT)
			return;
	}
	// The arena is full (or the request exceeds it): serve from the heap, 16-byte aligned like the arena.
	if (rounded > INT32_MAX)
		throw_OutOfMemoryException();
	m_size = static_cast<int>(rounded);
	m_data = static_cast<char*>(std::aligned_alloc(lang_Globals::GRANULE, static_cast<size_t>(rounded > 0 ? rounded : lang_Globals::GRANULE)));
	if (m_data == nullptr)
		throw_OutOfMemoryException();
}

ByteTempBuffer::~ByteTempBuffer()
{
	if (m_data == nullptr)
		return;
	if (m_slot == HEAP_SLOT)
		std::free(m_data);
	else
		lang_Globals::get().release(m_slot);
}

} // lang
