#ifndef TESTS_WORLD_WORLDFIXTURE_H
#define TESTS_WORLD_WORLDFIXTURE_H

#include "WorldFiles.h"
#include "game/GameTestFiles.h"
#include "lua/ScriptRunner.h"
#include "support/RecordingContext.h"
#include "WorldTestApp.h"
#include <game/LuaResources.h>
#include <lang/Debug.h>
#include <lang/Ptr.h>
#include <lua/LuaState.h>
#include <world/GameLua.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <string>

/**
 * A game world on a real Lua state, a recording device and a resource registry, with the
 * world's table reachable from scripts as the global "world" and its files in temporary data
 * and documents directories. Scripts define callbacks on it
 * ("function world.update(dt) ... end") and read results back through globals.
 */
class WorldFixture : public ::testing::Test
{
protected:
	RecordingContext context;
	WorldTestOS os;
	WorldTestApp app{&os};
	// Before the world, which reads its persistent files when made and saves one when released.
	WorldFiles files{app};
	lang::Ptr<lua::LuaState> lua = new lua::LuaState;
	lang::Ptr<game::LuaResources> res = new game::LuaResources(lua, &context);
	lang::Ptr<GameLua> world = new GameLua(&app, res->getResources(), lua, &context);

	WorldFixture()											{ lua->globals().setTable("world", *world); }
	~WorldFixture() override								{ world = nullptr; res = nullptr; lua = nullptr; }

	void run(const std::string& script)						{ runScript(*lua, script.c_str()); }

	float number(const std::string& expression)
	{
		run("result = " + expression);
		return lua->globals().getNumber("result");
	}

	bool boolean(const std::string& expression)
	{
		run("result = " + expression);
		return lua->globals().getBoolean("result");
	}

	/** What call writes to the debug output (enabled meanwhile) and to the standard output. */
	struct Output
	{
		std::string debug;
		std::string standard;
	};
	template <class F>
	static Output capture(F call)
	{
		lang::Debug::setEnabled(true);
		testing::internal::CaptureStderr();
		testing::internal::CaptureStdout();
		call();
		fflush(stdout);
		Output output;
		output.standard = testing::internal::GetCapturedStdout();
		output.debug = testing::internal::GetCapturedStderr();
		lang::Debug::setEnabled(false);
		return output;
	}

	// The lines of a log in which the frame put back a body that a physics step turned to no
	// number or carried beyond the world's extent: what the checks that guard the physics let
	// through. Empty when there are none.
	static std::string netLines(const std::string& log)
	{
		std::string lines;
		size_t start = 0;
		while (start < log.size())
		{
			const size_t end = std::min(log.find('\n', start), log.size());
			const std::string line = log.substr(start, end - start);
			if (line.find(" in a physics step: put back at rest at ") != std::string::npos)
				lines += line + "\n";
			start = end + 1;
		}
		return lines;
	}

	std::string text(const std::string& expression)
	{
		run("result = " + expression);
		return lua->globals().getString("result").c_str();
	}

	// Script callbacks of the frame and the contacts that record what they receive in the
	// globals "frames", "removeBlocksCalls" and "collisions" (one table per call), with physics on.
	void recordCallbacks()
	{
		run("frames, removeBlocksCalls, collisions = 0, 0, {}\n"
			"function world.update() frames = frames + 1 end\n"
			"function world.removeBlocks() removeBlocksCalls = removeBlocksCalls + 1 end\n"
			"function world.blockCollision(a, b, impact, hit, overTime)\n"
			"  collisions[#collisions + 1] = {kind = 'block', a = a, b = b, impact = impact, hit = hit, overTime = overTime} end\n"
			"function world.projectileCollision(p, o, impact, damage)\n"
			"  collisions[#collisions + 1] = {kind = 'projectile', a = p, b = o, impact = impact, damage = damage} end\n"
			"scoreTable = {blocks = {score = 0}}; world.scoreTable = scoreTable\n"
			"world.blockTable = {damageFactors = {}}\n");
		world->setPhysicsEnabled(true);
	}

	// Static ground whose top is the line y = 0 (y grows downward), 40 m wide.
	void createGround(const char* material = "wood")
	{
		run(std::string("world.createBox('ground', '', 0, 1, 40, 2, 0, 0.5, 0, true, false, 0)\n"
			"world.objects.world.ground.material = '") + material + "'");
	}

	// The particle template "spark": one 16-pixel sprite, still at scale 1 for lifeTime seconds;
	// its sheet is written to sheets, which must outlive the particles.
	void defineSparks(TempDir& sheets, float lifeTime)
	{
		sheets.write("fx.chnk", singleChunkFile("SPRT", sheetBody("fx.png", {{"spark", 0, 0, 16, 16, 4, 4}})));
		res->getResources()->setPath(sheets.file("").c_str());
		run("res.createSpriteSheet('fx.chnk')\n"
			"world.particleTable = {particles = {spark = {sprites = {'spark'}, lifeTime = " + std::to_string(lifeTime) + ","
			" minScaleBegin = 1, maxScaleBegin = 1, minScaleEnd = 1, maxScaleEnd = 1}}}");
	}

	// Frames of dt seconds each.
	void frames(int count, float dt = 1.0f / 30.0f)
	{
		for (int i = 0; i < count; ++i)
			world->update(dt);
	}
};

#endif
