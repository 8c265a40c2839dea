#ifndef TESTS_WORLD_DRAWINGFIXTURE_H
#define TESTS_WORLD_DRAWINGFIXTURE_H

#include "GameLuaTestAccess.h"
#include "WorldFixture.h"
#include "game/GameTestFiles.h"
#include <game/Resources.h>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

/**
 * The game world over the recording device with sprite sheets written to a temporary directory.
 * Every sprite of every sheet has its own place in a 256-pixel atlas, so a recorded draw names
 * the sprite it drew. Object records placed with addObject go before the world does.
 */
class DrawingFixture : public WorldFixture
{
protected:
	TempDir dir;
	std::vector<std::unique_ptr<GameLua::RenderObjectData>> objects;

	DrawingFixture()										{ res->getResources()->setPath(dir.file("").c_str()); }
	~DrawingFixture() override								{ GameLuaTestAccess::removeAll(*world); }

	/** Writes and loads a sheet of sprites (name, width, height, pivot x, pivot y) laid out left to right. */
	void loadSheet(const std::string& sheet, const std::vector<SpriteRecord>& sprites)
	{
		std::vector<SpriteRecord> placed = sprites;
		for (SpriteRecord& sprite : placed)
		{
			sprite.x = m_nextX;
			sprite.y = 0;
			m_spriteAt[m_nextX] = sprite.name;
			m_nextX += sprite.width;
		}
		dir.write(sheet + ".chnk", singleChunkFile("SPRT", sheetBody(sheet + ".png", placed)));
		res->getResources()->createSpriteSheet((sheet + ".chnk").c_str(), false);
	}

	game::Sprite* sprite(const char* name)					{ return res->getResources()->getSprite(name); }

	GameLua::RenderObjectData& addObject(const char* name, const char* spriteName, float z, float x = 0.0f, float y = 0.0f)
	{
		objects.push_back(std::make_unique<GameLua::RenderObjectData>());
		GameLua::RenderObjectData& object = *objects.back();
		object.name = name;
		object.sprite = spriteName ? sprite(spriteName) : nullptr;
		object.zOrder = z;
		object.renderX = x;
		object.renderY = y;
		GameLuaTestAccess::insert(*world, &object);
		return object;
	}

	/** The names of the sprites drawn since the last call, in order. */
	std::vector<std::string> drawnSprites()
	{
		std::vector<std::string> names;
		for (const ImageDraw& draw : context.imageDraws)
			names.push_back(m_spriteAt[static_cast<int>(std::lround(draw.uv[0].x * static_cast<float>(context.textureWidth)))]);
		context.imageDraws.clear();
		return names;
	}

	/** The x positions handed to the drawn images since the last call. */
	std::vector<float> drawnX()
	{
		std::vector<float> xs;
		for (const ImageDraw& draw : context.imageDraws)
			xs.push_back(draw.x);
		context.imageDraws.clear();
		return xs;
	}

private:
	int m_nextX = 0;
	std::map<int, std::string> m_spriteAt;
};

#endif
