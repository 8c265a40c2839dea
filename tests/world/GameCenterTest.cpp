#include "WorldFixture.h"
#include <platform/HeadlessApplication.h>
#include <world/GameCenter.h>
#include <algorithm>
#include <functional>
#include <memory>

namespace {

/** The device's applications, one at a time, sharing one library directory (and so one game service store). */
struct Device
{
	iotest::TemporaryDirectory library;
	std::unique_ptr<platform::HeadlessApplication> application;

	platform::HeadlessApplication& start(const std::string& player, const std::string& service = "on", const std::string& version = "")
	{
		application.reset();
		platform::LaunchOptions options;
		options.headless = true;
		options.libraryDirectory = library.path();
		options.player = player;
		options.gameService = service;
		options.systemVersion = version;
		application = std::make_unique<platform::HeadlessApplication>(options);
		return *application;
	}
};

/**
 * A game world with the game's leaderboard and achievement definitions and script callbacks that
 * log their names (and arguments) to the global "calls", over the device's game service.
 */
class GameCenterTest : public Device, public WorldFixture
{
protected:
	std::unique_ptr<GameCenter> gameCenter;

	GameCenterTest()
	{
		run("calls = {}"
			" for _, name in ipairs({ 'enableGameCenter', 'disableGameCenter', 'hideLoadingInitGameCenter',"
			"   'hideLoadingLeaderboards', 'hideLoadingAchievements', 'setIndicatorPositions', 'showAchievementPopUp' }) do"
			"   world[name] = function(argument) table.insert(calls, argument and name .. ' ' .. argument or name) end"
			" end"
			" world.gameCenterSupported = true"
			" world.leaderboards = { Distance = 'board.distance', Score = 'board.score' }"
			" world.achievements = { first = { id = 'ach.first', icon = 'first.png', title = 'First' }, second = { id = 'ach.second' } }");
	}

	~GameCenterTest() override								{ gameCenter.reset(); }

	/** A new run of the game as the player, signed in (or not, as the service says). */
	void startRun(const std::string& player, const std::string& service = "on")
	{
		gameCenter.reset();
		platform::HeadlessApplication& application = start(player, service);
		gameCenter = std::make_unique<GameCenter>(application, world, &context);
		gameCenter->firstInit();
		settle();
	}

	/** Runs the main thread's work, and the work it posts, until none is left. */
	void settle()
	{
		for (int i = 0; i < 100 && !application->mainQueue().empty(); ++i)
			application->mainQueue().runPending();
	}

	std::string calls()
	{
		return text("table.concat(calls, ', ')");
	}
};

TEST_F(GameCenterTest, SigningInFillsTheScriptTables)
{
	startRun("Ann");
	EXPECT_TRUE(boolean("world.gameCenterEnabled"));
	EXPECT_EQ("Ann", text("world.gameCenter.localPlayerAlias"));
	EXPECT_EQ(platform::GameService::playerIDOf("Ann"), text("world.gameCenter.localPlayerID"));
	EXPECT_EQ("Distance", text("world.gameCenter.leaderboards['board.distance'].title"));
	EXPECT_FALSE(boolean("world.gameCenter.leaderboards['board.score'].posted"));
	EXPECT_FALSE(boolean("world.gameCenter.leaderboards.loading"));
	EXPECT_FALSE(boolean("world.gameCenter.leaderboards['board.score'].loading"));
	EXPECT_EQ("first.png", text("world.gameCenter.achievements['ach.first'].icon"));
	EXPECT_EQ("First", text("world.gameCenter.achievements['ach.first'].title"));
	EXPECT_TRUE(boolean("world.gameCenter.achievements['ach.second'].icon == nil"));
	EXPECT_FALSE(boolean("world.gameCenter.achievements['ach.second'].completed"));
	EXPECT_FALSE(boolean("world.gameCenter.achievements.loading"));
	EXPECT_EQ("enableGameCenter, hideLoadingInitGameCenter", calls());

	// Signing out disables; signing in again replaces the whole table.
	run("world.gameCenter.safeToRefresh = true");
	application->gameService().signOut();
	settle();
	EXPECT_FALSE(boolean("world.gameCenterEnabled"));
	EXPECT_EQ(0, number("world.localPlayerID"));
	gameCenter->init();
	settle();
	EXPECT_TRUE(boolean("world.gameCenterEnabled"));
	EXPECT_TRUE(boolean("world.gameCenter.safeToRefresh == nil"));
}

// A script without the service's callbacks loses only their calls: the sign-in still fills the
// tables, and each missing callback is logged by name.
TEST_F(GameCenterTest, AScriptWithoutTheServiceCallbacksStillSignsIn)
{
	run("world.enableGameCenter = nil world.hideLoadingInitGameCenter = nil");
	const Output output = capture([&] { startRun("Ann"); });
	EXPECT_TRUE(boolean("world.gameCenterEnabled"));
	EXPECT_EQ("Distance", text("world.gameCenter.leaderboards['board.distance'].title"));
	EXPECT_FALSE(boolean("world.gameCenter.achievements.loading"));
	for (const char* callback : {"enableGameCenter", "hideLoadingInitGameCenter"})
		EXPECT_NE(std::string::npos, output.debug.find(std::string("Script error in \"") + callback + "\": attempt to call a nil value")) << output.debug;
}

TEST_F(GameCenterTest, ScoresPostedInEarlierRunsAreRankedInTheNext)
{
	const struct
	{
		const char* player;
		const char* score;
	} runs[] = {{"Bob", "20"}, {"Ann", "30"}, {"Cid", "10.9"}};
	for (const auto& r : runs)
	{
		startRun(r.player);
		run(std::string("world.postHighscore('board.score', ") + r.score + ")");
		settle();
		EXPECT_TRUE(boolean("world.gameCenter.leaderboards['board.score'].posted")) << r.player;
	}

	startRun("Cid");
	run("world.gameCenter.safeToRefresh = true calls = {} world.getLeaderboardScoresForRange('board.score', 1, 3)");
	EXPECT_TRUE(boolean("world.gameCenter.leaderboards['board.score'].loading"));
	settle();
	run("board = world.gameCenter.leaderboards['board.score']");
	EXPECT_FALSE(boolean("board.loading"));
	EXPECT_EQ(3, number("board.range"));
	EXPECT_EQ(3, number("board.localRank"));
	EXPECT_EQ(10, number("board.localScore"));
	for (int rank = 1; rank <= 3; ++rank)
	{
		const std::string entry = "board[" + std::to_string(rank) + "]";
		EXPECT_EQ(rank, number(entry + ".rank"));
		EXPECT_EQ(40 - 10 * rank, number(entry + ".score"));
		EXPECT_EQ("", text(entry + ".alias .. " + entry + ".formattedValue .. " + entry + ".category"));
	}
	EXPECT_EQ(platform::GameService::playerIDOf("Ann"), text("board[1].playerID"));
	EXPECT_EQ("setIndicatorPositions", calls());
}

TEST_F(GameCenterTest, ReloadsOfALeaderboardAreLoadingUntilTheScoresArrive)
{
	startRun("Ann");
	lang::Hashtable<lang::String, lang::String> categories;
	categories.put("board.score", "Score");
	const struct
	{
		const char* name;
		std::function<void()> reload;
	} cases[] = {
		{"titles loaded", [&] { world->setLeaderboardCategories(categories); }},
		{"score posted", [&] { world->highScoresPosted("board.score"); }},
	};
	for (const auto& c : cases)
	{
		c.reload();
		EXPECT_TRUE(boolean("world.gameCenter.leaderboards['board.score'].loading == true")) << c.name;
		settle();
		EXPECT_FALSE(boolean("world.gameCenter.leaderboards['board.score'].loading")) << c.name;
	}
}

TEST_F(GameCenterTest, RequestsWhileDisabledOrForUnknownRecordsDoNothing)
{
	startRun("Ann");
	run("world.gameCenterEnabled = false"
		" world.postHighscore('board.score', 50)"
		" world.unlockAchievement('ach.first', '')"
		" world.gameCenterEnabled = true"
		" world.gameCenter.achievements['ach.second'].completed = true"
		" world.unlockAchievement('ach.second', '')"
		" world.unlockAchievement('ach.unknown', '')"
		" world.getLeaderboardScoresForRange('board.unknown', 1, 1)");
	settle();
	EXPECT_TRUE(boolean("world.gameCenter.leaderboards['board.unknown'] == nil"));
	EXPECT_FALSE(boolean("world.gameCenter.leaderboards['board.score'].posted"));

	// A new run reads back what the service kept: nothing.
	startRun("Ann");
	EXPECT_EQ(0, number("world.gameCenter.leaderboards['board.score'].range"));
	EXPECT_FALSE(boolean("world.gameCenter.achievements['ach.first'].completed"));
	EXPECT_FALSE(boolean("world.gameCenter.achievements['ach.second'].completed"));
}

TEST_F(GameCenterTest, UnlockingCompletesTheAchievementInThisRunAndTheNext)
{
	startRun("Ann");
	run("calls = {} world.unlockAchievement('ach.first', 'unused')");
	settle();
	EXPECT_TRUE(boolean("world.gameCenter.achievements['ach.first'].completed"));
	EXPECT_EQ("showAchievementPopUp ach.first", calls());

	startRun("Ann");
	EXPECT_TRUE(boolean("world.gameCenter.achievements['ach.first'].completed"));
	EXPECT_EQ(100, number("world.gameCenter.achievements['ach.first'].percentComplete"));
}

TEST_F(GameCenterTest, SignInErrorsAreShownOnlyWhenTheyMatter)
{
	using Error = GameCenter::Error;
	const struct
	{
		const char* name;
		const char* service;
		std::optional<Error> injected;
		bool showErrors;
		std::vector<std::string> alerts;
		bool supported;
	} cases[] = {
		{"cancelled", "cancel", std::nullopt, true, {}, true},
		{"in progress", "on", Error{Error::SERVICE, Error::AUTHENTICATION_IN_PROGRESS, "busy"}, true, {}, true},
		{"not supported", "on", Error{Error::SERVICE, Error::NOT_SUPPORTED, "unsupported"}, true, {}, false},
		{"other service error", "on", Error{Error::SERVICE, Error::NOT_AUTHENTICATED, "Not signed in"}, true, {"Not signed in"}, true},
		{"other domain", "on", Error{Error::OTHER, 5, "Network down"}, true, {"Network down"}, true},
		{"quiet first sign-in", "on", Error{Error::OTHER, 5, "Network down"}, false, {}, true},
	};
	for (const auto& c : cases)
	{
		gameCenter.reset();
		run("world.gameCenterSupported = true world.gameCenterEnabled = nil calls = {}");
		platform::HeadlessApplication& application = start("Ann", c.service);
		gameCenter = std::make_unique<GameCenter>(application, world, &context);
		if (c.injected)
			gameCenter->failNextRequest(*c.injected);
		if (c.showErrors)
			gameCenter->init();
		else
			gameCenter->firstInit();
		settle();
		std::vector<std::string> alerts;
		for (const platform::Alert& alert : application.shownAlerts())
		{
			alerts.push_back(alert.title);
			EXPECT_EQ(std::vector<std::string>{"OK"}, alert.buttons) << c.name;
		}
		EXPECT_EQ(c.alerts, alerts) << c.name;
		EXPECT_EQ(c.supported, boolean("world.gameCenterSupported")) << c.name;

		// Without support the service's sign-in is no longer heard.
		gameCenter->init();
		settle();
		EXPECT_EQ(c.supported && std::string(c.service) == "on", boolean("world.gameCenterEnabled == true")) << c.name;
	}
}

TEST_F(GameCenterTest, ScreensAreMessageBoxesAfterTheTitlesLoad)
{
	startRun("Ann");
	run("world.postHighscore('board.distance', 1234) calls = {}");
	settle();
	const std::string log = capture([this] {
		run("world.showLeaderboards() world.showAchievements()");
		settle();
	}).debug;
	EXPECT_EQ("hideLoadingLeaderboards, hideLoadingAchievements", calls());
	// Without a window the screens are written to the log.
	EXPECT_NE(std::string::npos, log.find("Alert: Leaderboards\n")) << log;
	EXPECT_NE(std::string::npos, log.find("Distance\n1. Ann  1234\n")) << log;
	EXPECT_NE(std::string::npos, log.find("Alert: Achievements\n")) << log;
	ASSERT_EQ(2u, application->shownAlerts().size());
	EXPECT_EQ("Leaderboards", application->shownAlerts()[0].title);
	EXPECT_NE(std::string::npos, application->shownAlerts()[0].message.find("1. Ann  1234"));
	EXPECT_EQ("Achievements", application->shownAlerts()[1].title);

	gameCenter->failNextRequest(GameCenter::Error{GameCenter::Error::OTHER, 5, "Network down"});
	run("world.showLeaderboards()");
	settle();
	ASSERT_EQ(3u, application->shownAlerts().size());
	EXPECT_EQ("Network down", application->shownAlerts()[2].title);
}

// The definitions may title their boards, as the game names its levels; a board without a title
// goes by its name, and the titles are no board of their own.
TEST_F(GameCenterTest, BoardsGoByTheTitlesTheDefinitionsGiveThem)
{
	run("world.leaderboards.titles = { Distance = 'Longest throw' }");
	startRun("Ann");
	EXPECT_EQ("Longest throw", text("world.gameCenter.leaderboards['board.distance'].title"));
	EXPECT_EQ("Score", text("world.gameCenter.leaderboards['board.score'].title"));
	run("world.showLeaderboards()");
	settle();
	ASSERT_EQ(1u, application->shownAlerts().size());
	EXPECT_EQ("Longest throw\nNo scores yet\nScore\nNo scores yet\n", application->shownAlerts()[0].message);
}

// Without a signed-in player the buttons of the screens still answer: they say why nothing shows.
TEST_F(GameCenterTest, WithoutTheServiceTheScreensSayItIsNotAvailable)
{
	const struct
	{
		const char* service;
		const char* reason;
	} cases[] = {{"cancel", "The player is not signed in."}, {"off", "This device has no game service."}};
	for (const auto& c : cases)
	{
		startRun("Ann", c.service);
		run("calls = {} world.showLeaderboards() world.showAchievements()");
		settle();
		EXPECT_EQ("hideLoadingLeaderboards, hideLoadingAchievements", calls()) << c.service;
		ASSERT_EQ(2u, application->shownAlerts().size()) << c.service;
		for (const platform::Alert& alert : application->shownAlerts())
		{
			EXPECT_EQ("Game service not available", alert.title) << c.service;
			EXPECT_EQ(c.reason, alert.message) << c.service;
			EXPECT_EQ(std::vector<std::string>{"OK"}, alert.buttons) << c.service;
		}
	}
}

// The screens list the game's boards in the order of their names, numbers counted as numbers:
// one board a level, in level order.
TEST_F(GameCenterTest, TheLeaderboardsScreenListsTheBoardsInLevelOrder)
{
	run("world.leaderboards = { level_10 = 'board.10', level_2 = 'board.2', level_1 = 'board.1', bonus = 'board.bonus',"
		" level_02b = 'board.2b' }");
	startRun("Ann");
	run("world.showLeaderboards()");
	settle();
	ASSERT_EQ(1u, application->shownAlerts().size());
	const std::string& screen = application->shownAlerts()[0].message;
	std::vector<size_t> places;
	for (const char* board : {"bonus\n", "level_1\n", "level_2\n", "level_02b\n", "level_10\n"})
		places.push_back(screen.find(board));
	EXPECT_TRUE(std::is_sorted(places.begin(), places.end()) && places.back() != std::string::npos) << screen;
}

TEST_F(GameCenterTest, CompletionsAreDroppedOnceTheWorldOrTheServiceIsGone)
{
	startRun("Ann");
	// The service goes first: its pending completions find nothing to call.
	run("calls = {} world.unlockAchievement('ach.first', '')");
	gameCenter.reset();
	settle();
	EXPECT_EQ("", calls());
	EXPECT_FALSE(boolean("world.gameCenter.achievements['ach.first'].completed"));
	run("world.showLeaderboards() world.initGameCenter()");
	EXPECT_TRUE(application->mainQueue().empty());

	// The world goes first: the service learns of it and drops what arrives later, here a
	// failed sign-in that would show its alert, and makes no further request.
	lang::Ptr<GameLua> other = new GameLua(&app, res->getResources(), lua, &context);
	gameCenter = std::make_unique<GameCenter>(*application, other, &context);
	const size_t alerts = application->shownAlerts().size();
	gameCenter->failNextRequest(GameCenter::Error{GameCenter::Error::OTHER, 1, "Dropped"});
	gameCenter->init();
	other = nullptr;
	settle();
	EXPECT_EQ(alerts, application->shownAlerts().size());
	gameCenter->loadAchievements();
	EXPECT_TRUE(application->mainQueue().empty());
	gameCenter.reset();
}

TEST(GameCenterAvailability, NeedsTheServiceAndARecentSystem)
{
	const struct
	{
		const char* service;
		const char* version;
		bool available;
	} cases[] = {
		{"on", "4.1", true},
		{"cancel", "10.0", true},
		{"on", "4.0.9", false},
		{"on", "3.12", false},
		{"on", "5", true},
		{"off", "6.1", false},
	};
	for (const auto& c : cases)
	{
		Device device;
		EXPECT_EQ(c.available, GameCenter::isGameCenterAvailable(device.start("Ann", c.service, c.version))) << c.service << " " << c.version;
	}
}

} // namespace
