#ifndef GR_EGL_TEXTURE_H
#define GR_EGL_TEXTURE_H

#include <gr/Texture.h>
#include <gr/ogles/GLFunctions.h>
#include <gr/ogles/ShadowingSurfaceData.h>
#include <lang/Ptr.h>
#include <vector>

namespace gr
{

class EGL_Context;
class EGL_Palette;

/**
 * The device's 2D texture: a GL texture with its mip levels, for render targets a framebuffer
 * with a 16-bit depth buffer, and optionally a record of every upload for rebuilding. Created by
 * the device, which lists it without owning it; owned by its lang::Ptr holders. A texture that
 * outlives its device is detached from it and only frees its GL names.
 */
class EGL_Texture : public Texture
{
public:
	/** mipLevels counts the levels below level 0. usage Context::USAGE_RENDERTARGET adds a framebuffer. */
	EGL_Texture(EGL_Context* context, int width, int height, int mipLevels, SurfaceFormat format, EGL_Palette* palette, int usage);
	~EGL_Texture();

	/**
	 * Creates the GL objects. Throws GraphicsException when the size exceeds GL_MAX_TEXTURE_SIZE,
	 * the format has no GL mapping, or a render target's framebuffer is incomplete.
	 */
	void allocate(EGL_Context* context, int width, int height, int mipLevels, SurfaceFormat format, EGL_Palette* palette, int usage);
	/** Deletes the GL objects; the creation parameters and upload records stay for allocate. */
	void deallocate();
	/** Rebuilds the GL objects from the creation parameters and replays every recorded upload. */
	void restore();

	/** Forgets the device (it is being destroyed). */
	void detach()										{ m_context = nullptr; }
	EGL_Context* context() const						{ return m_context; }

	GLuint glTexture() const							{ return m_texture; }
	GLuint glFramebuffer() const						{ return m_framebuffer; }
	int shadowRecords() const							{ return (int)m_shadows.size(); }

	int width() const override							{ return m_width; }
	int height() const override							{ return m_height; }
	SurfaceFormat format() const override				{ return m_format; }
	/** Uploads pixels already in a format of the GL mapping (the device converts first); rows tightly packed. */
	void blt(int x, int y, const void* src, int srcPitch, int mipLevel, int width, int height,
		const SurfaceFormat& srcFormat, const void* srcPalette, const SurfaceFormat& srcPaletteFormat) override;
	void clear() override								{}
	Rect rect() const override							{ return Rect(0, 0, m_width, m_height); }
	void getData(void** data, int* pitch) const override	{}
	const lang::String& getName() const override		{ return m_name; }
	void setName(const lang::String& name) override		{ m_name = name; }

	/** GL format and type of a surface format; false when it has none. Compressed formats have type 0. */
	static bool toGL(const SurfaceFormat& format, GLenum* glFormat, GLenum* glType);

private:
	void deleteGLObjects();
	void createFramebuffer();

	GLuint m_texture;
	GLuint m_framebuffer;
	GLuint m_depthRenderbuffer;
	int m_width;
	int m_height;
	SurfaceFormat m_format;
	lang::String m_name;
	EGL_Context* m_context;
	int m_mipLevels;
	int m_usage;
	std::vector<lang::Ptr<ShadowingSurfaceData>> m_shadows;
	bool m_replaying;
};

} // gr

#endif
