#include <world/GameLua.h>

#include <game/CompoSprite.h>
#include <game/Resources.h>
#include <game/Sprite.h>
#include <game/SpriteSheet.h>
#include <gr/Context.h>
#include <gr/Image.h>
#include <gr/Texture.h>
#include <lang/TempBuffer.h>
#include <lang/Truncate.h>
#include <lua/LuaState.h>
#include <world/MaskedImage.h>
#include <world/RenderObjectData.h>
#include <algorithm>
#include <cmath>

namespace {

// Physics metres to world pixels.
const float PIXELS_PER_METRE = 20.0f;

const game::Anchor AT_PIVOT(game::Anchor::VPIVOT, game::Anchor::HPIVOT);

// UTF-16 units at which clipText may break a line.
const short LINE_FEED = 10;
const short SPACE = 32;
const short HYPHEN = 45;
const short ZERO_WIDTH_SPACE = static_cast<short>(8203);

// A0R0G0B0 from components on a 0 to 255 scale, each clamped and truncated.
unsigned int packColour(float r, float g, float b, float a)
{
	const auto byte = [](float c) { return static_cast<unsigned int>(lang::truncateToRange(c, 0, 255)); };
	return byte(b) | byte(g) << 8 | byte(r) << 16 | byte(a) << 24;
}

bool isBreak(short unit)
{
	return unit == LINE_FEED || unit == SPACE || unit == HYPHEN || unit == ZERO_WIDTH_SPACE;
}

bool isSpace(short unit)
{
	return unit == SPACE || unit == ZERO_WIDTH_SPACE;
}

} // namespace

void GameLua::drawGame()
{
	gr::RenderState2D& state = m_context->getRenderState2D();

	m_drawOrder.clear();
	for (const auto& layer : m_zOrder)
		if (!layer.value.isEmpty())
			m_drawOrder.add(layer.key);
	std::sort(m_drawOrder.begin(), m_drawOrder.end());

	bool trajectoriesDrawn = false;
	for (int z : m_drawOrder)
	{
		bool maskedPending = false;
		for (const lang::String& name : *m_zOrder.find(z))
		{
			state.translation = math::float2(-m_topLeftX, -m_topLeftY);
			state.scale = math::float2(m_worldScale, m_worldScale);
			RenderObjectData* object = m_objects.get(name);
			if (!object)
				continue;
			if (!trajectoriesDrawn && (object->isProjectile || object->damageOverTime))
			{
				state.setRotation(0.0f);
				drawTrajectories();
				trajectoriesDrawn = true;
			}
			// An object whose sprite name named nothing has nothing to draw.
			if (object->isCompoSprite ? !object->compoSprite : !object->sprite)
				continue;
			state.setRotation(object->renderAngle);
			state.pivot = object->isCompoSprite
				? math::float2(static_cast<float>(object->compoSprite->getPivotX()), static_cast<float>(object->compoSprite->getPivotY()))
				: math::float2(static_cast<float>(object->sprite->getPivotX()), static_cast<float>(object->sprite->getPivotY()));
			if (object->texture && !object->isCompoSprite && m_maskedImage->hasShader())
			{
				m_maskedImage->add(object->renderX * PIXELS_PER_METRE, object->renderY * PIXELS_PER_METRE, object->texture, object->sprite);
				maskedPending = true;
			}
			else
				drawCompoOrNormalSprite(*object, false);
		}
		if (maskedPending)
			m_maskedImage->render();
	}
	drawParticles();
}

void GameLua::drawCompoOrNormalSprite(RenderObjectData& object, bool ignoreScale)
{
	gr::RenderState2D& state = m_context->getRenderState2D();
	const float scaleX = ignoreScale ? 1.0f : object.scale[0];
	const float scaleY = ignoreScale ? 1.0f : object.scale[1];
	// Scaled to nothing: invisible, and the positions below would divide by zero.
	if (scaleX == 0.0f || scaleY == 0.0f)
		return;
	float flip = 1.0f;
	if (object.flag8)
	{
		state.setRotation(-object.renderAngle);
		flip = -1.0f;
	}
	if (object.flag10)
		state.setRotation(0.0f);
	state.scale = math::float2(scaleX * m_worldScale * flip, scaleY * m_worldScale);
	state.translation = math::float2(-(m_topLeftX * flip) / scaleX, -m_topLeftY / scaleY);

	const float x = object.renderX * PIXELS_PER_METRE * flip / scaleX;
	const float y = object.renderY * PIXELS_PER_METRE / scaleY;
	if (!object.isCompoSprite && object.sprite)
		object.sprite->draw(m_context, x, y, AT_PIVOT);
	else if (object.isCompoSprite && object.compoSprite)
		drawCompoEntries(*object.compoSprite, x, y);
}

void GameLua::drawCompoEntries(const game::CompoSprite& compo, float x, float y)
{
	gr::RenderState2D& state = m_context->getRenderState2D();
	for (int i = 0; i < compo.getSpriteCount(); ++i)
	{
		const game::CompoSprite::Entry& entry = compo.getSpriteEntry(i);
		if (!entry.sprite)
			continue;
		state.pivot = math::float2(static_cast<float>(entry.sprite->getPivotX()) - entry.x, static_cast<float>(entry.sprite->getPivotY()) - entry.y);
		entry.sprite->draw(m_context, x + entry.x, y + entry.y, AT_PIVOT);
	}
}

void GameLua::drawRect(float r, float g, float b, float a, float x1, float y1, float x2, float y2, bool keepRenderState)
{
	if (!keepRenderState)
		m_context->getRenderState2D() = gr::RenderState2D();
	const unsigned int colour = packColour(r * 255.0f, g * 255.0f, b * 255.0f, a * 255.0f);
	m_context->fillRect2D(colour, lang::truncateTo<int>(x1), lang::truncateTo<int>(y1), lang::truncateTo<int>(x2 - x1), lang::truncateTo<int>(y2 - y1));
}

void GameLua::drawLine2D(float x1, float y1, float x2, float y2, float width, float r, float g, float b, float a)
{
	m_context->drawLine2D(packColour(r, g, b, a), lang::truncateTo<int>(x1), lang::truncateTo<int>(y1), lang::truncateTo<int>(x2), lang::truncateTo<int>(y2), lang::truncateTo<int>(width));
}

void GameLua::drawTexturedRect(const lang::String& spriteName, float x1, float y1, float x2, float y2, bool)
{
	m_context->getRenderState2D() = gr::RenderState2D();
	game::SpriteSheet* sheet = m_resources->findSpriteSheet(spriteName);
	const game::Sprite* sprite = sheet ? sheet->getSprite(spriteName) : nullptr;
	gr::Image* image = sheet ? sheet->getImage() : nullptr;
	if (!sprite || !image || !image->getTexture())
		return;
	const gr::Texture* texture = image->getTexture();
	const math::float4 window(static_cast<float>(texture->width()), static_cast<float>(texture->height()),
		m_topLeftX - static_cast<float>(sprite->getPositionInSheetX()), m_topLeftY - static_cast<float>(sprite->getPositionInSheetY()));
	m_context->texturizeRect2D(image, window, lang::truncateTo<int>(x1), lang::truncateTo<int>(y1), lang::truncateTo<int>(x2 - x1), lang::truncateTo<int>(y2 - y1));
}

void GameLua::drawCompoSpriteLua(const lang::String& name, float x, float y)
{
	const game::CompoSpriteSet* set = m_resources->findCompoSpriteSet(name);
	const game::CompoSprite* compo = set ? set->getCompoSprite(name) : nullptr;
	if (compo)
		drawCompoEntries(*compo, x, y);
}

void GameLua::clipText(const lang::String& set, const lang::String& key, float maxWidth)
{
	const lang::String text = m_resources->getString(set, key);
	lang::ByteTempBuffer buffer((text.length() + 1) * static_cast<int>(sizeof(short)));
	short* units = reinterpret_cast<short*>(buffer.data());
	const int count = text.getUTF16(units, text.length() + 1);
	// Units begin to end, measured as the font measures a first unit and a count.
	const auto width = [&](int begin, int end) { return static_cast<float>(m_resources->getStringWidth(text, begin, end - begin)); };

	lua::LuaTable lines(state());
	float widest = 0.0f;
	int lineCount = 0;
	for (int start = 0; start < count;)
	{
		int cut = count;
		int next = count;
		int words = 0;
		for (int pos = start;;)
		{
			int brk = pos;
			while (brk < count && !isBreak(units[brk]))
				++brk;
			// A hyphen stays on its line; other break characters are dropped.
			const int end = brk < count && units[brk] == HYPHEN ? brk + 1 : brk;
			if (width(start, end) >= maxWidth)
			{
				if (words == 0)
				{
					// The first word alone is too wide: cut inside it, keeping at least one unit
					// so that a width narrower than one character still makes progress.
					int k = start;
					while (k < count && width(start, k + 1) < maxWidth)
						++k;
					cut = next = std::max(k, start + 1);
				}
				break;
			}
			if (end >= count || units[brk] == LINE_FEED)
			{
				cut = next = end;
				break;
			}
			int run = end;
			while (run < count && isSpace(units[run]))
				++run;
			cut = end;
			next = run;
			if (run >= count)
				break;
			pos = run;
			++words;
		}

		widest = std::max(widest, width(start, cut));
		const short kept = units[cut];
		units[cut] = 0;
		lines.setString(++lineCount, lang::String::fromUTF16(units + start));
		units[cut] = kept;
		if (next < count && units[next] == LINE_FEED)
			++next;
		start = next;
	}
	m_clippedText.setNumber("widestLine", widest);
	m_clippedText.setTable("lines", lines);
}
