#ifndef TESTS_WORLD_WORLDFIXTURE_H
#define TESTS_WORLD_WORLDFIXTURE_H

#include "WorldFiles.h"
#include "lua/ScriptRunner.h"
#include "support/RecordingContext.h"
#include <framework/App.h>
#include <framework/OSInterface.h>
#include <game/LuaResources.h>
#include <lang/Debug.h>
#include <lang/Ptr.h>
#include <lua/LuaState.h>
#include <world/GameLua.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <string>

/** An OS interface that remembers what the game world asks of it. */
class WorldTestOS : public framework::OSInterface
{
public:
	void loadShaders(const lang::String&, bool) override {}
	lang::String getDefaultDataPath() override { return lang::String(""); }
	void setResolution(int width, int height) override { resolutionWidth = width; resolutionHeight = height; }
	void setOrientation(gr::Context::OrientationType) override {}
	void allowSleep(bool allow) override { sleepAllowed = allow; }
	bool isSilentProfile() override { return false; }
	void startUpdate() override {}
	void stopUpdate() override {}
	void setFullscreen(bool on) override { fullscreen = on; }
	bool isFullscreen() const override { return fullscreen; }
	bool captureMouse(bool on) override { mouseCaptured = on; return true; }
	bool isMouseCaptured() const override { return mouseCaptured; }
	void setCursor(const lang::String&) override {}

	int resolutionWidth = 0;
	int resolutionHeight = 0;
	bool sleepAllowed = true;
	bool fullscreen = false;
	bool mouseCaptured = false;
};

/** The application base with nothing of its own; the game world only borrows it. */
class WorldTestApp : public framework::App
{
public:
	explicit WorldTestApp(framework::OSInterface* os) : App(os) {}
	void update(float, gr::Context*, int) override {}
};

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

	std::string text(const std::string& expression)
	{
		run("result = " + expression);
		return lua->globals().getString("result").c_str();
	}
};

#endif
