#include "WorldFixture.h"
#include <lua/LuaStateMethodDispatcher.h>
#include <filesystem>
#include <functional>
#include <string>

namespace {

using GameLuaLifecycle = WorldFixture;

enum Kind
{
	TYPED,
	STACK
};

struct ScriptMethod
{
	const char* name;
	Kind kind;
};

// In registration order; STACK methods read their own arguments from the script stack.
const ScriptMethod SCRIPT_METHODS[] = {
	{"requestExit", TYPED}, {"print", TYPED}, {"setBGColor", TYPED}, {"captureMouse", TYPED},
	{"isMouseCaptured", TYPED}, {"setFullScreenMode", TYPED}, {"setResolution", TYPED}, {"isInFullScreenMode", TYPED},
	{"setIsMultitouchMouseWheelSimulationEnabled", TYPED}, {"doesMouseClickSetsTouchCount", TYPED}, {"enableSmoothZooming", TYPED}, {"createBox", TYPED},
	{"createCircle", TYPED}, {"createPolygon", TYPED}, {"createJoint", STACK}, {"createJoints", STACK},
	{"createThemeSprite", TYPED}, {"removeThemeSprite", TYPED}, {"modifyThemeSprite", TYPED}, {"rotateThemeSprites", TYPED},
	{"setThemeSprite", TYPED}, {"destroyJoint", TYPED}, {"setJointParameters", STACK}, {"clearVertices", TYPED},
	{"addVertex", TYPED}, {"applyImpulse", TYPED}, {"applyForce", TYPED}, {"setPosition", TYPED},
	{"setRotation", TYPED}, {"setVelocity", TYPED}, {"setAngularVelocity", TYPED}, {"getAngularVelocity", TYPED},
	{"setPhysicsSimulationScale", TYPED}, {"setPhysicsEnabled", TYPED}, {"isPhysicsEnabled", TYPED}, {"setTopLeft", TYPED},
	{"setMaxWorldScale", TYPED}, {"removeObject", TYPED}, {"setEditing", TYPED}, {"setWorldScale", TYPED},
	{"drawRect", TYPED}, {"drawTexturedRect", TYPED}, {"removeJointsFromObject", TYPED}, {"setRenderState", STACK},
	{"loadLevel", TYPED}, {"saveLevel", TYPED}, {"saveLuaFile", TYPED}, {"createDirectory", TYPED},
	{"checkDirectory", TYPED}, {"drawGameNative", TYPED}, {"drawBackgroundNative", TYPED}, {"drawLayer", TYPED},
	{"drawParticlesNative", TYPED}, {"drawMenuParticlesNative", TYPED}, {"updateMenuParticlesNative", TYPED}, {"setMenuParticlesScale", TYPED},
	{"clearParticlesNative", TYPED}, {"enableInGameParticlesNative", TYPED}, {"setSprite", TYPED}, {"setMaterial", TYPED},
	{"setTexture", TYPED}, {"setTheme", TYPED}, {"setSleeping", TYPED}, {"drawLine2D", TYPED},
	{"drawCompoSprite", TYPED}, {"throwException", TYPED}, {"drawForegroundNative", TYPED}, {"setObjectParameter", TYPED},
	{"setCollisionEnabled", TYPED}, {"clipText", TYPED}, {"startNewTrajectory", TYPED}, {"addToTrajectory", TYPED},
	{"addPuffToTrajectory", TYPED}, {"setLevelLimits", TYPED}, {"goToTaskSwitcherLua", TYPED}, {"setGameOn", TYPED},
	{"checkForLuaFile", TYPED}, {"activateSocialUI", TYPED}, {"activateSocialUIAtProfile", TYPED}, {"deactivateSocialUI", TYPED},
	{"postHighscore", TYPED}, {"unlockAchievement", TYPED}, {"showSocialSplash", TYPED}, {"isSocialSplashShowing", TYPED},
	{"isSocialUIShowing", TYPED}, {"userEnabledSocial", TYPED}, {"avoidSocialBackgroundActivity", TYPED}, {"initGameCenter", TYPED},
	{"getLeaderboardScoresForPlayers", TYPED}, {"getLeaderboardScoresForRange", TYPED}, {"showLeaderboards", TYPED}, {"showAchievements", TYPED},
	{"showAdvertisement", TYPED}, {"hideAdvertisement", TYPED}, {"showVideoAdvertisement", TYPED}, {"requestVideoAd", TYPED},
	{"requestAndShowVideo", TYPED}, {"requestAd", TYPED}, {"logAnalyticsEvent", TYPED}, {"logAnalyticsEventWithParam", TYPED},
	{"logAnalyticsEventWithParams", TYPED}, {"createNelmaNews", TYPED}, {"destroyNelmaNews", TYPED}, {"loadNelmaNewsContent", TYPED},
	{"reloadNelmaNewsContent", TYPED}, {"showNelmaNews", TYPED}, {"hideNelmaNews", TYPED}, {"getAngle", TYPED},
	{"getIntersectingObjects", STACK}, {"getRayCastedObjects", STACK}, {"checkJointLimits", TYPED}, {"getWorldPoint", STACK},
	{"getLocalPoint", STACK}, {"setComboSprites", STACK}, {"printGlobals", TYPED}, {"setGameParameters", STACK},
	{"setLayerOffSet", STACK}, {"loadLuaFileToObject", STACK},
};

TEST_F(GameLuaLifecycle, RegistersThe118ScriptMethodsWithTheirKinds)
{
	lua_State* interpreter = lua->interpreter();
	lua::LuaState::pushTable(interpreter, world.ptr());
	const lua_CFunction stackDispatch = &lua::LuaStateMethodDispatcher<GameLua>::dispatch;
	int stackMethods = 0;
	for (const ScriptMethod& method : SCRIPT_METHODS)
	{
		lua_getfield(interpreter, -1, method.name);
		ASSERT_TRUE(lua_iscfunction(interpreter, -1)) << method.name;
		EXPECT_EQ(method.kind == STACK, lua_tocfunction(interpreter, -1) == stackDispatch) << method.name;
		stackMethods += method.kind == STACK;
		lua_pop(interpreter, 1);
	}
	lua_pop(interpreter, 1);
	EXPECT_EQ(12, stackMethods);
	EXPECT_EQ(118, number("(function() local n = 0 for _, v in pairs(world) do if type(v) == 'function' then n = n + 1 end end return n end)()"));
}

TEST_F(GameLuaLifecycle, BackgroundColourComponentsAreClampedAndTruncated)
{
	const struct
	{
		const char* call;
		unsigned int colour;
	} cases[] = {
		{"world.setBGColor(300, -5, 128.7)", 0xFF0080},
		{"world.setBGColor(18, 52, 86)", 0x123456},
		{"world.setBGColor(0/0, 255.9, -1/0)", 0x00FF00},
	};
	for (const auto& c : cases)
	{
		run(c.call);
		EXPECT_EQ(c.colour, world->getBGColor()) << c.call;
	}
}

TEST_F(GameLuaLifecycle, WindowMethodsReachTheOperatingSystemInterface)
{
	run("world.setResolution(800.9, 600.2) world.setFullScreenMode(true) world.captureMouse(true) world.setGameOn(true)");
	EXPECT_EQ(800, os.resolutionWidth);
	EXPECT_EQ(600, os.resolutionHeight);
	EXPECT_FALSE(os.sleepAllowed);
	EXPECT_TRUE(boolean("world.isInFullScreenMode() and world.isMouseCaptured()"));
	run("world.setGameOn(false)");
	EXPECT_TRUE(os.sleepAllowed);
}

TEST_F(GameLuaLifecycle, ServicesThatAreNotThereAnswerFalse)
{
	EXPECT_FALSE(boolean("world.doesMouseClickSetsTouchCount() or world.checkDirectory('x') or world.isSocialSplashShowing() "
		"or world.isSocialUIShowing() or world.userEnabledSocial()"));
	run("world.physicsOn = world.isPhysicsEnabled() world.setPhysicsEnabled(true)");
	EXPECT_TRUE(boolean("world.physicsOn == false and world.isPhysicsEnabled()"));
}

TEST_F(GameLuaLifecycle, ThrowExceptionFailsTheScriptWithAnEmptyMessage)
{
	try
	{
		run("world.throwException('not used')");
		FAIL() << "nothing thrown";
	}
	catch (const lang::Exception& e)
	{
		EXPECT_EQ(std::string(""), e.getMessage().format().c_str());
	}
}

TEST_F(GameLuaLifecycle, PrintGlobalsNamesTheEntriesThatAreNotFunctions)
{
	run("world.level = 3 world[7] = 'seven'");
	const Output output = capture([&] { world->printGlobals(); });
	EXPECT_NE(std::string::npos, output.debug.find("Name: level\n"));
	EXPECT_NE(std::string::npos, output.debug.find("Name: settings\n"));
	EXPECT_NE(std::string::npos, output.debug.find("Number: 7.000000\n"));
	EXPECT_EQ(std::string::npos, output.debug.find("Name: print\n"));
}

TEST_F(GameLuaLifecycle, ActivationReachesTheScriptsOnlyOnceTheGameLogicIsCompiled)
{
	run("calls = '' function world.gamePaused() calls = calls .. 'paused ' end "
		"function world.gameResumed() calls = calls .. 'resumed ' end");
	world->activate(true);
	world->activate(false);
	EXPECT_EQ("", text("calls"));

	files.ship("gamelogic.lua", "function updateValues() end");
	world->compile(files.dataFile("gamelogic.lua").c_str());
	world->activate(false);
	world->activate(true);
	EXPECT_EQ("paused resumed ", text("calls"));
}

TEST_F(GameLuaLifecycle, StartUpAssetsAreCreatedWithoutAnAudioOutput)
{
	ASSERT_EQ(nullptr, res->getResources()->getAudioOutput());
	run("function world.createStartUpAssets() assetsCreated = true end");
	world->createAssets();
	EXPECT_TRUE(boolean("assetsCreated"));
}

TEST_F(GameLuaLifecycle, SettingsAreSavedOnExitDeactivationAndRelease)
{
	const std::string settings = files.documentsFile("settings.lua");
	const struct
	{
		const char* name;
		std::function<void()> event;
	} events[] = {
		{"requestExit", [&] { run("world.requestExit()"); }},
		{"deactivation", [&] { world->activate(false); }},
		{"release", [&] { world = nullptr; }},
	};
	for (const auto& e : events)
	{
		std::filesystem::remove(settings);
		run(std::string("world.settings.savedOn = '") + e.name + "'");
		e.event();
		EXPECT_NE(std::string::npos, WorldFiles::decipher(FileKeys::saveKey(), iotest::readFile(settings)).find(e.name)) << e.name;
	}
	EXPECT_TRUE(app.quitRequested());
	EXPECT_EQ(0, app.exitCode());
}

TEST_F(GameLuaLifecycle, AFailingSaveOnReleaseIsReportedNotThrown)
{
	io::AppDataOutputStream::setRootPath(files.documentsFile("missing/directory").c_str());
	const Output output = capture([&] { world = nullptr; });
	// The reason on the same line.
	const std::string reason = "Unable to save lua file settings.lua: Failed to open " + files.documentsFile("missing/directory/settings.lua") +
		" for writing: No such file or directory\n";
	EXPECT_NE(std::string::npos, output.debug.find(reason)) << output.debug;
	EXPECT_EQ(std::string::npos, output.standard.find("EXCEPTION")) << output.standard;
}

} // namespace
