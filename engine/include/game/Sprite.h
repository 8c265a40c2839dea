#ifndef GAME_SPRITE_H
#define GAME_SPRITE_H

#include <game/Anchor.h>
#include <lang/Object.h>
#include <math/float2.h>

namespace gr
{
class Context;
}

namespace game
{

class SpriteSheet;

/**
 * A named rectangle of a sprite sheet's image with a pivot point, in pixels. Owned by its sheet's
 * sprite table; points back to the sheet without holding it, so it must not be drawn once the
 * sheet is gone.
 */
class Sprite : public lang::Object
{
public:
	/** Stores each value as 16 bits and computes the texture coordinates from the sheet's texture. */
	Sprite(SpriteSheet* sheet, int x, int y, int width, int height, int pivotX, int pivotY);

	SpriteSheet* getSheet() const						{ return m_sheet; }
	int getWidth() const								{ return m_width; }
	int getHeight() const								{ return m_height; }
	/** Pixels right of the left edge. */
	int getPivotX() const								{ return m_pivotX; }
	/** Pixels below the top edge. */
	int getPivotY() const								{ return m_pivotY; }
	int getPositionInSheetX() const						{ return m_x; }
	int getPositionInSheetY() const						{ return m_y; }
	/** Corners top-left, top-right, bottom-left, bottom-right; zero when the image has no texture. */
	const math::float2* getUV() const					{ return m_uv; }

	/** Draws at its own size. */
	void draw(gr::Context* context, float x, float y, Anchor anchor) const;
	/** Draws stretched to w x h; the anchor still shifts by the sprite's own size. */
	void draw(gr::Context* context, float x, float y, float w, float h, Anchor anchor) const;

private:
	SpriteSheet* m_sheet;
	short m_x;
	short m_y;
	short m_width;
	short m_height;
	short m_pivotX;
	short m_pivotY;
	math::float2 m_uv[4];
};

} // game

#endif
