#include <game/CompoSprite.h>
#include <game/Sprite.h>
#include <lang/Truncate.h>
#include <algorithm>
#include <climits>

namespace game
{

namespace
{

int clampToInt(long long value)
{
	return static_cast<int>(std::min<long long>(std::max<long long>(value, INT_MIN), INT_MAX));
}

} // namespace

void CompoSprite::addSprite(int index, const lang::String& spriteName, float x, float y, Sprite* sprite)
{
	m_entries.add(index, Entry(spriteName, sprite, x, y));
	calculateBounds();
}

void CompoSprite::calculateBounds()
{
	if (m_entries.isEmpty())
	{
		m_width = m_height = m_pivotX = m_pivotY = 0;
		return;
	}
	// Sums of an int16 sprite field and a truncated position may leave the int range.
	long long minX = LLONG_MAX;
	long long minY = LLONG_MAX;
	long long maxX = LLONG_MIN;
	long long maxY = LLONG_MIN;
	for (const Entry& entry : m_entries)
	{
		const long long px = lang::truncateTo<int>(entry.x);
		const long long py = lang::truncateTo<int>(entry.y);
		const Sprite& s = *entry.sprite;
		minX = std::min(minX, px - s.getPivotX());
		minY = std::min(minY, py - s.getPivotY());
		maxX = std::max(maxX, px + s.getWidth() - s.getPivotX());
		maxY = std::max(maxY, py + s.getHeight() - s.getPivotY());
	}
	m_width = clampToInt(maxX - minX);
	m_height = clampToInt(maxY - minY);
	m_pivotX = clampToInt(-minX);
	m_pivotY = clampToInt(-minY);
}

void CompoSprite::draw(gr::Context* context, float x, float y, Anchor anchor) const
{
	switch (anchor.horizontal)
	{
	case Anchor::LEFT:		x += static_cast<float>(m_pivotX); break;
	case Anchor::HCENTER:	x += static_cast<float>(m_pivotX - (m_width >> 1)); break;
	case Anchor::RIGHT:		x += static_cast<float>(m_pivotX - m_width); break;
	default:				break;
	}
	switch (anchor.vertical)
	{
	case Anchor::TOP:		y += static_cast<float>(m_pivotY); break;
	case Anchor::VCENTER:	y += static_cast<float>(m_pivotY - (m_height >> 1)); break;
	case Anchor::BOTTOM:	y += static_cast<float>(m_pivotY - m_height); break;
	default:				break;
	}
	const Anchor atPivot(Anchor::VPIVOT, Anchor::HPIVOT);
	for (const Entry& entry : m_entries)
		entry.sprite->draw(context, x + entry.x, y + entry.y, atPivot);
}

} // game
