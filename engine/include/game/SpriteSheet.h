#ifndef GAME_SPRITESHEET_H
#define GAME_SPRITESHEET_H

#include <game/Anchor.h>
#include <game/Sprite.h>
#include <gr/Image.h>
#include <lang/Hashtable.h>
#include <lang/Ptr.h>
#include <lang/String.h>

namespace gr
{
class Context;
}

namespace game
{

class ChunkReader;

/**
 * One image holding many named sprites. Held through lang::Ptr; it shares its image and owns its
 * sprites, which live as long as the sheet holds them.
 */
class SpriteSheet : public lang::Object
{
public:
	typedef lang::Hashtable<lang::String, lang::Ptr<Sprite>> SpriteTable;

	/**
	 * Reads a sprite sheet chunk file (or its headerless layout); the image is read from the
	 * sheet file's directory through the context. Stream, chunk-file and image errors pass through.
	 */
	SpriteSheet(gr::Context* context, const lang::String& fileName);
	/** A sheet without sprites around an image it shares. */
	explicit SpriteSheet(gr::Image* image);

	/** Null for a file that held no sheet. */
	gr::Image* getImage() const							{ return m_image; }
	const SpriteTable& getSprites() const				{ return m_sprites; }

	/** The sprite of that name, or null. */
	Sprite* getSprite(const lang::String& name) const;

	/** Makes a sprite of this sheet and stores it under the name, replacing one stored there. */
	Sprite* createSprite(const lang::String& name, int x, int y, int width, int height, int pivotX, int pivotY);

	/**
	 * Draws the sprite stretched to w x h at (x, y) shifted by the anchor (from the sprite's own
	 * size and pivot). Draws nothing when the sheet has no image.
	 */
	void drawSprite(gr::Context* context, const Sprite* sprite, float x, float y, float w, float h, Anchor anchor) const;

private:
	/** Declared before the sprites, so the sprites are released first. */
	lang::Ptr<gr::Image> m_image;
	SpriteTable m_sprites;

	/** One sheet body: image name, sprite count, sprite records. */
	void readBody(gr::Context* context, ChunkReader& reader);
};

} // game

#endif
