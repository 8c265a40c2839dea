#ifndef GR_PALETTE_H
#define GR_PALETTE_H

#include <gr/ContextObject.h>
#include <gr/SurfaceFormat.h>

namespace gr
{

/** A table of colour entries; created by the device, owned by its lang::Ptr holders. */
class Palette : public ContextObject
{
public:
	Palette() : ContextObject(CLASSID_PALETTE) {}

	/** Converts count entries of format from data into the table starting at entry first. */
	virtual void setEntries(int first, const void* data, const SurfaceFormat& format, int count) = 0;
	/** Converts count entries starting at entry first of the table into data in format. */
	virtual void getEntries(int first, void* data, const SurfaceFormat& format, int count) const = 0;
	virtual int entries() const = 0;
};

} // gr

#endif
