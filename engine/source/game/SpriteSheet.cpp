#include <game/ChunkReader.h>
#include <game/SpriteSheet.h>
#include <gr/Context.h>

namespace game
{

namespace
{

/** How far the anchor moves the top-left corner back from the given point, in whole pixels. */
int anchorShiftX(int horizontal, int width, int pivotX)
{
	switch (horizontal)
	{
	case Anchor::HCENTER:	return width >> 1;
	case Anchor::RIGHT:		return width;
	case Anchor::HPIVOT:	return pivotX;
	default:				return 0;
	}
}

int anchorShiftY(int vertical, int height, int pivotY)
{
	switch (vertical)
	{
	case Anchor::VCENTER:	return height >> 1;
	case Anchor::BOTTOM:	return height;
	case Anchor::BASELINE:
	case Anchor::VPIVOT:	return pivotY;
	default:				return 0;
	}
}

} // namespace

SpriteSheet::SpriteSheet(gr::Context* context, const lang::String& fileName)
{
	ChunkReader reader(fileName);
	reader.forEachBody(ChunkReader::TAG_SPRT, [&] { readBody(context, reader); });
}

SpriteSheet::SpriteSheet(gr::Image* image) :
	m_image(image)
{
}

void SpriteSheet::readBody(gr::Context* context, ChunkReader& reader)
{
	io::DataInputStream& in = reader.in();
	m_image = context->createImage(reader.pathBeside(in.readUTF()));
	const int count = in.readShort();
	for (int i = 0; i < count; ++i)
	{
		const lang::String name = in.readUTF();
		const int x = in.readShort();
		const int y = in.readShort();
		const int width = in.readShort();
		const int height = in.readShort();
		const int pivotX = in.readShort();
		const int pivotY = in.readShort();
		createSprite(name, x, y, width, height, pivotX, pivotY);
	}
}

Sprite* SpriteSheet::getSprite(const lang::String& name) const
{
	const lang::Ptr<Sprite>* sprite = m_sprites.find(name);
	return sprite ? sprite->ptr() : nullptr;
}

Sprite* SpriteSheet::createSprite(const lang::String& name, int x, int y, int width, int height, int pivotX, int pivotY)
{
	Sprite* sprite = new Sprite(this, x, y, width, height, pivotX, pivotY);
	m_sprites[name] = sprite;
	return sprite;
}

void SpriteSheet::drawSprite(gr::Context* context, const Sprite* sprite, float x, float y, float w, float h, Anchor anchor) const
{
	if (!m_image)
		return;
	x -= static_cast<float>(anchorShiftX(anchor.horizontal, sprite->getWidth(), sprite->getPivotX()));
	y -= static_cast<float>(anchorShiftY(anchor.vertical, sprite->getHeight(), sprite->getPivotY()));
	if (m_image->getTexture())
		m_image->draw(context, x, y, w, h, sprite->getUV());
	else
		m_image->draw(context, x, y, sprite->getPositionInSheetX(), sprite->getPositionInSheetY(),
			sprite->getWidth(), sprite->getHeight(), w, h);
}

} // game
