#ifndef LANG_GLOBALSTORAGE_H
#define LANG_GLOBALSTORAGE_H

namespace lang {

// Process-wide slots for the single global objects of a few owners. Each owner creates its object,
// stores it in its slot and is the only code that reads or deletes it. All slots start null.
class GlobalStorage
{
public:
	enum Slot
	{
		SLOT_SCENE_GLOBALS = 0,
		SLOT_LANG_GLOBALS = 1,
		SLOT_UNUSED = 2,
		SLOT_APP = 3,
		SLOT_COUNT = 4
	};

	static void* sm_instance[SLOT_COUNT];
};

} // lang

#endif
