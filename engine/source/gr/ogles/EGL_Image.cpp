#include <gr/ogles/EGL_Image.h>
#include <gr/ogles/EGL_Context.h>
#include <gr/ogles/EGL_Transform2D.h>

namespace gr
{

int EGL_Image::nextPowerOfTwo(int n)
{
	if (n <= 0)
		return 0;
	int p = 1;
	while (p < n)
		p <<= 1;
	return p;
}

EGL_Image::EGL_Image(EGL_Context* context, int width, int height, int mipLevels, SurfaceFormat format, Palette* palette) :
	m_width(width),
	m_height(height)
{
	m_texture = static_cast<EGL_Texture*>(context->createTexture(nextPowerOfTwo(width), nextPowerOfTwo(height), mipLevels, format, palette, Context::USAGE_STATIC));
}

EGL_Image::~EGL_Image()
{
	EGL_Context* context = m_texture ? m_texture->context() : nullptr;
	if (context && context->getBatcher().getImage() == this)
		context->getBatcher().flush();
}

Shader* EGL_Image::getShader() const
{
	EGL_Context* context = m_texture->context();
	return context ? context->spriteShader(m_texture->format().hasAlpha()) : nullptr;
}

void EGL_Image::blt(int x, int y, const void* src, int srcPitch, int mipLevel, int width, int height,
	const SurfaceFormat& srcFormat, const void* srcPalette, const SurfaceFormat& srcPaletteFormat)
{
	m_texture->blt(x, y, src, srcPitch, mipLevel, width, height, srcFormat, srcPalette, srcPaletteFormat);
}

void EGL_Image::draw(Context*, float x, float y, int srcX, int srcY, int srcWidth, int srcHeight, float width, float height)
{
	const float tw = (float)m_texture->width();
	const float th = (float)m_texture->height();
	const float left = (float)srcX / tw;
	const float right = (float)(srcX + srcWidth) / tw;
	const float top = (float)srcY / th;
	const float bottom = (float)(srcY + srcHeight) / th;
	const math::float2 uv[4] = {{left, top}, {right, top}, {left, bottom}, {right, bottom}};
	draw(nullptr, x, y, width, height, uv);
}

void EGL_Image::draw(Context*, float x, float y, float width, float height, const math::float2* uv)
{
	EGL_Context* context = m_texture->context();
	if (!context)
		return;
	const RenderState2D& state = context->getRenderState2D();
	const EGL_Transform2D transform(state, context->width(), context->height());
	const bool unrotated = state.angle == 0.f;
	math::float2 pixels[4];
	math::float3 corners[4];
	transform.quad(x, y, width, height, unrotated, pixels, corners);
	if (unrotated ? transform.culledUnrotated(corners) : EGL_Transform2D::culled(corners, 4))
		return;
	context->getBatcher().render(EGL_RenderBatcher::TYPE_TEXTURED_QUADS, getShader(), corners, uv, nullptr, this, 1);
}

} // gr
