#ifndef GR_EGL_IMAGE_H
#define GR_EGL_IMAGE_H

#include <gr/Image.h>
#include <gr/ogles/EGL_Texture.h>
#include <lang/Ptr.h>

namespace gr
{

class EGL_Context;
class Palette;

/**
 * The device's image: the top-left width x height pixels of a texture whose sides are the next
 * powers of two. Draws through the device's 2D batcher. Created by the device, owned by its
 * lang::Ptr holders; holds its texture, and reaches the device through it.
 */
class EGL_Image : public Image
{
public:
	EGL_Image(EGL_Context* context, int width, int height, int mipLevels, SurfaceFormat format, Palette* palette);
	~EGL_Image();

	/** The context argument is not used: the image's own device draws. */
	void draw(Context* context, float x, float y, int srcX, int srcY, int srcWidth, int srcHeight, float width, float height) override;
	void draw(Context* context, float x, float y, float width, float height, const math::float2* uv) override;

	void blt(int x, int y, const void* src, int srcPitch, int mipLevel, int width, int height,
		const SurfaceFormat& srcFormat, const void* srcPalette, const SurfaceFormat& srcPaletteFormat) override;
	void clear() override								{}
	int width() const override							{ return m_width; }
	int height() const override							{ return m_height; }
	SurfaceFormat format() const override				{ return m_texture->format(); }
	void getData(void** data, int* pitch) const override	{}
	Texture* getTexture() const override				{ return m_texture; }
	/** The device's "sprite-alpha" shader when the format has alpha, else its "sprite" shader. */
	Shader* getShader() const override;

	/** Smallest power of two at least n; 0 stays 0. */
	static int nextPowerOfTwo(int n);

private:
	lang::Ptr<EGL_Texture> m_texture;
	int m_width;
	int m_height;
};

} // gr

#endif
