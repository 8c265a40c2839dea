#ifndef HGR_GLOBALS_H
#define HGR_GLOBALS_H

#include <hgr/ResourceManager.h>
#include <lang/Ptr.h>

namespace hgr
{

/**
 * The scene layer's process-wide holder, kept in lang::GlobalStorage slot 0 (null until init).
 * It owns the installed resource manager through a counted reference. Main thread only.
 */
class Globals
{
public:
	lang::Ptr<ResourceManager> resourceManager;

	/** Discards any existing holder (as cleanup), then creates an empty one in slot 0. */
	static void init();
	/** Releases the installed manager, deletes the holder and clears slot 0; harmless without one. */
	static void cleanup();
	/** The holder in slot 0, or null before init and after cleanup. */
	static Globals* get();
};

} // hgr

#endif
