#include <hgr/Globals.h>
#include <lang/GlobalStorage.h>

namespace hgr
{

void Globals::init()
{
	cleanup();
	lang::GlobalStorage::sm_instance[lang::GlobalStorage::SLOT_SCENE_GLOBALS] = new Globals;
}

void Globals::cleanup()
{
	Globals* globals = get();
	if (!globals)
		return;
	// The slot is cleared first so a manager destroyed here finds no holder to reach back into.
	lang::GlobalStorage::sm_instance[lang::GlobalStorage::SLOT_SCENE_GLOBALS] = nullptr;
	globals->resourceManager = nullptr;
	delete globals;
}

Globals* Globals::get()
{
	return static_cast<Globals*>(lang::GlobalStorage::sm_instance[lang::GlobalStorage::SLOT_SCENE_GLOBALS]);
}

} // hgr
