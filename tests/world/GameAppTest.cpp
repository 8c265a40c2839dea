#include "WorldFixture.h"
#include "io/IoTestSupport.h"
#include <framework/App.h>
#include <io/AppDataInputStream.h>
#include <io/AppDataOutputStream.h>
#include <io/FileInputStream.h>
#include <lang/Debug.h>
#include <lang/Exception.h>
#include <pf/OrientationObserver.h>
#include <world/FileKeys.h>
#include <world/GameApp.h>
#include <world/encrypt.h>
#include <filesystem>
#include <memory>

namespace {

/** A data directory and a documents directory for one game application, with the path strings aimed at them. */
class GameAppFiles : public ::testing::Test
{
protected:
	// Counted: a frame's render scene holds a reference to the device.
	lang::Ptr<RecordingContext> context = new RecordingContext;
	WorldTestOS os;
	iotest::TemporaryDirectory directory;

	GameAppFiles()
	{
		aimPaths();
		std::filesystem::create_directories(dataFile("scripts/gamecenter/ipad"));
		std::filesystem::create_directories(documentsFile(""));
		io::AppDataInputStream::setRootPath(documentsFile("").c_str());
		io::AppDataOutputStream::setRootPath(documentsFile("").c_str());
	}

	~GameAppFiles() override
	{
		io::AppDataInputStream::setRootPath("");
		io::AppDataOutputStream::setRootPath("");
	}

	/** The configured path strings, with the data path at the temporary data directory; start-up empties them. */
	void aimPaths()
	{
		framework::App::Configuration config;
		framework::configure(config, os);
		GameApp::s_datapath = lang::String(dataFile("").c_str());
	}

	std::string dataFile(const std::string& name) const			{ return directory.file("data/" + name); }
	std::string documentsFile(const std::string& name) const		{ return directory.file("documents/" + name); }
};

TEST_F(GameAppFiles, ConfigureAsksForTheTabletScreenAndTheDataFolders)
{
	framework::App::Configuration config;
	gCurrentOrientation = 0;
	framework::configure(config, os);
	EXPECT_EQ(768, config.width);
	EXPECT_EQ(1024, config.height);
	EXPECT_EQ(1, config.orientation);
	EXPECT_TRUE(config.fullscreen);
	EXPECT_EQ(16, config.bits);
	EXPECT_EQ(1, gCurrentOrientation);
	EXPECT_EQ(60, config.framerate);
	const std::pair<const lang::String*, const char*> paths[] = {
		{&GameApp::s_datapath, "data_ipad"}, {&GameApp::s_imagePath, "images"}, {&GameApp::s_fontPath, "fonts"},
		{&GameApp::s_audioPath, "audio"}, {&GameApp::s_localizationPath, "localization"},
		{&GameApp::s_levelPath, "levels"}, {&GameApp::s_scriptPath, "scripts"}, {&GameApp::s_deviceModel, "ipad"},
	};
	for (const auto& path : paths)
		EXPECT_STREQ(path.second, path.first->c_str());
}

// The game logic does not decipher, so start-up fails after the bundle and the game world have
// been made, and says which file could not be loaded rather than the first callback missing.
TEST_F(GameAppFiles, AFailingStartUpReleasesWhatItBuiltAndThrows)
{
	iotest::writeFile(dataFile("bundleIndex.idx"), "pack.bin,scripts/none.lua,0,0\n");
	iotest::writeFile(dataFile("scripts/gamelogic.lua"), "");
	try
	{
		std::unique_ptr<GameApp>(new GameApp(context, &os));
		ADD_FAILURE() << "started";
	}
	catch (const lang::Exception& e)
	{
		EXPECT_EQ("The game logic " + dataFile("scripts/gamelogic.lua") + " could not be loaded: it does not decipher under the data key",
			e.getMessage().format().c_str());
	}
	EXPECT_EQ(nullptr, io::FileInputStream::sm_fileBundle);
	EXPECT_FALSE(framework::App::initialized());
	EXPECT_TRUE(GameApp::s_datapath.isEmpty());
}

// A data folder without the game logic fails first and says where it looked, before anything
// else can fail for want of the scripts.
TEST_F(GameAppFiles, ADataFolderWithoutTheGameSaysSoFirst)
{
	for (const char* folder : {"", "missing/"})
	{
		GameApp::s_datapath = lang::String(dataFile(folder).c_str());
		try
		{
			std::unique_ptr<GameApp>(new GameApp(context, &os));
			ADD_FAILURE() << "started on " << folder;
		}
		catch (const lang::Exception& e)
		{
			const std::string message = e.getMessage().format().c_str();
			EXPECT_EQ(0u, message.find("The data folder " + dataFile(folder))) << message;
			EXPECT_NE(std::string::npos, message.find("holds no game data: " + dataFile(folder) + "scripts/gamelogic.lua is missing")) << message;
		}
		EXPECT_FALSE(framework::App::initialized());
		aimPaths();
	}
}

// A data directory given that is not there is named as given, with the system's reason, not as
// the data folder that was looked for in it.
TEST_F(GameAppFiles, ADataDirectoryThatIsNotThereIsNamedWithTheReason)
{
	iotest::writeFile(directory.file("plain"), "a file, not a folder");
	const std::pair<std::string, std::string> cases[] = {
		{directory.file("absent"), " is missing: No such file or directory"},
		{directory.file("plain"), " cannot be opened: Not a directory"},
	};
	for (const auto& c : cases)
	{
		GameApp::s_datapath = lang::String("data_ipad");
		os.defaultDataPath = lang::String(c.first.c_str());
		try
		{
			std::unique_ptr<GameApp>(new GameApp(context, &os));
			ADD_FAILURE() << "started on " << c.first;
		}
		catch (const lang::Exception& e)
		{
			EXPECT_EQ("The data directory " + c.first + c.second, e.getMessage().format().c_str());
		}
		aimPaths();
	}
}

/** A data directory with every start-up script, whose game logic makes an audio output. */
class StartedGame : public GameAppFiles
{
protected:
	StartedGame()
	{
		ship("scripts/starLimits.lua", "level_1 = { 1, 2, 3 }");
		ship("scripts/gamecenter/ipad/leaderboards.lua", "level_1 = { title = 'Level 1' }");
		ship("scripts/gamecenter/ipad/achievements.lua", "achievementDefinitions = {}");
		ship("scripts/loadlist.lua", "levelList = { 'levels/level_1' }");
		ship("scripts/gamelogic.lua", R"(
			function updateValues() end
			function createStartUpAssets() res.createAudioOutput(1, 16, 22050) end
			function update(dt) end
			function draw() end
			function gamePaused() end
			function gameResumed() end)");
	}

	static std::string encipher(const lang::Array<unsigned char>& key, const std::string& text)
	{
		lang::Array<unsigned char> plain;
		plain.resize(static_cast<int>(text.size()));
		std::copy(text.begin(), text.end(), plain.begin());
		lang::Array<unsigned char> cipher;
		EXPECT_TRUE(encrypt(key, plain, cipher));
		return std::string(cipher.begin(), cipher.end());
	}

	void ship(const std::string& name, const std::string& text)		{ iotest::writeFile(dataFile(name), encipher(FileKeys::dataKey(), text)); }
	void saveSettings(const std::string& text)						{ iotest::writeFile(documentsFile("settings.lua"), encipher(FileKeys::saveKey(), text)); }

	std::unique_ptr<GameApp> start()
	{
		aimPaths();
		std::unique_ptr<GameApp> app(new GameApp(context, &os));
		lua = app->gameLua()->state();
		lua->globals().setTable("world", *app->gameLua());
		return app;
	}

	float number(const char* expression)
	{
		runScript(*lua, (std::string("result = ") + expression).c_str());
		return lua->globals().getNumber("result");
	}

	bool boolean(const char* expression)
	{
		runScript(*lua, (std::string("result = ") + expression).c_str());
		return lua->globals().getBoolean("result");
	}

	float masterVolume(GameApp& app)							{ return app.luaResources()->getMasterVolume(); }

	lua::LuaState* lua = nullptr;
};

TEST_F(StartedGame, StartsWithoutABundleAndPublishesItsValues)
{
	lang::Debug::setEnabled(true);
	testing::internal::CaptureStderr();
	std::unique_ptr<GameApp> app = start();
	lang::Debug::setEnabled(false);
	const std::string log = testing::internal::GetCapturedStderr();
	const std::string line = "Can't find bundle, using files directly...\n";
	ASSERT_NE(std::string::npos, log.find(line)) << log;
	EXPECT_EQ(log.find(line), log.rfind(line));
	EXPECT_NE(std::string::npos, log.find("GameCenter support not available.\n")) << log;

	EXPECT_TRUE(boolean("world.isLiteVersion == false and world.gameCenterSupported == false"));
	EXPECT_TRUE(boolean("world.scriptPath == 'scripts' and world.deviceModel == 'ipad' and world.levelPath == 'levels'"));
	EXPECT_TRUE(boolean("world.starTable.level_1[3] == 3 and world.leaderboards.level_1.title == 'Level 1'"));
	EXPECT_TRUE(boolean("world.levelList[1] == 'levels/level_1' and type(world.achievementDefinitions) == 'table'"));
	EXPECT_EQ(89.0f, number("(function() local n = 0 for k, v in pairs(world.keyHold) do "
		"if v == false and world.keyPressed[k] == false and world.keyReleased[k] == false then n = n + 1 end end return n end)()"));
	EXPECT_TRUE(GameApp::s_scriptPath.isEmpty() && GameApp::s_imagePath.isEmpty() && GameApp::s_deviceModel.isEmpty());
	EXPECT_FLOAT_EQ(1.0f, masterVolume(*app));
}

TEST_F(StartedGame, ADamagedBundleIndexIsLoggedWithItsFaultAndTheFilesAreReadDirectly)
{
	iotest::writeFile(dataFile("bundleIndex.idx"), "pack.dat,scripts/gamelogic.lua\n");
	lang::Debug::setEnabled(true);
	testing::internal::CaptureStderr();
	std::unique_ptr<GameApp> app = start();
	lang::Debug::setEnabled(false);
	const std::string log = testing::internal::GetCapturedStderr();
	EXPECT_NE(std::string::npos, log.find("FileBundle corrupted: " + dataFile("bundleIndex.idx") +
		", record 1 at line 1: it ends after 2 of its 4 fields\nCan't find bundle, using files directly...\n")) << log;
	EXPECT_EQ(nullptr, io::FileInputStream::sm_fileBundle);
	EXPECT_TRUE(app->gameLua()->scriptsReady());
}

TEST_F(StartedGame, TheMasterVolumeComesFromTheSavedSettings)
{
	const std::pair<const char*, float> cases[] = {{"volume = 0.3", 0.3f}, {"audioEnabled = true", 1.0f}, {"volume = 'loud'", 1.0f}};
	for (const auto& c : cases)
	{
		saveSettings(c.first);
		EXPECT_FLOAT_EQ(c.second, masterVolume(*start())) << c.first;
	}
}

TEST_F(StartedGame, VolumeKeysKeepTheVolumeInRangeAndSaveIt)
{
	const struct
	{
		const char* settings;
		framework::App::KeyType key;
		float volume;
	} cases[] = {{"volume = 0.95", framework::App::VOLUME_UP, 1.0f}, {"volume = 0.05", framework::App::VOLUME_DOWN, 0.0f}};
	for (const auto& c : cases)
	{
		saveSettings(c.settings);
		std::unique_ptr<GameApp> app = start();
		app->keyDown(c.key);
		app->update(1.0f / 60.0f, context, 3);
		EXPECT_FLOAT_EQ(c.volume, masterVolume(*app)) << c.settings;
		EXPECT_FLOAT_EQ(c.volume, number("world.settings.volume")) << c.settings;
		app->keyDown(c.key);
		app->update(1.0f / 60.0f, context, 3);
		EXPECT_FLOAT_EQ(c.volume, masterVolume(*app)) << c.settings;
	}
}

// One clear a frame, after the world's update and before its drawing, to the script's colour.
TEST_F(StartedGame, AFrameClearsEveryBufferToTheBackgroundOnce)
{
	std::unique_ptr<GameApp> app = start();
	runScript(*lua, "world.setBGColor(10, 20, 30)");
	app->update(1.0f / 60.0f, context, 3);
	ASSERT_EQ(1u, context->clears.size());
	EXPECT_EQ(0x0A141Eu, context->clears[0].colour);
	EXPECT_TRUE(context->clears[0].colourBuffer);
	EXPECT_TRUE(context->clears[0].depthBuffer);
	EXPECT_TRUE(context->clears[0].stencilBuffer);
}

TEST_F(StartedGame, ScriptZoomRequestsReachTheApplicationAndTheFramePublishesTheZoomLevel)
{
	std::unique_ptr<GameApp> app = start();
	runScript(*lua, "world.setWorldScale(2) world.enableSmoothZooming(false)");
	EXPECT_FLOAT_EQ(2.0f, app->worldScale());
	EXPECT_FLOAT_EQ(2.0f, app->previousScale());
	app->mouseWheel(+1);
	app->update(1.0f / 60.0f, context, 3);
	EXPECT_FLOAT_EQ(2.2f, app->worldScale());
	EXPECT_FLOAT_EQ(0.1f, number("world.zoomLevel"));
}

TEST_F(StartedGame, TheWheelReachesTheScriptsUntilTheEndOfTheNextFrame)
{
	std::unique_ptr<GameApp> app = start();
	app->mouseMove(120, 45);
	app->mouseWheel(-2);
	EXPECT_TRUE(boolean("world.cursor.wheel == -2 and world.cursor.wheelTriggered == true"));
	EXPECT_TRUE(boolean("world.cursor.x == 120 and world.cursor.y == 45"));
	app->update(1.0f / 60.0f, context, 3);
	EXPECT_TRUE(boolean("world.cursor.wheelTriggered == false"));
}

// A user names the data folder itself as often as the folder that holds it; both start the game.
TEST_F(StartedGame, TheDataDirectoryMayBeTheDataFolderItself)
{
	aimPaths();
	GameApp::s_datapath = lang::String("data_ipad");
	os.defaultDataPath = lang::String(dataFile("").c_str());
	std::unique_ptr<GameApp> app(new GameApp(context, &os));
	EXPECT_EQ(dataFile("scripts/gamelogic.lua"), app->path(lang::String("scripts/gamelogic.lua")).c_str());
	EXPECT_TRUE(app->gameLua()->scriptsReady());
}

// Keys and touches that arrive while the game is away are not played when it comes back, so a
// level that paused as it went stays paused.
TEST_F(StartedGame, InputThatArrivesWhileAwayIsNotPlayedOnReturn)
{
	std::unique_ptr<GameApp> app = start();
	runScript(*lua, "seen = {} function world.update() "
		"seen[#seen + 1] = tostring(world.keyPressed.KEY_MENU) .. '/' .. tostring(world.keyPressed.LBUTTON) end");
	app->activate(false);
	app->keyDown(framework::App::KEY_MENU);
	app->keyDown(framework::App::LBUTTON);
	app->activate(true);
	app->update(1.0f / 60.0f, context, 3);
	app->keyDown(framework::App::KEY_MENU);
	app->update(1.0f / 60.0f, context, 3);
	runScript(*lua, "result = table.concat(seen, ' ')");
	EXPECT_EQ("false/false true/false", std::string(lua->globals().getString("result").c_str()));
}

// A keyboard's Escape stands for the tablet's Back key: the scripts see KEY_BACK pressed, held and
// released, while ESCAPE keeps the false of every key the game does not watch.
TEST_F(StartedGame, EscapeReachesTheScriptsAsTheBackKey)
{
	std::unique_ptr<GameApp> app = start();
	runScript(*lua, "seen = {} local function flags(k) return (world.keyPressed[k] and 'p' or '-') .. "
		"(world.keyHold[k] and 'h' or '-') .. (world.keyReleased[k] and 'r' or '-') end "
		"function world.update() seen[#seen + 1] = flags('KEY_BACK') .. flags('ESCAPE') end");
	for (framework::App::KeyType key : {framework::App::ESCAPE, framework::App::KEY_BACK})
	{
		// As the shell hands a key over: its flag first, then the event.
		app->setKeyDown(key, true);
		app->keyDown(key);
		app->update(1.0f / 60.0f, context, 3);
		app->update(1.0f / 60.0f, context, 3);
		app->setKeyDown(key, false);
		app->keyUp(key);
		app->update(1.0f / 60.0f, context, 3);
	}
	runScript(*lua, "result = table.concat(seen, ' ')");
	EXPECT_EQ("ph---- -h---- --r--- ph---- -h---- --r---", std::string(lua->globals().getString("result").c_str()));
}

// The release that a cancel brings along is told from a lift of the finger for one frame.
TEST_F(StartedGame, ACancelledTouchIsMarkedForTheScriptsOfTheNextFrame)
{
	std::unique_ptr<GameApp> app = start();
	runScript(*lua, "seen = {} function world.update() seen[#seen + 1] = tostring(world.cursor.cancelled) end");
	app->touchBegan(framework::TouchEvent(1, 5, 6));
	app->touchEnded(framework::TouchEvent(1, 5, 6));
	app->update(1.0f / 60.0f, context, 3);
	app->touchBegan(framework::TouchEvent(2, 5, 6));
	app->touchCancelled(framework::TouchEvent(2, 5, 6));
	EXPECT_EQ(0, app->touches().size());
	app->update(1.0f / 60.0f, context, 3);
	app->update(1.0f / 60.0f, context, 3);
	runScript(*lua, "result = table.concat(seen, ' ')");
	EXPECT_EQ("nil true false", std::string(lua->globals().getString("result").c_str()));
}

// The game writes the input into tables the scripts own; a script that put something else in
// their place loses its input, logged once, and the game goes on drawing its frames.
TEST_F(StartedGame, AScriptThatReplacedItsInputTablesLosesTheInputNotTheGame)
{
	std::unique_ptr<GameApp> app = start();
	runScript(*lua, "world.keyPressed = 'keys' world.cursor = nil seen = 0 function world.update() seen = seen + 1 end");
	lang::Debug::setEnabled(true);
	testing::internal::CaptureStderr();
	app->mouseMove(120, 45);
	app->mouseWheel(-2);
	app->touchCancelled(framework::TouchEvent(1, 5, 6));
	for (int i = 0; i < 3; ++i)
		app->update(1.0f / 60.0f, context, 3);
	lang::Debug::setEnabled(false);
	const std::string log = testing::internal::GetCapturedStderr();
	EXPECT_EQ(3.0f, number("seen"));
	EXPECT_EQ(3u, context->clears.size());
	for (const char* table : {"keyPressed", "cursor"})
	{
		const std::string line = std::string("Script error in \"input\": Tried to get value ") + table + " from table";
		EXPECT_NE(std::string::npos, log.find(line)) << log;
		EXPECT_EQ(log.find(line), log.rfind(line)) << log;
	}
}
} // namespace
