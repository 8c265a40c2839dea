#include "WorldFiles.h"
#include "WorldTestApp.h"
#include "io/IoTestSupport.h"
#include "lua/ScriptRunner.h"
#include "support/RecordingContext.h"
#include <framework/MyEAGLViewController.h>
#include <io/AppDataInputStream.h>
#include <io/AppDataOutputStream.h>
#include <lang/Debug.h>
#include <lua/LuaState.h>
#include <world/FileKeys.h>
#include <world/GameApp.h>
#include <world/GameLua.h>
#include <gtest/gtest.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace {

// One display refresh of the shell, seconds.
const float FRAME_TIME = 1.0f / 60.0f;
// Frames after which a shot that has not ended is a fault: the game ends one after ten seconds.
const int LONGEST_SHOT_FRAMES = 700;

struct Point
{
	float x;
	float y;
};

// Screen points of the menu's Play, the level select's tiles by level, the level's pause button,
// the pause screen's "Levels" and the end screen's, left of three buttons after a win with a next
// level and of two after a loss.
const Point PLAY = {512, 354};
const Point TILES[] = {{302, 260}, {512, 260}, {722, 260}, {302, 470}, {512, 470}, {722, 470}};
const Point PAUSE_BUTTON = {974, 44};
const Point PAUSE_LEVELS = {512, 466};
const Point END_LEVELS_OF_THREE = {316, 521};
const Point END_LEVELS_OF_TWO = {414, 521};

/**
 * The game itself on its built data, driven as the shell drives it: frames of a sixtieth of a
 * second and touches through the view controller. Its data directory and documents are copies
 * of its own, so a test may break or write them. The game's table is the script global "world".
 */
class PlayedGame : public ::testing::Test
{
protected:
	lang::Ptr<RecordingContext> context = new RecordingContext;
	WorldTestOS os;
	iotest::TemporaryDirectory directory;
	MyEAGLViewController controller{nullptr, false};
	std::unique_ptr<GameApp> game;
	// The game's debug log so far.
	std::string log;

	void SetUp() override
	{
#ifndef GAME_DATA_DIR
		GTEST_SKIP() << "the game's data directory is not built";
#else
		std::filesystem::copy(GAME_DATA_DIR, dataFile(""), std::filesystem::copy_options::recursive);
		std::filesystem::create_directories(directory.file("documents"));
		io::AppDataInputStream::setRootPath(directory.file("documents").c_str());
		io::AppDataOutputStream::setRootPath(directory.file("documents").c_str());
		framework::App::Configuration config;
		framework::configure(config, os);
		GameApp::s_datapath = lang::String(dataFile("").c_str());
		record([this] {
			game.reset(new GameApp(context, &os));
			game->activate(true);
			game->activateAudio(true);
		});
		game->gameLua()->state()->globals().setTable("world", *game->gameLua());
		frames(30);
#endif
	}

	void TearDown() override
	{
		game.reset();
		io::AppDataInputStream::setRootPath("");
		io::AppDataOutputStream::setRootPath("");
	}

	std::string dataFile(const std::string& name) const		{ return directory.file("data_ipad/" + name); }

	void record(const std::function<void()>& step)
	{
		lang::Debug::setEnabled(true);
		testing::internal::CaptureStderr();
		step();
		log += testing::internal::GetCapturedStderr();
		lang::Debug::setEnabled(false);
	}

	void frames(int count, float dt = FRAME_TIME)
	{
		record([&] {
			for (int i = 0; i < count; ++i)
				game->update(dt, context.ptr(), 3);
		});
	}

	void touch(platform::TouchPhase phase, Point at)
	{
		record([&] { controller.touches(phase, {platform::Touch{1, at.x, at.y}}); });
	}

	/** A finger down at from, moved to to, lifted there, or cancelled by the system. */
	void drag(Point from, Point to, platform::TouchPhase end = platform::TouchPhase::Ended)
	{
		touch(platform::TouchPhase::Began, from);
		frames(4);
		touch(platform::TouchPhase::Moved, to);
		frames(4);
		touch(end, to);
		frames(1);
	}

	void tap(Point at)
	{
		drag(at, at);
		frames(20);
	}

	void run(const std::string& script)				{ runScript(*game->gameLua()->state(), script.c_str()); }

	std::string text(const std::string& expression)
	{
		run("result = tostring(" + expression + ")");
		return game->gameLua()->state()->globals().getString("result").c_str();
	}

	float number(const std::string& expression)		{ return std::stof(text(expression)); }
	bool boolean(const std::string& expression)		{ return text(expression) == "true"; }

	/** Frames until the game's state is state; false when it is not reached within count frames. */
	bool waitFor(const std::string& state, int count)
	{
		for (int i = 0; i < count && text("world.game.state") != state; ++i)
			frames(1);
		return text("world.game.state") == state;
	}

	/** From the menu, a level in play or a level's end into a level of the level select. */
	void startLevel(int level)
	{
		const std::string state = text("world.game.state");
		if (state == "menu")
			tap(PLAY);
		else if (state == "levelEnd")
			tap(text("#world.game.buttons") == "3" ? END_LEVELS_OF_THREE : END_LEVELS_OF_TWO);
		else
		{
			tap(PAUSE_BUTTON);
			tap(PAUSE_LEVELS);
		}
		ASSERT_EQ("levels", text("world.game.state")) << log;
		tap(TILES[level - 1]);
	}

	/** The launcher's centre on the screen, under the level's camera. */
	Point launcher()
	{
		run("local c, l = world.game.camera, world.game.level.world.launcher "
			"x, y = (l.x * 20 - c.x) * c.scale, (l.y * 20 - c.y) * c.scale");
		return {number("x"), number("y")};
	}

	/** A short pull from the launcher: the orb drops close by. */
	void fireFeebly()
	{
		const Point from = launcher();
		drag(from, {from.x + 10, from.y});
	}

	/** The level's pieces in play, as sorted "name:definition" words, the ground and the orbs left out. */
	std::string pieces()
	{
		return text("(function() local t = {} for name, piece in pairs(world.objects.world) do "
			"if piece.definition ~= 'Ground' and not name:match('^orb_') then t[#t + 1] = name .. ':' .. piece.definition end "
			"end table.sort(t) return table.concat(t, ' ') end)()");
	}
};

// Once a level has ended, whatever breaks scores nothing: the score over the level, the one on
// the end panel and, for a record, the one saved are one number.
TEST_F(PlayedGame, PiecesThatBreakAfterTheEndLeaveTheScoreAsShownAndSaved)
{
	for (const bool won : {false, true})
	{
		startLevel(1);
		ASSERT_TRUE(waitFor("aiming", 200)) << log;
		if (won)
			run("for _, piece in pairs(world.objects.world) do if piece.isTarget then piece.strength = -1 end end");
		for (int shot = 0; shot < 3 && text("world.game.state") == "aiming"; ++shot)
		{
			fireFeebly();
			for (int i = 0; i < LONGEST_SHOT_FRAMES && text("world.game.state") == "flying"; ++i)
				frames(1);
		}
		ASSERT_EQ("levelEnd", text("world.game.state")) << log;
		ASSERT_EQ(won, boolean("world.game.result.won")) << log;
		const float shown = number("world.game.result.score");

		run("world.objects.world.pillar_left.strength = -1 world.objects.world.roof.strength = -1"
			" if world.objects.world.target_1 then world.objects.world.target_1.strength = -1 end");
		frames(10);
		EXPECT_TRUE(boolean("world.objects.world.pillar_left == nil and world.objects.world.roof == nil")) << won;
		EXPECT_EQ(shown, number("world.scoreTable.blocks.score + world.scoreTable.targets.score")) << won;
		if (won)
		{
			EXPECT_EQ(shown, number("world.highscores.level_1.score"));
			EXPECT_EQ(shown, game->gameLua()->loadPersistentFile("highscores.lua").getTable("level_1").getNumber("score"));
		}
	}
}

// A level saved from the game in play loads, once it names itself and is enciphered as the
// data tool does, with the same pieces, and plays: with the orbs the save kept, or the default
// orbs where it kept none.
TEST_F(PlayedGame, ALevelSavedFromTheGameInPlayLoadsAndPlays)
{
	const struct
	{
		bool keepOrbs;
		const char* loaded;
		const char* firstOrb;
	} cases[] = {
		{true, "Level level_6 loaded: 4 targets, 4 shots", "paramvalue=orb_split"},
		{false, "Level level_6 loaded: 4 targets, 3 shots", "paramvalue=orb_boost"},
	};
	for (const auto& c : cases)
	{
		startLevel(5);
		ASSERT_TRUE(waitFor("aiming", 200)) << log;
		frames(60);
		const std::string inPlay = pieces();
		if (!c.keepOrbs)
			run("world.objects.counts = nil");
		run("world.saveLevel('levels/level_6')");
		const std::string saved = iotest::readFile(dataFile("levels/level_6.lua"));
		EXPECT_EQ(std::string::npos, saved.find("filename")) << saved;
		iotest::writeFile(dataFile("levels/level_6.lua"),
			WorldFiles::encipher(FileKeys::dataKey(), saved + "\nfilename = \"level_6.lua\"\n"));

		log.clear();
		startLevel(6);
		ASSERT_TRUE(waitFor("aiming", 200)) << log;
		EXPECT_NE(std::string::npos, log.find(c.loaded)) << log;
		EXPECT_EQ(inPlay, pieces());
		fireFeebly();
		EXPECT_EQ("flying", text("world.game.state"));
		EXPECT_NE(std::string::npos, log.find(std::string("name=shot paramname=orb ") + c.firstOrb)) << log;
	}
}

// At any display rate the faces blink and the achievement banner stays on for times of their
// own: both run on the frame time and not on the count of pictures drawn.
TEST_F(PlayedGame, BlinksAndTheAchievementBannerRunOnTheFrameTime)
{
	startLevel(1);
	ASSERT_TRUE(waitFor("aiming", 200)) << log;
	run("world.objects.world.target_1.face.blinkTime = 10 world.showAchievementPopUp('game2d.first_clear')");
	const float banner = number("world.game.achievement.time");
	frames(3, 0.1f);
	frames(4, 0.05f);
	record([this] {
		for (int i = 0; i < 5; ++i)
			game->gameLua()->draw();
	});
	EXPECT_NEAR(banner - 0.5f, number("world.game.achievement.time"), 1e-4f);
	EXPECT_NEAR(9.5f, number("world.objects.world.target_1.face.blinkTime"), 1e-4f);
}

} // namespace
