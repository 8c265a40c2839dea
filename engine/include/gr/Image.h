#ifndef GR_IMAGE_H
#define GR_IMAGE_H

#include <gr/ContextObject.h>
#include <gr/SurfaceFormat.h>
#include <math/float2.h>

namespace gr
{

class Context;
class Shader;
class Texture;

/** A 2D picture that the 2D layer draws; created by the device, owned by its lang::Ptr holders. */
class Image : public ContextObject
{
public:
	Image() : ContextObject(CLASSID_IMAGE) {}

	/** Draws the source rectangle (srcX, srcY, srcWidth, srcHeight) stretched to width x height at (x, y). */
	virtual void draw(Context* context, float x, float y, int srcX, int srcY, int srcWidth, int srcHeight, float width, float height) = 0;
	/** Draws a width x height quad at (x, y) with four texture coordinates in corner order (origin, +width, +height, +both). */
	virtual void draw(Context* context, float x, float y, float width, float height, const math::float2* uv) = 0;

	virtual void blt(int x, int y, const void* src, int srcPitch, int mipLevel, int width, int height,
		const SurfaceFormat& srcFormat, const void* srcPalette, const SurfaceFormat& srcPaletteFormat) = 0;
	virtual void clear() = 0;

	/** The image's own size in pixels (its texture may be larger). */
	virtual int width() const = 0;
	virtual int height() const = 0;
	virtual SurfaceFormat format() const = 0;
	virtual void getData(void** data, int* pitch) const = 0;

	virtual Texture* getTexture() const					{ return nullptr; }
	virtual Shader* getShader() const					{ return nullptr; }
};

} // gr

#endif
