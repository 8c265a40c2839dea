#ifndef GAME_BITMAPFONT_H
#define GAME_BITMAPFONT_H

#include <game/IFont.h>
#include <game/SpriteSheet.h>
#include <lang/Hashtable.h>
#include <lang/Ptr.h>

namespace game
{

class ChunkReader;

/**
 * A font whose glyphs are sprites of one image, keyed by UTF-16 code unit. Held through lang::Ptr;
 * owns its sheet, which owns the glyph sprites. Complete when constructed; never changes after.
 */
class BitmapFont : public IFont
{
public:
	/**
	 * Reads a font chunk file (or its headerless layout); the image is read from the font file's
	 * directory through the context. Stream, chunk-file and image errors pass through.
	 */
	BitmapFont(gr::Context* context, const lang::String& fileName);

	void drawString(gr::Context* context, const lang::String& text, float x, float y, Anchor anchor) const override;
	/** Throws lang::Exception "Trying to draw character not present in font: {0}" at the first code unit without a glyph. */
	void drawString(gr::Context* context, const lang::String& text, int begin, int count, float x, float y, Anchor anchor) const override;
	/** Draws text[begin .. begin + count - 1], a range the caller keeps inside the text. */
	void drawString(gr::Context* context, const unsigned short* text, int begin, int count, float x, float y, Anchor anchor) const;
	lang::String filter(const lang::String& text) const override;
	/** A code unit without a glyph measures 0. */
	int getStringWidth(const lang::String& text, int begin, int count) const override;
	int getMaxAscending() const override				{ return m_maxAscending; }
	int getMaxDescending() const override				{ return m_maxDescending; }
	int getLeading() const override						{ return m_leading; }
	int getTracking() const override					{ return m_tracking; }

	/** The glyph sprite of a code unit, or null. */
	Sprite* getGlyph(unsigned short code) const;
	/** The font image and its glyph sprites; null for a file that held no font. */
	SpriteSheet* getSheet() const						{ return m_sheet; }

private:
	/** Glyph sprites belong to m_sheet. */
	lang::Hashtable<unsigned short, Sprite*> m_glyphs;
	lang::Ptr<SpriteSheet> m_sheet;
	int m_tracking;
	int m_maxAscending;
	int m_maxDescending;
	int m_leading;

	/** One font body; it replaces the whole font, glyphs and all. */
	void readBody(gr::Context* context, ChunkReader& reader);
	/** Sum of glyph widths plus tracking between them; 0 for an empty range. */
	int measure(const unsigned short* text, int begin, int count) const;
};

} // game

#endif
