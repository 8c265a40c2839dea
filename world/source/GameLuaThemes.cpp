#include <world/GameLua.h>

#include <game/Resources.h>
#include <gr/Context.h>
#include <lang/Math.h>
#include <lang/Truncate.h>
#include <lua/LuaState.h>
#include <algorithm>
#include <cmath>

namespace {

const game::Anchor AT_PIVOT(game::Anchor::VPIVOT, game::Anchor::HPIVOT);

// A colour component from 0 to 255, clamped and truncated.
unsigned int colourByte(float component)
{
	return static_cast<unsigned int>(lang::truncateToRange(component, 0, 255));
}

float numberOr(const lua::LuaTable& table, int key, float fallback)
{
	return table.isNumber(key) ? table.getNumber(key) : fallback;
}

void readColour(const lua::LuaTable& theme, const char* key, float* rgb)
{
	const lua::LuaTable colour = theme.getTable(key);
	rgb[0] = colour.getNumber("r");
	rgb[1] = colour.getNumber("g");
	rgb[2] = colour.getNumber("b");
}

} // namespace

GameLua::ThemeLayerData GameLua::readThemeLayer(const lua::LuaTable& table, game::Resources* resources, bool foreground)
{
	ThemeLayerData layer;
	layer.name = table.getString(1);
	layer.sprite = table.getString(2);
	layer.width = static_cast<short>(resources->getSpriteWidth(layer.sprite));
	layer.pivotX = static_cast<short>(resources->getSpritePivotX(layer.sprite));
	if (foreground)
	{
		layer.height = static_cast<short>(resources->getSpriteHeight(layer.sprite));
		layer.pivotY = static_cast<short>(resources->getSpritePivotY(layer.sprite));
	}
	layer.parallaxX = numberOr(table, 3, 1.0f);
	layer.layerScale = numberOr(table, 4, 1.0f);
	return layer;
}

void GameLua::setTheme(const lang::String& name)
{
	const lua::LuaTable theme = getTable("blockTable").getTable("themes").getTable(name);
	readColour(theme, "skyColor", m_skyColor);
	readColour(theme, "groundColor", m_groundColor);
	m_bgLayers.clear();
	m_fgLayers.clear();
	const char* const lists[2] = {"bgLayers", "fgLayers"};
	for (int list = 0; list < 2; ++list)
	{
		if (!theme.isTable(lists[list]))
			continue;
		const lua::LuaTable layers = theme.getTable(lists[list]);
		lang::Array<ThemeLayerData>& target = list == 0 ? m_bgLayers : m_fgLayers;
		for (int i = 1; layers.isTable(i); ++i)
			target.add(readThemeLayer(layers.getTable(i), m_resources, list == 1));
	}
}

GameLua::ThemeLayerData* GameLua::themeLayer(float number)
{
	const int background = m_bgLayers.size();
	const float truncated = std::trunc(number);
	if (!(truncated >= 0.0f && truncated < static_cast<float>(background + m_fgLayers.size())))
		return nullptr;
	const int index = lang::truncateTo<int>(truncated);
	return index < background ? &m_bgLayers[index] : &m_fgLayers[index - background];
}

GameLua::ThemeSpriteData* GameLua::findThemeSprite(const lang::String& id, float layer)
{
	ThemeLayerData* owner = themeLayer(layer);
	if (!owner)
		return nullptr;
	for (ThemeSpriteData& sprite : owner->themeSprites)
		if (sprite.id == id)
			return &sprite;
	return nullptr;
}

void GameLua::createThemeSprite(const lang::String& id, const lang::String& spriteName, float x, float y, float scaleX, float scaleY, float angle, float layer, float rotationSpeed, bool flipped)
{
	ThemeLayerData* owner = themeLayer(layer);
	if (!owner)
		return;
	ThemeSpriteData sprite;
	sprite.spritePtr = m_resources->getSprite(spriteName);
	sprite.x = x;
	sprite.y = y;
	sprite.scaleX = scaleX;
	sprite.scaleY = scaleY;
	sprite.angle = angle;
	sprite.rotationSpeed = rotationSpeed;
	sprite.flipped = flipped;
	sprite.id = id;
	sprite.spriteName = spriteName;
	owner->themeSprites.add(sprite);
}

void GameLua::removeThemeSprite(const lang::String& id, float layer)
{
	ThemeLayerData* owner = themeLayer(layer);
	if (!owner)
		return;
	for (int i = 0; i < owner->themeSprites.size(); ++i)
		if (owner->themeSprites[i].id == id)
		{
			owner->themeSprites.remove(i);
			return;
		}
}

void GameLua::modifyThemeSprite(const lang::String& id, float x, float y, float scaleX, float scaleY, float angle, float layer)
{
	if (ThemeSpriteData* sprite = findThemeSprite(id, layer))
	{
		sprite->x = x;
		sprite->y = y;
		sprite->scaleX = scaleX;
		sprite->scaleY = scaleY;
		sprite->angle = angle;
	}
}

void GameLua::setThemeSprite(const lang::String& id, const lang::String& spriteName, float layer)
{
	if (ThemeSpriteData* sprite = findThemeSprite(id, layer))
		sprite->spriteName = spriteName;
}

void GameLua::rotateThemeSprites(float dt)
{
	const float fullTurn = 2.0f * lang::Math::PI;
	for (lang::Array<ThemeLayerData>* layers : {&m_bgLayers, &m_fgLayers})
		for (ThemeLayerData& layer : *layers)
			for (ThemeSpriteData& sprite : layer.themeSprites)
			{
				sprite.angle = std::fmod(sprite.angle + sprite.rotationSpeed * dt, fullTurn);
				if (sprite.angle < 0.0f)
					sprite.angle += fullTurn;
			}
}

int GameLua::setRenderState(lua::LuaState* lua)
{
	gr::RenderState2D& state = m_context->getRenderState2D();
	const int arguments = lua->top();
	if (arguments >= 2)
		state.translation = math::float2(lua->toNumber(1), lua->toNumber(2));
	if (arguments >= 4)
		state.scale = math::float2(lua->toNumber(3), lua->toNumber(4));
	if (arguments >= 5)
		state.setRotation(lua->toNumber(5));
	if (arguments >= 7)
		state.pivot = math::float2(lua->toNumber(6), lua->toNumber(7));
	return 0;
}

int GameLua::setLayerOffSet(lua::LuaState* lua)
{
	if (lua->top() != 3 || !lua->isBoolean(3))
		return 0;
	lang::Array<ThemeLayerData>& layers = lua->toBoolean(3) ? m_bgLayers : m_fgLayers;
	const float index = std::trunc(lua->toNumber(1) - 1.0f);
	if (index >= 0.0f && index < static_cast<float>(layers.size()))
		layers[lang::truncateTo<int>(index)].offset += lua->toNumber(2);
	return 0;
}

void GameLua::setBackgroundFromSky()
{
	m_bgColor = colourByte(m_skyColor[0]) << 16 | colourByte(m_skyColor[1]) << 8 | colourByte(m_skyColor[2]);
}

void GameLua::drawLayerTiles(ThemeLayerData& layer, bool scrolling)
{
	const float scale = layer.layerScale;
	const float width = static_cast<float>(layer.width);
	const float period = width * scale;
	// A sprite that isn't loaded has no width: such a layer has nothing to tile.
	if (!(period > 0.0f))
		return;

	gr::RenderState2D& state = m_context->getRenderState2D();
	state.scale = math::float2(scale * m_worldScale, scale * m_worldScale);
	state.translation.y = -m_topLeftY / scale;
	state.setRotation(0.0f);

	const float parallax = scrolling ? layer.parallaxX : 1.0f;
	float offset = layer.offset;
	if (offset != 0.0f && parallax != 0.0f)
		offset = std::fmod(offset, period / parallax);
	if (scrolling)
		layer.offset = offset;

	const double phase = std::fmod((static_cast<double>(offset) + m_topLeftX) * parallax, static_cast<double>(period));
	const float start = static_cast<float>(-(period + phase) / scale);
	const float first = std::trunc(start);
	state.translation.x = scrolling ? start - first : 0.0f;

	const float right = static_cast<float>(m_context->width()) / scale / m_worldScale + static_cast<float>(layer.pivotX);
	if (!std::isfinite(right) || !std::isfinite(first))
		return;
	const double tiles = std::ceil((static_cast<double>(right) - first) / width);
	const int count = lang::truncateTo<int>(static_cast<float>(tiles));
	for (int i = 0; i < count; ++i)
		m_resources->drawSprite(layer.sprite, first + static_cast<float>(i) * width, 0.0f, AT_PIVOT);
}

void GameLua::drawThemeSprites(const ThemeLayerData& layer, float parallax)
{
	gr::RenderState2D& state = m_context->getRenderState2D();
	for (const ThemeSpriteData& sprite : layer.themeSprites)
	{
		// A sprite scaled to nothing shows nothing and would divide by zero below.
		if (sprite.scaleX == 0.0f || sprite.scaleY == 0.0f)
			continue;
		const float flip = sprite.flipped ? -1.0f : 1.0f;
		state.scale = math::float2(sprite.scaleX * m_worldScale * flip, sprite.scaleY * m_worldScale);
		state.translation = math::float2(-(m_topLeftX * parallax) * flip / sprite.scaleX, -m_topLeftY / sprite.scaleY);
		state.pivot = math::float2(static_cast<float>(m_resources->getSpritePivotX(sprite.spriteName)),
			static_cast<float>(m_resources->getSpritePivotY(sprite.spriteName)));
		state.setRotation(flip * sprite.angle);
		m_resources->drawSprite(sprite.spriteName, sprite.x * m_physicsSimulationScale * flip / sprite.scaleX,
			sprite.y * m_physicsSimulationScale / sprite.scaleY, AT_PIVOT);
	}
}

void GameLua::drawBackground()
{
	setBackgroundFromSky();
	gr::RenderState2D& state = m_context->getRenderState2D();
	state.translation = math::float2(-m_topLeftX, -m_topLeftY);
	state.setRotation(0.0f);
	for (ThemeLayerData& layer : m_bgLayers)
	{
		drawLayerTiles(layer, true);
		drawThemeSprites(layer, layer.parallaxX);
	}
}

void GameLua::drawForegroundNative()
{
	const float groundHeight = m_fgLayers.isEmpty() ? 0.0f : static_cast<float>(m_fgLayers[0].height - m_fgLayers[0].pivotY);
	const float groundScale = m_fgLayers.isEmpty() ? 1.0f : m_fgLayers[0].layerScale;
	const float groundTop = std::trunc((groundHeight * groundScale - m_topLeftY) * m_worldScale);
	drawRect(m_groundColor[0] / 255.0f, m_groundColor[1] / 255.0f, m_groundColor[2] / 255.0f, 1.0f,
		0.0f, groundTop, static_cast<float>(m_context->width()), static_cast<float>(m_context->height() + 1), false);
	for (ThemeLayerData& layer : m_fgLayers)
	{
		drawLayerTiles(layer, true);
		drawThemeSprites(layer, layer.parallaxX);
	}
}

void GameLua::drawLayer(float index)
{
	const float layers = static_cast<float>(m_bgLayers.size() + m_fgLayers.size());
	float number = std::trunc(index);
	if (number >= layers)
		number -= layers;
	setBackgroundFromSky();
	ThemeLayerData* layer = themeLayer(number);
	if (!layer)
		return;
	drawLayerTiles(*layer, false);
	drawThemeSprites(*layer, 1.0f);
}
