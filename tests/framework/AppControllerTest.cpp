#include "app/TestGame.h"
#include <framework/AppController.h>
#include <framework/IphoneOSInterface.h>
#include <framework/MyEAGLViewController.h>
#include <hgr/Globals.h>
#include <io/AppDataInputStream.h>
#include <lang/Debug.h>
#include <pf/LocalNotificationListener.h>
#include <pf/LocalNotificationsImpl.h>
#include <platform/Application.h>
#include <support/TemporaryDirectory.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>
#include <unistd.h>

using platform::Application;

namespace
{

// The test program's documents and script, removed when it ends.
const testsupport::TemporaryDirectory& testDirectory()
{
	static const testsupport::TemporaryDirectory directory;
	return directory;
}

platform::LaunchOptions headlessOptions(int frames = 0, const std::string& script = "")
{
	platform::LaunchOptions options;
	options.headless = true;
	options.frames = frames;
	options.documentsDirectory = testDirectory().file("documents");
	options.dataDirectory = "/opt/game";
	if (!script.empty())
	{
		options.script = testDirectory().file("script.txt");
		std::ofstream(options.script) << script;
	}
	return options;
}

int count(const std::string& entry)
{
	return static_cast<int>(std::count(TestGame::log().begin(), TestGame::log().end(), entry));
}

// A launched controller driven by hand, without the platform's loop.
struct LaunchedController : testing::Test
{
	LaunchedController() :
		application(Application::create(headlessOptions())),
		controller(*application)
	{
		TestGame::log().clear();
		controller.didFinishLaunching();
		controller.didBecomeActive();
	}

	std::unique_ptr<Application> application;
	AppController controller;
};

} // namespace

TEST(AppController, FrameIntervalFollowsTheFrameRate)
{
	const std::pair<int, int> cases[] = {{60, 1}, {30, 2}, {20, 3}, {0, 1}, {-5, 1}, {120, 0}};
	for (const auto& c : cases)
		EXPECT_EQ(c.second, AppController::frameIntervalFor(c.first)) << c.first;
}

TEST(AppController, FrameTimeIsClampedToATenthOfASecond)
{
	EXPECT_FLOAT_EQ(0.1f, AppController::frameTime(1000000, 1250000));
	EXPECT_FLOAT_EQ(0.0f, AppController::frameTime(1250000, 1000000));
	EXPECT_NEAR(1 / 60.0, AppController::frameTime(0, 16667), 1e-6);
}

TEST(AppController, VersionsCompareNumerically)
{
	EXPECT_EQ(0, AppController::compareVersions("3.1", "3.1"));
	EXPECT_EQ(-1, AppController::compareVersions("3.0", "3.1"));
	EXPECT_EQ(1, AppController::compareVersions("3.10", "3.9"));
	EXPECT_EQ(1, AppController::compareVersions("6.1.0", "3.1"));
	EXPECT_EQ(0, AppController::compareVersions("4", "4.0"));
}

TEST_F(LaunchedController, LaunchConfiguresBeforeTheViewAndInitsAfterTheDevice)
{
	EXPECT_EQ((std::vector<std::string>{"configure", "init view device resources", "activate true", "activateAudio true"}), TestGame::log());
	EXPECT_EQ(Application::LANDSCAPE_RIGHT, application->statusBarOrientation());
	EXPECT_TRUE(application->statusBarHidden());
	EXPECT_FALSE(application->audioSession().isActive());
	EXPECT_NEAR(1 / 30.0, application->accelerometerInterval(), 1e-6);
	EXPECT_EQ(1, controller.context()->orientation());
	EXPECT_STREQ(testDirectory().file("documents").c_str(), io::AppDataInputStream::rootPath().c_str());
	EXPECT_STREQ("/opt/game", controller.os()->getDefaultDataPath().c_str());
	EXPECT_TRUE(controller.useDisplayLink());
	EXPECT_TRUE(controller.updating());
}

TEST_F(LaunchedController, ReentrantAndLateUpdatesAreIgnored)
{
	controller.update();
	EXPECT_EQ(1, count("update 3"));
	controller.getViewController()->key("R", true);
	controller.update();
	EXPECT_EQ(2, count("update 3"));
	controller.willResignActive();
	controller.update();
	EXPECT_EQ(2, count("update 3"));
	EXPECT_EQ(1, count("activate false"));
}

TEST_F(LaunchedController, StopFlagSurvivesPauseAndResume)
{
	controller.os()->stopUpdate();
	EXPECT_FALSE(controller.updating());
	controller.willResignActive();
	controller.didBecomeActive();
	EXPECT_FALSE(controller.updating());
	controller.os()->startUpdate();
	EXPECT_TRUE(controller.updating());

	// Started while inactive: only the flag clears, the loop waits for the activation.
	controller.os()->stopUpdate();
	controller.willResignActive();
	controller.os()->startUpdate();
	EXPECT_FALSE(controller.updating());
	controller.didBecomeActive();
	EXPECT_TRUE(controller.updating());
}

TEST_F(LaunchedController, StoppingFromInsideUpdateIsSafe)
{
	controller.getViewController()->key("S", true);
	controller.update();
	EXPECT_FALSE(controller.updating());
	controller.os()->startUpdate();
	EXPECT_TRUE(controller.updating());
}

TEST_F(LaunchedController, OrientationChangesOnlyWhenItDiffers)
{
	framework::IphoneOSInterface& os = *controller.os();
	os.setOrientation(gr::Context::ORIENTATION_90);
	EXPECT_EQ(0, count("orientationChanged"));
	os.setOrientation(gr::Context::ORIENTATION_270);
	EXPECT_EQ(1, count("orientationChanged"));
	EXPECT_EQ(Application::LANDSCAPE_LEFT, application->statusBarOrientation());
	EXPECT_EQ(3, controller.context()->orientation());

	os.allowSleep(false);
	EXPECT_TRUE(application->idleTimerDisabled());
	os.allowSleep(true);
	EXPECT_FALSE(application->idleTimerDisabled());
	EXPECT_TRUE(os.isFullscreen());
	EXPECT_FALSE(os.isSilentProfile());
}

TEST(AppController, OrientationBeforeTheDeviceExistsStillTurnsTheStatusBar)
{
	auto application = Application::create(headlessOptions());
	AppController controller(*application);
	framework::IphoneOSInterface os(&controller);
	os.setOrientation(gr::Context::ORIENTATION_270);
	EXPECT_EQ(Application::LANDSCAPE_LEFT, application->statusBarOrientation());
}

TEST_F(LaunchedController, ResolutionResetsTheDeviceWithOrWithoutAnApplication)
{
	framework::App::deleteApp();
	controller.os()->setResolution(1024, 768);
	// Orientation 1 turns the new 1024 x 768 back buffer into a 768 x 1024 screen.
	EXPECT_EQ(768, controller.context()->viewport().right);
	EXPECT_EQ(1024, controller.context()->viewport().bottom);
}

TEST_F(LaunchedController, WithoutAnApplicationTheLoopRunsIdleAndTerminationReleasesTheDevice)
{
	framework::App::deleteApp();
	TestGame::log().clear();
	controller.willResignActive();
	EXPECT_FALSE(controller.updating());
	controller.didBecomeActive();
	EXPECT_TRUE(controller.updating());
	controller.update();
	EXPECT_TRUE(TestGame::log().empty());
	controller.willTerminate();
	EXPECT_EQ(nullptr, hgr::Globals::get());
}

TEST(AppController, LaunchLogsTheNotificationItWasLaunchedFrom)
{
	for (const char* version : {"4.0", "3.2"})
	{
		platform::LaunchOptions options = headlessOptions();
		options.systemVersion = version;
		options.launchNotification = platform::LocalNotification();
		options.launchNotification->alertBody = "Come back";
		auto application = Application::create(options);
		AppController controller(*application);
		lang::Debug::setEnabled(true);
		testing::internal::CaptureStderr();
		controller.didFinishLaunching();
		const std::string log = testing::internal::GetCapturedStderr();
		lang::Debug::setEnabled(false);
		const size_t launching = log.find("UIApplication launching with options...\n");
		const size_t notification = log.find("Received Notification while launching: Come back\n");
		ASSERT_NE(std::string::npos, launching) << version;
		if (std::string(version) == "4.0")
			EXPECT_LT(notification, launching);
		else
			EXPECT_EQ(std::string::npos, notification);
		controller.willTerminate();
	}
}

TEST(AppControllerRun, NotificationsLowerTheBadgeAndPassTheirEventNameOn)
{
	struct Listener : pf::LocalNotificationListener
	{
		std::vector<std::string> events;
		void onLocalNotification(const lang::String& eventName) override { events.push_back(eventName.c_str()); }
	} listener;
	pf::LocalNotificationsImpl::sm_listeners.add(&listener);
	auto application = Application::create(headlessOptions(5, "2 notify dailyBonus\n3 notify\n"));
	application->setBadgeNumber(3);
	AppController controller(*application);
	EXPECT_EQ(0, application->run(controller));
	pf::LocalNotificationsImpl::sm_listeners.clear();
	// One for the launch, one for each notification.
	EXPECT_EQ(0, application->badgeNumber());
	EXPECT_EQ(std::vector<std::string>{"dailyBonus"}, listener.events);
}

TEST(AppControllerRun, FirstFrameAfterAResumeMeasuresOnlyItself)
{
	TestGame::log().clear();
	TestGame::frameTimes().clear();
	auto application = Application::create(headlessOptions(45, "3 resign\n40 become\n"));
	AppController controller(*application);
	EXPECT_EQ(0, application->run(controller));
	const std::vector<float>& dt = TestGame::frameTimes();
	ASSERT_EQ(8u, dt.size());
	EXPECT_FLOAT_EQ(0, dt[0]);
	EXPECT_NEAR(1 / 60.0, dt[1], 1e-4);
	EXPECT_FLOAT_EQ(0, dt[3]);
	EXPECT_NEAR(1 / 60.0, dt[4], 1e-4);
}

TEST(AppControllerRun, QuitAndFailureLeaveThroughTheTerminationSequence)
{
	struct Case
	{
		const char* key;
		int exitCode;
		int updates;
	};
	// K fails outside a frame, in the key handler.
	for (const Case c : {Case{"ESCAPE", 0, 3}, Case{"T", AppController::EXIT_GAME_FAILED, 3}, Case{"K", AppController::EXIT_GAME_FAILED, 2}})
	{
		TestGame::log().clear();
		const platform::LaunchOptions options = headlessOptions(100, std::string("2 key down ") + c.key + "\n");
		const char* argv[] = {"game", "--headless", "--frames", "100", "--script", options.script.c_str(),
			"--documents", options.documentsDirectory.c_str()};
		testing::internal::CaptureStderr();
		EXPECT_EQ(c.exitCode, framework::runApplication(8, const_cast<char**>(argv))) << c.key;
		const bool failureLogged = testing::internal::GetCapturedStderr().find("Exception from game: Test failure 7\n") != std::string::npos;
		EXPECT_EQ(c.exitCode != 0, failureLogged) << c.key;
		EXPECT_EQ(c.updates, count("update 3")) << c.key;
		// Deactivated, then destroyed: the application had its chance to save.
		const auto& log = TestGame::log();
		ASSERT_GE(log.size(), 2u);
		EXPECT_EQ("activateAudio false", log[log.size() - 2]) << c.key;
		EXPECT_EQ("destroyed", log.back()) << c.key;
		EXPECT_FALSE(framework::App::initialized());
		EXPECT_EQ(nullptr, hgr::Globals::get());
	}
}

TEST(AppControllerRun, OldSystemsUpdateAtEveryRefreshOfTheRealLoop)
{
	TestGame::log().clear();
	const platform::LaunchOptions options = headlessOptions();
	const char* argv[] = {"game", "--headless", "--system-version", "3.0", "--frames", "100",
		"--documents", options.documentsDirectory.c_str()};
	EXPECT_EQ(0, framework::runApplication(8, const_cast<char**>(argv)));
	// The loop thread may not have posted its first request by the first refresh.
	EXPECT_GE(count("update 3"), 99);
	EXPECT_LE(count("update 3"), 100);
}

TEST(AppControllerRun, HelpShowsTheOptionsAndRunsNothing)
{
	TestGame::log().clear();
	const char* argv[] = {"game", "--help"};
	testing::internal::CaptureStdout();
	EXPECT_EQ(0, framework::runApplication(2, const_cast<char**>(argv)));
	EXPECT_EQ(platform::LaunchOptions::usage("game"), testing::internal::GetCapturedStdout());
	EXPECT_TRUE(TestGame::log().empty());
}

// An input script or a data directory that cannot be opened stops the run before anything
// starts, as a command line that cannot be understood does; a folder is no script, a file no
// data directory.
TEST(AppControllerRun, AnInputScriptOrDataDirectoryThatCannotBeOpenedStopsTheRunWithTheReason)
{
	const std::string absentScript = testDirectory().file("absent.script");
	const std::string absentData = testDirectory().file("absent-data");
	const std::string script = headlessOptions(5, "1 wheel 1\n").script;
	const struct
	{
		const char* option;
		std::string path;
		std::string message;
	} cases[] = {
		{"--script", absentScript, "Can't read input script " + absentScript + ": No such file or directory"},
		{"--script", testDirectory().path(), "Can't read input script " + testDirectory().path() + ": Is a directory"},
		{"--data", absentData, "The data directory " + absentData + " is missing: No such file or directory"},
		{"--data", script, "The data directory " + script + " cannot be opened: Not a directory"},
	};
	for (const auto& c : cases)
	{
		TestGame::log().clear();
		const char* argv[] = {"game", "--headless", "--frames", "5", c.option, c.path.c_str()};
		testing::internal::CaptureStderr();
		EXPECT_EQ(2, framework::runApplication(6, const_cast<char**>(argv))) << c.path;
		EXPECT_EQ(c.message + "\n", testing::internal::GetCapturedStderr());
		EXPECT_TRUE(TestGame::log().empty()) << c.path;
	}
}

TEST(AppControllerRun, OldSystemsRunTheLoopOnAThreadThatAsksTheMainThread)
{
	TestGame::log().clear();
	platform::LaunchOptions options = headlessOptions();
	options.systemVersion = "3.0";
	auto application = Application::create(options);
	AppController controller(*application);
	controller.didFinishLaunching();
	controller.didBecomeActive();
	EXPECT_FALSE(controller.useDisplayLink());
	for (int i = 0; i < 10000 && count("update 3") < 3; ++i)
	{
		application->mainQueue().runPending();
		std::this_thread::sleep_for(std::chrono::microseconds(100));
	}
	EXPECT_GE(count("update 3"), 3);
	controller.willResignActive();
	EXPECT_FALSE(controller.updating());
	const int updates = count("update 3");
	application->mainQueue().runPending();
	EXPECT_EQ(updates, count("update 3"));
	controller.willTerminate();
	EXPECT_EQ("destroyed", TestGame::log().back());
}
