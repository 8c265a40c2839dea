#include "app/TestGame.h"
#include <framework/AppController.h>
#include <framework/IphoneOSInterface.h>
#include <framework/MyEAGLViewController.h>
#include <hgr/Globals.h>
#include <io/AppDataInputStream.h>
#include <platform/Application.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

using platform::Application;

namespace
{

platform::LaunchOptions headlessOptions(int frames = 0, const std::string& script = "")
{
	platform::LaunchOptions options;
	options.headless = true;
	options.frames = frames;
	options.documentsDirectory = testing::TempDir() + "/framework-documents";
	options.dataDirectory = "/opt/game";
	if (!script.empty())
	{
		options.script = testing::TempDir() + "/framework-script.txt";
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
	EXPECT_STREQ((testing::TempDir() + "/framework-documents").c_str(), io::AppDataInputStream::rootPath().c_str());
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
	for (const Case c : {Case{"ESCAPE", 0, 3}, Case{"T", AppController::EXIT_GAME_FAILED, 3}})
	{
		TestGame::log().clear();
		auto application = Application::create(headlessOptions(100, std::string("2 key down ") + c.key + "\n"));
		AppController controller(*application);
		EXPECT_EQ(c.exitCode, application->run(controller)) << c.key;
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
