#ifndef TESTS_WORLD_DRAWINGFIXTURE_H
#define TESTS_WORLD_DRAWINGFIXTURE_H

#include "WorldFixture.h"
#include "game/GameTestFiles.h"
#include <game/Resources.h>
#include <world/MaskedImage.h>
#include <world/RenderObjectData.h>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

/** Reaches the game world's drawing state: the camera, object records, layers and trails. */
struct GameLuaTestAccess
{
	static void setCamera(GameLua& world, float x, float y, float scale)
	{
		world.m_topLeftX = x;
		world.m_topLeftY = y;
		world.m_worldScale = scale;
	}

	static void setPhysicsSimulationScale(GameLua& world, float scale)	{ world.m_physicsSimulationScale = scale; }

	/** Files the record under its name and the integer part of its z order; the caller keeps it. */
	static void insert(GameLua& world, GameLua::RenderObjectData* object)
	{
		world.m_objects.put(object->name, object);
		world.m_zOrder[static_cast<int>(object->zOrder)].add(object->name);
	}

	static void removeAll(GameLua& world)
	{
		world.m_objects.clear();
		world.m_zOrder.clear();
	}

	static unsigned int backgroundColour(const GameLua& world)	{ return world.m_bgColor; }
	static float layerOffset(const GameLua& world, int background)	{ return world.m_bgLayers[background].offset; }
	static int layerCount(const GameLua& world, bool foreground)	{ return (foreground ? world.m_fgLayers : world.m_bgLayers).size(); }
	static float themeSpriteAngle(const GameLua& world, int background, int sprite)	{ return world.m_bgLayers[background].themeSprites[sprite].angle; }
	static int themeSpriteCount(const GameLua& world, int background)	{ return world.m_bgLayers[background].themeSprites.size(); }
	static MaskedImage& maskedImage(GameLua& world)				{ return *world.m_maskedImage; }
	static int trailPoints(const GameLua& world, int slot)		{ return world.m_trajectoryPoints[slot].size(); }
};

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
