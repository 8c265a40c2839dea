#ifndef GAME_IFONT_H
#define GAME_IFONT_H

#include <game/Anchor.h>
#include <lang/Object.h>
#include <lang/String.h>

namespace gr
{
class Context;
}

namespace game
{

/**
 * A font that draws and measures one line of text, UTF-8 in, one glyph per UTF-16 code unit.
 * Held through lang::Ptr. Ranges count UTF-16 code units and are clipped to the text.
 */
class IFont : public lang::Object
{
public:
	/** The whole text with the anchor point at (x, y). */
	virtual void drawString(gr::Context* context, const lang::String& text, float x, float y, Anchor anchor) const = 0;
	/** The code units begin .. begin + count - 1. */
	virtual void drawString(gr::Context* context, const lang::String& text, int begin, int count, float x, float y, Anchor anchor) const = 0;
	/** The text without the code units the font cannot draw. */
	virtual lang::String filter(const lang::String& text) const = 0;
	/** Width in pixels of a range, without drawing. */
	virtual int getStringWidth(const lang::String& text, int begin, int count) const = 0;
	/** Pixels from the top of the tallest glyph down to the baseline. */
	virtual int getMaxAscending() const = 0;
	/** Pixels below the baseline. */
	virtual int getMaxDescending() const = 0;
	/** Line spacing in pixels. */
	virtual int getLeading() const = 0;
	/** Pixels added between two adjacent glyphs. */
	virtual int getTracking() const = 0;
};

} // game

#endif
