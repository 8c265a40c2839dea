#include <game/BitmapFont.h>
#include <game/ChunkReader.h>
#include <gr/Context.h>
#include <lang/Exception.h>
#include <lang/TempBuffer.h>
#include <lang/UTFConverter.h>
#include <algorithm>
#include <climits>
#include <cstdio>

namespace game
{

namespace
{

/** A text as UTF-16 code units in scratch memory, for the length of one call. */
class Utf16Text
{
public:
	/** Each UTF-8 byte gives at most one code unit, so length + 1 units always suffice. */
	explicit Utf16Text(const lang::String& text) :
		m_buffer((text.length() + 1) * static_cast<int>(sizeof(short))),
		m_length(text.getUTF16(reinterpret_cast<short*>(m_buffer.data()), text.length() + 1))
	{
	}

	const unsigned short* units() const					{ return reinterpret_cast<const unsigned short*>(m_buffer.data()); }
	int length() const									{ return m_length; }

	/** Keeps begin within [0, length] and count within [0, length - begin]. */
	void clip(int& begin, int& count) const
	{
		begin = begin < 0 ? 0 : (begin > m_length ? m_length : begin);
		const int left = m_length - begin;
		count = count < 0 ? 0 : (count > left ? left : count);
	}

private:
	lang::ByteTempBuffer m_buffer;
	int m_length;
};

} // namespace

BitmapFont::BitmapFont(gr::Context* context, const lang::String& fileName) :
	m_tracking(0),
	m_maxAscending(0),
	m_maxDescending(0),
	m_leading(0)
{
	ChunkReader reader(fileName);
	reader.forEachBody(ChunkReader::TAG_FONT, [&] { readBody(context, reader); });
}

void BitmapFont::readBody(gr::Context* context, ChunkReader& reader)
{
	io::DataInputStream& in = reader.in();
	m_glyphs.clear();
	m_maxAscending = 0;
	m_maxDescending = 0;
	m_sheet = new SpriteSheet(context->createImage(reader.pathBeside(in.readUTF())));
	m_leading = in.readShort();
	m_tracking = in.readShort();
	const int count = in.readShort();
	for (int i = 0; i < count; ++i)
	{
		const unsigned short code = static_cast<unsigned short>(in.readShort());
		const int x = in.readShort();
		const int y = in.readShort();
		const int width = in.readShort();
		const int height = in.readShort();
		const int pivotY = in.readShort();
		m_maxAscending = std::max(m_maxAscending, pivotY);
		m_maxDescending = std::max(m_maxDescending, height - pivotY);
		char name[8];
		std::snprintf(name, sizeof(name), "%u", static_cast<unsigned>(code));
		m_glyphs[code] = m_sheet->createSprite(name, x, y, width, height, 0, pivotY);
	}
}

Sprite* BitmapFont::getGlyph(unsigned short code) const
{
	Sprite* const* glyph = m_glyphs.find(code);
	return glyph ? *glyph : nullptr;
}

void BitmapFont::drawString(gr::Context* context, const lang::String& text, float x, float y, Anchor anchor) const
{
	drawString(context, text, 0, INT_MAX, x, y, anchor);
}

void BitmapFont::drawString(gr::Context* context, const lang::String& text, int begin, int count, float x, float y, Anchor anchor) const
{
	if (text.isEmpty())
		return;
	const Utf16Text units(text);
	units.clip(begin, count);
	drawString(context, units.units(), begin, count, x, y, anchor);
}

void BitmapFont::drawString(gr::Context* context, const unsigned short* text, int begin, int count, float x, float y, Anchor anchor) const
{
	switch (anchor.vertical)
	{
	case Anchor::TOP:		y += static_cast<float>(m_maxAscending); break;
	case Anchor::VCENTER:	y += static_cast<float>(m_maxAscending - ((m_maxAscending + m_maxDescending) >> 1)); break;
	case Anchor::BOTTOM:	y -= static_cast<float>(m_maxDescending); break;
	default:				break;
	}
	if (anchor.horizontal == Anchor::HCENTER)
		x -= static_cast<float>(measure(text, begin, count) >> 1);
	else if (anchor.horizontal == Anchor::RIGHT)
		x -= static_cast<float>(measure(text, begin, count));

	const Anchor atBaseline(Anchor::VPIVOT, Anchor::HPIVOT);
	for (int i = begin; i < begin + count; ++i)
	{
		const Sprite* glyph = getGlyph(text[i]);
		if (!glyph)
			lang::throwError(lang::Exception(lang::Format("Trying to draw character not present in font: {0}", text[i])));
		glyph->draw(context, x, y, atBaseline);
		x += static_cast<float>(glyph->getWidth() + m_tracking);
	}
}

int BitmapFont::measure(const unsigned short* text, int begin, int count) const
{
	if (count <= 0)
		return 0;
	// Long texts could carry the sum past the int range.
	long long width = static_cast<long long>(m_tracking) * (count - 1);
	for (int i = begin; i < begin + count; ++i)
	{
		const Sprite* glyph = getGlyph(text[i]);
		if (glyph)
			width += glyph->getWidth();
	}
	return static_cast<int>(std::min<long long>(std::max<long long>(width, INT_MIN), INT_MAX));
}

int BitmapFont::getStringWidth(const lang::String& text, int begin, int count) const
{
	if (text.isEmpty())
		return 0;
	const Utf16Text units(text);
	units.clip(begin, count);
	return measure(units.units(), begin, count);
}

lang::String BitmapFont::filter(const lang::String& text) const
{
	const Utf16Text units(text);
	lang::ByteTempBuffer kept((units.length() + 1) * static_cast<int>(sizeof(short)));
	unsigned short* out = reinterpret_cast<unsigned short*>(kept.data());
	int length = 0;
	for (int i = 0; i < units.length(); ++i)
		if (getGlyph(units.units()[i]))
			out[length++] = units.units()[i];
	return lang::String(out, length * static_cast<int>(sizeof(short)), lang::UTFConverter(lang::UTFConverter::ENCODING_UTF16));
}

} // game
