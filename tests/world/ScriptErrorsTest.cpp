#include "WorldFixture.h"

#include <gr/GraphicsException.h>
#include <io/IOException.h>
#include <lang/OutOfMemoryException.h>
#include <world/GameCenterRecords.h>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>

namespace {

// The line of the game logic (below) on which the failing callback stands.
const int FAILING_LINE = 3;

/**
 * A game world whose game logic, compiled as the game compiles it, replaces one callback by one
 * that counts its calls in "calls" and fails with a script error; the recording callbacks of
 * WorldFixture stand in for the others. Its debug log is kept in "log".
 */
class ScriptErrors : public WorldFixture
{
public:
	GameLua& game()												{ return *world; }

	/** One frame as the game application runs it: the world's update, then its drawing. */
	void frame()
	{
		world->update(1.0f / 30.0f);
		world->draw();
		++framesRun;
	}

protected:
	std::string gameLogic;
	std::string log;
	int framesRun = 0;

	void failIn(const std::string& callback)
	{
		recordCallbacks();
		run("function world.draw() end");
		gameLogic = files.dataFile("gamelogic.lua");
		files.ship("gamelogic.lua",
			"function updateValues() end\n"
			"calls = 0\n"
			"function " + callback + "() calls = calls + 1 _G.error('broken " + callback + "') end\n");
		world->compile(gameLogic.c_str());
	}

	void record(const std::function<void()>& step)			{ log += capture(step).debug; }

	/** The log's text for a failure of the callback: its name, the error and the script's file and line. */
	std::string failure(const std::string& callback) const
	{
		return "Script error in \"" + callback + "\": broken " + callback + "\nCall stack:\n" + gameLogic + "("
			+ std::to_string(FAILING_LINE) + ")\n";
	}

	size_t count(const std::string& text) const
	{
		size_t n = 0;
		for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
			++n;
		return n;
	}
};

/** A callback the game calls, what the scripts set up first, and what makes the game call it. */
struct Callback
{
	const char* name;
	const char* setup;
	void (*call)(ScriptErrors&);
};

void PrintTo(const Callback& callback, std::ostream* out)
{
	*out << callback.name;
}

void frame(ScriptErrors& test)
{
	test.frame();
}

// Two crates that land on the ground at different times: two contacts, in two steps.
const char* const TWO_CRATES =
	"world.createBox('ground', '', 0, 1, 40, 2, 0, 0.5, 0, true, false, 0)\n"
	"world.createBox('low', '', -3, -0.6, 1, 1, 1, 0.5, 0, true, false, 1)\n"
	"world.createBox('high', '', 3, -4, 1, 1, 1, 0.5, 0, true, false, 1)\n"
	"for _, name in ipairs({'ground', 'low', 'high'}) do world.objects.world[name].material = 'wood' end\n";

const Callback CALLBACKS[] = {
	{"update", "", frame},
	{"draw", "", frame},
	{"removeBlocks", "", frame},
	{"blockCollision", TWO_CRATES, frame},
	{"projectileCollision", "world.createBox('ground', '', 0, 1, 40, 2, 0, 0.5, 0, true, true, 0)\n"
		"world.createBox('low', '', -3, -0.6, 1, 1, 1, 0.5, 0, true, true, 1)\n"
		"world.createBox('high', '', 3, -4, 1, 1, 1, 0.5, 0, true, true, 1)\n"
		"for _, name in ipairs({'ground', 'low', 'high'}) do world.objects.world[name].material = 'wood' end\n", frame},
	{"selectObjectAnimation", "world.createBox('crate', '', 0, -10, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.setObjectParameter('crate', 13, 1)", frame},
	// Two toppled targets start to get up.
	{"setAnimationByName", "for i, name in ipairs({'a', 'b'}) do\n"
		"  world.createBox(name, '', i * 3, -10, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"  world.setRotation(name, 1.6) world.setObjectParameter(name, 1, 1) world.setObjectParameter(name, 14, 1)\n"
		"end", frame},
	{"gamePaused", "", [](ScriptErrors& test) { test.game().activate(false); }},
	{"gameResumed", "", [](ScriptErrors& test) { test.game().activate(true); }},
	{"enableGameCenter", "", [](ScriptErrors& test) { test.game().prepareGameCenter(nullptr, lang::String("id"), lang::String("Ann")); }},
	{"disableGameCenter", "", [](ScriptErrors& test) { test.game().removeGameCenter(); }},
	{"hideLoadingInitGameCenter", "", [](ScriptErrors& test) { test.game().hideLoadingInitGameCenter(); }},
	{"hideLoadingLeaderboards", "", [](ScriptErrors& test) { test.game().stopMainMenuAnimation(lang::String("leaderboard")); }},
	{"hideLoadingAchievements", "", [](ScriptErrors& test) { test.game().stopMainMenuAnimation(lang::String("achievement")); }},
	{"showAchievementPopUp", "", [](ScriptErrors& test) { test.game().showAchievementPopUp(lang::String("ach.first")); }},
	{"setIndicatorPositions", "world.gameCenter = {leaderboards = {board = {}}, safeToRefresh = true}",
		[](ScriptErrors& test) { test.game().setLeaderboardScores(lang::Array<GameLua::ScoreData>(), lang::String("board"), 1, 1, 1); }},
};

class ScriptErrorsInCallbacks : public ScriptErrors, public ::testing::WithParamInterface<Callback>
{
};

// The game calls the failing callback again after its failure: the failure stays in the game, the
// frames (or the game service's results) go on, and the log names the callback and the script
// line once. The other callbacks of the frames are still called, once a frame.
TEST_P(ScriptErrorsInCallbacks, AreLoggedOnceWithTheCallbackAndTheScriptLineAndTheGameGoesOn)
{
	const Callback& callback = GetParam();
	failIn(callback.name);
	run(callback.setup);
	record([&] {
		for (int i = 0; i < 90 && number("world.calls") < 2; ++i)
			callback.call(*this);
	});
	EXPECT_LE(2.0f, number("world.calls")) << log;
	EXPECT_EQ(1u, count(failure(callback.name))) << log;
	EXPECT_EQ(count("Script error in "), count("Script error in \"" + std::string(callback.name) + "\"")) << log;
	if (std::string(callback.name) != "update")
	{
		EXPECT_EQ(static_cast<float>(framesRun), number("frames"));
	}
}

INSTANTIATE_TEST_SUITE_P(World, ScriptErrorsInCallbacks, ::testing::ValuesIn(CALLBACKS),
	[](const ::testing::TestParamInfo<Callback>& info) { return std::string(info.param.name); });

// An error in every frame is logged once, a second one beside it once too; how often each came
// again is logged when the game pauses, and when the world goes, counted from the pause.
TEST_F(ScriptErrors, AnErrorInEveryFrameIsLoggedOnceAndItsRepeatsCounted)
{
	failIn("update");
	run("function world.draw() local broken = nil return broken.field end\n"
		"function world.gamePaused() end");
	record([&] {
		for (int i = 0; i < 100; ++i)
			frame();
	});
	const std::string drawError = "[string \"test\"]:1: attempt to index local 'broken' (a nil value)";
	EXPECT_EQ(1u, count(failure("update"))) << log;
	EXPECT_EQ(1u, count("Script error in \"draw\": " + drawError)) << log;
	EXPECT_EQ(2u, count("Script error in ")) << log;

	record([&] { world->activate(false); });
	EXPECT_EQ(1u, count("Script error in \"update\" repeated 99 more times: broken update\n")) << log;
	EXPECT_EQ(1u, count("Script error in \"draw\" repeated 99 more times: " + drawError)) << log;
	record([&] {
		frame();
		world = nullptr;
	});
	EXPECT_EQ(1u, count(failure("update"))) << log;
	EXPECT_EQ(1u, count("Script error in \"update\" repeated 1 more times: broken update\n")) << log;
}

/** Script methods that fail the way the game's own methods can. */
struct FailingMethods
{
	void missingFile() { lang::throwError(io::IOException(lang::Format("Failed to write {0}", "progress.lua"))); }
	void plainFailure() { lang::throwError(lang::Exception()); }
	void graphicsFailure() { lang::throwError(gr::GraphicsException(lang::Format("Texture is too large"))); }
	void outOfMemory() { lang::throw_OutOfMemoryException(); }
	void standardFailure() { throw std::runtime_error("standard"); }
};

// What a bound method throws into a callback that does not catch it is the scripts' failure too,
// a failed save among them; a broken device, exhausted memory and anything from outside the
// system's exceptions still end the game.
TEST_F(ScriptErrors, AFailureOfAMethodInACallbackIsLoggedUnlessItIsNoScriptsFailure)
{
	FailingMethods methods;
	const struct
	{
		const char* method;
		void (FailingMethods::*member)();
		const char* logged;
	} cases[] = {
		{"missingFile", &FailingMethods::missingFile, "Script error in \"update\": Failed to write progress.lua\n"},
		{"plainFailure", &FailingMethods::plainFailure, "Script error in \"update\": \n"},
		{"graphicsFailure", &FailingMethods::graphicsFailure, nullptr},
		{"outOfMemory", &FailingMethods::outOfMemory, nullptr},
		{"standardFailure", &FailingMethods::standardFailure, nullptr},
	};
	recordCallbacks();
	run("function world.draw() end");
	for (const auto& c : cases)
	{
		world->registerMethod(c.method, &methods, c.member);
		run(std::string("function world.update() world.") + c.method + "() end");
		log.clear();
		if (c.logged)
		{
			record([&] { EXPECT_NO_THROW(frame()) << c.method; });
			EXPECT_EQ(1u, count(c.logged)) << log;
		}
		else
		{
			EXPECT_ANY_THROW(frame()) << c.method;
		}
	}
}

// A script that has not defined a callback the game calls fails there like any script error.
TEST_F(ScriptErrors, AMissingCallbackIsAScriptErrorOfItsName)
{
	record([&] { frame(); });
	EXPECT_EQ(1u, count("Script error in \"update\": attempt to call a nil value")) << log;
	EXPECT_EQ(1u, count("Script error in \"draw\": attempt to call a nil value")) << log;
}

// The damage of a contact reads the objects' tables inside the physics step; a table without the
// values it needs is the scripts' fault: the contact is logged and skipped, the step goes on.
TEST_F(ScriptErrors, AContactOfAnObjectWithoutMaterialIsLoggedAndTheStepGoesOn)
{
	recordCallbacks();
	run(TWO_CRATES);
	run("world.objects.world.high.material = nil");
	record([&] { frames(60); });
	EXPECT_EQ(1u, count("Script error in \"contact\": Tried to get value material from table, but type was NIL instead of STRING")) << log;
	// The crate with its material still reported its landing.
	EXPECT_TRUE(boolean("collisions[1].a == 'low' or collisions[1].b == 'low'")) << log;
	EXPECT_EQ(60.0f, number("frames"));
}

} // namespace
