#ifndef GAME_COMPOSPRITE_H
#define GAME_COMPOSPRITE_H

#include <game/Anchor.h>
#include <lang/Array.h>
#include <lang/Object.h>
#include <lang/String.h>

namespace gr
{
class Context;
}

namespace game
{

class Sprite;

/**
 * An ordered list of sprites placed around a common pivot and drawn as one picture. Held through
 * lang::Ptr; it points at its parts' sprites without holding them, so their sheets must outlive it.
 */
class CompoSprite : public lang::Object
{
public:
	/** One part: its sprite's pivot lies at (x, y) from the composite's pivot, in pixels. */
	struct Entry
	{
		lang::String spriteName;
		Sprite* sprite;
		float x;
		float y;

		Entry() : sprite(nullptr), x(0.f), y(0.f) {}
		Entry(const lang::String& name, Sprite* s, float px, float py) : spriteName(name), sprite(s), x(px), y(py) {}
	};

	CompoSprite() : m_width(0), m_height(0), m_pivotX(0), m_pivotY(0) {}

	/** Bounding box of all parts, pixels; 0 while there are none. */
	int getWidth() const								{ return m_width; }
	int getHeight() const								{ return m_height; }
	/** The composite's pivot, right of and below the box's top-left corner. */
	int getPivotX() const								{ return m_pivotX; }
	int getPivotY() const								{ return m_pivotY; }
	int getSpriteCount() const							{ return m_entries.size(); }
	/** index in [0, getSpriteCount()). */
	const Entry& getSpriteEntry(int index) const		{ return m_entries[index]; }

	/** Inserts a part (sprite not null) at index in [0, getSpriteCount()], later parts moving up, and recomputes the bounds. */
	void addSprite(int index, const lang::String& spriteName, float x, float y, Sprite* sprite);

	/** Recomputes the box from the parts, each position truncated toward zero. */
	void calculateBounds();

	/** Draws every part in order so that the composite's anchor point lands at (x, y). */
	void draw(gr::Context* context, float x, float y, Anchor anchor) const;

private:
	lang::Array<Entry> m_entries;
	int m_width;
	int m_height;
	int m_pivotX;
	int m_pivotY;
};

} // game

#endif
