#include <platform/Application.h>
#include <platform/GameService.h>
#include <platform/HeadlessApplication.h>
#include <support/TemporaryDirectory.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <unistd.h>

using namespace platform;

namespace
{

class GameServiceTest : public testing::Test
{
protected:
	GameServiceTest()
	{
		LaunchOptions options;
		options.headless = true;
		application = Application::create(options);
		// Named per process: test cases run in parallel processes.
		path = testing::TempDir() + "/game-service-" + std::to_string(getpid()) + ".txt";
		std::remove(path.c_str());
	}
	~GameServiceTest() override { std::remove(path.c_str()); }

	std::unique_ptr<GameService> signedIn(const std::string& alias)
	{
		auto service = std::make_unique<GameService>(*application, path, alias, GameService::SignIn::Succeeds);
		service->authenticate(nullptr);
		application->mainQueue().runPending();
		return service;
	}

	std::unique_ptr<Application> application;
	std::string path;
};

} // namespace

TEST_F(GameServiceTest, SignInAnswersLaterOnTheMainQueue)
{
	struct Case
	{
		GameService::SignIn signIn;
		GameServiceError error;
	};
	for (const Case c : {Case{GameService::SignIn::Succeeds, GameServiceError::None},
			 Case{GameService::SignIn::Cancelled, GameServiceError::Cancelled},
			 Case{GameService::SignIn::Unsupported, GameServiceError::NotSupported}})
	{
		GameService service(*application, path, "Ann", c.signIn);
		std::vector<std::string> log;
		service.setAuthenticationObserver([&](bool on) { log.push_back(on ? "on" : "off"); });
		service.reportScore("board", 5, [&](GameServiceError e) { log.push_back(e == GameServiceError::NotAuthenticated ? "refused" : "?"); });
		service.authenticate([&](GameServiceError e) { log.push_back(e == c.error ? "answered" : "wrong"); });
		EXPECT_TRUE(log.empty());
		application->mainQueue().runPending();
		const bool ok = c.error == GameServiceError::None;
		EXPECT_EQ(ok ? std::vector<std::string>({"refused", "answered", "on"}) : std::vector<std::string>({"refused", "answered"}), log);
		EXPECT_EQ(ok, service.authenticated());
		EXPECT_EQ(ok ? GameService::playerIDOf("Ann") : "", service.playerID());
		service.signOut();
		application->mainQueue().runPending();
		EXPECT_EQ(ok ? "off" : "answered", log.back());
		EXPECT_FALSE(service.authenticated());
	}
	EXPECT_NE(GameService::playerIDOf("Ann"), GameService::playerIDOf("Bob"));
}

TEST_F(GameServiceTest, LeaderboardsKeepEachPlayersBestAcrossRestarts)
{
	{
		auto ann = signedIn("Ann");
		ann->reportScore("stars", 300, nullptr);
		ann->reportScore("stars", 100, nullptr);
	}
	{
		auto bob = signedIn("Bob");
		bob->reportScore("stars", 300, nullptr);
		bob->reportScore("time", 7, nullptr);
	}
	auto cid = signedIn("Cid");
	cid->reportScore("stars", 500, nullptr);
	cid->declareLeaderboards({{"time", "Fastest"}, {"coins", "Coins"}});
	application->mainQueue().runPending();

	auto restarted = signedIn("Ann");
	LeaderboardPage page;
	restarted->loadScores("stars", 2, 5, [&](GameServiceError e, const LeaderboardPage& p) {
		EXPECT_EQ(GameServiceError::None, e);
		page = p;
	});
	std::vector<LeaderboardInfo> boards;
	cid->loadLeaderboards([&](GameServiceError, const std::vector<LeaderboardInfo>& b) { boards = b; });
	application->mainQueue().runPending();
	EXPECT_EQ(3, page.maxRange);
	// Equal values rank in the order they were reached.
	ASSERT_EQ(2u, page.entries.size());
	EXPECT_EQ("Ann", page.entries[0].alias);
	EXPECT_EQ(2, page.entries[0].rank);
	EXPECT_EQ(300, page.entries[0].value);
	EXPECT_EQ("Bob", page.entries[1].alias);
	EXPECT_EQ(restarted->playerID(), page.localPlayer.playerID);
	EXPECT_EQ(2, page.localPlayer.rank);
	ASSERT_EQ(3u, boards.size());
	EXPECT_EQ("Fastest", boards[0].title);
	EXPECT_EQ("coins", boards[1].id);
	EXPECT_EQ("stars", boards[2].title);
}

TEST_F(GameServiceTest, AchievementProgressNeverGoesBack)
{
	{
		auto ann = signedIn("Ann");
		for (double percent : {40.0, 20.0, 250.0})
			ann->reportAchievement("first-win", percent, nullptr);
		ann->reportAchievement("all-stars", 30, nullptr);
		signedIn("Bob")->reportAchievement("all-stars", 90, nullptr);
	}
	auto ann = signedIn("Ann");
	std::vector<GameAchievement> progress;
	ann->loadAchievements([&](GameServiceError, const std::vector<GameAchievement>& p) { progress = p; });
	application->mainQueue().runPending();
	ASSERT_EQ(2u, progress.size());
	EXPECT_EQ("first-win", progress[0].id);
	EXPECT_EQ(100, progress[0].percent);
	EXPECT_TRUE(progress[0].completed());
	EXPECT_EQ(30, progress[1].percent);
	EXPECT_FALSE(progress[1].completed());
}

TEST_F(GameServiceTest, ScreensAreShownAndClosedAndPendingAnswersDieWithTheService)
{
	auto ann = signedIn("Ann");
	ann->declareAchievements({{"first-win", "First win", "Won a level", false}, {"secret", "Secret", "Found it", true}});
	ann->reportScore("stars", 42, nullptr);
	ann->reportAchievement("first-win", 100, nullptr);
	int closed = 0;
	ann->showLeaderboards([&](GameServiceError e) { closed += e == GameServiceError::None; });
	ann->showAchievements([&](GameServiceError e) { closed += e == GameServiceError::None; });
	application->mainQueue().runPending();
	EXPECT_EQ(2, closed);
	const auto& alerts = static_cast<HeadlessApplication&>(*application).shownAlerts();
	ASSERT_EQ(2u, alerts.size());
	EXPECT_EQ("stars\n1. Ann  42\n", alerts[0].message);
	// A hidden achievement stays hidden until the player has made progress on it.
	EXPECT_EQ("First win  Won a level\n", alerts[1].message);

	bool answered = false;
	ann->loadAchievements([&](GameServiceError, const std::vector<GameAchievement>&) { answered = true; });
	ann.reset();
	application->mainQueue().runPending();
	EXPECT_FALSE(answered);
}

TEST_F(GameServiceTest, ApplicationMakesItsServiceFromTheLaunchOptions)
{
	application.reset();
	const testsupport::TemporaryDirectory library;
	LaunchOptions options;
	options.headless = true;
	options.libraryDirectory = library.path();
	options.gameService = "off";
	application = Application::create(options);
	GameService& service = application->gameService();
	EXPECT_EQ(&service, &application->gameService());
	GameServiceError error = GameServiceError::None;
	service.authenticate([&](GameServiceError e) { error = e; });
	application->mainQueue().runPending();
	EXPECT_EQ(GameServiceError::NotSupported, error);
	// Gone before its library directory.
	application.reset();
}
