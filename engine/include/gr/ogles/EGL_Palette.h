#ifndef GR_EGL_PALETTE_H
#define GR_EGL_PALETTE_H

#include <gr/Palette.h>
#include <vector>

namespace gr
{

/** The device's palette: entries stored as A8R8G8B8. Created by the device, owned by its lang::Ptr holders. */
class EGL_Palette : public Palette
{
public:
	explicit EGL_Palette(int entries);

	/** Entries outside the palette are left out. */
	void setEntries(int first, const void* data, const SurfaceFormat& format, int count) override;
	/** Reads from entry first of the palette into data (count entries); entries outside the palette are left out. */
	void getEntries(int first, void* data, const SurfaceFormat& format, int count) const override;
	int entries() const override						{ return m_entries; }

private:
	/** Clips the entries [first, first + count) to the palette as [*begin, *end); false when none is left. */
	bool clip(int first, int count, int* begin, int* end) const;

	std::vector<unsigned char> m_storage;
	int m_entries;
};

} // gr

#endif
