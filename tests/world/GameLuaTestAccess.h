#ifndef TESTS_WORLD_GAMELUATESTACCESS_H
#define TESTS_WORLD_GAMELUATESTACCESS_H

#include <lang/Truncate.h>
#include <world/GameLua.h>
#include <world/MaskedImage.h>
#include <world/RenderObjectData.h>

/** Reaches the game world's drawing state (the camera, object records, layers and trails), its records and its physics world. */
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
		world.m_zOrder[lang::truncateTo<int>(object->zOrder)].add(object->name);
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
	static int trailPuffs(const GameLua& world, int slot)		{ return world.m_trajectoryPuffs[slot].size(); }
	static b2World& physicsWorld(GameLua& world)				{ return *world.m_world; }
	// Seconds of simulated time not yet stepped.
	static float accumulator(const GameLua& world)				{ return world.m_accumulator; }
	// Bodies the checks after each step have found turned to no number since the world was made.
	static int noNumberCatches(const GameLua& world)			{ return world.m_noNumberCatches; }
	/** Object records, joint records and destroy links the world keeps. */
	static int recordCount(const GameLua& world)
	{
		return world.m_objects.size() + static_cast<int>(world.m_joints.size() + world.m_destroyLinks.size());
	}
};

#endif
