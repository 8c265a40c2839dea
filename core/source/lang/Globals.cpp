#include <lang/Globals.h>
#include <lang/GlobalStorage.h>
#include <lang/OutOfMemoryException.h>
#include <cstdlib>

namespace lang {

lang_Globals::lang_Globals(int size) :
	m_arena(static_cast<char*>(std::malloc(static_cast<size_t>(size)))),
	m_used(0),
	m_size(size),
	m_slotCount(0)
{
	if (m_arena == nullptr)
		throw_OutOfMemoryException();
}

lang_Globals::~lang_Globals()
{
	std::free(m_arena);
}

void lang_Globals::init()
{
	void*& slot = GlobalStorage::sm_instance[GlobalStorage::SLOT_LANG_GLOBALS];
	delete static_cast<lang_Globals*>(slot);
	slot = nullptr;
	slot = new lang_Globals(ARENA_SIZE);
}

lang_Globals& lang_Globals::get()
{
	if (GlobalStorage::sm_instance[GlobalStorage::SLOT_LANG_GLOBALS] == nullptr)
		init();
	return *static_cast<lang_Globals*>(GlobalStorage::sm_instance[GlobalStorage::SLOT_LANG_GLOBALS]);
}

int lang_Globals::take(int size, char** data)
{
	if (m_slotCount >= SLOT_COUNT || size > m_size - m_used)
		return -1;
	const int slot = m_slotCount++;
	*data = m_arena + m_used;
	m_used += size;
	m_slots[slot].data = *data;
	m_slots[slot].size = size;
	return slot;
}

void lang_Globals::release(int slot)
{
	m_slots[slot].data = nullptr;
	if (slot != m_slotCount - 1)
		return;
	while (m_slotCount >= 1 && m_slots[m_slotCount - 1].data == nullptr)
	{
		m_used -= m_slots[m_slotCount - 1].size;
		--m_slotCount;
	}
}

} // lang
