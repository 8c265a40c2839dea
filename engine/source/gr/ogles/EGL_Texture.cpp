#include <gr/ogles/EGL_Texture.h>
#include <gr/ogles/EGL_Context.h>
#include <gr/ogles/EGL_State.h>
#include <gr/GraphicsException.h>
#include <lang/Debug.h>
#include <algorithm>
#include <cstring>

namespace gr
{

namespace
{

bool isCompressed(const SurfaceFormat& format)
{
	return format.type() >= SurfaceFormat::DXT1 && format.type() <= SurfaceFormat::ETC1_RGB_4BPP;
}

[[noreturn]] void throwNoMapping(const SurfaceFormat& format)
{
	lang::Debug::printf("Trying to create texture with undefined color format: %s\n", format.toString());
	lang::throwError(GraphicsException(lang::Format("Texture format {0} has no OpenGL ES equivalent", format.toString())));
}

} // namespace

bool EGL_Texture::toGL(const SurfaceFormat& format, GLenum* glFormat, GLenum* glType)
{
	GLenum f = 0;
	GLenum t = 0;
	switch (format.type())
	{
	case SurfaceFormat::R8G8B8:
	case SurfaceFormat::B8G8R8: f = GL_RGB; t = GL_UNSIGNED_BYTE; break;
	case SurfaceFormat::A8R8G8B8:
	case SurfaceFormat::A8B8G8R8: f = GL_RGBA; t = GL_UNSIGNED_BYTE; break;
	case SurfaceFormat::R5G6B5: f = GL_RGB; t = GL_UNSIGNED_SHORT_5_6_5; break;
	case SurfaceFormat::P8:
	case SurfaceFormat::L8: f = GL_LUMINANCE; t = GL_UNSIGNED_BYTE; break;
	case SurfaceFormat::A8L8: f = GL_LUMINANCE_ALPHA; t = GL_UNSIGNED_BYTE; break;
	case SurfaceFormat::R4G4B4A4: f = GL_RGBA; t = GL_UNSIGNED_SHORT_4_4_4_4; break;
	case SurfaceFormat::R5G5B5A1: f = GL_RGBA; t = GL_UNSIGNED_SHORT_5_5_5_1; break;
	case SurfaceFormat::RGB_PVRTC_GL_2BPP: f = GL_COMPRESSED_RGB_PVRTC_2BPPV1_IMG; break;
	case SurfaceFormat::RGBA_PVRTC_GL_2BPP: f = GL_COMPRESSED_RGBA_PVRTC_2BPPV1_IMG; break;
	case SurfaceFormat::RGB_PVRTC_GL_4BPP: f = GL_COMPRESSED_RGB_PVRTC_4BPPV1_IMG; break;
	case SurfaceFormat::RGBA_PVRTC_GL_4BPP: f = GL_COMPRESSED_RGBA_PVRTC_4BPPV1_IMG; break;
	case SurfaceFormat::ETC1_RGB_4BPP: f = GL_ETC1_RGB8_OES; break;
	default: return false;
	}
	*glFormat = f;
	*glType = t;
	return true;
}

EGL_Texture::EGL_Texture(EGL_Context* context, int width, int height, int mipLevels, SurfaceFormat format, EGL_Palette* palette, int usage) :
	m_texture(0),
	m_framebuffer(0),
	m_depthRenderbuffer(0),
	m_width(width),
	m_height(height),
	m_format(format),
	m_context(context),
	m_mipLevels(mipLevels),
	m_usage(usage),
	m_replaying(false)
{
	allocate(context, width, height, mipLevels, format, palette, usage);
}

EGL_Texture::~EGL_Texture()
{
	if (m_context)
		m_context->removeTexture(this);
	deleteGLObjects();
}

void EGL_Texture::deleteGLObjects()
{
	if (m_texture)
	{
		// GL unbinds a deleted texture from every unit; the shadow must agree, or a recycled name would be taken as bound.
		EGL_State& state = EGL_State::sm_current;
		const GLenum activeUnit = state.activeTextureUnit();
		for (int unit = 0; unit < EGL_State::TEXTURE_UNITS; ++unit)
		{
			if (state.boundTexture(unit) == m_texture)
			{
				state.activeTexture(GL_TEXTURE0 + unit);
				state.bindTexture(0);
			}
		}
		state.activeTexture(activeUnit);
		gl().glDeleteTextures(1, &m_texture);
		m_texture = 0;
	}
	if (m_depthRenderbuffer)
	{
		gl().glDeleteRenderbuffersOES(1, &m_depthRenderbuffer);
		m_depthRenderbuffer = 0;
	}
	if (m_framebuffer)
	{
		gl().glDeleteFramebuffersOES(1, &m_framebuffer);
		m_framebuffer = 0;
	}
}

void EGL_Texture::deallocate()
{
	deleteGLObjects();
}

void EGL_Texture::allocate(EGL_Context* context, int width, int height, int mipLevels, SurfaceFormat format, EGL_Palette* palette, int usage)
{
	deleteGLObjects();

	int fullChain = 0;
	for (unsigned m = (unsigned)std::max(m_width, m_height); m > 1; m >>= 1)
		++fullChain;

	GLint maxSize = 0;
	gl().glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
	if (maxSize < width || maxSize < height)
		lang::throwError(GraphicsException(lang::Format("Texture is too large: {0}x{1}, maximum supported size: {2}x{3}", width, height, maxSize, maxSize)));

	GLenum glFormat;
	GLenum glType;
	if (!toGL(format, &glFormat, &glType))
		throwNoMapping(format);

	EGL_State& state = EGL_State::sm_current;
	gl().glGenTextures(1, &m_texture);
	state.activeTexture(GL_TEXTURE0);
	state.bindTexture(m_texture);

	gl().glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipLevels == fullChain ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);
	gl().glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

	if (!isCompressed(format))
	{
		for (int level = 0; level <= mipLevels; ++level)
		{
			const int shift = std::min(level, 31);
			gl().glTexImage2D(GL_TEXTURE_2D, level, glFormat, std::max(1, width >> shift), std::max(1, height >> shift), 0, glFormat, glType, nullptr);
		}
	}

	if (usage & Context::USAGE_RENDERTARGET)
		createFramebuffer();

	state.bindTexture(0);
}

void EGL_Texture::createFramebuffer()
{
	GLint previous = 0;
	gl().glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &previous);

	gl().glGenFramebuffersOES(1, &m_framebuffer);
	gl().glBindFramebufferOES(GL_FRAMEBUFFER_OES, m_framebuffer);
	gl().glFramebufferTexture2DOES(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_TEXTURE_2D, m_texture, 0);
	gl().glGenRenderbuffersOES(1, &m_depthRenderbuffer);
	gl().glBindRenderbufferOES(GL_RENDERBUFFER_OES, m_depthRenderbuffer);
	gl().glRenderbufferStorageOES(GL_RENDERBUFFER_OES, GL_DEPTH_COMPONENT16_OES, m_width, m_height);
	gl().glFramebufferRenderbufferOES(GL_FRAMEBUFFER_OES, GL_DEPTH_ATTACHMENT_OES, GL_RENDERBUFFER_OES, m_depthRenderbuffer);

	const GLenum status = gl().glCheckFramebufferStatusOES(GL_FRAMEBUFFER_OES);
	if (status != GL_FRAMEBUFFER_COMPLETE_OES)
	{
		gl().glBindRenderbufferOES(GL_RENDERBUFFER_OES, 0);
		gl().glBindFramebufferOES(GL_FRAMEBUFFER_OES, (GLuint)previous);
		deleteGLObjects();
		lang::throwError(GraphicsException(lang::Format("Render target framebuffer is incomplete: {0}x{1} {2}, status {3}",
			m_width, m_height, m_format.toString(), (int)status)));
	}

	gl().glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
	gl().glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

	// Starts as opaque magenta so an undrawn target is easy to spot.
	EGL_State& state = EGL_State::sm_current;
	state.depthMask(true);
	state.clearColor(math::float4(1.f, 0.f, 1.f, 1.f));
	gl().glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
	state.depthMask(false);

	gl().glBindRenderbufferOES(GL_RENDERBUFFER_OES, 0);
	gl().glBindFramebufferOES(GL_FRAMEBUFFER_OES, (GLuint)previous);
}

void EGL_Texture::restore()
{
	allocate(m_context, m_width, m_height, m_mipLevels, m_format, nullptr, m_usage);
	m_replaying = true;
	for (const lang::Ptr<ShadowingSurfaceData>& record : m_shadows)
		blt(record->x, record->y, record->pixels.data(), record->pitch, record->mipLevel, record->width, record->height,
			record->format, nullptr, record->paletteFormat);
	m_replaying = false;
}

void EGL_Texture::blt(int x, int y, const void* src, int srcPitch, int mipLevel, int width, int height,
	const SurfaceFormat& srcFormat, const void* srcPalette, const SurfaceFormat& srcPaletteFormat)
{
	GLenum glFormat;
	GLenum glType;
	if (!toGL(srcFormat, &glFormat, &glType))
		throwNoMapping(srcFormat);

	if (m_context && m_context->isTextureShadowingEnabled() && !m_replaying)
	{
		lang::Ptr<ShadowingSurfaceData> record = new ShadowingSurfaceData();
		record->x = x;
		record->y = y;
		record->pitch = srcPitch;
		record->mipLevel = mipLevel;
		record->width = width;
		record->height = height;
		record->format = srcFormat;
		record->paletteFormat = srcPaletteFormat;
		const int bytes = srcFormat.getMemoryUsage(width, height);
		const unsigned char* pixels = static_cast<const unsigned char*>(src);
		record->pixels.assign(pixels, pixels + bytes);
		m_shadows.push_back(record);
	}

	EGL_State& state = EGL_State::sm_current;
	state.activeTexture(GL_TEXTURE0);
	state.bindTexture(m_texture);
	if (isCompressed(srcFormat))
		gl().glCompressedTexImage2D(GL_TEXTURE_2D, mipLevel, glFormat, width, height, 0, srcFormat.getMemoryUsage(width, height), src);
	else
	{
		gl().glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
		gl().glTexSubImage2D(GL_TEXTURE_2D, mipLevel, x, y, width, height, glFormat, glType, src);
	}
	state.bindTexture(0);
}

} // gr
