#include <game/Sprite.h>
#include <game/SpriteSheet.h>
#include <gr/Texture.h>

namespace game
{

Sprite::Sprite(SpriteSheet* sheet, int x, int y, int width, int height, int pivotX, int pivotY) :
	m_sheet(sheet),
	m_x(static_cast<short>(x)),
	m_y(static_cast<short>(y)),
	m_width(static_cast<short>(width)),
	m_height(static_cast<short>(height)),
	m_pivotX(static_cast<short>(pivotX)),
	m_pivotY(static_cast<short>(pivotY))
{
	const gr::Image* image = sheet ? sheet->getImage() : nullptr;
	const gr::Texture* texture = image ? image->getTexture() : nullptr;
	if (!texture || texture->width() <= 0 || texture->height() <= 0)
		return;
	// The image sits in the top-left corner of a texture that may be larger.
	const float tw = static_cast<float>(texture->width());
	const float th = static_cast<float>(texture->height());
	const float uLeft = static_cast<float>(x) / tw;
	const float vTop = static_cast<float>(y) / th;
	const float uRight = static_cast<float>(x + width) / tw;
	const float vBottom = static_cast<float>(y + height) / th;
	m_uv[0] = math::float2(uLeft, vTop);
	m_uv[1] = math::float2(uRight, vTop);
	m_uv[2] = math::float2(uLeft, vBottom);
	m_uv[3] = math::float2(uRight, vBottom);
}

void Sprite::draw(gr::Context* context, float x, float y, Anchor anchor) const
{
	m_sheet->drawSprite(context, this, x, y, static_cast<float>(m_width), static_cast<float>(m_height), anchor);
}

void Sprite::draw(gr::Context* context, float x, float y, float w, float h, Anchor anchor) const
{
	m_sheet->drawSprite(context, this, x, y, w, h, anchor);
}

} // game
