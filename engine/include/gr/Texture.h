#ifndef GR_TEXTURE_H
#define GR_TEXTURE_H

#include <gr/BaseTexture.h>
#include <gr/Rect.h>
#include <gr/SurfaceFormat.h>
#include <lang/String.h>

namespace gr
{

/** A 2D texture with its mip levels; created by the device, owned by its lang::Ptr holders. */
class Texture : public BaseTexture
{
public:
	Texture() : BaseTexture(CLASSID_TEXTURE) {}

	/** Pixels of mip level 0. */
	virtual int width() const = 0;
	virtual int height() const = 0;
	virtual SurfaceFormat format() const = 0;

	/** Copies a width x height block of pixels of srcFormat into one mip level at (x, y). */
	virtual void blt(int x, int y, const void* src, int srcPitch, int mipLevel, int width, int height,
		const SurfaceFormat& srcFormat, const void* srcPalette, const SurfaceFormat& srcPaletteFormat) = 0;

	virtual void clear() = 0;

	/** (0, 0, width, height). */
	virtual Rect rect() const = 0;

	/** CPU access to the pixels where the implementation keeps them; leaves the outputs alone otherwise. */
	virtual void getData(void** data, int* pitch) const = 0;

	virtual const lang::String& getName() const = 0;
	virtual void setName(const lang::String& name) = 0;
};

} // gr

#endif
